#include "validation/schema_declarations.h"

#include "validation/xml_nodes.h"

namespace vat::xml {

namespace {

// Deeper nesting than this only comes from a cycle of groups or base types.
constexpr int kMaxDepth = 64;

}  // namespace

SchemaDeclarations::SchemaDeclarations(const xmlDoc* schemaDocument) {
    const xmlNode* schema = xmlDocGetRootElement(schemaDocument);
    if (schema == nullptr || !IsXsd(schema, "schema")) {
        return;
    }
    for (const xmlNode* node = schema->children; node != nullptr; node = node->next) {
        NamedNodes* index = IsXsd(node, "element")       ? &elements_
                            : IsXsd(node, "complexType") ? &complexTypes_
                            : IsXsd(node, "group")       ? &groups_
                                                         : nullptr;
        if (index != nullptr) {
            index->emplace(Attribute(node, "name"), node);
        }
    }
}

const xmlNode* SchemaDeclarations::Global(std::string_view name) const {
    return Lookup(elements_, name);
}

const xmlNode* SchemaDeclarations::Child(const xmlNode* parentDeclaration,
                                         const std::string& childName) {
    auto key = std::make_pair(parentDeclaration, childName);
    if (const auto known = children_.find(key); known != children_.end()) {
        return known->second;
    }
    const xmlNode* declaration = nullptr;
    VisitComplexType(
        ComplexTypeOf(parentDeclaration),
        [&](const std::string& name, const xmlNode* candidate) {
            declaration = name == childName ? candidate : nullptr;
            return declaration != nullptr;
        },
        0);
    children_.emplace(std::move(key), declaration);
    return declaration;
}

bool SchemaDeclarations::IsGlobal(const xmlNode* declaration) {
    return declaration->parent != nullptr && IsXsd(declaration->parent, "schema");
}

bool SchemaDeclarations::HasConflictingDeclarations(const xmlNode* complexType) const {
    NamedNodes seen;
    return VisitComplexType(
        complexType,
        [&](const std::string& name, const xmlNode* declaration) {
            const auto [entry, added] = seen.emplace(name, declaration);
            return !added && entry->second != declaration;
        },
        0);
}

const xmlNode* SchemaDeclarations::ComplexTypeOf(const xmlNode* declaration) const {
    if (declaration == nullptr) {
        return nullptr;
    }
    if (const std::string typeName = Attribute(declaration, "type"); !typeName.empty()) {
        return Lookup(complexTypes_, LocalPart(typeName));
    }
    for (const xmlNode* node = declaration->children; node != nullptr; node = node->next) {
        if (IsXsd(node, "complexType")) {
            return node;
        }
    }
    return nullptr;
}

bool SchemaDeclarations::VisitComplexType(const xmlNode* complexType, const ParticleVisitor& visit,
                                          int depth) const {
    if (complexType == nullptr || depth > kMaxDepth) {
        return false;
    }
    for (const xmlNode* node = complexType->children; node != nullptr; node = node->next) {
        if (!IsXsd(node, "complexContent")) {
            continue;
        }
        for (const xmlNode* derivation = node->children; derivation != nullptr;
             derivation = derivation->next) {
            if (IsXsd(derivation, "extension")) {
                const xmlNode* base =
                    Lookup(complexTypes_, LocalPart(Attribute(derivation, "base")));
                if (VisitComplexType(base, visit, depth + 1)) {
                    return true;
                }
            }
            if (IsXsd(derivation, "extension") || IsXsd(derivation, "restriction")) {
                return VisitParticles(derivation, visit, depth + 1);
            }
        }
    }
    return VisitParticles(complexType, visit, depth + 1);
}

// Walks the model groups (sequence, choice, all, group references) directly inside container.
bool SchemaDeclarations::VisitParticles(const xmlNode* container, const ParticleVisitor& visit,
                                        int depth) const {
    if (depth > kMaxDepth) {
        return false;
    }
    for (const xmlNode* node = container->children; node != nullptr; node = node->next) {
        bool stopped = false;
        if (IsXsd(node, "element")) {
            stopped = VisitElement(node, visit);
        } else if (IsXsd(node, "sequence") || IsXsd(node, "choice") || IsXsd(node, "all")) {
            stopped = VisitParticles(node, visit, depth + 1);
        } else if (IsXsd(node, "group")) {
            stopped = VisitGroupRef(node, visit, depth + 1);
        }
        if (stopped) {
            return true;
        }
    }
    return false;
}

bool SchemaDeclarations::VisitElement(const xmlNode* element, const ParticleVisitor& visit) const {
    if (const std::string reference = Attribute(element, "ref"); !reference.empty()) {
        const std::string name = LocalPart(reference);
        return visit(name, Global(name));
    }
    return visit(Attribute(element, "name"), element);
}

bool SchemaDeclarations::VisitGroupRef(const xmlNode* groupRef, const ParticleVisitor& visit,
                                       int depth) const {
    const xmlNode* group = Lookup(groups_, LocalPart(Attribute(groupRef, "ref")));
    return group != nullptr && VisitParticles(group, visit, depth);
}

const xmlNode* SchemaDeclarations::Lookup(const NamedNodes& nodes, std::string_view name) {
    const auto found = nodes.find(name);
    return found == nodes.end() ? nullptr : found->second;
}

}  // namespace vat::xml
