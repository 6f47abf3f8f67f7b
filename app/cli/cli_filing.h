#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>

#include "app/cli/cli_options.h"
#include "returns/filing/filing_status.h"
#include "returns/filing/run_revision.h"
#include "returns/run/run_result.h"

// --mark-filed: keeps the month's files as filed and prints where, or with --json
// {"filed": {"acknowledgement", "filedOn", "folder", "files": [{"name", "sha256"}]}}. Returns the
// exit status: 0 when kept, 2 when refused, 1 when the copies could not be written.
int MarkMonthFiled(const vat::SelectedBooks& books, const vat::ReturnFolders& folders,
                   const CliOptions& options);

// The run's report as PrintHumanReport or PrintJsonReport prints it, with the revision after
// it ("revision" in JSON).
void PrintRunReport(const vat::RunResult& result, const vat::RunRevision& revision, bool json,
                    std::ostream& out);

// --verify of a filed month: after the books check, the month's filing, the documents the books
// now give otherwise than the latest filed set, and every filed set altered since it was kept;
// in JSON as "filed" and "sinceFiling" of the check's object.
void PrintFilingCheck(const vat::FilingStatus& filing, const vat::RunRevision& sinceFiling,
                      std::ostream& out);
void AddFilingCheck(nlohmann::ordered_json& check, const vat::FilingStatus& filing,
                    const vat::RunRevision& sinceFiling);
