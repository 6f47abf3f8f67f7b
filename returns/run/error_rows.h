#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "returns/declarations/return_file_kind.h"
#include "returns/results/error_row.h"
#include "returns/run/sorted_by_key.h"
#include "validation/schema_validation.h"

namespace vat {

// How a row the run adds names its document: "B No.T1 · voucher 17".
std::string RunRowDocument(std::string_view numberPrefix, std::string_view number,
                           std::string_view voucher);

// The row of a document left out because its basic amount is below one rupee.
ErrorRow OmissionRow(std::string_view typeText, std::string_view numberPrefix,
                     std::string_view number, std::string_view date, std::string_view partyName,
                     std::string_view voucher, std::optional<long long> voucherNumber);

// Checks a return file against its schema and adds a row, under the file's validation Type,
// for every failing node: the file's name, the node's line and, for a record's node, the
// record's document as the kind's document elements (number, date, party) give it and the
// voucher written under that number. True when the file is valid.
bool CheckReturnFile(const std::filesystem::path& file, const CompiledSchema& schema,
                     const ReturnFileKind& kind,
                     const SortedByKey<std::string, long long>& voucherOfNumber,
                     std::vector<ErrorRow>& rows);

}  // namespace vat
