// The run record on the real server: what it says of a run, the books check naming each change
// of the books or the month's files, the guard against replacing other books' files, and a year
// run against twelve runs of one month.
#include "returns/check/books_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <future>
#include <thread>

#include "disk/month_lock.h"
#include "disk/month_staging.h"
#include "disk/sha256.h"
#include "returns/check/month_books_check.h"
#include "returns/results/run_json.h"
#include "returns/run/data_file_selection.h"
#include "returns/year/year_run.h"
#include "support/disk_step_log.h"
#include "support/ledger_session.h"
#include "support/server_psql.h"

namespace vat {
namespace {

namespace fs = std::filesystem;
using test::LedgerSession;
using test::Psql;

// The books these tests change; every change is undone before the next.
const std::string kChanging = "t_changing_books";

struct BooksChange {
    const char* name;
    const char* change;
    const char* undo;
    std::vector<std::string> added, removed, altered;
    std::vector<FigureChange> figures;
};

void PrintTo(const BooksChange& change, std::ostream* out) { *out << change.name; }

// A URD bill more or less.
const std::vector<FigureChange> kWholeUrdBill = {{"input VAT", 0, 0},
                                                 {"URD purchase bills", 0, 0},
                                                 {"URD purchases", 0, 0},
                                                 {"URD purchase VAT", 0, 0},
                                                 {"VAT payable", 0, 0}};

class BooksCheckTest : public testing::TestWithParam<BooksChange> {};

// Voucher 2 is a purchase of April from party 328, an unregistered dealer: 3,200.00 with
// 160.00 VAT, among others.
const BooksChange kChanges[] = {
    {"Untouched", "select 1", "select 1", {}, {}, {}, {}},
    {"AChangedAmount",
     "update daybok set amount = 1400.00 where vno = 2 and recact = 20 and amount = 160.00",
     "update daybok set amount = 160.00 where vno = 2 and recact = 20 and amount = 1400.00",
     {},
     {},
     {"efile_pur04.xml: B No.INV363 · voucher 2"},
     {{"input VAT", 0, 0}, {"URD purchase VAT", 0, 0}, {"VAT payable", 0, 0}}},
    {"ANewVoucher",
     "insert into daybok (vno, vdate, v_type, recact, payact, amount, pur_bill_no, bill_dt, "
     "pur_act) select 99999, vdate, v_type, recact, payact, amount, 'INV-999', bill_dt, pur_act "
     "from daybok where vno = 2",
     "delete from daybok where vno = 99999",
     {"efile_pur04.xml: B No.INV999 · voucher 99999"},
     {},
     {},
     kWholeUrdBill},
    {"ADeletedVoucher",
     "create table kept as select * from daybok where vno = 2; delete from daybok where vno = 2",
     "insert into daybok select * from kept; drop table kept",
     {},
     {"efile_pur04.xml: B No.INV363 · voucher 2"},
     {},
     kWholeUrdBill},
    {"ARenamedParty",
     "update ledger_acts set name = 'RENAMED ' || name where code = 328",
     "update ledger_acts set name = substr(name, 9) where code = 328",
     {},
     {},
     {"efile_pur04.xml: B No.INV363 · voucher 2"},
     {}},
};

std::vector<std::string> Names(const std::vector<FigureChange>& figures) {
    std::vector<std::string> names;
    for (const FigureChange& figure : figures) names.push_back(figure.name);
    return names;
}

// Each change is found and named by document; the figures it moves are named.
TEST_P(BooksCheckTest, NamesWhatChangedSinceTheFilesWereWritten) {
    const BooksChange& change = GetParam();
    LedgerSession session(kChanging);
    const ReturnFolders folders = test::FlatFolders(session.folder);
    ASSERT_TRUE(session.Run(4).Completed());
    Psql(kChanging, change.change);
    const BooksCheck check = CheckMonthBooks(session.ledger, kChanging, 4, folders);
    Psql(kChanging, change.undo);

    ASSERT_TRUE(check.comparison) << testing::PrintToString(check.messages);
    const BooksComparison& found = *check.comparison;
    EXPECT_EQ(found.added, change.added);
    EXPECT_EQ(found.removed, change.removed);
    // A renamed party alters every document of that party; the one named is among them.
    for (const std::string& altered : change.altered)
        EXPECT_NE(std::find(found.altered.begin(), found.altered.end(), altered),
                  found.altered.end())
            << altered;
    EXPECT_EQ(found.altered.empty(), change.altered.empty());
    EXPECT_EQ(Names(found.figures), Names(change.figures));
    EXPECT_EQ(found.filesChanged.empty(),
              change.added.empty() && change.removed.empty() && change.altered.empty());
    EXPECT_TRUE(found.folderChanges.empty());
    EXPECT_EQ(found.Unchanged(), std::string(change.name) == "Untouched");
}

INSTANTIATE_TEST_SUITE_P(RunRecord, BooksCheckTest, testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.name); });

// A change of the books committed by another session while a run reads them, at one of its
// steps.
struct ChangeDuringARun {
    const char* name;
    bool beforeReadingAhead;  // else once the files are written
    const char* change;
    const char* undo;
};

void PrintTo(const ChangeDuringARun& change, std::ostream* out) { *out << change.name; }

class ChangedDuringTheRun : public testing::TestWithParam<ChangeDuringARun>, RunObserver {
protected:
    void BeforeReadingAhead() override {
        if (GetParam().beforeReadingAhead) Psql(kChanging, GetParam().change);
    }
    void FilesWritten() override {
        if (!GetParam().beforeReadingAhead) Psql(kChanging, GetParam().change);
    }
    RunResult RunApril(LedgerSession& session) {
        return GenerationRun(session.ledger,
                             {.books = session.books,
                              .dataFile = kChanging,
                              .monthNumber = 4,
                              .folders = test::FlatFolders(session.folder)},
                             *this);
    }
};

const ChangeDuringARun kChangesDuringARun[] = {
    // The run's own connection reads the postings it reconciles with after the files are
    // written, long after its first statement: a voucher of the files moved to May would be one
    // of them.
    {"AVoucherMovedOnceTheFilesAreWritten", false,
     "update daybok set vdate = '2014-05-02' where vno = 2",
     "update daybok set vdate = '2014-04-01' where vno = 2"},
    // The second connection, which reads the later files, begins after the first's statements.
    {"EveryPartyBeforeTheSecondConnectionBegins", true,
     "update ledger_acts set name = 'RENAMED ' || name",
     "update ledger_acts set name = substr(name, 9)"},
};

// Every statement of a run reads the books at the instant of its first: a change committed
// between two of them is in none of them, on either connection.
TEST_P(ChangedDuringTheRun, IsSeenByNoneOfTheRunsStatements) {
    LedgerSession session(kChanging);
    const RunResult before = session.Run(4);
    ASSERT_TRUE(before.Completed());
    const RunResult during = RunApril(session);
    const RunResult after = session.Run(4);
    Psql(kChanging, GetParam().undo);

    ASSERT_TRUE(during.Completed()) << testing::PrintToString(during.messages);
    EXPECT_EQ(during.record->fingerprint, before.record->fingerprint);
    EXPECT_EQ(during.reconciliation, before.reconciliation);
    EXPECT_EQ(ShownFigures(during.figures), ShownFigures(before.figures));
    // The change is one a run sees.
    ASSERT_TRUE(after.Completed());
    EXPECT_TRUE(after.record->fingerprint != before.record->fingerprint ||
                after.reconciliation != before.reconciliation);
}

INSTANTIATE_TEST_SUITE_P(RunRecord, ChangedDuringTheRun, testing::ValuesIn(kChangesDuringARun),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RunRecord, SaysWhoseFilesTheyAreAndHashesThem) {
    LedgerSession session("t_run_demo");
    session.result = session.Run(4);
    ASSERT_TRUE(session.result.Completed());
    const fs::path month = session.folder / "04";
    const std::optional<RunRecord> record = ReadRunRecord(month);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->dataFile, "t_run_demo");
    EXPECT_EQ(record->dealerTin, session.books.dealerTin);
    EXPECT_EQ(record->yearStart, "2014-04-01");
    EXPECT_EQ(record->yearEnd, "2015-03-31");
    EXPECT_EQ(record->month, 4);
    ASSERT_EQ(record->files.size(), session.result.FilesWritten().size());
    for (const HashedFile& file : record->files)
        EXPECT_EQ(Sha256OfFile(month / file.name), file.sha256) << file.name;
    ASSERT_EQ(record->schemas.size(), 6u);
    for (const HashedFile& schema : record->schemas)
        EXPECT_EQ(Sha256OfFile(session.folder / ("XSD/" + schema.name)), schema.sha256);
    EXPECT_EQ(record->figures, ShownFigures(session.result.figures));
    EXPECT_EQ(record->accounts, session.result.accounts);
    EXPECT_EQ(session.result.record->fingerprint, record->fingerprint);
    long long listed = 0;
    for (const FileAccount& account : session.result.accounts) listed += account.listed;
    EXPECT_EQ(static_cast<long long>(record->documents.Size()), listed);
    EXPECT_EQ(record->fingerprint, FingerprintOf(record->documents));
}

TEST(RunRecord, AFileChangedByHandIsReported) {
    LedgerSession session("t_run_demo");
    const ReturnFolders folders = test::FlatFolders(session.folder);
    ASSERT_TRUE(session.Run(4).Completed());
    std::ofstream(session.folder / "04/efile_sal04.xml", std::ios::app) << "<!-- edited -->\n";
    fs::remove(session.folder / "04/efile_pur04.xml");
    const BooksCheck check = CheckMonthBooks(session.ledger, "t_run_demo", 4, folders);
    ASSERT_TRUE(check.comparison);
    EXPECT_FALSE(check.comparison->BooksChanged());
    EXPECT_EQ(check.comparison->folderChanges,
              (std::vector<std::string>{"efile_pur04.xml is missing",
                                        "efile_sal04.xml was changed after it was written"}));
}

// What another hand may leave under a recorded file's name: each is named, none is read
// through or waited on. A check that waited would hold the month's lock for ever: the alarm ends
// the test instead.
TEST(RunRecord, AFileReplacedByALinkAFifoOrAFolderIsReportedWithoutBeingRead) {
    LedgerSession session("t_run_demo");
    const ReturnFolders folders = test::FlatFolders(session.folder);
    ASSERT_TRUE(session.Run(4).Completed());
    const fs::path month = session.folder / "04";
    fs::rename(month / "efile_pur04.xml", session.folder / "efile_pur04.xml");
    fs::create_symlink(session.folder / "efile_pur04.xml", month / "efile_pur04.xml");
    fs::remove(month / "efile_sal04.xml");
    fs::create_symlink("/dev/zero", month / "efile_sal04.xml");
    fs::remove(month / "efile_pur_rtn04.xml");
    ASSERT_EQ(::mkfifo((month / "efile_pur_rtn04.xml").c_str(), 0600), 0);
    fs::remove(month / "efile_sal_returns04.xml");
    fs::create_directory(month / "efile_sal_returns04.xml");
    alarm(60);
    const BooksCheck check = CheckMonthBooks(session.ledger, "t_run_demo", 4, folders);
    alarm(0);
    ASSERT_TRUE(check.comparison) << testing::PrintToString(check.messages);
    EXPECT_FALSE(check.comparison->BooksChanged());
    EXPECT_EQ(check.comparison->folderChanges,
              (std::vector<std::string>{
                  "efile_pur04.xml cannot be read: it is a symbolic link",
                  "efile_pur_rtn04.xml cannot be read: it is not a regular file",
                  "efile_sal04.xml cannot be read: it is a symbolic link",
                  "efile_sal_returns04.xml cannot be read: it is not a regular file"}));
}

// A record names the files of its own folder: one naming any other is refused before anything
// it names is read.
TEST(RunRecord, ARecordNamingAFileOutsideItsFolderIsRefused) {
    LedgerSession session("t_run_demo");
    const ReturnFolders folders = test::FlatFolders(session.folder);
    ASSERT_TRUE(session.Run(4).Completed());
    const fs::path month = session.folder / "04";
    const RunRecord written = ReadRunRecord(month).value();
    for (const char* name : {"/etc/passwd", "../../../../../../etc/passwd", "../XSD/eval_pur.xsd",
                             "sub/efile_pur04.xml"}) {
        RunRecord naming = written;
        naming.files.back().name = name;
        WriteRunRecord(naming, month);
        const BooksCheck check = CheckMonthBooks(session.ledger, "t_run_demo", 4, folders);
        EXPECT_EQ(check.outcome, RunOutcome::Refused) << name;
        EXPECT_FALSE(check.comparison) << name;
        EXPECT_EQ(check.messages.back().text, "The run record in " + month.string() + " names \"" +
                                                  name + "\", which is not a file of its folder")
            << name;
    }
}

TEST(RunRecord, AMonthWithoutARecordCannotBeChecked) {
    LedgerSession session("t_run_demo");
    const BooksCheck check =
        CheckMonthBooks(session.ledger, "t_run_demo", 4, test::FlatFolders(session.folder));
    EXPECT_EQ(check.outcome, RunOutcome::Refused);
    EXPECT_FALSE(check.comparison);
}

TEST(RunRecord, ARecordOfAnotherMonthOrFinancialYearIsNotChecked) {
    LedgerSession session("t_run_demo");
    const ReturnFolders folders = test::FlatFolders(session.folder);
    ASSERT_TRUE(session.Run(4).Completed());
    fs::copy(session.folder / "04", session.folder / "05");  // April's files and record as May's
    RunRecord otherYear = ReadRunRecord(session.folder / "04").value();
    otherYear.yearStart = "2013-04-01";
    WriteRunRecord(otherYear, session.folder / "04");
    for (const int month : {4, 5}) {
        const BooksCheck check = CheckMonthBooks(session.ledger, "t_run_demo", month, folders);
        EXPECT_EQ(check.outcome, RunOutcome::Refused);
        ASSERT_EQ(check.messages.size(), 1u);
        EXPECT_TRUE(check.messages[0].text.starts_with(
            "The run record in " + (session.folder / (month == 4 ? "04" : "05")).string() +
            " is of month 4 of t_run_demo (financial year 01/04/201"))
            << check.messages[0].text;
    }
}

// A check waits while a run holds the month, so it never sees a run's files half in place.
TEST(RunRecord, ACheckWaitsForARunPuttingItsFilesInPlace) {
    LedgerSession session("t_run_demo");
    const ReturnFolders folders = test::FlatFolders(session.folder);
    ASSERT_TRUE(session.Run(4).Completed());
    const fs::path sales = session.folder / "04/efile_sal04.xml";
    const std::string bytes = test::ReadBytes(sales);
    std::optional<MonthLock> run = MonthLock::Take(folders.output, "04", [] { return false; });
    std::ofstream(sales, std::ios::app) << "<!-- half in place -->\n";
    std::future<BooksCheck> check = std::async(std::launch::async, [&] {
        LedgerConnection ledger;
        return CheckMonthBooks(ledger, "t_run_demo", 4, folders);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::ofstream(sales, std::ios::binary | std::ios::trunc) << bytes;
    run.reset();
    const BooksCheck checked = check.get();
    ASSERT_TRUE(checked.comparison);
    EXPECT_TRUE(checked.comparison->Unchanged()) << BooksChangedWarning(*checked.comparison);
}

TEST(RunRecord, ACheckAfterARunKilledPuttingItsFilesInPlaceSaysSo) {
    LedgerSession session("t_run_demo");
    const ReturnFolders folders = test::FlatFolders(session.folder);
    ASSERT_TRUE(session.Run(4).Completed());
    const fs::path month = session.folder / "04";
    const auto whole = test::FolderBytes(month);
    struct Killed {};
    {
        MonthStaging next(folders.output, "04");
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(month)) {
            names.push_back(entry.path().filename().string());
            fs::copy_file(entry.path(), next.Folder() / names.back());
        }
        bool exchanged = false;
        const test::DiskStepLog log([&](int) {
            const std::string& step = log.Steps().back();
            if (exchanged && step.starts_with("sync ")) throw Killed{};
            exchanged = exchanged || step.ends_with(" -> " + month.string());
        });
        next.Complete(names);
        EXPECT_THROW(next.MoveIn(), Killed);
    }
    EXPECT_EQ(test::FolderBytes(month), whole);
    const BooksCheck check = CheckMonthBooks(session.ledger, "t_run_demo", 4, folders);
    EXPECT_EQ(check.outcome, RunOutcome::Refused);
    EXPECT_EQ(check.messages.back().text,
              "an earlier run was interrupted while putting its files in place; run the month "
              "again");
}

// Where two folders cannot be exchanged, a run killed between its two renames leaves no month
// folder: a check says so, and the next run, on that disk too, puts the month back.
TEST(RunRecord, ACheckAfterARunKilledBetweenItsTwoRenamesSaysSoAndTheNextRunMendsIt) {
    LedgerSession session("t_run_demo");
    const ReturnFolders folders = test::FlatFolders(session.folder);
    ASSERT_TRUE(session.Run(4).Completed());
    const fs::path month = session.folder / "04";
    // Only a month put back brings it into the next run's.
    std::ofstream(month / "notes.txt") << "the accountant's own";
    const auto whole = test::FolderBytes(month);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        MonthStaging next(folders.output, "04");
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(month)) {
            names.push_back(entry.path().filename().string());
            fs::copy_file(entry.path(), next.Folder() / names.back());
        }
        bool aside = false;
        const test::DiskStepLog log(
            [&](int) {
                const std::string& step = log.Steps().back();
                if (aside && step.ends_with(" -> " + month.string())) ::_exit(9);
                aside = aside || step.starts_with("rename " + month.string() + " -> ");
            },
            test::DiskStepLog::FlaggedRenames::Refused);
        next.Complete(names);
        next.MoveIn();
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9);
    EXPECT_FALSE(fs::exists(month));
    const BooksCheck check = CheckMonthBooks(session.ledger, "t_run_demo", 4, folders);
    EXPECT_EQ(check.outcome, RunOutcome::Refused);
    EXPECT_EQ(check.messages.back().text, kInterruptedMoveIn);

    const test::DiskStepLog refusing({}, test::DiskStepLog::FlaggedRenames::Refused);
    ASSERT_TRUE(session.Run(4).Completed());
    EXPECT_EQ(test::FolderBytes(month), whole);
    EXPECT_TRUE(test::StagingFolders(session.folder, "04").empty());
    EXPECT_FALSE(MoveInInterrupted(folders.output, "04"));
}

// Another data file's files are replaced only when the run is told to.
TEST(RunRecord, OtherBooksFilesAreKeptUnlessReplacingWasChosen) {
    LedgerSession session("t_run_demo");
    const ReturnFolders folders = test::FlatFolders(session.folder);
    ASSERT_TRUE(session.Run(4).Completed());
    const DataFileChoice other = SelectDataFile(session.ledger, "t_run_figures");
    const auto why =
        OtherBooksFiles(session.folder / "04", *other.books, InterstateParties::InState);
    ASSERT_TRUE(why);
    EXPECT_NE(why->text.find("were made from t_run_demo (financial year 01/04/2014 to 31/03/2015)"),
              std::string::npos)
        << why->text;
    RunSelection selection{
        .books = other.books, .dataFile = "t_run_figures", .monthNumber = 4, .folders = folders};
    EXPECT_EQ(GenerationRun(session.ledger, selection).outcome, RunOutcome::Refused);
    EXPECT_EQ(ReadRunRecord(session.folder / "04")->dataFile, "t_run_demo");
    selection.replaceOtherBooks = true;
    EXPECT_EQ(GenerationRun(session.ledger, selection).outcome, RunOutcome::Completed);
    EXPECT_EQ(ReadRunRecord(session.folder / "04")->dataFile, "t_run_figures");
    EXPECT_FALSE(OtherBooksFiles(session.folder / "04", *other.books, InterstateParties::InState));
}

// A month written with the interstate files of every party is another run's, as another data
// file's is: an in-state run keeps it unless told to replace it, and so the other way round.
TEST(RunRecord, FilesOfTheOtherInterstateChoiceAreKeptUnlessReplacingWasChosen) {
    LedgerSession session("t_run_demo");
    RunSelection selection{.books = session.books,
                           .dataFile = "t_run_demo",
                           .monthNumber = 4,
                           .folders = test::FlatFolders(session.folder),
                           .interstateParties = InterstateParties::All};
    ASSERT_TRUE(GenerationRun(session.ledger, selection).Completed());
    const fs::path april = session.folder / "04";
    EXPECT_FALSE(OtherBooksFiles(april, session.books, InterstateParties::All));
    const auto why = OtherBooksFiles(april, session.books, InterstateParties::InState);
    ASSERT_TRUE(why);
    EXPECT_NE(why->text.find("were made by a run of t_run_demo whose interstate files list every "
                             "party, each with its own TIN; written "),
              std::string::npos)
        << why->text;
    for (const InterstateParties parties : {InterstateParties::InState, InterstateParties::All}) {
        selection.interstateParties = parties;
        selection.replaceOtherBooks = false;
        const InterstateParties written = ReadRunRecord(april)->interstateParties;
        EXPECT_EQ(GenerationRun(session.ledger, selection).outcome,
                  parties == written ? RunOutcome::Completed : RunOutcome::Refused);
        EXPECT_EQ(ReadRunRecord(april)->interstateParties, written);
        selection.replaceOtherBooks = true;
        EXPECT_EQ(GenerationRun(session.ledger, selection).outcome, RunOutcome::Completed);
        EXPECT_EQ(ReadRunRecord(april)->interstateParties, parties);
    }
}

// What a month run shows, in the form the command line reports it.
nlohmann::ordered_json Shown(const RunResult& result) {
    nlohmann::ordered_json accounts = AccountsJson(result.accounts);
    for (auto& account : accounts) account.erase("path");
    std::vector<std::string> messages, rows;
    for (const UserMessage& message : result.messages) messages.push_back(message.text);
    for (const ErrorRow& row : result.rows) rows.push_back(row.type + "|" + row.error);
    return {{"outcome", static_cast<int>(result.outcome)},
            {"figures", FiguresJson(ShownFigures(result.figures))},
            {"accounts", accounts},
            {"rows", rows},
            {"messages", messages}};
}

TEST(YearRun, EachMonthIsTheRunOfThatMonthAlone) {
    LedgerSession session("t_run_demo");
    test::ScratchFolder yearFolder;
    std::vector<int> months;
    std::vector<nlohmann::ordered_json> shown;
    YearTotals totals;
    RunYear(session.ledger, "t_run_demo",
            ReturnFolders(yearFolder.Path(), session.folder / "XSD", MonthFolderLayout::Flat), {},
            [&](int month, const RunResult& result) {
                months.push_back(month);
                shown.push_back(Shown(result));
                totals.Add(result);
            });
    EXPECT_EQ(months, (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2, 3}));

    YearTotals alone;
    for (std::size_t i = 0; i < months.size(); ++i) {
        const RunResult result = session.Run(months[i]);
        EXPECT_EQ(shown[i], Shown(result)) << "month " << months[i];
        alone.Add(result);
        const std::string tag = ReturnPeriod{months[i], 0}.MonthTag();
        for (const std::string& file : result.FilesWritten()) {
            const std::string name = fs::path(file).filename().string();
            EXPECT_EQ(test::ReadBytes(yearFolder / (tag + "/" + name)),
                      test::ReadBytes(session.folder / (tag + "/" + name)))
                << name;
        }
    }
    EXPECT_EQ(YearTotalsJson(totals), YearTotalsJson(alone));
    EXPECT_EQ(totals.monthsCompleted, 12);
    EXPECT_GT(totals.Sum(Figure::OutputVatPlus), 0);
}

}  // namespace
}  // namespace vat
