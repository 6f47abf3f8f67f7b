#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "returns/run/data_file_selection.h"
#include "returns/run/return_folders.h"

namespace vat {

// The folder that keeps filed returns: in the year's folder of a data file, and straight in the
// output folder in the flat layout, where no data file's folder may take its name.
inline constexpr std::string_view kFiledFolderName = "filed";

// The books' financial year as its folder is named: "2014-15" from a start in 2014 and an end in
// 2015. Books without an end date end a year after they start.
std::string FinancialYearText(const SelectedBooks& books);

// Why the month folders of the data file cannot be laid out as the folders say: under the
// company-year layout its name becomes a folder in the output folder, beside the flat layout's,
// and must be one name of its own (not empty, "." or "..", no '/') that none of the program's
// there can be taken for: no leading dot (locks, staging folders, journals) and no month
// folder's name ("01" to "12"). nullopt when they can.
std::optional<std::string> MonthFolderRefusal(const ReturnFolders& folders,
                                              const std::string& dataFile);

// The folder that holds the books' month folders, their locks and staging folders: the output
// folder itself, or its <data file>/<financial year> folder.
std::filesystem::path MonthsFolder(const ReturnFolders& folders, const SelectedBooks& books);

// Where the books' files of the month go: "<MonthsFolder>/04" for April.
std::filesystem::path MonthFolder(const ReturnFolders& folders, const SelectedBooks& books,
                                  int monthNumber);

}  // namespace vat
