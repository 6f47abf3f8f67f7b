#include "number_forms.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vat {

namespace {

// The value's decimal digits (no leading zeros) and the power of ten of the first digit,
// rounded to the given number of significant digits.
struct DecimalDigits {
    bool negative = false;
    std::string digits;  // empty for zero
    int exponent = 0;    // value = 0.d1d2d3... * 10^(exponent + 1)
};

DecimalDigits Decompose(double value, int significantDigits) {
    DecimalDigits result;
    if (value == 0 || !std::isfinite(value)) return result;
    char text[64];
    std::snprintf(text, sizeof text, "%.*e", significantDigits - 1, value);
    const char* at = text;
    if (*at == '-') {
        result.negative = true;
        ++at;
    }
    // Only the digits: the decimal point printf writes depends on the locale.
    for (; *at != 'e'; ++at)
        if (*at >= '0' && *at <= '9') result.digits += *at;
    result.exponent = std::atoi(at + 1);
    while (!result.digits.empty() && result.digits.back() == '0') result.digits.pop_back();
    return result;
}

// Plain decimal text of digits d1d2... scaled so d1 stands at 10^exponent.
std::string PlainDecimal(const std::string& digits, int exponent) {
    std::string whole, fraction;
    if (exponent < 0) {
        whole = "0";
        fraction = std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else if (static_cast<int>(digits.size()) <= exponent + 1) {
        whole = digits + std::string(static_cast<size_t>(exponent + 1) - digits.size(), '0');
    } else {
        whole = digits.substr(0, static_cast<size_t>(exponent + 1));
        fraction = digits.substr(static_cast<size_t>(exponent + 1));
    }
    return fraction.empty() ? whole : whole + "." + fraction;
}

}  // namespace

std::string AmountText(double value) {
    DecimalDigits decimal = Decompose(value, 15);
    if (decimal.digits.empty()) return "0";
    return (decimal.negative ? "-" : "") + PlainDecimal(decimal.digits, decimal.exponent);
}

std::string PictureText(double value) {
    // Round the 15-digit decimal form, as an accountant reads the figure, not the binary one:
    // 2.675 shows as 2.68.
    DecimalDigits decimal = Decompose(value, 15);
    std::string cents;  // the value in hundredths, as digits
    if (!decimal.digits.empty()) {
        const int keep = decimal.exponent + 3;  // digits down to the hundredths
        if (keep >= 0) {
            std::string digits = decimal.digits;
            bool roundUp = static_cast<int>(digits.size()) > keep &&
                           digits[static_cast<size_t>(keep)] >= '5';
            if (static_cast<int>(digits.size()) > keep) digits.resize(static_cast<size_t>(keep));
            digits += std::string(static_cast<size_t>(keep) - digits.size(), '0');
            if (roundUp) {
                int at = keep - 1;
                for (; at >= 0 && digits[static_cast<size_t>(at)] == '9'; --at)
                    digits[static_cast<size_t>(at)] = '0';
                if (at >= 0)
                    ++digits[static_cast<size_t>(at)];
                else
                    digits.insert(digits.begin(), '1');
            }
            cents = digits;
        }
    }
    while (cents.size() > 1 && cents.front() == '0') cents.erase(cents.begin());
    if (cents.empty()) cents = "0";
    if (cents.size() < 3) cents.insert(0, 3 - cents.size(), '0');
    const bool zero = cents.find_first_not_of('0') == std::string::npos;
    std::string text = cents.substr(0, cents.size() - 2) + "." + cents.substr(cents.size() - 2);
    return (decimal.negative && !zero ? "-" : "") + text;
}

double LeadingNumber(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    std::string number;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) number += text[at++];
    bool point = false;
    for (; at < text.size(); ++at) {
        char c = text[at];
        if (c >= '0' && c <= '9') {
            number += c;
        } else if (c == '.' && !point) {
            point = true;
            number += c;
        } else {
            break;
        }
    }
    if (!number.empty() && number.front() == '+') number.erase(number.begin());
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return value;
}

void TaxTotal::Add(double tax) {
    // long double holds the product exactly for a ledger's amounts; ties go to the even digit.
    tenThousandths_ += static_cast<std::int64_t>(std::nearbyint(static_cast<long double>(tax) * 10000.0L));
}

}  // namespace vat
