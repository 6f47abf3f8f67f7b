#pragma once

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "ledger/ledger_date.h"
#include "returns/filing/filed_sets.h"

namespace vat {

// A month that cannot be marked filed as asked: a bad acknowledgement or day, a month never run,
// of other books, or whose files changed since their run. The message is one line.
class FilingRefusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the accountant says of a return uploaded to the portal.
struct FilingMark {
    std::string acknowledgement;
    LedgerDate filedOn;
};

// The longest acknowledgement taken: the portal's are far shorter.
inline constexpr std::size_t kLongestAcknowledgement = 64;

// "20/05/2014" as a day; nullopt for any other text or a day no calendar has.
std::optional<LedgerDate> ParsePersonsDate(std::string_view text);

// "April 2014": the month of the books' financial year as a person names it.
std::string MonthOfYearTitle(const SelectedBooks& books, int monthNumber);

// Why the mark cannot be a filing of the month: an empty or over-long acknowledgement, or one
// with control characters; a day before the month ends or after today. nullopt when it can.
std::optional<std::string> FilingMarkRefusal(const FilingMark& mark, const SelectedBooks& books,
                                             int monthNumber, const LedgerDate& today);

// The day of a moment in local time.
LedgerDate LocalDay(std::chrono::system_clock::time_point moment);

// Keeps a read-only copy of the month's files and run record, as its run wrote them, with the
// filing record, as a new filed set beside those marked before; a kill at any moment leaves
// either no new set or a whole one. Throws FilingRefusal, or DiskError when the copies cannot
// be written.
FiledSet MarkFiled(const ReturnFolders& folders, const SelectedBooks& books, int monthNumber,
                   const FilingMark& mark, std::chrono::system_clock::time_point now);

}  // namespace vat
