#pragma once

#include <ostream>
#include <string>

#include "returns/form_state.h"

namespace vat {

// Readable failure messages for the core's plain rows.
inline void PrintTo(const ErrorRow& row, std::ostream* out) {
    *out << "{\"" << row.type << "\", \"" << row.error << "\"";
    if (!row.document.empty() || !row.file.empty() || row.line)
        *out << ", \"" << row.document << "\", \"" << row.file << "\", "
             << (row.line ? std::to_string(*row.line) : "none");
    *out << "}";
}

inline void PrintTo(const UserMessage& message, std::ostream* out) {
    *out << (message.critical ? "[critical] \"" : "\"") << message.text << "\"";
}

}  // namespace vat
