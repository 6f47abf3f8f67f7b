// Reading a document's facts per list gives what reading them per voucher gives: the same
// files, figures, rows and messages for every data file and month on the test server, and a
// number of statements that does not grow with the month.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>

#include "ledger/data_file_catalogue.h"
#include "returns/record/run_record.h"
#include "returns/run/data_file_selection.h"
#include "returns/run/generation_run.h"
#include "support/ledger_session.h"
#include "support/printers.h"
#include "support/server_psql.h"

namespace vat {
namespace {

namespace fs = std::filesystem;

// Everything a run leaves for the user, with the program folder taken out of the texts.
struct RunShown {
    RunOutcome outcome = RunOutcome::Failed;
    std::map<std::string, std::string> files;
    SummaryCaptions captions;
    std::vector<ErrorRow> rows;
    std::vector<std::string> messages;
    std::vector<std::string> written;
    std::vector<FileAccount> accounts;
    std::string fingerprint;
    std::optional<Reconciliation> reconciliation;
    friend bool operator==(const RunShown&, const RunShown&) = default;
};

std::string WithoutFolder(std::string text, const std::string& folder) {
    for (auto at = text.find(folder); at != std::string::npos; at = text.find(folder, at))
        text.replace(at, folder.size(), "<folder>");
    return text;
}

RunShown RunMonth(const std::string& dataFile, int month, FactReading reading) {
    test::LedgerSession session(dataFile);
    session.result = GenerationRun(session.ledger, {.books = session.books,
                                                    .dataFile = dataFile,
                                                    .monthNumber = month,
                                                    .folders = test::FlatFolders(session.folder),
                                                    .reading = reading});
    RunShown result;
    result.outcome = session.result.outcome;
    const std::string folder = session.folder.Path().string();
    const fs::path monthFolder = session.folder / ReturnPeriod{month, 0}.MonthTag();
    result.files = test::FolderBytes(monthFolder);
    // The fingerprint of the books as read: the same whichever way the facts were read.
    if (const std::optional<RunRecord> record = ReadRunRecord(monthFolder))
        result.fingerprint = record->fingerprint;
    result.captions = CaptionsOf(session.result.figures);
    result.rows = session.result.rows;
    for (const UserMessage& message : session.result.messages)
        result.messages.push_back(WithoutFolder(message.text, folder));
    for (const std::string& file : session.result.FilesWritten())
        result.written.push_back(WithoutFolder(file, folder));
    result.accounts = session.result.accounts;
    result.reconciliation = session.result.reconciliation;
    for (FileAccount& account : result.accounts)
        if (account.path) account.path = WithoutFolder(*account.path, folder);
    return result;
}

// The data files of the test server that a run accepts, but for those other tests change as
// they run (t_changing_*).
std::vector<std::string> RunnableDataFiles() {
    LedgerConnection ledger;
    ConnectLedger(ledger, "edb", false);
    std::vector<std::string> runnable;
    for (const std::string& dataFile : ListDataFiles(ledger)) {
        if (dataFile.starts_with("t_changing_")) continue;
        const DataFileChoice choice = SelectDataFile(ledger, dataFile);
        if (choice.books && choice.books->TinValid()) runnable.push_back(dataFile);
    }
    return runnable;
}

// Every listed document is accounted for, and every difference between the return and the
// books explained, on every month of every data file.
TEST(FactReading, PerListAndPerVoucherGiveTheSameRunForEveryDataFileAndMonth) {
    int compared = 0;
    for (const std::string& dataFile : RunnableDataFiles()) {
        for (int month = 1; month <= 12; ++month) {
            const RunShown perList = RunMonth(dataFile, month, FactReading::PerList);
            const RunShown perVoucher = RunMonth(dataFile, month, FactReading::PerVoucher);
            for (const FileAccount& account : perList.accounts)
                EXPECT_EQ(account.listed, account.written + account.belowOneRupee +
                                              account.interstate + account.tinSkipped +
                                              account.notGoods + account.missingData)
                    << dataFile << " month " << month << " " << account.file;
            if (perList.reconciliation) {
                for (const FigureReconciliation& figure : perList.reconciliation->figures)
                    EXPECT_EQ(figure.Unexplained(), 0) << dataFile << " month " << month;
            }
            EXPECT_EQ(perList.reconciliation.has_value(), perList.outcome == RunOutcome::Completed)
                << dataFile << " month " << month;
            EXPECT_EQ(perList, perVoucher) << dataFile << " month " << month;
            ++compared;
        }
    }
    EXPECT_GE(compared, 12 * 10) << "the fixture ledgers are loaded";
}

// The corner cases of the look-ups, each visible in April of t_reading_traps.
TEST(FactReading, TheLookUpsCornerCasesReadAsTheBooksHoldThem) {
    const RunShown april = RunMonth("t_reading_traps", 4, FactReading::PerList);
    ASSERT_EQ(april.outcome, RunOutcome::Completed);
    const std::string& purchases = april.files.at("efile_pur04.xml");
    // Sums over every row of the number: 500 + 70 (May), 25 + 3.50 (cancelled).
    EXPECT_NE(purchases.find("<NetVal>570</NetVal>"), std::string::npos) << purchases;
    EXPECT_NE(purchases.find("<TaxCh>28.5</TaxCh>"), std::string::npos);
    EXPECT_NE(purchases.find("<SelName>FIRST ROW WINS BANGALORE</SelName>"), std::string::npos);
    EXPECT_NE(purchases.find("<InvDate>2015-04-01</InvDate>"), std::string::npos);
    const auto twice = purchases.find("<InvNo>P3</InvNo>");
    EXPECT_NE(purchases.find("<InvNo>P3</InvNo>", twice + 1), std::string::npos)
        << "a voucher on two dates is written twice";
    const std::vector<ErrorRow> missing{
        {"Purchase Within State",
         "B No.P4 of voucher 4 left out: the party account 399 has no row in ledger_acts"},
        {"Purchase Within State",
         "B No.P5 of voucher 5 left out: the party account 302 has no city code"},
        {"Purchase Within State",
         "B No.P6 of voucher 6 left out: the city code 77 of party account 303 has no row in "
         "city"},
    };
    const std::vector<ErrorRow> said = Said(april.rows);
    for (const ErrorRow& row : missing)
        EXPECT_NE(std::find(said.begin(), said.end(), row), said.end()) << row.error;
    const std::string& interstate = april.files.at("efile_sal_iss_04.xml");
    // 10 + 2 of the interstate line and 5 + NULL of the local one, which adds nothing.
    EXPECT_NE(interstate.find("<Qty>12</Qty>"), std::string::npos) << interstate;
    EXPECT_NE(interstate.find("<Qty>0</Qty>"), std::string::npos);
}

// A psql query's one value on the test server (the PG* settings of scripts/pg-cluster.sh env).
std::string PsqlValue(const std::string& database, const std::string& sql) {
    FILE* pipe = popen(("psql -X -q -tA -d " + database + " -c \"" + sql + "\"").c_str(), "r");
    std::string out;
    char buffer[256];
    for (std::size_t got; pipe && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, got);
    if (pipe) pclose(pipe);
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}

// The statements a whole run of April sends to a demo ledger of that many vouchers, as the
// server's statement statistics count them. The driver's own transaction and cursor commands
// around each statement (BEGIN, FETCH of the next slice, CLOSE, COMMIT) are not counted.
// A run of April on a demo ledger of that many vouchers a month: the statements it sent, and
// whether its reconciliation explained every figure (its postings are read in slices).
struct CountedRun {
    long long statements = -1;
    bool reconciled = false;
};

CountedRun RunStatements(int vouchers) {
    const std::string name = "t_count_" + std::to_string(vouchers);
    const std::string load = std::string(VAT_DEMO_LEDGER_PROGRAM) +
                             " --seed 7 --months 4 --vouchers-per-month " +
                             std::to_string(vouchers) + " | " + VAT_SOURCE_DIR +
                             "/scripts/load-ledger.sh " + name + " - >/dev/null 2>&1";
    if (std::system(load.c_str()) != 0) return {};
    const std::string count =
        "select coalesce(sum(calls), 0) from pg_stat_statements s join pg_database d on d.oid = "
        "s.dbid where d.datname = '" +
        name + "' and s.query not ilike 'fetch%'";
    // A full statistics table drops its least used entries, which a whole test suite's runs of
    // many data files can bring about during this one.
    test::AdminPsql("edb", "select pg_stat_statements_reset()");
    const long long before = std::stoll(PsqlValue("edb", count));
    test::ProgramFolder folder;
    const std::filesystem::path report = folder.Path() / "report.json";
    const std::string run = std::string(VAT_CLI_PROGRAM) + " --data-file " + name +
                            " --month 4 --json --folder " + folder.Path().string() + " >" +
                            report.string() + " 2>/dev/null";
    const int status = std::system(run.c_str());
    const long long after = std::stoll(PsqlValue("edb", count));
    PsqlValue("edb", "drop database " + name + " with (force)");
    if (status != 0) return {};
    std::ifstream in(report);
    const nlohmann::ordered_json reconciliation =
        nlohmann::ordered_json::parse(in)["reconciliation"];
    bool reconciled = !reconciliation.empty();
    for (const auto& [key, figure] : reconciliation.items())
        if (figure.contains("unexplained")) reconciled = reconciled && figure["unexplained"] == 0;
    return {after - before, reconciled};
}

TEST(FactReading, TheStatementsOfARunDoNotGrowWithTheMonth) {
    const CountedRun small = RunStatements(300);
    const CountedRun large = RunStatements(3000);
    ASSERT_GT(small.statements, 0);
    EXPECT_EQ(large.statements, small.statements);
    EXPECT_LT(small.statements, 100) << "a few statements per file, not per voucher";
    EXPECT_TRUE(small.reconciled && large.reconciled) << "every posting read, slice by slice";
    std::cout << "A run of April: " << small.statements << " statements\n";
}

}  // namespace
}  // namespace vat
