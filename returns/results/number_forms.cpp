#include "returns/results/number_forms.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vat {

namespace {

// Fifteen significant digits: what a double holds exactly and a ledger amount carries.
constexpr int kSignificantDigits = 15;

// The value's decimal digits (no leading or trailing zeros) and the power of ten of the first
// digit, rounded to fifteen significant digits.
struct DecimalDigits {
    bool negative = false;
    char digits[24];  // the first count are the digits; none for zero
    std::size_t count = 0;
    int exponent = 0;  // value = 0.d1d2d3... * 10^(exponent + 1)

    std::string_view Digits() const { return {digits, count}; }
};

// Reads "-d.ddde+XX" into decimal, trailing zeros dropped.
void ReadScientific(const char* at, const char* end, DecimalDigits& decimal) {
    decimal.count = 0;
    decimal.negative = *at == '-';
    if (decimal.negative) ++at;
    for (; *at != 'e'; ++at)
        if (*at != '.') decimal.digits[decimal.count++] = *at;
    ++at;
    if (*at == '+') ++at;
    std::from_chars(at, end, decimal.exponent);
    while (decimal.count > 0 && decimal.digits[decimal.count - 1] == '0') --decimal.count;
}

DecimalDigits Decompose(double value) {
    DecimalDigits result;
    if (value == 0 || !std::isfinite(value)) return result;
    char text[32];
    // The shortest text that reads back as the value is, when it has at most fifteen digits, the
    // value rounded to fifteen: two decimals of fifteen digits never read as one double, so the
    // nearest one to the value is that text. It costs a fraction of rounding the exact binary
    // value, which is left for the values that need sixteen or seventeen digits.
    const char* end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific).ptr;
    ReadScientific(text, end, result);
    if (result.count <= kSignificantDigits) return result;
    // Rounded as printf's "%.*e" rounds (the exact binary value, ties to even), with no locale.
    end = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific,
                        kSignificantDigits - 1)
              .ptr;
    ReadScientific(text, end, result);
    return result;
}

// Appends the plain decimal text of digits d1d2... scaled so d1 stands at 10^exponent.
void AppendPlainDecimal(std::string& text, std::string_view digits, int exponent) {
    if (exponent < 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
        return;
    }
    const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole) {
        text += digits;
        text.append(whole - digits.size(), '0');
    } else {
        text += digits.substr(0, whole);
        text += '.';
        text += digits.substr(whole);
    }
}

}  // namespace

std::int64_t ScaledDecimal(double value, int decimals, Tie tie) {
    const DecimalDigits decimal = Decompose(value);
    const int keep = decimal.exponent + 1 + decimals;  // digits of the whole units
    if (decimal.count == 0 || keep < 0) return 0;
    const std::string_view digits = decimal.Digits();
    const std::size_t kept = std::min<std::size_t>(static_cast<std::size_t>(keep), digits.size());
    std::int64_t units = 0;
    for (char digit : digits.substr(0, kept)) units = units * 10 + (digit - '0');
    for (std::size_t padding = kept; padding < static_cast<std::size_t>(keep); ++padding)
        units *= 10;

    const std::string_view dropped = digits.substr(kept);
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
    DecimalDigits decimal = Decompose(value);
    // Where the digits reach past the fourth decimal, the amount is rounded there as a tax total
    // rounds it: 5e-324 is "0", not 367 digits.
    const int decimals = static_cast<int>(decimal.count) - (decimal.exponent + 1);
    if (decimals > kDecimals) {
        const std::int64_t units = ScaledDecimal(value, kDecimals, Tie::ToEven);
        decimal = Decompose(static_cast<double>(units));
        decimal.exponent -= kDecimals;
    }
    if (decimal.count == 0) return "0";
    std::string text = decimal.negative ? "-" : "";
    AppendPlainDecimal(text, decimal.Digits(), decimal.exponent);
    return text;
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

std::string GroupedPaise(std::int64_t paise) { return GroupedDigits(PaiseText(paise)); }

std::string GroupedRupees(double rupees) { return GroupedDigits(PictureText(rupees)); }

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
