#pragma once

#include <string>
#include <string_view>

#include "returns/form_state.h"

namespace vat {

// Lists a document left out because its basic amount is below one rupee.
void ReportOmission(FormState& form, std::string_view typeText, std::string_view numberPrefix,
                    std::string_view number, std::string_view date, std::string_view partyName);

// Checks the return file against its schema, listing every failing node under ErrorTypeText.
bool IsXMLValid(FormState& form, const std::string& XMLFilePath_, const std::string& XSDFilePath_,
                const std::string& BaseNode);

}  // namespace vat
