#include "returns/filing/mark_filed.h"

#include <algorithm>
#include <tuple>

#include "disk/disk_error.h"
#include "disk/kept_folder.h"
#include "disk/local_time.h"
#include "disk/month_lock.h"
#include "disk/month_staging.h"
#include "returns/check/books_check.h"
#include "returns/results/returns_errors.h"
#include "returns/rules/return_period.h"
#include "returns/run/generation_run.h"
#include "returns/run/month_folder.h"

namespace vat {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFilesChanged =
    "the month's files changed since they were written; run the month again first";

auto Ordered(const LedgerDate& date) { return std::tie(date.year, date.month, date.day); }

int DaysIn(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

int CalendarYear(const SelectedBooks& books, int monthNumber) {
    return books.yearStart.year + (monthNumber < books.yearStart.month ? 1 : 0);
}

}  // namespace

std::optional<LedgerDate> ParsePersonsDate(std::string_view text) {
    if (text.size() != 10 || text[2] != '/' || text[5] != '/') return std::nullopt;
    const std::string iso = std::string(text.substr(6, 4)) + "-" + std::string(text.substr(3, 2)) +
                            "-" + std::string(text.substr(0, 2));
    const std::optional<LedgerDate> date = LedgerDate::Parse(iso);
    if (!date || date->month < 1 || date->month > 12 || date->day < 1 ||
        date->day > DaysIn(date->year, date->month))
        return std::nullopt;
    return date;
}

std::string MonthOfYearTitle(const SelectedBooks& books, int monthNumber) {
    return MonthTitle(monthNumber) + " " + std::to_string(CalendarYear(books, monthNumber));
}

std::optional<std::string> FilingMarkRefusal(const FilingMark& mark, const SelectedBooks& books,
                                             int monthNumber, const LedgerDate& today) {
    const std::string& acknowledgement = mark.acknowledgement;
    if (acknowledgement.find_first_not_of(" \t") == std::string::npos)
        return "the acknowledgement is empty";
    if (acknowledgement.size() > kLongestAcknowledgement)
        return "the acknowledgement is longer than " + std::to_string(kLongestAcknowledgement) +
               " characters";
    if (std::ranges::any_of(acknowledgement, [](unsigned char c) { return c < 0x20 || c == 0x7f; }))
        return "the acknowledgement holds a control character";
    const int year = CalendarYear(books, monthNumber);
    const LedgerDate monthEnd{year, monthNumber, DaysIn(year, monthNumber)};
    if (Ordered(mark.filedOn) <= Ordered(monthEnd))
        return "the day filed, " + mark.filedOn.DisplayText() + ", is not after the end of " +
               MonthOfYearTitle(books, monthNumber);
    if (Ordered(mark.filedOn) > Ordered(today))
        return "the day filed, " + mark.filedOn.DisplayText() + ", is in the future";
    return std::nullopt;
}

LedgerDate LocalDay(std::chrono::system_clock::time_point moment) {
    return *LedgerDate::Parse(LocalTimeText(moment).substr(0, 10));
}

FiledSet MarkFiled(const ReturnFolders& folders, const SelectedBooks& books, int monthNumber,
                   const FilingMark& mark, std::chrono::system_clock::time_point now) {
    if (auto refusal = FilingMarkRefusal(mark, books, monthNumber, LocalDay(now)))
        throw FilingRefusal(*refusal);
    if (auto unsafe = MonthFolderRefusal(folders, books.dataFile)) throw FilingRefusal(*unsafe);
    const std::string title = MonthOfYearTitle(books, monthNumber);
    const fs::path monthsFolder = MonthsFolder(folders, books);
    const std::string monthTag = ReturnPeriod{monthNumber, 0}.MonthTag();
    const fs::path monthFolder = monthsFolder / monthTag;
    const std::string neverRun = title + " of " + books.dataFile + " was never run; run it first";
    if (!fs::is_directory(monthFolder)) throw FilingRefusal(neverRun);

    // The month's lock keeps a run from replacing the files while they are copied.
    const std::optional<MonthLock> lock =
        MonthLock::Take(monthsFolder, monthTag, [] { return false; });
    if (!lock) throw FilingRefusal("another run is writing the files of " + title);
    if (MoveInInterrupted(monthsFolder, monthTag)) throw FilingRefusal(kInterruptedMoveIn);
    std::optional<RunRecord> recorded;
    try {
        recorded = ReadRunRecord(monthFolder);
    } catch (const RunRecordError& error) {
        throw FilingRefusal("the month's run record cannot be read: " + std::string(error.what()));
    }
    if (!recorded) throw FilingRefusal(neverRun);
    if (recorded->month != monthNumber || !WrittenFrom(OwnerOf(*recorded), books))
        throw FilingRefusal("the files in " + monthFolder.string() + " were made from " +
                            RecordOwnerText(OwnerOf(*recorded)));
    if (!FolderChanges(*recorded, monthFolder).empty()) throw FilingRefusal(kFilesChanged);

    const fs::path filedMonth = FiledMonthFolder(folders, books, monthNumber);
    CreateFoldersDurably(filedMonth);
    RemoveUnkeptFolders(filedMonth);
    KeptFolderWriter kept(filedMonth);
    FilingRecord filing{.acknowledgement = mark.acknowledgement,
                        .filedOn = mark.filedOn.IsoText(),
                        .markedAt = LocalTimeText(now),
                        .dataFile = books.dataFile,
                        .month = monthNumber};
    // The hashes are those of the bytes copied, so what is kept is what was checked.
    for (const HashedFile& file : recorded->files) {
        if (kept.CopyIn(monthFolder / file.name) != file.sha256) throw FilingRefusal(kFilesChanged);
        filing.files.push_back(file);
    }
    filing.files.push_back({kRunRecordName, kept.CopyIn(monthFolder / kRunRecordName)});
    kept.Write(kFilingRecordName, FilingRecordText(filing));
    const fs::path folder = kept.Keep(FiledSetName);
    return {folder, *FiledSetNumber(folder.filename().string()), std::move(filing)};
}

}  // namespace vat
