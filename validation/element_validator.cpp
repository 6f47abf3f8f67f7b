#include "validation/element_validator.h"

namespace vat::xml {

ElementValidator::ElementValidator(xmlSchema* schema) : context_(xmlSchemaNewValidCtxt(schema)) {
    if (context_) {
        xmlSchemaSetValidStructuredErrors(context_.get(), FirstErrorCollector::Receive, &errors_);
    }
}

std::optional<std::string> ElementValidator::Check(xmlNode* element) {
    if (!context_) {
        return "out of memory";
    }
    errors_.Clear();
    if (xmlSchemaValidateOneElement(context_.get(), element) == 0) {
        return std::nullopt;
    }
    return errors_.Reason();
}

}  // namespace vat::xml
