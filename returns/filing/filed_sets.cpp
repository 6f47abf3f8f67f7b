#include "returns/filing/filed_sets.h"

#include <algorithm>
#include <charconv>

#include "disk/disk_error.h"
#include "disk/sha256.h"
#include "disk/small_file.h"
#include "returns/results/returns_errors.h"
#include "returns/rules/return_period.h"
#include "returns/run/month_folder.h"

namespace vat {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSetPrefix = "filing-";
constexpr std::size_t kLargestFilingRecord = std::size_t{1} << 20;

}  // namespace

std::optional<int> FiledSetNumber(const std::string& name) {
    if (!name.starts_with(kSetPrefix)) return std::nullopt;
    int number = 0;
    const char* digits = name.data() + kSetPrefix.size();
    const char* end = name.data() + name.size();
    const auto [stopped, error] = std::from_chars(digits, end, number);
    if (error != std::errc() || stopped != end || number < 1) return std::nullopt;
    return number;
}

namespace {

std::optional<FilingRecord> ReadFilingRecord(const fs::path& folder) {
    try {
        const std::optional<std::string> text =
            ReadSmallFile(folder / kFilingRecordName, kLargestFilingRecord);
        if (!text) return std::nullopt;
        return ParseFilingRecord(*text);
    } catch (const DiskError&) {
        return std::nullopt;
    } catch (const RunRecordError&) {
        return std::nullopt;
    }
}

}  // namespace

fs::path FiledMonthFolder(const ReturnFolders& folders, const SelectedBooks& books,
                          int monthNumber) {
    const std::string monthTag = ReturnPeriod{monthNumber, 0}.MonthTag();
    if (folders.layout == MonthFolderLayout::Flat)
        return folders.output / kFiledFolderName / books.dataFile / FinancialYearText(books) /
               monthTag;
    return MonthsFolder(folders, books) / kFiledFolderName / monthTag;
}

std::string FiledSetName(int number) { return std::string(kSetPrefix) + std::to_string(number); }

std::vector<FiledSet> ReadFiledSets(const fs::path& filedMonthFolder) {
    std::vector<FiledSet> sets;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(filedMonthFolder, error)) {
        const std::optional<int> number = FiledSetNumber(entry.path().filename().string());
        if (!number || entry.is_symlink(error) || !entry.is_directory(error)) continue;
        sets.push_back({entry.path(), *number, ReadFilingRecord(entry.path())});
    }
    std::ranges::sort(sets, {}, &FiledSet::number);
    return sets;
}

std::vector<std::string> AlteredFiles(const FiledSet& set) {
    if (!set.record) return {"its filing record cannot be read"};
    std::vector<std::string> altered;
    for (const HashedFile& file : set.record->files) {
        const fs::path path = set.folder / file.name;
        std::error_code error;
        const bool regular = fs::is_regular_file(fs::symlink_status(path, error));
        const std::optional<std::string> hash =
            regular ? Sha256OfFile(path) : std::optional<std::string>();
        if (!hash)
            altered.push_back(file.name + " is missing");
        else if (*hash != file.sha256)
            altered.push_back(file.name + " was altered after filing");
    }
    return altered;
}

std::optional<FiledSet> LatestFiledSet(const ReturnFolders& folders, const SelectedBooks& books,
                                       int monthNumber) {
    std::vector<FiledSet> sets = ReadFiledSets(FiledMonthFolder(folders, books, monthNumber));
    if (sets.empty()) return std::nullopt;
    return std::move(sets.back());
}

}  // namespace vat
