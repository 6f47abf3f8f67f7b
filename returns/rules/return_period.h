#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vat {

// One entry of the month list: its text, its month number (the entry's item data) and the
// month's full name.
struct MonthEntry {
    std::string_view name;
    int number;
    std::string_view fullName;
};

// The twelve months in financial-year order, April first.
const std::array<MonthEntry, 12>& FinancialYearMonths();
// A month's place in that order: 0 for April (4) to 11 for March (3); monthNumber is 1 to 12.
std::size_t FinancialYearIndex(int monthNumber);

// The month as a sentence names it: "April" (1 to 12).
std::string MonthTitle(int monthNumber);

// A month given as its list text or its full name (any case: "apr", "OCT", "April") or its
// number ("1" to "12").
std::optional<int> ParseMonth(std::string_view text);

// The chosen month of a run.
struct ReturnPeriod {
    int monthNumber = 0;  // 1 to 12; written into SQL without a leading zero
    int returnYear = 0;   // the year of the financial-year start, for every month

    std::string MonthTag() const;  // "01" to "12": folder and file names, the Period element
};

}  // namespace vat
