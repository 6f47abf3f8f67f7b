#include "returns/results/number_forms.h"

#include <gtest/gtest.h>

#include <string>

namespace vat {
namespace {

TEST(AmountText, WritesThePlainDecimalOfFifteenDigitsAndFourDecimals) {
    const struct {
        double value;
        std::string text;
    } cases[] = {
        {1500, "1500"},
        {1234.5, "1234.5"},
        {1234.50, "1234.5"},
        {0.5, "0.5"},
        {99.99, "99.99"},
        {-3.25, "-3.25"},
        {0.1 + 0.2, "0.3"},
        {0, "0"},
        {-0.0, "0"},
        {1000.0, "1000"},
        {0.02, "0.02"},
        {950, "950"},
        {1000.1 - 0.2, "999.9"},
        {123456789012.34, "123456789012.34"},
        {999999999999999, "999999999999999"},
        {1e15, "1000000000000000"},
        {123456789012345.6, "123456789012346"},
        {0.000001, "0"},
        {5e-324, "0"},
        {-0.00004, "0"},
        {0.00005, "0"},
        {0.00015, "0.0002"},
        {1.23456, "1.2346"},
        {-2.00005, "-2"},
        {12345678901.23456, "12345678901.2346"},
        {-0.5, "-0.5"},
        {2.675, "2.675"},
        // Sixteen or seventeen digits read back as the value: rounded to fifteen first.
        {0.1 + 0.7, "0.8"},
        {1234567.1234567891, "1234567.1235"},
        {12.3456789012345, "12.3457"},
        // Exact ties at the sixteenth digit go to the even digit, carries included.
        {100000000000000.5, "100000000000000"},
        {100000000000001.5, "100000000000002"},
        {-100000000000002.5, "-100000000000002"},
        {999999999999999.5, "1000000000000000"},
        {0.1234567890123455, "0.1235"},
        {1e22, "10000000000000000000000"},
        {1e-20, "0"},
        {1.7976931348623157e308, "179769313486232" + std::string(294, '0')},
    };
    for (const auto& c : cases) EXPECT_EQ(AmountText(c.value), c.text) << c.value;
}

TEST(PictureText, RoundsHalvesAwayFromZeroToTwoDecimals) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0, "0.00"},
        {290, "290.00"},
        {1250.5, "1250.50"},
        {62.53, "62.53"},
        {0.005, "0.01"},
        {-0.005, "-0.01"},
        {2.675, "2.68"},
        {1.005, "1.01"},
        {-150, "-150.00"},
        {0.004, "0.00"},
        {-0.004, "0.00"},
        {99.995, "100.00"},
        {-2.5, "-2.50"},
        {0.1 + 0.2, "0.30"},
        {1234567890123.45, "1234567890123.45"},
        {999999999.999, "1000000000.00"},
    };
    for (const auto& c : cases) EXPECT_EQ(PictureText(c.value), c.text) << c.value;
}

TEST(LeadingNumber, ReadsACaptionsLeadingNumber) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"290.00", 290},   {"-150.00", -150}, {"0.00", 0}, {"", 0},   {"VAT Payable", 0},
        {"  12.5x", 12.5}, {"1.2.3", 1.2},    {"-", 0},    {"+7", 7}, {"1234.50", 1234.5},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << c.text;
}

TEST(TaxTotal, RoundsEachAdditionHalfToEvenAtTheFourthDecimal) {
    const struct {
        double tax;
        std::int64_t tenThousandths;
    } cases[] = {
        {0.00005, 0},   {0.00015, 2},      {0.00025, 2},    {0.00035, 4},
        {-0.00025, -2}, {0.03125, 312},    {0.09375, 938},  {0.125, 1250},
        {10, 100000},   {0.1 + 0.2, 3000}, {12.53, 125300}, {-0.12344, -1234},
    };
    for (const auto& c : cases) {
        TaxTotal total;
        EXPECT_TRUE(total.Add(c.tax));
        EXPECT_EQ(total.TenThousandths(), c.tenThousandths) << c.tax;
    }
}

TEST(TaxTotal, KeepsExactCentsOverManyAdditions) {
    TaxTotal total;
    bool added = true;
    for (int i = 0; i < 100000; ++i) added = total.Add(0.1) && added;
    EXPECT_TRUE(added);
    EXPECT_EQ(total.TenThousandths(), 100000000);
}

TEST(GroupedDigits, GroupsThousandsThenLakhsAndCroresAndLeavesOtherTextAlone) {
    const struct {
        const char* plain;
        const char* grouped;
    } cases[] = {
        {"0.00", "0.00"},
        {"999.99", "999.99"},
        {"1000.00", "1,000.00"},
        {"99999.00", "99,999.00"},
        {"100000.00", "1,00,000.00"},
        {"1240000.00", "12,40,000.00"},
        {"36578183.56", "3,65,78,183.56"},
        {"-1250.50", "-1,250.50"},
        {"-150.00", "-150.00"},
        {"1234", "1,234"},
        {"VAT Payable", "VAT Payable"},
        {"350.00 R", "350.00 R"},
        {"", ""},
        {"-", "-"},
        {"12.3.4", "12.3.4"},
    };
    for (const auto& [plain, grouped] : cases) EXPECT_EQ(GroupedDigits(plain), grouped) << plain;
}

}  // namespace
}  // namespace vat
