#include "returns/error_rows.h"

#include "validation/schema_validation.h"

namespace vat {

void ReportOmission(FormState& form, std::string_view typeText, std::string_view numberPrefix,
                    std::string_view number, std::string_view date, std::string_view partyName) {
    form.AddErrorRow(std::string(typeText),
                     std::string(numberPrefix) + std::string(number) +
                         " Dated:" + std::string(date) + " of " + std::string(partyName) +
                         " omitted due to basic amount being less than Rs.1");
}

bool IsXMLValid(FormState& form, const std::string& XMLFilePath_, const std::string& XSDFilePath_,
                const std::string& BaseNode) {
    return Validate(XMLFilePath_, XSDFilePath_, BaseNode,
                    [&form](const std::string& message) { form.AddValidationError(message); });
}

}  // namespace vat
