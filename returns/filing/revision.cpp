#include "returns/filing/revision.h"

#include <algorithm>

#include "disk/disk_error.h"
#include "disk/small_file.h"
#include "returns/filing/mark_filed.h"
#include "returns/results/returns_errors.h"
#include "returns/results/summary_figures.h"

namespace vat {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kLargestReturnFile = std::size_t{1} << 30;

std::string Bytes(const fs::path& path) {
    std::optional<std::string> bytes = ReadSmallFile(path, kLargestReturnFile);
    if (!bytes) throw DiskError("Cannot read " + path.string() + ": it is missing");
    return std::move(*bytes);
}

std::vector<ReturnFileText> FilesOf(const std::vector<HashedFile>& files, const fs::path& folder) {
    std::vector<ReturnFileText> texts;
    for (const HashedFile& file : files)
        if (file.name != kRunRecordName) texts.push_back({file.name, Bytes(folder / file.name)});
    return texts;
}

std::vector<FigureRevision> FigureRevisions(const SummaryFigures& was, const SummaryFigures& is) {
    std::vector<FigureRevision> figures;
    for (const FigureDeclaration& declared : FigureTable()) {
        std::string key(declared.jsonKey);
        if (!declared.jsonPart.empty()) key.append(".").append(declared.jsonPart);
        figures.push_back({std::move(key), std::string(declared.sentence), declared.isCount,
                           ValueOf(was, declared.figure).value_or(0),
                           ValueOf(is, declared.figure).value_or(0)});
    }
    return figures;
}

}  // namespace

bool Revision::Changed() const {
    return !documents.empty() || std::ranges::any_of(figures, [](const FigureRevision& figure) {
        return figure.was != figure.is;
    });
}

Revision ReviseAgainst(const FiledSet& filed, const std::string& monthTitle,
                       const fs::path& monthFolder, const RunRecord& now) {
    if (const std::vector<std::string> altered = AlteredFiles(filed); !altered.empty()) {
        std::string reasons;
        for (const std::string& reason : altered) reasons += (reasons.empty() ? "" : "; ") + reason;
        throw FiledSetUnusable("the filed set " + filed.folder.string() +
                               " was altered after filing (" + reasons + "); it is not compared");
    }
    RunRecord filedRecord;
    try {
        filedRecord = ParseRunRecord(Bytes(filed.folder / kRunRecordName));
    } catch (const RunRecordError& error) {
        throw FiledSetUnusable("the run record of the filed set " + filed.folder.string() +
                               " cannot be read: " + error.what());
    }
    return {.of = *filed.record,
            .monthTitle = monthTitle,
            .documents = CompareReturnFiles(FilesOf(filed.record->files, filed.folder),
                                            FilesOf(now.files, monthFolder)),
            .figures = FigureRevisions(filedRecord.figures, now.figures)};
}

std::optional<Revision> RevisionOfMonth(const ReturnFolders& folders, const SelectedBooks& books,
                                        int monthNumber, const fs::path& monthFolder,
                                        const RunRecord& now) {
    const std::optional<FiledSet> latest = LatestFiledSet(folders, books, monthNumber);
    if (!latest) return std::nullopt;
    return ReviseAgainst(*latest, MonthOfYearTitle(books, monthNumber), monthFolder, now);
}

}  // namespace vat
