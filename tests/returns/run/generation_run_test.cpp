// The Generate Files run on the real server: the VAT verdict and URD figures, what a run resets
// and what it keeps, the refusals, a run failing or cancelled part-way, what a killed run left,
// planted links, and a demo month end to end.
#include "returns/run/generation_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <thread>
#include <utility>

#include "disk/month_staging.h"
#include "disk/sha256.h"
#include "ledger/ledger_error.h"
#include "returns/results/number_forms.h"
#include "returns/rules/text_sanitiser.h"
#include "returns/run/data_file_selection.h"
#include "support/ledger_session.h"
#include "support/server_psql.h"

namespace vat {
namespace {

namespace fs = std::filesystem;
using test::LedgerSession;
using Labels = std::map<std::string, std::string>;

const std::string kOmitted = " omitted due to basic amount being less than Rs.1";

// Runs the month; the session keeps its result.
RunOutcome RunMonth(LedgerSession& session, int month, const RunCancel* cancel = nullptr) {
    session.result = session.Run(month, cancel);
    return session.result.outcome;
}

RunResult RunMonth(LedgerSession& session, int month, RunObserver& observer,
                   const RunCancel& cancel) {
    return GenerationRun(session.ledger,
                         {.books = session.books,
                          .dataFile = session.dataFile,
                          .monthNumber = month,
                          .folders = test::FlatFolders(session.folder)},
                         observer, &cancel);
}

// Every label the table names, with the caption the session's result shows.
Labels Shown(const LedgerSession& session, const Labels& expected) {
    Labels shown;
    for (const auto& [label, caption] : expected) shown[label] = session.Caption(label);
    return shown;
}

std::vector<std::string> MessageTexts(const std::vector<UserMessage>& messages) {
    std::vector<std::string> texts;
    for (const UserMessage& message : messages) texts.push_back(message.text);
    return texts;
}

std::map<std::string, std::string> ExpectedApril() {
    std::map<std::string, std::string> files;
    for (const char* name : {"efile_pur04.xml", "efile_pur_rtn04.xml", "efile_sal04.xml",
                             "efile_sal_returns04.xml", "efile_is_pur04.xml"})
        files[name] =
            test::ReadBytes(test::TestDataPath(std::string("expected/t_run_figures/") + name));
    return files;
}

Labels UrdLabels(const char* bills, const char* basic, const char* vat) {
    return {{"lbl_Pur_URD_NoOfBills", bills},  {"lbl_Pur_URD_Basic_Amt", basic},
            {"lbl_Pur_URD_VAT_Amt", vat},      {"lbl_Sal_URD_NoOfBills", "0"},
            {"lbl_Sal_URD_Basic_Amt", "0.00"}, {"lbl_Sal_URD_VAT_Amt", "0.00"}};
}

Labels Merged(Labels labels, const Labels& more) {
    labels.insert(more.begin(), more.end());
    return labels;
}

struct MonthCase {
    const char* name;
    int month;
    Labels labels;
    std::vector<ErrorRow> rows;
};

const std::vector<MonthCase> kMonths = {
    {"NotesOnBothSidesGivePayable290",
     4,
     Merged({{"lbl_InputVAT_Plus", "500.00"},
             {"lbl_InputVAT_Minus", "20.00"},
             {"lbl_OutputVAT_Plus", "800.00"},
             {"lbl_OutputVAT_Minus", "30.00"},
             // The CST of the interstate purchase takes no part in the VAT.
             {"lbl_CST_Purchase", "40.00"},
             {"lbl_CST_Sales", "0.00"},
             {"lbl_TaxPayableRefundable", "VAT Payable"},
             {"lbl_TaxAmt", "290.00"}},
            UrdLabels("0", "0.00", "0.00")),
     {}},
    {"MoreInputThanOutputIsRefundable500",
     5,
     Merged({{"lbl_InputVAT_Plus", "900.00"},
             {"lbl_InputVAT_Minus", "0.00"},
             {"lbl_OutputVAT_Plus", "400.00"},
             {"lbl_OutputVAT_Minus", "0.00"},
             {"lbl_CST_Purchase", "0.00"},
             {"lbl_CST_Sales", "0.00"},
             {"lbl_TaxPayableRefundable", "VAT Refundable"},
             {"lbl_TaxAmt", "500.00"}},
            UrdLabels("0", "0.00", "0.00")),
     {}},
    {"EqualInputAndOutputIsPayableZero",
     6,
     Merged({{"lbl_InputVAT_Plus", "300.00"},
             {"lbl_OutputVAT_Plus", "300.00"},
             {"lbl_CST_Sales", "100.00"},
             {"lbl_TaxPayableRefundable", "VAT Payable"},
             {"lbl_TaxAmt", "0.00"}},
            UrdLabels("0", "0.00", "0.00")),
     // Bill 323 is interstate: the interstate sales file, not the local one, accounts for it.
     {}},
    {"TwoUrdPurchasesAreCountedWithoutTheOmittedBill",
     7,
     Merged({{"lbl_InputVAT_Plus", "62.55"},
             {"lbl_OutputVAT_Plus", "0.00"},
             {"lbl_TaxPayableRefundable", "VAT Refundable"},
             {"lbl_TaxAmt", "62.55"}},
            UrdLabels("2", "1250.50", "62.53")),
     {{"Purchase Within State",
       "B No.T33 Dated:09/07/2014 of SHREE RAMA AGENCIES BANGALORE" + kOmitted}}},
};

// Name the cases in test listings instead of dumping their bytes.
void PrintTo(const MonthCase& month, std::ostream* out) { *out << month.name; }

class RunOfAMonth : public testing::TestWithParam<MonthCase> {};

TEST_P(RunOfAMonth, ShowsTheVatVerdictAndUrdFiguresAndEndsWithOver) {
    const MonthCase& month = GetParam();
    LedgerSession session("t_run_figures");
    EXPECT_EQ(RunMonth(session, month.month), RunOutcome::Completed);
    EXPECT_EQ(Shown(session, month.labels), month.labels);
    EXPECT_EQ(Said(session.result.rows), month.rows);
    EXPECT_EQ(session.result.messages, (std::vector<UserMessage>{{"OVER", false}}));
}

INSTANTIATE_TEST_SUITE_P(TRunFigures, RunOfAMonth, testing::ValuesIn(kMonths),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GenerationRun, WritesTheMonthsFilesByteForByteAndListsThemInRunOrder) {
    LedgerSession session("t_run_figures");
    ASSERT_EQ(RunMonth(session, 4), RunOutcome::Completed);
    EXPECT_EQ(test::FolderBytes(session.folder / "04"), ExpectedApril());
    const std::vector<std::string> written = {
        (session.folder / "04/efile_pur04.xml").string(),
        (session.folder / "04/efile_pur_rtn04.xml").string(),
        (session.folder / "04/efile_sal04.xml").string(),
        (session.folder / "04/efile_sal_returns04.xml").string(),
        (session.folder / "04/efile_is_pur04.xml").string()};
    EXPECT_EQ(session.result.FilesWritten(), written);
}

// A server that lets the books have one session at a time: the run reads every file on its own
// connection, writes the same files and says nothing of it.
TEST(GenerationRun, WithoutASecondSessionReadsEveryFileOnItsOwnConnectionAlike) {
    LedgerSession session("t_run_figures");
    test::AdminPsql("edb", "alter database t_run_figures connection limit 1");
    LedgerConnection second;
    EXPECT_THROW(ConnectLedger(second, "t_run_figures", true), LedgerError);
    const RunOutcome outcome = RunMonth(session, 4);
    test::AdminPsql("edb", "alter database t_run_figures connection limit -1");
    ASSERT_EQ(outcome, RunOutcome::Completed);
    EXPECT_EQ(MessageTexts(session.result.messages), std::vector<std::string>{"OVER"});
    EXPECT_EQ(test::FolderBytes(session.folder / "04"), ExpectedApril());
}

// Each row: a first run, then a second run of another month in the same window.
struct RunPair {
    const char* name;
    int first;
    int second;
    Labels labels;               // after the second run
    std::vector<ErrorRow> rows;  // after the second run
};

const std::vector<RunPair> kRunPairs = {
    // April has debit and credit notes and an interstate purchase; May has none of them.
    {"AMonthWithoutNotesShowsZeroNotes",
     4,
     5,
     {{"lbl_InputVAT_Minus", "0.00"},
      {"lbl_OutputVAT_Minus", "0.00"},
      {"lbl_CST_Purchase", "0.00"},
      // The secondary labels are not reset: only the local purchase and sales files set them.
      {"lbl_in_net", "1800.00"},
      {"lbl_out_net", "800.00"},
      {"lbl_pay", "-1000.00"}},
     {}},
    {"AMonthWithoutInterstateSalesShowsZeroCst", 6, 5, {{"lbl_CST_Sales", "0.00"}}, {}},
    {"AMonthWithoutUrdPurchasesShowsZeroUrd", 7, 4, UrdLabels("0", "0.00", "0.00"), {}},
    {"TheErrorListHoldsOnlyTheLatestRunsRows",
     6,
     7,
     {},
     {{"Purchase Within State",
       "B No.T33 Dated:09/07/2014 of SHREE RAMA AGENCIES BANGALORE" + kOmitted}}},
    // July writes only the local purchase file: the output side is July's own, nothing of
    // April's figures is carried into it.
    {"SecondaryLabelsAreTheMonthsOwn",
     4,
     7,
     {{"lbl_in_p", "62.55"},
      {"lbl_in_n", "62.55"},
      {"lbl_in_net", "125.10"},
      {"lbl_out_p", "0.00"},
      {"lbl_out_n", "0.00"},
      {"lbl_out_net", "0.00"},
      {"lbl_pay", "-125.10"}},
     {{"Purchase Within State",
       "B No.T33 Dated:09/07/2014 of SHREE RAMA AGENCIES BANGALORE" + kOmitted}}},
};

void PrintTo(const RunPair& pair, std::ostream* out) { *out << pair.name; }

class SecondRun : public testing::TestWithParam<RunPair> {};

TEST_P(SecondRun, ReplacesWhatTheFirstRunShowed) {
    const RunPair& pair = GetParam();
    LedgerSession session("t_run_figures");
    ASSERT_EQ(RunMonth(session, pair.first), RunOutcome::Completed);
    ASSERT_EQ(RunMonth(session, pair.second), RunOutcome::Completed);
    EXPECT_EQ(Shown(session, pair.labels), pair.labels);
    EXPECT_EQ(Said(session.result.rows), pair.rows);
    EXPECT_EQ(session.result.messages, (std::vector<UserMessage>{{"OVER", false}}));
    for (const std::string& file : session.result.FilesWritten())
        EXPECT_EQ(fs::path(file).parent_path().filename(),
                  (ReturnPeriod{pair.second, 2014}.MonthTag()))
            << "FilesWritten lists only the latest run's files: " << file;
    // Exactly this run's six accounts, in the result and in its record.
    ASSERT_EQ(session.result.accounts.size(), 6u);
    const std::optional<RunRecord> record =
        ReadRunRecord(session.folder / ReturnPeriod{pair.second, 2014}.MonthTag());
    ASSERT_TRUE(record);
    EXPECT_EQ(record->accounts, session.result.accounts);
}

INSTANTIATE_TEST_SUITE_P(TRunFigures, SecondRun, testing::ValuesIn(kRunPairs),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GenerationRun, AprilSecondaryLabelsFollowTheLastGeneratorOfEachSide) {
    LedgerSession session("t_run_figures");
    ASSERT_EQ(RunMonth(session, 4), RunOutcome::Completed);
    // Input side: the interstate purchase file (CST 40) comes last; output side: the credit
    // notes (30), as April has no interstate sale.
    const Labels expected = {{"lbl_in_p", "40.00"},   {"lbl_in_n", "40.00"},
                             {"lbl_in_net", "80.00"}, {"lbl_out_p", "30.00"},
                             {"lbl_out_n", "30.00"},  {"lbl_out_net", "60.00"},
                             {"lbl_pay", "-20.00"}};
    EXPECT_EQ(Shown(session, expected), expected);
}

TEST(GenerationRun, ASecondIdenticalRunGivesIdenticalFilesAndFigures) {
    LedgerSession session("t_run_figures");
    ASSERT_EQ(RunMonth(session, 4), RunOutcome::Completed);
    const auto files = test::FolderBytes(session.folder / "04");
    const RunResult first = session.result;

    ASSERT_EQ(RunMonth(session, 4), RunOutcome::Completed);
    EXPECT_EQ(test::FolderBytes(session.folder / "04"), files);
    EXPECT_EQ(CaptionsOf(session.result.figures), CaptionsOf(first.figures));
    EXPECT_EQ(session.result.rows, first.rows);
    EXPECT_EQ(session.result.accounts, first.accounts);
    EXPECT_EQ(session.result.FilesWritten(), first.FilesWritten());
    EXPECT_EQ(MessageTexts(session.result.messages), std::vector<std::string>{"OVER"});
}

// What a refused run must leave alone: the month's files and their times.
struct Snapshot {
    std::map<std::string, std::string> files;
    std::map<std::string, fs::file_time_type> times;

    explicit Snapshot(const LedgerSession& session)
        : files(test::FolderBytes(session.folder / "04")) {
        for (const auto& [name, bytes] : files)
            times[name] = fs::last_write_time(session.folder / "04" / name);
    }
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

TEST(GenerationRun, WithoutAMonthOrADataFileNothingHappens) {
    LedgerSession session("t_run_figures");
    ASSERT_EQ(RunMonth(session, 4), RunOutcome::Completed);
    const Snapshot before(session);
    const auto run = [&](int month, const std::string& dataFile) {
        const RunResult result =
            GenerationRun(session.ledger, {.books = session.books,
                                           .dataFile = dataFile,
                                           .monthNumber = month,
                                           .folders = test::FlatFolders(session.folder)});
        EXPECT_TRUE(result.messages.empty()) << result.messages.front().text;
        EXPECT_TRUE(result.accounts.empty());
        return result.outcome;
    };
    EXPECT_EQ(run(0, session.dataFile), RunOutcome::NoMonth);
    EXPECT_EQ(run(0, ""), RunOutcome::NoMonth) << "the month list has the focus first";
    EXPECT_EQ(run(4, ""), RunOutcome::NoDataFile);
    EXPECT_EQ(Snapshot(session), before);
}

TEST(GenerationRun, AnIncorrectTinRefusesTheRunAndChangesNothing) {
    LedgerSession session("t_run_figures");
    ASSERT_EQ(RunMonth(session, 4), RunOutcome::Completed);
    const DataFileChoice badTin = SelectDataFile(session.ledger, "t_run_bad_tin");
    ASSERT_FALSE(badTin.books->TinValid());
    const Snapshot before(session);

    const RunResult refused =
        GenerationRun(session.ledger, {.books = badTin.books,
                                       .dataFile = "t_run_bad_tin",
                                       .monthNumber = 4,
                                       .folders = test::FlatFolders(session.folder)});
    EXPECT_EQ(refused.outcome, RunOutcome::Refused);
    EXPECT_EQ(refused.messages,
              (std::vector<UserMessage>{{"INCORRECT TIN CAN NOT PROCEED", false}}));
    EXPECT_EQ(Snapshot(session), before);
}

TEST(GenerationRun, ADataFileThatDidNotOpenIsRefusedWithAMessage) {
    LedgerSession session("t_run_figures");
    ASSERT_EQ(RunMonth(session, 4), RunOutcome::Completed);
    const DataFileChoice none = SelectDataFile(session.ledger, "t_run_no_such_data_file");
    ASSERT_FALSE(none.books);
    const Snapshot before(session);

    const RunResult refused =
        GenerationRun(session.ledger, {.books = none.books,
                                       .dataFile = "t_run_no_such_data_file",
                                       .monthNumber = 4,
                                       .folders = test::FlatFolders(session.folder)});
    EXPECT_EQ(refused.outcome, RunOutcome::Refused);
    ASSERT_EQ(refused.messages.size(), 1u);
    EXPECT_TRUE(refused.messages[0].critical);
    EXPECT_EQ(refused.messages[0].text,
              "The data file t_run_no_such_data_file could not be read; choose a data file that "
              "opens without error.");
    EXPECT_EQ(Snapshot(session), before);
}

TEST(GenerationRun, ADataFileThatVanishedSinceItsSelectionFailsTheRunWithAMessage) {
    const std::string name = "t_run_vanishing";
    test::Psql("edb", "drop database if exists " + name + " with (force)");
    test::Psql("edb", "create database " + name);
    test::Psql(name,
               "create table super (dt1 date, dt2 date, kst varchar(20)); insert into "
               "super values ('2014-04-01', '2015-03-31', '29123456789')");
    LedgerSession session(name);
    test::Psql("edb", "drop database " + name + " with (force)");
    ASSERT_FALSE(HasFailure());

    EXPECT_EQ(RunMonth(session, 4), RunOutcome::Failed);
    ASSERT_EQ(session.result.messages.size(), 1u);
    EXPECT_TRUE(session.result.messages[0].critical);
    EXPECT_TRUE(session.result.messages[0].text.starts_with("Cannot reopen the data file: "))
        << session.result.messages[0].text;
    EXPECT_EQ(CaptionsOf(session.result.figures), CaptionsOf(ReturnFigures{}));
    EXPECT_FALSE(fs::exists(session.folder / "04"));
}

// Books renamed between the choice of a data file and its run: the run reads the books it
// opens, their TIN and year included, and says so, never one company's TIN over another's
// invoices.
TEST(GenerationRun, BooksSwappedAfterTheChoiceAreReadAsTheyAreAndNamed) {
    const std::string chosen = "t_run_swap_a", other = "t_run_swap_b", aside = "t_run_swap_c";
    const auto dropAll = [&] {
        for (const std::string& name : {chosen, other, aside})
            test::Psql("edb", "drop database if exists " + name + " with (force)");
    };
    dropAll();
    test::Psql("edb", "create database " + chosen + " template t_empty_month");
    test::Psql("edb", "create database " + other + " template t_empty_month");
    test::Psql(other,
               "update super set kst = '29222222222', dt1 = '2013-04-01', dt2 = '2014-03-31'");
    LedgerSession session(chosen);
    ConnectLedger(session.ledger, "edb", false);  // a database in use cannot be renamed
    test::Psql("edb", "alter database " + chosen + " rename to " + aside);
    test::Psql("edb", "alter database " + other + " rename to " + chosen);
    ASSERT_FALSE(HasFailure());
    const RunResult result = session.Run(4);
    ConnectLedger(session.ledger, "edb", false);
    dropAll();

    ASSERT_TRUE(result.Completed()) << testing::PrintToString(result.messages);
    EXPECT_EQ(result.books->dealerTin, "29222222222");
    EXPECT_EQ(result.books->yearStart.IsoText(), "2013-04-01");
    EXPECT_EQ(result.record->dealerTin, "29222222222");
    EXPECT_EQ(result.record->yearStart, "2013-04-01");
    EXPECT_EQ(result.messages.front().text,
              "The books of t_run_swap_a changed since the data file was chosen (financial year "
              "01/04/2014 to 31/03/2015, TIN 29123456789); the run reads them as they are now "
              "(financial year 01/04/2013 to 31/03/2014, TIN 29222222222).");
}

TEST(GenerationRun, ASchemaThatCannotBeUsedRefusesTheRunAndChangesNothing) {
    LedgerSession session("t_run_figures");
    ASSERT_EQ(RunMonth(session, 4), RunOutcome::Completed);
    const Snapshot before(session);
    const fs::path schema = session.folder / "XSD/eval_sal.xsd";
    fs::remove(schema);

    EXPECT_EQ(RunMonth(session, 4), RunOutcome::Refused);
    ASSERT_EQ(session.result.messages.size(), 1u) << "one message and no OVER";
    EXPECT_TRUE(session.result.messages[0].critical);
    EXPECT_TRUE(session.result.messages[0].text.starts_with("The schema " + schema.string() +
                                                            " cannot be used: Load XSD failed: "))
        << session.result.messages[0].text;
    EXPECT_EQ(Snapshot(session), before);
}

// Does something once, when the run reports its first progress on the named file.
class AtProgress : public RunObserver {
public:
    AtProgress(std::string file, std::function<void()> action)
        : file_(std::move(file)), action_(std::move(action)) {}

    void Progress(const std::string& file, long long, long long) override {
        if (file == file_ && action_) std::exchange(action_, nullptr)();
    }

private:
    std::string file_;
    std::function<void()> action_;
};

// What stops a run half-way, in the middle of the local sales file.
struct Interruption {
    const char* name;
    std::function<void(LedgerSession&, RunCancel&)> act;
    RunOutcome outcome;
    std::string messageStart;
    std::string messageEnd;
};

const std::vector<Interruption> kInterruptions = {
    {"ACancel", [](LedgerSession&, RunCancel& cancel) { cancel.Request(); }, RunOutcome::Cancelled,
     "The run was cancelled; the month's earlier files were kept.", ""},
};

void PrintTo(const Interruption& interruption, std::ostream* out) { *out << interruption.name; }

class InterruptedRun : public testing::TestWithParam<Interruption> {};

// Only a month that had files is said to keep them.
TEST(GenerationRun, AMonthWithoutFilesIsNotSaidToKeepAny) {
    LedgerSession session("t_run_figures");
    RunCancel cancel(session.ledger);
    cancel.Request();
    RunObserver silent;
    EXPECT_EQ(MessageTexts(RunMonth(session, 4, silent, cancel).messages),
              std::vector<std::string>{"The run was cancelled."});
}

TEST_P(InterruptedRun, KeepsTheMonthsEarlierFilesAndListsNoneAsWritten) {
    LedgerSession session("t_run_figures");
    ASSERT_EQ(RunMonth(session, 4), RunOutcome::Completed);
    // The earlier files, told apart from what the run would write, and a file of the user's.
    for (const auto& [name, bytes] : ExpectedApril())
        std::ofstream(session.folder / "04" / name) << "earlier " << name;
    std::ofstream(session.folder / "04/notes.txt") << "the accountant's own";
    const auto before = test::FolderBytes(session.folder / "04");

    RunCancel cancel(session.ledger);
    AtProgress view("efile_sal04.xml", [&] { GetParam().act(session, cancel); });
    const RunResult stopped = RunMonth(session, 4, view, cancel);
    EXPECT_EQ(stopped.outcome, GetParam().outcome);

    ASSERT_EQ(stopped.messages.size(), 1u) << "one message and no OVER";
    const std::string& message = stopped.messages[0].text;
    EXPECT_TRUE(message.starts_with(GetParam().messageStart)) << message;
    EXPECT_TRUE(message.ends_with(GetParam().messageEnd)) << message;
    EXPECT_EQ(test::FolderBytes(session.folder / "04"), before);
    EXPECT_TRUE(test::StagingFolders(session.folder, "04").empty());
    // Nothing of the unfinished run is left to show: no files, figures, accounts or rows.
    EXPECT_TRUE(stopped.FilesWritten().empty());
    EXPECT_TRUE(stopped.accounts.empty());
    EXPECT_TRUE(stopped.rows.empty());
    EXPECT_EQ(CaptionsOf(stopped.figures), CaptionsOf(ReturnFigures{}));
    EXPECT_FALSE(stopped.record);
    // Its snapshot ended with it: no session of the books is left in a transaction, holding
    // locks another session would wait for.
    EXPECT_EQ(test::Psql("edb",
                         "select count(*) from pg_stat_activity where datname = 't_run_figures' "
                         "and state like 'idle in transaction%'"),
              "0\n");

    fs::copy_file(fs::path(VAT_SCHEMA_DIR) / "eval_sal.xsd", session.folder / "XSD/eval_sal.xsd",
                  fs::copy_options::overwrite_existing);
    EXPECT_EQ(RunMonth(session, 4), RunOutcome::Completed);
    EXPECT_EQ(MessageTexts(session.result.messages), std::vector<std::string>{"OVER"});
    auto expected = ExpectedApril();
    expected["notes.txt"] = "the accountant's own";
    EXPECT_EQ(test::FolderBytes(session.folder / "04"), expected);
}

INSTANTIATE_TEST_SUITE_P(TRunFigures, InterruptedRun, testing::ValuesIn(kInterruptions),
                         [](const auto& info) { return std::string(info.param.name); });

// Each schema is read and compiled once a run, before its first file is written, and each file
// is checked against it: a schema gone half-way changes nothing, and the record holds the digest
// of the one the files were checked against.
TEST(GenerationRun, ChecksEachFileAgainstTheSchemaAsItWasWhenTheRunBegan) {
    LedgerSession session("t_run_figures");
    const fs::path schema = session.folder / "XSD/eval_sal.xsd";
    const std::string bytes = test::ReadBytes(schema);
    RunCancel cancel(session.ledger);
    AtProgress view("efile_sal04.xml", [&] { fs::remove(schema); });
    const RunResult run = RunMonth(session, 4, view, cancel);
    ASSERT_EQ(run.outcome, RunOutcome::Completed) << testing::PrintToString(run.messages);
    EXPECT_EQ(test::FolderBytes(session.folder / "04"), ExpectedApril());
    ASSERT_TRUE(run.record);
    const auto recorded =
        std::find_if(run.record->schemas.begin(), run.record->schemas.end(),
                     [](const HashedFile& file) { return file.name == "eval_sal.xsd"; });
    ASSERT_NE(recorded, run.record->schemas.end());
    EXPECT_EQ(recorded->sha256, Sha256OfText(bytes));
}

// A schema that is a FIFO or a link to a device is refused at once, never waited on or read.
TEST(GenerationRun, ASchemaThatIsNoRegularFileRefusesTheRunAtOnce) {
    const struct {
        const char* what;
        std::function<void(const fs::path&)> plant;
    } cases[] = {
        {"a FIFO", [](const fs::path& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }},
        {"a link to a device", [](const fs::path& path) { fs::create_symlink("/dev/zero", path); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LedgerSession session("t_run_figures");
        const fs::path schema = session.folder / "XSD/eval_sal.xsd";
        fs::remove(schema);
        c.plant(schema);
        alarm(60);  // a run waiting on the schema would never end
        EXPECT_EQ(RunMonth(session, 4), RunOutcome::Refused);
        alarm(0);
        ASSERT_EQ(session.result.messages.size(), 1u);
        EXPECT_EQ(session.result.messages[0].text,
                  "The schema " + schema.string() +
                      " cannot be used: Load XSD failed: the file \"" + schema.string() +
                      "\" cannot be read: it is not a regular file");
        EXPECT_FALSE(fs::exists(session.folder / "04"));
    }
}

// The sessions of the books in a transaction, and of those the ones waiting for a lock.
std::string SessionsInATransaction(const std::string& dataFile, const std::string& condition) {
    return test::Psql("edb", "select count(*) from pg_stat_activity where datname = '" + dataFile +
                                 "' and xact_start is not null and application_name <> "
                                 "'vat_test_table_lock'" +
                                 condition);
}

// The run reads each file's lists on a second connection beside its own, in the same snapshot:
// a cancel stops the second's statement waiting for a locked table at once, and neither
// session is left in a transaction.
TEST(GenerationRun, ACancelStopsTheSecondConnectionsQueryWaitingForALockedTable) {
    LedgerSession session("t_run_figures");
    std::optional<test::TableLock> lock(std::in_place, "t_run_figures", "daybok");
    RunCancel cancel(session.ledger);
    std::chrono::steady_clock::time_point requested;
    std::thread cancelButton([&] {
        for (int tries = 0;
             tries < 200 &&
             SessionsInATransaction("t_run_figures", " and wait_event_type = 'Lock'") != "1\n";
             ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(SessionsInATransaction("t_run_figures", ""), "2\n")
            << "the run's own connection and the one reading its lists";
        requested = std::chrono::steady_clock::now();
        cancel.Request();
    });
    EXPECT_EQ(RunMonth(session, 4, &cancel), RunOutcome::Cancelled);
    const auto ended = std::chrono::steady_clock::now();
    cancelButton.join();
    EXPECT_LT(ended - requested, std::chrono::seconds(2));
    EXPECT_EQ(SessionsInATransaction("t_run_figures", ""), "0\n");
    lock.reset();
}

const std::vector<std::string> kAprilFiles = {"efile_pur04.xml",      "efile_pur_rtn04.xml",
                                              "efile_sal04.xml",      "efile_sal_returns04.xml",
                                              "efile_sal_iss_04.xml", "efile_is_pur04.xml"};

// What a run killed part-way left beside the month folder: its staging folder, with its
// purchase and sales files, before or after it was completed with the month's other files.
struct Leftover {
    const char* name;
    bool completed;
};

void PrintTo(const Leftover& leftover, std::ostream* out) { *out << leftover.name; }

class LeftoverStaging : public testing::TestWithParam<Leftover> {};

TEST_P(LeftoverStaging, IsRemovedByTheNextRunWhichKeepsTheMonthWhole) {
    LedgerSession session("t_run_figures");
    ASSERT_EQ(RunMonth(session, 4), RunOutcome::Completed);
    std::ofstream(session.folder / "04/notes.txt") << "the accountant's own";
    const auto earlier = test::FolderBytes(session.folder / "04");
    std::optional<MonthStaging> killed(std::in_place, session.folder.Path(), "04");
    for (const char* name : {"efile_pur04.xml", "efile_sal04.xml"})
        std::ofstream(killed->Folder() / name) << "the killed run's";
    std::ofstream(killed->Folder() / "efile_is_pur04.xml.Ab3dE9xZ.part") << "half";
    if (GetParam().completed) killed->Complete(kAprilFiles);
    const fs::path left = session.folder / ".04.staging-k1ll3d";
    fs::rename(killed->Folder().parent_path(), left);  // a kill runs no destructor
    killed.reset();

    // The next run stops at once, so the month shows what its start made of the leftover.
    RunCancel cancel(session.ledger);
    AtProgress view("efile_pur04.xml", [&] { cancel.Request(); });
    EXPECT_EQ(RunMonth(session, 4, view, cancel).outcome, RunOutcome::Cancelled);
    EXPECT_EQ(test::FolderBytes(session.folder / "04"), earlier);
    EXPECT_TRUE(test::StagingFolders(session.folder, "04").empty());
}

INSTANTIATE_TEST_SUITE_P(TRunFigures, LeftoverStaging,
                         testing::Values(Leftover{"NotCompleted", false},
                                         Leftover{"Completed", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GenerationRun, AMonthFolderThatIsALinkIsRefusedAndItsTargetUntouched) {
    LedgerSession session("t_run_figures");
    fs::create_directories(session.folder / "elsewhere");
    std::ofstream(session.folder / "elsewhere/efile_pur04.xml") << "keep";
    fs::create_directory_symlink("elsewhere", session.folder / "04");
    EXPECT_EQ(RunMonth(session, 4), RunOutcome::Failed);
    EXPECT_EQ(MessageTexts(session.result.messages),
              std::vector<std::string>{"The month folder " + (session.folder / "04").string() +
                                       " is a symbolic link; the program never follows one. The "
                                       "month's earlier files were kept."});
    EXPECT_EQ(test::FolderBytes(session.folder / "elsewhere"),
              (std::map<std::string, std::string>{{"efile_pur04.xml", "keep"}}));
}

TEST(GenerationRun, LinksPlantedAtItsNamesAreReplacedOrRemovedButNeverFollowed) {
    LedgerSession session("t_run_figures");
    const fs::path victim = session.folder / "victim.txt";
    std::ofstream(victim) << "keep";
    fs::permissions(victim, fs::perms::owner_read);
    fs::create_directories(session.folder / "04");
    fs::create_directories(session.folder / "elsewhere");
    // Where the run puts a file, where it removes one (April has no interstate sales), the
    // temporary name an earlier version used, and a folder name a run stages in.
    fs::create_symlink(victim, session.folder / "04/efile_pur04.xml");
    fs::create_symlink(victim, session.folder / "04/efile_sal_iss_04.xml");
    fs::create_symlink(session.folder / "absent.txt", session.folder / "04/efile_sal04.xml.part");
    fs::create_directory_symlink(session.folder / "elsewhere",
                                 session.folder / ".04.staging-planted");

    ASSERT_EQ(RunMonth(session, 4), RunOutcome::Completed);
    EXPECT_EQ(test::ReadBytes(victim), "keep");
    EXPECT_EQ(fs::status(victim).permissions(), fs::perms::owner_read);
    EXPECT_FALSE(fs::exists(session.folder / "absent.txt"));
    EXPECT_FALSE(fs::is_symlink(session.folder / "04/efile_pur04.xml"));
    auto expected = ExpectedApril();
    expected["efile_sal04.xml.part"] = "";  // not the run's: left as it was
    EXPECT_EQ(test::FolderBytes(session.folder / "04"), expected);
    EXPECT_TRUE(fs::is_symlink(session.folder / ".04.staging-planted"));
    EXPECT_TRUE(fs::is_directory(session.folder / "elsewhere"));
}

// ---- A demo month end to end ----

// Sum of the TaxCh elements of a return file, in paise.
long long TaxChPaise(const fs::path& file) {
    const std::string text = test::ReadBytes(file);
    long long paise = 0;
    for (auto at = text.find("<TaxCh>"); at != std::string::npos; at = text.find("<TaxCh>", at)) {
        at += 7;
        paise += std::llround(std::stod(text.substr(at, text.find("</TaxCh>", at) - at)) * 100);
    }
    return paise;
}

long long CaptionPaise(const LedgerSession& session, const char* label) {
    return std::llround(LeadingNumber(session.Caption(label)) * 100);
}

// How an omission row of one file leads back to its voucher.
struct OmissionSource {
    std::string type;
    std::string prefix;
    std::string candidates;  // + date + "'": vno and the document number as stored
    bool sanitisedNumber;
    std::string
        taxTail;  // "select coalesce(sum(amount),0) as t from daybok where vno=" + vno + this
};

const std::vector<OmissionSource> kOmissionSources = {
    {"Purchase Within State", "B No.",
     "select vno, max(pur_bill_no) as number from daybok where v_type='PR' and out_state=0 and "
     "unact=0 and extract(month from vdate)=4 group by vno having max(bill_dt)='",
     true, " and recact in (20,21,35)"},
    {"Debit Note Within State", "DN No.",
     "select vno, max(pur_bill_no) as number from daybok where v_type='DN' and unact=0 and "
     "extract(month from vdate)=4 group by vno having max(vdate)='",
     true, " and payact in (20,21,35)"},
    {"Sales Within State", "Inv No.",
     "select vno, max(bill_no) as number from daybok where v_type='SR' and unact=0 and ca_sale=0 "
     "and extract(month from vdate)=4 group by vno having max(vdate)='",
     false, " and payact in (12,13)"},
    {"Credit Note Within State", "Inv No.",
     "select vno, max(bill_no) as number from daybok where v_type='CN' and unact=0 and ca_sale=0 "
     "and extract(month from vdate)=4 group by vno having max(vdate)='",
     false, " and recact in (12,13)"},
};

// The tax of the voucher an omission row names, read from the ledger; the row must name
// exactly one voucher.
long long OmittedTaxPaise(LedgerConnection& ledger, const OmissionSource& source,
                          const std::string& error) {
    const std::string body =
        error.substr(source.prefix.size(), error.size() - kOmitted.size() - source.prefix.size());
    const auto dated = body.find(" Dated:");
    const std::string number = body.substr(0, dated);
    const std::string shown = body.substr(dated + 7, 10);  // dd/MM/yyyy
    const std::string date =
        shown.substr(6, 4) + "-" + shown.substr(3, 2) + "-" + shown.substr(0, 2);
    std::vector<long long> vouchers;
    Recordset& rows = ledger.lookupRecordset;
    for (OpenQuery(rows, source.candidates + date + "'"); !rows.Eof(); rows.MoveNext()) {
        const std::string stored = rows["number"].Text();
        if ((source.sanitisedNumber ? StripSpecialChars(stored) : stored) == number)
            vouchers.push_back(rows["vno"].Integer());
    }
    if (vouchers.size() != 1) {
        ADD_FAILURE() << vouchers.size() << " vouchers match the omission row " << error;
        return 0;
    }
    OpenQuery(rows, "select coalesce(sum(amount),0) as t from daybok where vno=" +
                        std::to_string(vouchers[0]) + source.taxTail);
    return std::llround(rows["t"].Double() * 100);
}

TEST(GenerationRun, ADemoMonthWritesSixCleanFilesWhoseTaxGivesTheVerdictToThePaisa) {
    // fixtures/ledgers/t_run_demo.sql: 150 demo vouchers of April 2014 (its first line says how
    // it was made).
    LedgerSession session("t_run_demo");
    ASSERT_EQ(RunMonth(session, 4), RunOutcome::Completed);
    EXPECT_EQ(MessageTexts(session.result.messages), std::vector<std::string>{"OVER"})
        << "no file failed its check";

    std::vector<std::string> written;
    for (const std::string& name : kAprilFiles)
        written.push_back((session.folder / "04" / name).string());
    EXPECT_EQ(session.result.FilesWritten(), written);

    LedgerConnection ledger;
    ConnectLedger(ledger, "t_run_demo", true);
    std::map<std::string, long long> omitted;
    for (const ErrorRow& row : session.result.rows) {
        EXPECT_FALSE(row.error.starts_with("<")) << "schema error: " << row.error;
        if (!row.error.ends_with(kOmitted)) continue;
        for (const OmissionSource& source : kOmissionSources)
            if (row.type == source.type && row.error.starts_with(source.prefix))
                omitted[source.type] += OmittedTaxPaise(ledger, source, row.error);
    }

    // The fixture holds a purchase and a debit note below one rupee that carry tax.
    EXPECT_GT(omitted["Purchase Within State"], 0);
    EXPECT_GT(omitted["Debit Note Within State"], 0);

    const long long inputPlus =
        TaxChPaise(session.folder / "04/efile_pur04.xml") + omitted["Purchase Within State"];
    const long long inputMinus =
        TaxChPaise(session.folder / "04/efile_pur_rtn04.xml") + omitted["Debit Note Within State"];
    const long long outputPlus =
        TaxChPaise(session.folder / "04/efile_sal04.xml") + omitted["Sales Within State"];
    const long long outputMinus = TaxChPaise(session.folder / "04/efile_sal_returns04.xml") +
                                  omitted["Credit Note Within State"];
    EXPECT_EQ(CaptionPaise(session, "lbl_InputVAT_Plus"), inputPlus);
    EXPECT_EQ(CaptionPaise(session, "lbl_InputVAT_Minus"), inputMinus);
    EXPECT_EQ(CaptionPaise(session, "lbl_OutputVAT_Plus"), outputPlus);
    EXPECT_EQ(CaptionPaise(session, "lbl_OutputVAT_Minus"), outputMinus);

    const long long payable = (outputPlus - outputMinus) - (inputPlus - inputMinus);
    EXPECT_EQ(session.Caption("lbl_TaxPayableRefundable"),
              payable >= 0 ? "VAT Payable" : "VAT Refundable");
    EXPECT_EQ(CaptionPaise(session, "lbl_TaxAmt"), std::llabs(payable));
}

}  // namespace
}  // namespace vat
