#include "validation/schema_declarations.h"

#include "validation/xml_nodes.h"

namespace vat::xml {

namespace {

// Deeper nesting than this only comes from a cycle of groups or base types.
constexpr int MaxDepth = 64;

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
    const xmlNode* declaration = FindInComplexType(ComplexTypeOf(parentDeclaration), childName, 0);
    children_.emplace(std::move(key), declaration);
    return declaration;
}

bool SchemaDeclarations::IsGlobal(const xmlNode* declaration) {
    return declaration->parent != nullptr && IsXsd(declaration->parent, "schema");
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

const xmlNode* SchemaDeclarations::FindInComplexType(const xmlNode* complexType,
                                                     std::string_view name, int depth) const {
    if (complexType == nullptr || depth > MaxDepth) {
        return nullptr;
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
                if (const xmlNode* found = FindInComplexType(base, name, depth + 1)) {
                    return found;
                }
            }
            if (IsXsd(derivation, "extension") || IsXsd(derivation, "restriction")) {
                return FindInParticles(derivation, name, depth + 1);
            }
        }
    }
    return FindInParticles(complexType, name, depth + 1);
}

// Searches the model groups (sequence, choice, all, group references) directly inside container.
const xmlNode* SchemaDeclarations::FindInParticles(const xmlNode* container, std::string_view name,
                                                   int depth) const {
    if (depth > MaxDepth) {
        return nullptr;
    }
    for (const xmlNode* node = container->children; node != nullptr; node = node->next) {
        const xmlNode* found = nullptr;
        if (IsXsd(node, "element")) {
            found = FindInElement(node, name);
        } else if (IsXsd(node, "sequence") || IsXsd(node, "choice") || IsXsd(node, "all")) {
            found = FindInParticles(node, name, depth + 1);
        } else if (IsXsd(node, "group")) {
            found = FindInGroupRef(node, name, depth + 1);
        }
        if (found != nullptr) {
            return found;
        }
    }
    return nullptr;
}

const xmlNode* SchemaDeclarations::FindInElement(const xmlNode* element,
                                                 std::string_view name) const {
    if (const std::string reference = Attribute(element, "ref"); !reference.empty()) {
        return LocalPart(reference) == name ? Global(name) : nullptr;
    }
    return Attribute(element, "name") == name ? element : nullptr;
}

const xmlNode* SchemaDeclarations::FindInGroupRef(const xmlNode* groupRef, std::string_view name,
                                                  int depth) const {
    const xmlNode* group = Lookup(groups_, LocalPart(Attribute(groupRef, "ref")));
    return group == nullptr ? nullptr : FindInParticles(group, name, depth);
}

const xmlNode* SchemaDeclarations::Lookup(const NamedNodes& nodes, std::string_view name) {
    const auto found = nodes.find(name);
    return found == nodes.end() ? nullptr : found->second;
}

}  // namespace vat::xml
