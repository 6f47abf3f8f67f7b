#include "returns/run/month_folder.h"

#include "returns/rules/return_period.h"

namespace vat {

std::string FinancialYearText(const SelectedBooks& books) {
    const int start = books.yearStart.year;
    const int end = books.yearEnd ? books.yearEnd->year : start + 1;
    const std::string endDigits = std::to_string(end % 100);
    return std::to_string(start) + "-" + (endDigits.size() < 2 ? "0" : "") + endDigits;
}

std::optional<std::string> MonthFolderRefusal(const ReturnFolders& folders,
                                              const std::string& dataFile) {
    if (folders.layout == MonthFolderLayout::Flat) return std::nullopt;
    if (!dataFile.empty() && dataFile != "." && dataFile != ".." &&
        dataFile.find('/') == std::string::npos)
        return std::nullopt;
    return "The data file name \"" + dataFile +
           "\" cannot name a folder of month folders; write its months with the flat layout "
           "(month folders straight in the output folder)";
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
