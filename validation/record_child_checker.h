#pragma once

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "validation/element_validator.h"
#include "validation/libxml_handles.h"
#include "validation/schema_declarations.h"

namespace vat::xml {

// Checks one element of a return file on its own, as a DOM's validateNode does: its declaration
// is the one its parent's type gives it; its type, facets, attributes and subtree are checked,
// its siblings and ancestors are not.
//
// libxml2 validates a lone element only against a global declaration, so an element declared
// locally is checked against a derived schema in which that declaration is also global. Each
// derived schema is compiled once per check, however many elements use it.
class RecordChildChecker {
public:
    RecordChildChecker(const xmlDoc* schemaDocument, xmlSchema* schema);

    // The first reason the element fails for, or nothing when it is valid.
    std::optional<std::string> Check(xmlNode* element);

private:
    struct DerivedSchema {
        DocumentPtr document;
        SchemaPtr schema;
        std::unique_ptr<ElementValidator> validator;
    };

    const xmlNode* DeclarationOf(const xmlNode* element);
    ElementValidator& ValidatorFor(const xmlNode* declaration);
    bool IsOnLastParentPath(const xmlNode* parent) const;
    void RememberParentPath(const xmlNode* parent);

    const xmlDoc* schemaDocument_;
    SchemaDeclarations declarations_;
    ElementValidator globalValidator_;
    std::unordered_map<const xmlNode*, DerivedSchema> derivedSchemas_;
    // An element's declaration follows from the names from the root down to it, so the last
    // parent's is kept while those names repeat: for its siblings and the next record's
    // children. Names, not the node, tell: a file read in a stream frees nodes as it goes.
    std::vector<std::string> lastParentPath_;  // qualified names, the parent's first
    const xmlNode* lastParentDeclaration_ = nullptr;
};

}  // namespace vat::xml
