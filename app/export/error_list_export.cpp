#include "app/export/error_list_export.h"

#include <algorithm>
#include <cctype>
#include <string>

void ExportErrorList(const ErrorListReport& report, const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".csv")
        WriteErrorListCsv(report, file);
    else if (extension == ".xlsx")
        WriteErrorListXlsx(report, file);
    else
        throw ExportError("Cannot export to " + file.string() +
                          ": give the file the extension .csv or .xlsx");
}
