#include "ledger/ledger_date.h"

#include <charconv>
#include <cstdio>

namespace vat {

namespace {

bool ParseNumber(std::string_view text, int& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::optional<LedgerDate> LedgerDate::Parse(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    LedgerDate date;
    if (!ParseNumber(text.substr(0, 4), date.year) || !ParseNumber(text.substr(5, 2), date.month) ||
        !ParseNumber(text.substr(8, 2), date.day))
        return std::nullopt;
    if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) return std::nullopt;
    return date;
}

std::string LedgerDate::IsoText() const {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

std::string LedgerDate::DisplayText() const {
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", day, month, year);
    return text;
}

}  // namespace vat
