#include "returns/check/filing_check.h"

#include <optional>

#include "disk/disk_error.h"
#include "disk/throwaway_folder.h"

namespace vat {

RunResult CheckBeforeFiling(LedgerConnection& ledger, const RunSelection& selection,
                            RunObserver& observer, const RunCancel* cancel) {
    std::optional<ThrowawayFolder> scratch;
    try {
        scratch.emplace("vat-efile-check-");
    } catch (const DiskError& error) {
        return {.outcome = RunOutcome::Failed,
                .books = selection.books,
                .monthNumber = selection.monthNumber,
                .messages = {{error.what(), true}}};
    }
    RunSelection check = selection;
    check.folders = ReturnFolders(scratch->Path(), selection.folders.schemas);
    RunResult result = GenerationRun(ledger, check, observer, cancel);
    // The throwaway folder goes with this call: its paths would name nothing.
    const std::string scratchPrefix = scratch->Path().string() + "/";
    for (UserMessage& message : result.messages)
        for (auto at = message.text.find(scratchPrefix); at != std::string::npos;
             at = message.text.find(scratchPrefix, at))
            message.text.erase(at, scratchPrefix.size());
    for (FileAccount& account : result.accounts) account.path.reset();
    result.record.reset();
    result.monthFolder.clear();
    result.checkedOnly = true;
    result.messages.push_back({"Checked only: nothing was written in the month's folder.", false});
    return result;
}

}  // namespace vat
