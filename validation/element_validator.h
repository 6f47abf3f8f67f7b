#pragma once

#include <optional>
#include <string>

#include "validation/libxml_errors.h"
#include "validation/libxml_handles.h"

namespace vat::xml {

// Validates single elements, each with its subtree, against the global declaration of its name
// in one compiled schema.
class ElementValidator {
public:
    explicit ElementValidator(xmlSchema* schema);
    ElementValidator(const ElementValidator&) = delete;
    ElementValidator& operator=(const ElementValidator&) = delete;

    // The first reason the element fails for, or nothing when it is valid.
    std::optional<std::string> Check(xmlNode* element);

private:
    SchemaValidContextPtr context_;
    FirstErrorCollector errors_;
};

}  // namespace vat::xml
