#pragma once

#include <optional>
#include <string>

#include "returns/filing/revision.h"
#include "returns/run/run_result.h"

namespace vat {

// What a run of a filed month changes since filing, or why that cannot be said; none of a month
// never marked filed or of a run that did not complete.
struct RunRevision {
    std::optional<Revision> revision;
    std::string problem;  // a filed set altered or unreadable
};

// The run's files, in the month folder it names, against the month's latest filed set, looked
// for in folders.
RunRevision RevisionOfRun(const RunResult& result, const ReturnFolders& folders);

}  // namespace vat
