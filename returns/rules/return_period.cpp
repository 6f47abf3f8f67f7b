#include "returns/rules/return_period.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace vat {

const std::array<MonthEntry, 12>& FinancialYearMonths() {
    static const std::array<MonthEntry, 12> months{{
        {"APR", 4, "APRIL"},
        {"MAY", 5, "MAY"},
        {"JUN", 6, "JUNE"},
        {"JUL", 7, "JULY"},
        {"AUG", 8, "AUGUST"},
        {"SEP", 9, "SEPTEMBER"},
        {"OCT", 10, "OCTOBER"},
        {"NOV", 11, "NOVEMBER"},
        {"DEC", 12, "DECEMBER"},
        {"JAN", 1, "JANUARY"},
        {"FEB", 2, "FEBRUARY"},
        {"MAR", 3, "MARCH"},
    }};
    return months;
}

std::size_t FinancialYearIndex(int monthNumber) {
    return static_cast<std::size_t>((monthNumber + 8) % 12);
}

std::optional<int> ParseMonth(std::string_view text) {
    int number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error == std::errc() && end == text.data() + text.size())
        return number >= 1 && number <= 12 ? std::optional<int>(number) : std::nullopt;
    const auto same = [&](std::string_view name) {
        return text.size() == name.size() &&
               std::equal(text.begin(), text.end(), name.begin(), [](char a, char b) {
                   return std::toupper(static_cast<unsigned char>(a)) == b;
               });
    };
    for (const MonthEntry& month : FinancialYearMonths())
        if (same(month.name) || same(month.fullName)) return month.number;
    return std::nullopt;
}

std::string ReturnPeriod::MonthTag() const {
    std::string tag = monthNumber < 10 ? "0" : "";
    return tag += std::to_string(monthNumber);
}

std::string MonthTitle(int monthNumber) {
    std::string name(FinancialYearMonths()[FinancialYearIndex(monthNumber)].fullName);
    for (std::size_t at = 1; at < name.size(); ++at)
        name[at] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[at])));
    return name;
}

}  // namespace vat
