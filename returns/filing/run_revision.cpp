#include "returns/filing/run_revision.h"

#include "disk/disk_error.h"
#include "returns/filing/written_documents.h"

namespace vat {

RunRevision RevisionOfRun(const RunResult& result, const ReturnFolders& folders) {
    if (!result.Completed() || !result.record || !result.books || result.monthFolder.empty())
        return {};
    const auto cannotCompare = [](const std::exception& error) {
        return RunRevision{std::nullopt,
                           std::string("cannot compare with the filed set: ") + error.what()};
    };
    try {
        return {RevisionOfMonth(folders, *result.books, result.monthNumber, result.monthFolder,
                                *result.record),
                {}};
    } catch (const FiledSetUnusable& error) {
        return {std::nullopt, error.what()};
    } catch (const ReturnFileUnreadable& error) {
        return cannotCompare(error);
    } catch (const DiskError& error) {
        return cannotCompare(error);
    }
}

}  // namespace vat
