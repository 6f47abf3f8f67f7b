#include "validation/record_child_checker.h"

#include "validation/document_loading.h"
#include "validation/promoted_declaration.h"
#include "validation/xml_nodes.h"

namespace vat::xml {

RecordChildChecker::RecordChildChecker(const xmlDoc* schemaDocument, xmlSchema* schema)
    : schemaDocument_(schemaDocument), declarations_(schemaDocument), globalValidator_(schema) {}

std::optional<std::string> RecordChildChecker::Check(xmlNode* element) {
    const xmlNode* parent = element->parent;
    if (parent == nullptr || parent->type != XML_ELEMENT_NODE) {
        return globalValidator_.Check(element);
    }
    if (!IsOnLastParentPath(parent)) {
        RememberParentPath(parent);
        lastParentDeclaration_ = DeclarationOf(parent);
    }
    if (lastParentDeclaration_ == nullptr) {
        // Without a declaration for the parent only a global one can apply.
        return globalValidator_.Check(element);
    }
    const xmlNode* declaration =
        declarations_.Child(lastParentDeclaration_, QualifiedName(element));
    if (declaration == nullptr) {
        return "Element '" + QualifiedName(element) + "' is not declared in the content of '" +
               QualifiedName(parent) + "'.";
    }
    return ValidatorFor(declaration).Check(element);
}

const xmlNode* RecordChildChecker::DeclarationOf(const xmlNode* element) {
    const xmlNode* parent = element->parent;
    if (parent == nullptr || parent->type != XML_ELEMENT_NODE) {
        return declarations_.Global(QualifiedName(element));
    }
    const xmlNode* parentDeclaration = DeclarationOf(parent);
    if (parentDeclaration == nullptr) {
        return nullptr;
    }
    return declarations_.Child(parentDeclaration, QualifiedName(element));
}

bool RecordChildChecker::IsOnLastParentPath(const xmlNode* parent) const {
    std::size_t level = 0;
    for (const xmlNode* node = parent; node != nullptr && node->type == XML_ELEMENT_NODE;
         node = node->parent, ++level) {
        if (level == lastParentPath_.size() || !HasQualifiedName(node, lastParentPath_[level])) {
            return false;
        }
    }
    return level == lastParentPath_.size();
}

void RecordChildChecker::RememberParentPath(const xmlNode* parent) {
    lastParentPath_.clear();
    for (const xmlNode* node = parent; node != nullptr && node->type == XML_ELEMENT_NODE;
         node = node->parent) {
        lastParentPath_.push_back(QualifiedName(node));
    }
}

ElementValidator& RecordChildChecker::ValidatorFor(const xmlNode* declaration) {
    if (SchemaDeclarations::IsGlobal(declaration)) {
        return globalValidator_;
    }
    auto [entry, added] = derivedSchemas_.try_emplace(declaration);
    DerivedSchema& derived = entry->second;
    if (added) {
        derived.document = PromoteToGlobal(schemaDocument_, declaration);
        std::string failure;
        derived.schema =
            derived.document ? CompileSchema(derived.document.get(), failure) : nullptr;
        if (derived.schema) {
            derived.validator = std::make_unique<ElementValidator>(derived.schema.get());
        }
    }
    // Should a derived schema not compile, the schema's own global of that name, if any, decides.
    return derived.validator ? *derived.validator : globalValidator_;
}

}  // namespace vat::xml
