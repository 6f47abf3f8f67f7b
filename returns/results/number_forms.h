#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vat {

// A document amount as the return files write it: the plain decimal text of the double with
// at most 15 significant digits and 4 decimals (rounded as TaxTotal rounds), no trailing zeros,
// no point for a whole number ("1234.5").
std::string AmountText(double value);

// A summary figure: two decimals rounded half away from zero, at least one digit before the
// point, a leading minus when negative ("#########0.00" and its wider twins).
std::string PictureText(double value);

// A sum in paise in the same picture ("1250.50", "-0.02").
std::string PaiseText(std::int64_t paise);

// A plain number as a person reads it, the whole part's digits grouped the Indian way:
// "1240000.00" as "12,40,000.00", "-1250.50" as "-1,250.50". Any other text ("VAT Payable",
// "12 R") is returned as it is.
std::string GroupedDigits(std::string_view plainNumber);

// A sum in paise as a person reads it: 124000000 as "12,40,000.00". Every amount shown to a
// person, on any surface, goes through here or GroupedDigits.
std::string GroupedPaise(std::int64_t paise);

// Rupees as a person reads them, two decimals rounded half away from zero: "40,000.00".
std::string GroupedRupees(double rupees);

enum class Tie { AwayFromZero, ToEven };

// The value in units of 10^-decimals, rounded from its 15-digit decimal form, so that a value
// is rounded as the decimal the ledger holds rather than its binary neighbour (0.00015 is a
// half, not 0.000149999...).
std::int64_t ScaledDecimal(double value, int decimals, Tie tie);

// The leading number of a caption, "." as the decimal point; 0 when it has none.
double LeadingNumber(std::string_view text);

// A generator's running tax total: a 64-bit amount with four decimals. Each addition rounds
// the document's tax to the nearest ten-thousandth, halves to the even digit.
class TaxTotal {
public:
    // False, leaving the total as it was, when the sum would not fit.
    [[nodiscard]] bool Add(double tax);
    std::int64_t TenThousandths() const { return tenThousandths_; }

private:
    std::int64_t tenThousandths_ = 0;
};

}  // namespace vat
