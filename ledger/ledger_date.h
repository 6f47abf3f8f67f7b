#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vat {

// A calendar date as the ledger stores it (no time of day).
struct LedgerDate {
    int year = 0;
    int month = 0;
    int day = 0;

    // Parses the server's "yyyy-mm-dd" text; nullopt for anything else.
    static std::optional<LedgerDate> Parse(std::string_view text);

    std::string IsoText() const;      // "yyyy-MM-dd", the return files' form
    std::string DisplayText() const;  // "dd/MM/yyyy", the window's form

    friend bool operator==(const LedgerDate&, const LedgerDate&) = default;
};

}  // namespace vat
