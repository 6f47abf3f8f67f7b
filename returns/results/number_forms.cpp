#include "returns/results/number_forms.h"

#include <algorithm>
#include <charconv>
#include <cmath>

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
    // Rounded as printf's "%.*e" rounds (the exact binary value, ties to even), but with no
    // locale and at a fraction of its cost: "-d.ddde+XX".
    char text[32];
    const char* const end = std::to_chars(text, text + sizeof text, value,
                                          std::chars_format::scientific, significantDigits - 1)
                                .ptr;
    const char* at = text;
    if (*at == '-') {
        result.negative = true;
        ++at;
    }
    for (; *at != 'e'; ++at)
        if (*at != '.') result.digits += *at;
    ++at;
    if (*at == '+') ++at;
    std::from_chars(at, end, result.exponent);
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
        whole = digits + std::string(static_cast<size_t>(exponent) + 1 - digits.size(), '0');
    } else {
        whole = digits.substr(0, static_cast<size_t>(exponent) + 1);
        fraction = digits.substr(static_cast<size_t>(exponent) + 1);
    }
    return fraction.empty() ? whole : whole + "." + fraction;
}

}  // namespace

std::int64_t ScaledDecimal(double value, int decimals, Tie tie) {
    const DecimalDigits decimal = Decompose(value, 15);
    const int keep = decimal.exponent + 1 + decimals;  // digits of the whole units
    if (decimal.digits.empty() || keep < 0) return 0;
    const std::string& digits = decimal.digits;
    std::string kept = digits.substr(0, std::min<std::size_t>(keep, digits.size()));
    kept.append(static_cast<std::size_t>(keep) - kept.size(), '0');
    std::int64_t units = 0;
    for (char digit : kept) units = units * 10 + (digit - '0');

    const std::string_view dropped =
        static_cast<std::size_t>(keep) < digits.size() ? std::string_view(digits).substr(keep) : "";
    bool up = false;
    if (!dropped.empty() && dropped.front() > '5') up = true;
    if (!dropped.empty() && dropped.front() == '5') {
        const bool exactHalf = dropped.size() == 1;  // the digits carry no trailing zeros
        up = !exactHalf || tie == Tie::AwayFromZero || units % 2 == 1;
    }
    if (up) ++units;
    return decimal.negative ? -units : units;
}

std::string AmountText(double value) {
    constexpr int kDecimals = 4;  // the return's
    DecimalDigits decimal = Decompose(value, 15);
    // Where fifteen digits reach past the fourth decimal, the amount is rounded there as a tax
    // total rounds it: 5e-324 is "0", not 367 digits.
    if (decimal.exponent + 1 + kDecimals < 15) {
        const std::int64_t units = ScaledDecimal(value, kDecimals, Tie::ToEven);
        decimal = Decompose(static_cast<double>(units), 15);
        decimal.exponent -= kDecimals;
    }
    if (decimal.digits.empty()) return "0";
    std::string text = decimal.negative ? "-" : "";
    return text += PlainDecimal(decimal.digits, decimal.exponent);
}

std::string PictureText(double value) {
    return PaiseText(ScaledDecimal(value, 2, Tie::AwayFromZero));
}

std::string PaiseText(std::int64_t paise) {
    const std::uint64_t magnitude = paise < 0 ? 0 - static_cast<std::uint64_t>(paise) : paise;
    std::string text = paise < 0 ? "-" : "";
    text += std::to_string(magnitude / 100);
    text += '.';
    text += static_cast<char>('0' + magnitude % 100 / 10);
    text += static_cast<char>('0' + magnitude % 10);
    return text;
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

bool TaxTotal::Add(double tax) {
    std::int64_t sum = 0;
    if (__builtin_add_overflow(tenThousandths_, ScaledDecimal(tax, 4, Tie::ToEven), &sum))
        return false;
    tenThousandths_ = sum;
    return true;
}

std::string GroupedDigits(std::string_view plainNumber) {
    const std::size_t sign = plainNumber.starts_with('-') ? 1 : 0;
    const std::size_t point = std::min(plainNumber.find('.'), plainNumber.size());
    const std::string_view whole = plainNumber.substr(sign, point - sign);
    const bool plain =
        !whole.empty() && std::ranges::all_of(whole, [](char c) { return c >= '0' && c <= '9'; }) &&
        std::ranges::all_of(plainNumber.substr(point + (point < plainNumber.size() ? 1 : 0)),
                            [](char c) { return c >= '0' && c <= '9'; });
    if (!plain) return std::string(plainNumber);
    std::string grouped(whole);
    // The last three digits, then groups of two: lakhs, crores.
    for (auto at = static_cast<std::ptrdiff_t>(grouped.size()) - 3; at > 0; at -= 2)
        grouped.insert(static_cast<std::size_t>(at), 1, ',');
    return std::string(plainNumber.substr(0, sign)) + grouped +
           std::string(plainNumber.substr(point));
}

}  // namespace vat
