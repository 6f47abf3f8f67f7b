#pragma once

#include "returns/return_context.h"
#include "returns/return_file_kind.h"

namespace vat {

// <output folder>/<MonthTag>/<base name><MonthTag>.xml
std::filesystem::path ReturnFilePath(const ReturnFileKind& kind, const ReturnContext& context);

// The skeleton every return file follows: delete the month's old file, walk the voucher
// lists, write the file, set the summary labels and check the file against its schema.
// Throws LedgerError, ReturnFileError or SchemaLoadError when the run cannot go on; no
// partial file remains then.
void GenerateReturnFile(const ReturnFileKind& kind, ReturnContext& context);

}  // namespace vat
