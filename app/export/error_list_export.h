#pragma once

#include <filesystem>
#include <stdexcept>

#include "app/export/error_list_report.h"

// A file that could not be written, with the reason.
class ExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes the report as CSV or XLSX, as the file's extension says (".csv", ".xlsx", any case);
// throws ExportError for another extension or when the file cannot be written.
void ExportErrorList(const ErrorListReport& report, const std::filesystem::path& file);

// The same with the format given.
void WriteErrorListCsv(const ErrorListReport& report, const std::filesystem::path& file);
void WriteErrorListXlsx(const ErrorListReport& report, const std::filesystem::path& file);
