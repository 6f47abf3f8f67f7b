#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "returns/results/form_state.h"

namespace vat {

// How a row the run adds names its document: "B No.T1 · voucher 17".
std::string RunRowDocument(std::string_view numberPrefix, std::string_view number,
                           std::string_view voucher);

// Lists a document left out because its basic amount is below one rupee.
void ReportOmission(FormState& form, std::string_view typeText, std::string_view numberPrefix,
                    std::string_view number, std::string_view date, std::string_view partyName,
                    std::string_view voucher);

// Checks the return file against its schema, listing every failing node under ErrorTypeText
// with the file's name, the node's line and, for a record's node, the record's document as
// its documentElements (number, date, party) give it.
bool IsXMLValid(FormState& form, const std::string& XMLFilePath_, const std::string& XSDFilePath_,
                const std::string& BaseNode, const std::vector<std::string_view>& documentElements);

}  // namespace vat
