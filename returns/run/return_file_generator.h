#pragma once

#include "returns/declarations/return_file_kind.h"
#include "returns/run/return_context.h"

namespace vat {

// <month folder>/<base name><MonthTag>.xml, the month folder as MonthFolder gives it
std::filesystem::path ReturnFilePath(const ReturnFileKind& kind, const ReturnContext& context);

// <program folder>/XSD/<schema file>
std::filesystem::path ReturnSchemaPath(const ReturnFileKind& kind, const ReturnContext& context);

// The skeleton every return file follows: delete the old file, walk the voucher lists, write
// the file, set the summary labels and check the file against its schema. The file is written
// in the context's write folder; its path in the month folder is what the form lists and shows.
// Throws LedgerError, DiskError, SchemaLoadError or RunCancelled when the run cannot go
// on; no partial file remains then.
void GenerateReturnFile(const ReturnFileKind& kind, ReturnContext& context);

}  // namespace vat
