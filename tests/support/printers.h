#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "returns/results/error_row.h"
#include "returns/results/user_message.h"

namespace vat {

// Readable failure messages for the core's plain rows.
inline void PrintTo(const ErrorRow& row, std::ostream* out) {
    *out << "{\"" << row.type << "\", \"" << row.error << "\"";
    if (!row.document.empty() || !row.file.empty() || row.line)
        *out << ", \"" << row.document << "\", \"" << row.file << "\", "
             << (row.line ? std::to_string(*row.line) : "none");
    if (row.voucher) *out << ", voucher " << *row.voucher;
    *out << "}";
}

// The rows with what they point at dropped: the voucher of every row and the document of the
// rows the run adds itself (those without a file), for tests about what the rows say.
inline std::vector<ErrorRow> Said(std::vector<ErrorRow> rows) {
    for (ErrorRow& row : rows) {
        if (row.file.empty()) row.document.clear();
        row.voucher.reset();
    }
    return rows;
}

inline void PrintTo(const UserMessage& message, std::ostream* out) {
    *out << (message.critical ? "[critical] \"" : "\"") << message.text << "\"";
}

}  // namespace vat
