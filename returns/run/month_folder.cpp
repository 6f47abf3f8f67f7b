#include "returns/run/month_folder.h"

#include "returns/rules/return_period.h"

namespace vat {

std::string FinancialYearText(const SelectedBooks& books) {
    const int start = books.yearStart.year;
    const int end = books.yearEnd ? books.yearEnd->year : start + 1;
    const std::string endDigits = std::to_string(end % 100);
    return std::to_string(start) + "-" + (endDigits.size() < 2 ? "0" : "") + endDigits;
}

namespace {

bool OneFolderName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// Why a folder of this name would lie among the flat layout's own names in the output folder;
// nullopt when it would not.
std::optional<std::string> OwnNameClash(const std::string& name) {
    // The lock, staging folders and journal of a month, and whatever else the program keeps
    // there, are named with a leading dot: no company's folder may ever be taken for one.
    if (name.starts_with(".")) return "names starting with \".\" are the program's own there";
    for (int month = 1; month <= 12; ++month)
        if (name == ReturnPeriod{month, 0}.MonthTag()) return "it is a month folder's name";
    if (name == kFiledFolderName) return "the flat layout keeps filed returns there";
    return std::nullopt;
}

}  // namespace

std::optional<std::string> MonthFolderRefusal(const ReturnFolders& folders,
                                              const std::string& dataFile) {
    if (folders.layout == MonthFolderLayout::Flat) return std::nullopt;
    const std::string refused =
        "The data file name \"" + dataFile + "\" cannot name a folder of month folders";
    const std::string instead =
        "; write its months with the flat layout (month folders straight in the output folder)";
    if (!OneFolderName(dataFile)) return refused + instead;
    if (auto clash = OwnNameClash(dataFile))
        return refused + " in the output folder: " + *clash + instead;
    return std::nullopt;
}

std::filesystem::path MonthsFolder(const ReturnFolders& folders, const SelectedBooks& books) {
    if (folders.layout == MonthFolderLayout::Flat) return folders.output;
    return folders.output / books.dataFile / FinancialYearText(books);
}

std::filesystem::path MonthFolder(const ReturnFolders& folders, const SelectedBooks& books,
                                  int monthNumber) {
    return MonthsFolder(folders, books) / ReturnPeriod{monthNumber, 0}.MonthTag();
}

}  // namespace vat
