#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "returns/filing/filing_record.h"
#include "returns/run/data_file_selection.h"
#include "returns/run/return_folders.h"

namespace vat {

// Where the filed sets of the books' month are kept, out of reach of every run, clean-up and
// exchange of the month: "<company year folder>/filed/04" in the per-company layout, and
// "<output folder>/filed/<data file>/<financial year>/04" in the flat one.
std::filesystem::path FiledMonthFolder(const ReturnFolders& folders, const SelectedBooks& books,
                                       int monthNumber);

// One filed set: the copies of a month's files as uploaded, "filing-1" the first marked.
struct FiledSet {
    std::filesystem::path folder;
    int number = 0;
    std::optional<FilingRecord> record;  // none when its filing record cannot be read
};

// The filed sets of a month, the first marked first; none when it was never marked filed.
std::vector<FiledSet> ReadFiledSets(const std::filesystem::path& filedMonthFolder);
std::string FiledSetName(int number);
// The number of a set named by FiledSetName; nullopt for any other name.
std::optional<int> FiledSetNumber(const std::string& name);

// What in a filed set is no longer as it was kept: "efile_pur04.xml was altered after filing",
// "its filing record cannot be read". Empty when the set is whole.
std::vector<std::string> AlteredFiles(const FiledSet& set);

// The month's latest filed set, when it was marked filed.
std::optional<FiledSet> LatestFiledSet(const ReturnFolders& folders, const SelectedBooks& books,
                                       int monthNumber);

}  // namespace vat
