#include "ledger/ledger_connection.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <sstream>
#include <thread>

#include "ledger/data_file_catalogue.h"
#include "ledger/ledger_error.h"
#include "ledger/ledger_login.h"
#include "ledger/odbc_diagnostics.h"
#include "ledger/sibling_connection.h"
#include "returns/declarations/return_files.h"
#include "returns/run/data_file_selection.h"
#include "returns/run/generation_run.h"
#include "support/program_run.h"
#include "support/server_psql.h"

namespace vat {
namespace {

TEST(DataFileCatalogue, FiltersTheManagementDatabasesCaseSensitivelyAndTheTemplates) {
    const struct {
        const char* name;
        bool isTemplate;
        bool dataFile;
    } cases[] = {
        {"edb", false, false},         {"mgmtsvr", false, false},   {"template0", true, false},
        {"template1", true, false},    {"shopmaster", true, false}, {"mytemplate", false, true},
        {"a_template_b", false, true}, {"shop2013", false, true},   {"Template1", false, true},
        {"EDB", false, true},          {"edb2", false, true},
    };
    for (const auto& c : cases) EXPECT_EQ(IsDataFile(c.name, c.isTemplate), c.dataFile) << c.name;
}

// A company's books named like a template are listed; a template of the server, whatever its
// name, is not.
TEST(DataFileCatalogue, HidesTheServersTemplatesByTheirMarkNotTheirName) {
    struct Databases {
        Databases() {
            test::AdminPsql("edb", "create database mytemplate_books");
            test::AdminPsql("edb", "create database shopmaster is_template true");
        }
        ~Databases() {
            test::AdminPsql("edb", "drop database mytemplate_books");
            test::AdminPsql("edb", "alter database shopmaster is_template false");
            test::AdminPsql("edb", "drop database shopmaster");
        }
    } databases;
    LedgerConnection ledger;
    ConnectLedger(ledger, "edb", false);
    const std::vector<std::string> names = ListDataFiles(ledger);
    const std::set<std::string> listed(names.begin(), names.end());
    EXPECT_EQ(listed.count("mytemplate_books"), 1u);
    EXPECT_EQ(listed.count("shopmaster"), 0u);
}

TEST(DataFileCatalogue, ListsTheServersDataFilesInCatalogueOrder) {
    LedgerConnection ledger;
    ConnectLedger(ledger, "edb", false);
    const std::vector<std::string> names = ListDataFiles(ledger);
    const std::set<std::string> listed(names.begin(), names.end());
    for (const char* hidden : {"edb", "mgmtsvr", "company_template", "template0", "template1"})
        EXPECT_EQ(listed.count(hidden), 0u) << hidden;
    for (const char* shown : {"shop2013", "shop2014", "t_local_purchase"})
        EXPECT_EQ(listed.count(shown), 1u) << shown;

    // The catalogue's own row order, unsorted.
    std::vector<std::string> catalogue;
    OpenQuery(ledger.lookupRecordset, "select datname, datistemplate::int from pg_database");
    for (Recordset& row = ledger.lookupRecordset; !row.Eof(); row.MoveNext())
        if (IsDataFile(row["datname"].Text(), row["datistemplate"].Integer() != 0))
            catalogue.push_back(row["datname"].Text());
    EXPECT_EQ(names, catalogue);
}

TEST(OdbcDiagnostics, TheServersMessageOfManyLinesIsOneLine) {
    const struct {
        const char* text;
        const char* line;
    } cases[] = {
        {"FATAL:  permission denied for database \"locked\"\nDETAIL:  User does not have "
         "CONNECT privilege.\n",
         "FATAL:  permission denied for database \"locked\" DETAIL:  User does not have CONNECT "
         "privilege."},
        {"connection to server failed: Connection refused\n\tIs the server running?\r\n",
         "connection to server failed: Connection refused Is the server running?"},
        {"  one line  ", "one line"},
        {"\n\n", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(OneLineDiagnostic(c.text), c.line) << c.text;
}

TEST(LedgerConnection, ADataFileConnectionIsRefusedWritesByTheServer) {
    LedgerConnection ledger;
    ConnectLedger(ledger, "shop2013", true);
    try {
        OpenQuery(ledger.lookupRecordset, "insert into city (code, name) values (77, 'WRITTEN')");
        FAIL() << "the read-only data file took an INSERT";
    } catch (const LedgerError& error) {
        EXPECT_EQ(error.SqlState().substr(0, 2), "25") << error.what();
        EXPECT_NE(std::string(error.what()).find("read-only"), std::string::npos) << error.what();
    }
}

TEST(LedgerConnection, ASessionPlansWithoutJitOrParallelWorkers) {
    LedgerConnection ledger;
    ConnectLedger(ledger, "shop2013", true);
    OpenQuery(ledger.lookupRecordset, "show jit");
    EXPECT_EQ(ledger.lookupRecordset["jit"].Text(), "off");
    OpenQuery(ledger.lookupRecordset, "show max_parallel_workers_per_gather");
    EXPECT_EQ(ledger.lookupRecordset["max_parallel_workers_per_gather"].Text(), "0");
}

// A setting of the data source, the login or the database that leaves a session writable.
struct WritableSetting {
    const char* name;
    const char* dataSourceLine;  // added to the data source edb in a copy of odbc.ini
    const char* serverSetUp;     // run as the superuser before connecting
    const char* serverTearDown;  // and after the test
};

void PrintTo(const WritableSetting& setting, std::ostream* out) { *out << setting.name; }

constexpr const char* kWriteProbe = "t_write_probe";

const WritableSetting kWritableSettings[] = {
    // psqlODBC's own check passes every SELECT and, beside it, drops ConnSettings.
    {"DataSourceReadOnly", "ReadOnly=1", "", ""},
    {"DataSourceConnSettings", "ConnSettings=SET default_transaction_read_only TO off", "", ""},
    // The driver runs each SELECT in a transaction of its own and rolls it back on an error.
    {"DataSourceCursorFetch", "UseDeclareFetch=1", "", ""},
    {"SuperuserLogin", "", R"(alter role "SYSTEM" superuser)",
     R"(alter role "SYSTEM" nosuperuser)"},
    {"LoginDefault", "", R"(alter role "SYSTEM" set default_transaction_read_only = off)",
     R"(alter role "SYSTEM" reset default_transaction_read_only)"},
    {"DatabaseDefault", "", "alter database t_write_probe set default_transaction_read_only = off",
     ""},
};

// A data file with a view whose SELECT writes a row into the table written, made for each case
// and dropped after it.
class ReadOnlySession : public testing::TestWithParam<WritableSetting> {
protected:
    void SetUp() override {
        test::Psql("edb", std::string("drop database if exists ") + kWriteProbe + " with (force)");
        test::Psql("edb", std::string("create database ") + kWriteProbe);
        test::Psql(kWriteProbe, R"(
            create table written (at timestamp default now());
            create function write_a_row() returns int volatile language plpgsql
                as $$ begin insert into written default values; return 1; end $$;
            create view writing_view as select write_a_row() as value;)");
        if (*GetParam().serverSetUp) test::AdminPsql("edb", GetParam().serverSetUp);
    }
    void TearDown() override {
        if (*GetParam().serverTearDown) test::AdminPsql("edb", GetParam().serverTearDown);
        test::Psql("edb", std::string("drop database ") + kWriteProbe + " with (force)");
    }
};

TEST_P(ReadOnlySession, RefusesAViewThatWrites) {
    const test::ProgramFolder scratch;
    const std::string line = GetParam().dataSourceLine;
    const std::string odbcIni =
        line.empty() ? "" : test::OdbcIniVariant(scratch, [&](const std::string& text) {
            return text == "[edb]" ? text + "\n" + line : text;
        });
    const test::ProgramResult probe =
        test::RunProgram(VAT_LEDGER_PROBE,
                         {"--read-only", kWriteProbe,
                          // A failed statement first: the driver's rollback must not undo the
                          // session's read-only setting.
                          "select no_such_column from writing_view", "select * from writing_view",
                          "select current_setting('transaction_read_only') as value"},
                         scratch, odbcIni);
    ASSERT_EQ(probe.status, 0) << test::Describe(probe);
    std::istringstream lines(probe.out);
    std::string missingColumn, writingView, readOnly;
    std::getline(lines, missingColumn);
    std::getline(lines, writingView);
    std::getline(lines, readOnly);
    EXPECT_TRUE(missingColumn.starts_with("error 42703")) << probe.out;
    EXPECT_TRUE(writingView.starts_with("error 25006")) << probe.out;
    EXPECT_NE(writingView.find("read-only transaction"), std::string::npos) << probe.out;
    EXPECT_EQ(readOnly, "row: on") << probe.out;
    EXPECT_EQ(test::Psql(kWriteProbe, "select count(*) from written"), "0\n");
}

INSTANTIATE_TEST_SUITE_P(LedgerConnection, ReadOnlySession, testing::ValuesIn(kWritableSettings),
                         [](const auto& info) { return std::string(info.param.name); });

// A server that takes connections and never answers: a socket listening on a free port of
// 127.0.0.1. The kernel completes each handshake; nobody ever reads or replies.
class SilentServer {
public:
    SilentServer() : socket_(socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        auto* generic = reinterpret_cast<sockaddr*>(&address);
        EXPECT_EQ(bind(socket_, generic, length), 0);
        EXPECT_EQ(listen(socket_, 8), 0);
        EXPECT_EQ(getsockname(socket_, generic, &length), 0);
        port_ = ntohs(address.sin_port);
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    ~SilentServer() { close(socket_); }

    int Port() const { return port_; }

private:
    int socket_;
    int port_ = 0;
};

using std::chrono::milliseconds;
using std::chrono::seconds;
using std::chrono::steady_clock;

TEST(LedgerConnection, GivesUpOnAServerThatNeverAnswersAfterTheLoginTimeout) {
    const SilentServer server;
    const test::ProgramFolder scratch;
    const std::string odbcIni = test::OdbcIniVariant(scratch, [&](const std::string& line) {
        return line.starts_with("Port=") ? "Port=" + std::to_string(server.Port()) : line;
    });
    ASSERT_FALSE(odbcIni.empty()) << "ODBCINI is not set: eval \"$(scripts/pg-cluster.sh env)\"";
    const auto started = steady_clock::now();
    const test::ProgramResult probe =
        test::RunProgram(VAT_LEDGER_PROBE, {"--login-timeout", "2", "shop2013"}, scratch, odbcIni);
    EXPECT_LT(steady_clock::now() - started, seconds(6));
    EXPECT_EQ(probe.status, 1) << test::Describe(probe);
    EXPECT_NE(probe.out.find(": The data file shop2013 did not answer within 2 seconds (login)\n"),
              std::string::npos)
        << probe.out;
}

TEST(LedgerConnection, AQueryWaitingForALockedTableStopsAtTheStatementTimeout) {
    LedgerConnection ledger(ConnectionOptions{.statementTimeoutSeconds = 1});
    ConnectLedger(ledger, "shop2013", true);
    const test::TableLock lock("shop2013", "daybok");
    try {
        OpenQuery(ledger.lookupRecordset, "select count(*) from daybok");
        FAIL() << "the query did not wait for the lock";
    } catch (const LedgerError& error) {
        EXPECT_EQ(error.SqlState(), "57014");
        EXPECT_STREQ(error.what(),
                     "A query on the data file shop2013 was stopped after 1 second (statement "
                     "timeout)");
    }
}

TEST(LedgerConnection, ACancelFromAnotherThreadStopsTheQueryAndEveryLaterOneUntilReconnected) {
    LedgerConnection ledger;
    ConnectLedger(ledger, "shop2013", true);
    const auto started = steady_clock::now();
    std::thread cancelButton([&] {
        std::this_thread::sleep_for(milliseconds(200));
        ledger.CancelRunningStatement();
    });
    try {
        OpenQuery(ledger.lookupRecordset, "select pg_sleep(30)");
        ADD_FAILURE() << "the query ran to its end";
    } catch (const LedgerError& error) {
        EXPECT_STREQ(error.what(), "A query on the data file shop2013 was cancelled");
    }
    cancelButton.join();
    EXPECT_LT(steady_clock::now() - started, seconds(5));

    EXPECT_THROW(OpenQuery(ledger.lookupRecordset, "select 1 as value"), LedgerError);
    ConnectLedger(ledger, "shop2013", true);
    OpenQuery(ledger.lookupRecordset, "select 1 as value");
    EXPECT_EQ(ledger.lookupRecordset["value"].Integer(), 1);
}

// A second connection of the same work: the first's timeouts, and the first's cancel.
TEST(SiblingConnection, HasTheFirstsTimeoutsAndStopsWithItsCancel) {
    LedgerConnection first(ConnectionOptions{.statementTimeoutSeconds = 2});
    SiblingConnection sibling(first);
    ConnectLedger(sibling.Ledger(), "shop2013", true);
    OpenQuery(sibling.Ledger().lookupRecordset, "show statement_timeout");
    EXPECT_EQ(sibling.Ledger().lookupRecordset["statement_timeout"].Text(), "2s");

    std::thread cancelButton([&] {
        std::this_thread::sleep_for(milliseconds(200));
        first.CancelRunningStatement();
    });
    try {
        OpenQuery(sibling.Ledger().lookupRecordset, "select pg_sleep(1)");
        ADD_FAILURE() << "the sibling's query ran to its end";
    } catch (const LedgerError& error) {
        EXPECT_STREQ(error.what(), "A query on the data file shop2013 was cancelled");
    }
    cancelButton.join();
}

// Choosing a data file again, or running it, logs in no more: the server's process stays the
// same, unless the session was ended by the server, asked writable or cancelled.
TEST(LedgerConnection, KeepsItsSessionOnTheDataFileUntilEndedAskedWritableOrCancelled) {
    LedgerConnection ledger;
    const auto serverProcess = [&ledger] {
        OpenQuery(ledger.lookupRecordset, "select pg_backend_pid() as pid");
        return ledger.lookupRecordset["pid"].Integer();
    };
    ConnectLedger(ledger, "shop2013", true);
    const long long chosen = serverProcess();
    ConnectLedger(ledger, "shop2013", true);
    EXPECT_EQ(serverProcess(), chosen) << "chosen again";

    test::AdminPsql("edb", "select pg_terminate_backend(" + std::to_string(chosen) + ", 5000)");
    ConnectLedger(ledger, "shop2013", true);
    const long long afterEnd = serverProcess();
    EXPECT_NE(afterEnd, chosen) << "ended by the server";
    ConnectLedger(ledger, "shop2013", false);
    const long long writable = serverProcess();
    EXPECT_NE(writable, afterEnd) << "asked writable";
    ConnectLedger(ledger, "shop2013", true);
    const long long readOnly = serverProcess();
    EXPECT_NE(readOnly, writable) << "asked read-only again";
    OpenQuery(ledger.lookupRecordset, "show transaction_read_only");
    EXPECT_EQ(ledger.lookupRecordset["transaction_read_only"].Text(), "on");
    ledger.CancelRunningStatement();
    ConnectLedger(ledger, "shop2013", true);
    EXPECT_NE(serverProcess(), readOnly) << "cancelled";
}

TEST(LedgerConnection, NeverShowsThePasswordInAFailure) {
    LedgerConnection ledger;
    try {
        ConnectLedger(ledger, "no_such_data_file", true);
        FAIL() << "connected to a data file that does not exist";
    } catch (const LedgerError& error) {
        EXPECT_NE(std::string(error.what()).find("no_such_data_file"), std::string::npos);
        EXPECT_EQ(std::string(error.what()).find(kLedgerPassword), std::string::npos);
    }
    EXPECT_THROW(ConnectLedger(ledger, "shop;UID=other", true), LedgerError);
}

// The driver's logs of a program, in the folder the driver writes them to whatever the data
// source says.
std::set<std::filesystem::path> DriverLogs(const std::string& program) {
    std::set<std::filesystem::path> logs;
    for (const auto& entry : std::filesystem::directory_iterator("/tmp"))
        for (const char* kind : {"mylog_", "psqlodbc_"})
            if (entry.path().filename().string().starts_with(kind + program + "_"))
                logs.insert(entry.path());
    return logs;
}

// They copy the connection string, password included, into files anyone may read.
TEST(LedgerConnection, ADataSourceWithTheDriversLogsOnWritesNoLog) {
    const test::ProgramFolder scratch;
    const std::string odbcIni = test::OdbcIniVariant(scratch, [&](const std::string& line) {
        return line == "[edb]" ? line + "\nDebug=1\nCommLog=1" : line;
    });
    ASSERT_FALSE(odbcIni.empty()) << "ODBCINI is not set: eval \"$(scripts/pg-cluster.sh env)\"";
    const std::string program = std::filesystem::path(VAT_LEDGER_PROBE).filename().string();
    const std::set<std::filesystem::path> before = DriverLogs(program);
    const test::ProgramResult probe = test::RunProgram(
        VAT_LEDGER_PROBE, {"--read-only", "shop2013", "select 1 as value"}, scratch, odbcIni);
    ASSERT_EQ(probe.status, 0) << test::Describe(probe);
    EXPECT_EQ(probe.out, "row: 1\n");
    for (const std::filesystem::path& log : DriverLogs(program)) {
        if (before.count(log)) continue;
        ADD_FAILURE() << "the driver wrote " << log << ", "
                      << (test::ReadBytes(log).find(kLedgerPassword) == std::string::npos
                              ? "without"
                              : "with")
                      << " the password";
        std::filesystem::remove(log);
    }
}

TEST(Recordset, ReadsFieldsByNameTypedAndNullVisible) {
    LedgerConnection ledger;
    ConnectLedger(ledger, "shop2013", true);
    Recordset& row = ledger.lookupRecordset;
    OpenQuery(row,
              "select 12.50::numeric(14,2) as Amount, null::varchar as nothing, "
              "'2014-03-31'::date as day, 42 as whole, repeat('x', 5000) as long_text, "
              "repeat('y', 255) || 'z' as longer_by_one");
    EXPECT_FALSE(row.Eof());
    EXPECT_DOUBLE_EQ(row["AMOUNT"].Double(), 12.5);
    EXPECT_TRUE(row["Nothing"].IsNull());
    EXPECT_EQ(row["nothing"].Text(), "");
    EXPECT_DOUBLE_EQ(row["nothing"].Double(), 0);
    EXPECT_EQ(row["day"].Date()->DisplayText(), "31/03/2014");
    EXPECT_EQ(row["whole"].Integer(), 42);
    EXPECT_EQ(row["long_text"].Text(), std::string(5000, 'x'));
    EXPECT_EQ(row["longer_by_one"].Text(), std::string(255, 'y') + 'z');
    EXPECT_THROW(row["missing"], LedgerError);
    row.MoveNext();
    EXPECT_TRUE(row.Eof());
}

TEST(Recordset, AnEmptySumYieldsZeroAndAnEmptySetIsAtItsEnd) {
    LedgerConnection ledger;
    ConnectLedger(ledger, "shop2013", true);
    Recordset& row = ledger.lookupRecordset;
    OpenQuery(row, "select coalesce(sum(amount),0) as tax_amt from daybok where vno=-1");
    EXPECT_DOUBLE_EQ(row["tax_amt"].Double(), 0);
    OpenQuery(row, "select * from daybok where vno=-1");
    EXPECT_TRUE(row.Eof());
}

TEST(Recordset, AFailedQueryCarriesTheServersMessage) {
    LedgerConnection ledger;
    ConnectLedger(ledger, "shop2013", true);
    try {
        OpenQuery(ledger.lookupRecordset, "select no_such_column from daybok");
        FAIL();
    } catch (const LedgerError& error) {
        EXPECT_EQ(error.SqlState(), "42703");
        EXPECT_NE(std::string(error.what()).find("no_such_column"), std::string::npos);
    }
}

TEST(Recordset, AWalkSurvivesLookUpsOnTheOtherRecordsets) {
    LedgerConnection ledger;
    ConnectLedger(ledger, "t_local_purchase", true);
    OpenQuery(ledger.voucherRecordset, "select vno from daybok where vno in (1, 2) order by vno");
    std::vector<long long> walked;
    for (; !ledger.voucherRecordset.Eof(); ledger.voucherRecordset.MoveNext()) {
        walked.push_back(ledger.voucherRecordset["vno"].Integer());
        OpenQuery(ledger.lookupRecordset, "select * from city");
        OpenQuery(ledger.postingRecordset, "select * from super");
    }
    EXPECT_EQ(walked, (std::vector<long long>{1, 1, 1, 2, 2, 2, 2}));
}

TEST(VoucherLists, AppendTheMonthWithoutALeadingZero) {
    const VoucherList& list = LocalPurchaseFileKind().lists.front();
    const std::string october =
        std::string(list.sqlBeforeMonth) + "10" + std::string(list.sqlAfterMonth);
    EXPECT_NE(
        october.find(
            "extract(month from vdate)=10  group by vno, vdate, bill_no, cn_act order by b_dt"),
        std::string::npos);
    const std::string april =
        std::string(list.sqlBeforeMonth) + "4" + std::string(list.sqlAfterMonth);
    EXPECT_NE(april.find("extract(month from vdate)=4  group by"), std::string::npos);
}

TEST(DataFileSelection, FlagsATenCharacterTinAndReadsTheYear) {
    LedgerConnection ledger;
    DataFileChoice choice = SelectDataFile(ledger, "shop2013");
    ASSERT_TRUE(choice.books);
    EXPECT_EQ(choice.books->dealerTin, "29111111111");
    EXPECT_TRUE(choice.books->TinValid());
    EXPECT_TRUE(choice.messages.empty());
    EXPECT_EQ(choice.books->yearStart.DisplayText(), "01/04/2013");

    choice = SelectDataFile(ledger, "shop2014");
    ASSERT_TRUE(choice.books);
    EXPECT_FALSE(choice.books->TinValid());
    EXPECT_EQ(choice.books->yearStart.DisplayText(), "01/04/2014");
    EXPECT_EQ(choice.books->yearEnd->DisplayText(), "31/03/2015");
    ASSERT_EQ(choice.messages.size(), 1u);
    EXPECT_EQ(choice.messages[0].text, "YOUR TIN FOUND TO BE INCORRECT. CHECK THE SAME");
    const RunResult refused =
        GenerationRun(ledger, {.books = choice.books,
                               .dataFile = "shop2014",
                               .monthNumber = 4,
                               .folders = std::filesystem::path("/nonexistent")});
    EXPECT_EQ(refused.outcome, RunOutcome::Refused);
    EXPECT_EQ(refused.messages,
              (std::vector<UserMessage>{{"INCORRECT TIN CAN NOT PROCEED", false}}));
}

TEST(DataFileSelection, ADataFileThatCannotBeUsedIsReportedAndLeftUnusable) {
    const struct {
        const char* dataFile;
        const char* reason;
    } cases[] = {
        {"edb", "edb holds no books of the accounting package (no table super)"},
        {"t_no_year", "The data file t_no_year has no financial-year start date (super.dt1)."},
    };
    for (const auto& c : cases) {
        LedgerConnection ledger;
        const DataFileChoice choice = SelectDataFile(ledger, c.dataFile);
        EXPECT_FALSE(choice.books) << c.dataFile;
        ASSERT_EQ(choice.messages.size(), 1u) << c.dataFile;
        EXPECT_EQ(choice.messages[0].text, c.reason);
        EXPECT_EQ(GenerationRun(ledger, {.books = choice.books,
                                         .dataFile = c.dataFile,
                                         .monthNumber = 4,
                                         .folders = std::filesystem::path("/nonexistent")})
                      .outcome,
                  RunOutcome::Refused);
    }
}

}  // namespace
}  // namespace vat
