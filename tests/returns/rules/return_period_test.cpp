#include "returns/rules/return_period.h"

#include <gtest/gtest.h>

#include <utility>

namespace vat {
namespace {

TEST(FinancialYearMonths, RunFromAprilToMarchWithTheirNumbers) {
    const auto& months = FinancialYearMonths();
    const char* names[] = {"APR", "MAY", "JUN", "JUL", "AUG", "SEP",
                           "OCT", "NOV", "DEC", "JAN", "FEB", "MAR"};
    const int numbers[] = {4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2, 3};
    for (std::size_t i = 0; i < months.size(); ++i) {
        EXPECT_EQ(months[i].name, names[i]);
        EXPECT_EQ(months[i].number, numbers[i]);
    }
}

TEST(ReturnPeriod, TagsMonthsWithTwoDigits) {
    EXPECT_EQ((ReturnPeriod{4, 2014}.MonthTag()), "04");
    EXPECT_EQ((ReturnPeriod{10, 2014}.MonthTag()), "10");
    EXPECT_EQ((ReturnPeriod{1, 2014}.MonthTag()), "01");
    EXPECT_EQ((ReturnPeriod{12, 2014}.MonthTag()), "12");
}

TEST(ParseMonth, TakesShortAndFullNamesInAnyCaseAndNumbers) {
    const std::pair<const char*, int> good[] = {
        {"apr", 4},   {"Oct", 10},      {"MAR", 3},      {"1", 1},   {"12", 12},
        {"April", 4}, {"september", 9}, {"FEBRUARY", 2}, {"May", 5}, {"jUNE", 6},
    };
    for (const auto& [text, month] : good) EXPECT_EQ(ParseMonth(text), month) << text;
    for (const char* bad : {"", "0", "13", "Sept", "Aprill", "4x", "-4", " 4"})
        EXPECT_FALSE(ParseMonth(bad).has_value()) << bad;
}

}  // namespace
}  // namespace vat
