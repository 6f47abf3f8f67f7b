#include "returns/return_period.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace vat {

const std::array<MonthEntry, 12>& FinancialYearMonths() {
    static const std::array<MonthEntry, 12> months{{
        {"APR", 4},
        {"MAY", 5},
        {"JUN", 6},
        {"JUL", 7},
        {"AUG", 8},
        {"SEP", 9},
        {"OCT", 10},
        {"NOV", 11},
        {"DEC", 12},
        {"JAN", 1},
        {"FEB", 2},
        {"MAR", 3},
    }};
    return months;
}

std::optional<int> ParseMonth(std::string_view text) {
    int number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error == std::errc() && end == text.data() + text.size())
        return number >= 1 && number <= 12 ? std::optional<int>(number) : std::nullopt;
    for (const MonthEntry& month : FinancialYearMonths()) {
        bool same = text.size() == month.name.size() &&
                    std::equal(text.begin(), text.end(), month.name.begin(), [](char a, char b) {
                        return std::toupper(static_cast<unsigned char>(a)) == b;
                    });
        if (same) return month.number;
    }
    return std::nullopt;
}

std::string ReturnPeriod::MonthTag() const {
    std::string tag = MonthNumber < 10 ? "0" : "";
    return tag += std::to_string(MonthNumber);
}

}  // namespace vat
