#include "returns/reconcile/reconciled_month.h"

#include <cctype>
#include <tuple>

#include "returns/rules/return_period.h"

namespace vat {

namespace {

int DaysIn(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

auto Ordered(const LedgerDate& date) { return std::tie(date.year, date.month, date.day); }

}  // namespace

ReconciledMonth ReconciledMonth::Of(int startYear, int monthNumber) {
    const int year = monthNumber >= 4 ? startYear : startYear + 1;
    return {monthNumber, {year, monthNumber, 1}, {year, monthNumber, DaysIn(year, monthNumber)}};
}

bool ReconciledMonth::Holds(const std::optional<LedgerDate>& date) const {
    return date && Ordered(*date) >= Ordered(first) && Ordered(*date) <= Ordered(last);
}

std::string ReconciledMonth::MonthName() const { return MonthTitle(monthNumber); }

std::string ReconciledMonth::Name() const { return MonthName() + ' ' + std::to_string(first.year); }

}  // namespace vat
