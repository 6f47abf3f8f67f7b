#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "returns/filing/document_changes.h"
#include "returns/filing/filed_sets.h"
#include "returns/record/run_record.h"

namespace vat {

// A filed set that cannot be compared with: altered since it was kept, or unreadable. It is
// never used silently.
class FiledSetUnusable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A summary figure as the filed return gave it and as the month's files give it now: paise, or
// bills for a count.
struct FigureRevision {
    std::string key;       // "vatPayable", "urdSales.bills"
    std::string sentence;  // "VAT payable"
    bool isCount = false;
    std::int64_t was = 0;
    std::int64_t is = 0;
};

// What the month's files change against the latest filed set of the month.
struct Revision {
    FilingRecord of;
    std::string monthTitle;  // "April 2014"
    std::vector<DocumentChange> documents;
    std::vector<FigureRevision> figures;  // every figure, in the summary's order

    bool Changed() const;
};

// The month's files, as their record names them in monthFolder, against the filed set. Throws
// FiledSetUnusable, ReturnFileUnreadable or DiskError.
Revision ReviseAgainst(const FiledSet& filed, const std::string& monthTitle,
                       const std::filesystem::path& monthFolder, const RunRecord& now);

// The revision a month's files are of its latest filed set; nullopt when the month was never
// marked filed. Throws as ReviseAgainst does.
std::optional<Revision> RevisionOfMonth(const ReturnFolders& folders, const SelectedBooks& books,
                                        int monthNumber, const std::filesystem::path& monthFolder,
                                        const RunRecord& now);

}  // namespace vat
