#include "returns/filing/filing_status.h"

#include <algorithm>

#include "disk/sha256.h"
#include "returns/results/returns_errors.h"
#include "returns/run/month_folder.h"

namespace vat {

namespace {

// Whether the month's run record is still the one filed.
bool FiledRecord(const FilingRecord& filed, const std::filesystem::path& monthFolder) {
    const auto record =
        std::ranges::find(filed.files, std::string(kRunRecordName), &HashedFile::name);
    return record != filed.files.end() &&
           Sha256OfFile(monthFolder / kRunRecordName) == record->sha256;
}

// Whether the month's files are no longer those of the set: files that differ from it, or a
// run record naming others.
bool Revised(const FilingRecord& filed, const std::filesystem::path& monthFolder) {
    std::vector<HashedFile> kept = filed.files;
    std::erase_if(kept, [](const HashedFile& file) { return file.name == kRunRecordName; });
    for (const HashedFile& file : kept)
        if (Sha256OfFile(monthFolder / file.name) != file.sha256) return true;
    try {
        const std::optional<RunRecord> now = ReadRunRecord(monthFolder);
        return !now || now->files != kept;
    } catch (const RunRecordError&) {
        return true;
    }
}

}  // namespace

std::optional<FilingStatus> MonthFilingStatus(const ReturnFolders& folders,
                                              const SelectedBooks& books, int monthNumber) {
    const std::vector<FiledSet> sets = ReadFiledSets(FiledMonthFolder(folders, books, monthNumber));
    if (sets.empty()) return std::nullopt;
    FilingStatus status;
    for (const FiledSet& set : sets)
        for (const std::string& altered : AlteredFiles(set))
            status.altered.push_back(set.folder.filename().string() + ": " + altered);
    if (!sets.back().record) return status;
    status.latest = *sets.back().record;
    const std::filesystem::path monthFolder = MonthFolder(folders, books, monthNumber);
    status.runSinceFiling = !FiledRecord(status.latest, monthFolder);
    status.revised = status.runSinceFiling && Revised(status.latest, monthFolder);
    return status;
}

std::string FilingStatusText(const FilingStatus& status) {
    std::string text = status.latest.acknowledgement.empty()
                           ? std::string("filed, but its latest filing record cannot be read")
                           : FiledOnText(status.latest);
    if (status.revised) text += ", revised since filing";
    if (!status.altered.empty()) text += ", a filed set altered";
    return text;
}

}  // namespace vat
