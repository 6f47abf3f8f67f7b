#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "returns/results/form_state.h"

namespace vat {

// Readable failure messages for the core's plain rows.
inline void PrintTo(const ErrorRow& row, std::ostream* out) {
    *out << "{\"" << row.type << "\", \"" << row.error << "\"";
    if (!row.document.empty() || !row.file.empty() || row.line)
        *out << ", \"" << row.document << "\", \"" << row.file << "\", "
             << (row.line ? std::to_string(*row.line) : "none");
    *out << "}";
}

// The rows with the document dropped from the rows the run adds itself (those without a file),
// for tests about what the rows say rather than what they point at.
inline std::vector<ErrorRow> Said(std::vector<ErrorRow> rows) {
    for (ErrorRow& row : rows)
        if (row.file.empty()) row.document.clear();
    return rows;
}

inline void PrintTo(const UserMessage& message, std::ostream* out) {
    *out << (message.critical ? "[critical] \"" : "\"") << message.text << "\"";
}

}  // namespace vat
