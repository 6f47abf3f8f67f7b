#pragma once

#include <ostream>

#include "returns/form_state.h"

namespace vat {

// Readable failure messages for the core's plain rows.
inline void PrintTo(const ErrorRow& row, std::ostream* out) {
    *out << "{\"" << row.type << "\", \"" << row.error << "\"}";
}

inline void PrintTo(const UserMessage& message, std::ostream* out) {
    *out << (message.critical ? "[critical] \"" : "\"") << message.text << "\"";
}

}  // namespace vat
