// vat-efile-cli run as a program against the real server: exit statuses, the JSON report and
// the data-file list.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "disk/local_time.h"
#include "ledger/ledger_login.h"
#include "support/program_folder.h"
#include "support/program_run.h"
#include "support/server_psql.h"

namespace vat {
namespace {

namespace fs = std::filesystem;
using test::ProgramFolder;

using CliResult = test::ProgramResult;
using test::Describe;

CliResult RunCli(const std::vector<std::string>& arguments, const ProgramFolder& scratch,
                 const std::string& environment = "") {
    return test::RunProgram(VAT_CLI_PROGRAM, arguments, scratch, environment);
}

// An ODBC set-up whose data source edb points at a port where no server listens.
std::string OdbcWithoutServer(const ProgramFolder& scratch) {
    return test::OdbcIniVariant(scratch, [](const std::string& line) {
        return line.starts_with("Port=") ? std::string("Port=1") : line;
    });
}

struct StatusCase {
    const char* name;
    std::vector<std::string> arguments;  // "{folder}" stands for the program folder
    int status;
};

const std::vector<StatusCase> kStatusCases = {
    {"AGoodMonthReachesOver",
     {"--data-file", "t_run_figures", "--month", "APR", "--folder", "{folder}"},
     0},
    {"TheMonthMayBeANumber",
     {"--data-file", "t_run_figures", "--month", "5", "--folder", "{folder}"},
     0},
    {"NoArguments", {}, 2},
    {"AnUnknownArgument", {"--data-file", "t_run_figures", "--month", "APR", "--verbose"}, 2},
    {"AMissingMonth", {"--data-file", "t_run_figures", "--folder", "{folder}"}, 2},
    {"AMissingValue", {"--data-file", "t_run_figures", "--month"}, 2},
    {"TheMonthMayBeAFullName",
     {"--data-file", "t_run_figures", "--month", "june", "--folder", "{folder}"},
     0},
    {"AnUnknownMonthName",
     {"--data-file", "t_run_figures", "--month", "APRL", "--folder", "{folder}"},
     2},
    {"AMonthNumberOutOfRange",
     {"--data-file", "t_run_figures", "--month", "13", "--folder", "{folder}"},
     2},
    {"AnUnknownDataFile",
     {"--data-file", "t_run_no_such_data_file", "--month", "APR", "--folder", "{folder}"},
     2},
    {"TheServersOwnDatabase", {"--data-file", "edb", "--month", "APR", "--folder", "{folder}"}, 2},
    {"ADataFileWithAnIncorrectTin",
     {"--data-file", "shop2014", "--month", "APR", "--folder", "{folder}"},
     2},
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const StatusCase& statusCase, std::ostream* out) { *out << statusCase.name; }

class CliExitStatus : public testing::TestWithParam<StatusCase> {};

TEST_P(CliExitStatus, Is) {
    ProgramFolder folder;
    std::vector<std::string> arguments = GetParam().arguments;
    for (std::string& argument : arguments)
        if (argument == "{folder}") argument = folder.Path().string();
    const CliResult result = RunCli(arguments, folder);
    EXPECT_EQ(result.status, GetParam().status) << Describe(result);
}

INSTANTIATE_TEST_SUITE_P(Cli, CliExitStatus, testing::ValuesIn(kStatusCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Cli, ARefusedDataFileWritesNothing) {
    ProgramFolder folder;
    const CliResult result = RunCli(
        {"--data-file", "shop2014", "--month", "APR", "--folder", folder.Path().string(), "--json"},
        folder);
    ASSERT_EQ(result.status, 2) << Describe(result);
    const auto report = nlohmann::json::parse(result.out);
    EXPECT_EQ(report["messages"].back(), "INCORRECT TIN CAN NOT PROCEED");
    EXPECT_TRUE(report["files"].empty());
    EXPECT_FALSE(fs::exists(folder / "shop2014"));
}

TEST(Cli, ARefusalBeforeAnyRunStillAnswersJsonWhenAskedTo) {
    ProgramFolder folder;
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--json", "--month", "APRL", "--data-file", "t_run_figures"},
          std::vector<std::string>{"--json", "--month", "APR", "--data-file",
                                   "t_run_no_such_data_file", "--folder",
                                   folder.Path().string()}}) {
        const CliResult result = RunCli(arguments, folder);
        ASSERT_EQ(result.status, 2) << Describe(result);
        const auto report = nlohmann::json::parse(result.out);
        ASSERT_EQ(report["messages"].size(), 1u) << result.out;
        EXPECT_NE(report["messages"][0].get<std::string>().find(
                      arguments[2] == "APRL" ? "APRL" : "t_run_no_such"),
                  std::string::npos)
            << result.out;
        EXPECT_TRUE(report["files"].empty());
    }
}

TEST(Cli, NoServerFailsWithTheDriversReasonAndNoFigures) {
    ProgramFolder folder;
    const std::string environment = OdbcWithoutServer(folder);
    ASSERT_FALSE(environment.empty())
        << "ODBCINI is not set: eval \"$(scripts/pg-cluster.sh env)\"";
    const CliResult result = RunCli({"--data-file", "t_run_figures", "--month", "APR", "--folder",
                                     folder.Path().string(), "--json"},
                                    folder, environment);
    EXPECT_EQ(result.status, 1) << Describe(result);
    const auto report = nlohmann::json::parse(result.out);
    ASSERT_EQ(report["messages"].size(), 2u) << result.out;
    EXPECT_EQ(report["messages"][0], "UNABLE TO CONNECT");
    const std::string reason = report["messages"][1];
    EXPECT_NE(reason.find("edb"), std::string::npos) << reason;
    EXPECT_EQ(reason.find(kLedgerPassword), std::string::npos) << reason;
    EXPECT_TRUE(report["figures"].is_null());
    EXPECT_TRUE(report["labels"].empty());
}

struct UnstartedCase {
    const char* name;
    std::vector<std::string> arguments;
    bool withoutServer;
    int status;
    std::string reason;  // the last line of standard error, after "vat-efile-cli: "
};

void PrintTo(const UnstartedCase& unstarted, std::ostream* out) { *out << unstarted.name; }

const std::vector<UnstartedCase> kUnstartedCases = {
    {"NoServer", {"--data-file", "t_run_figures", "--month", "APR"}, true, 1, ""},
    {"AnIncorrectTin",
     {"--data-file", "shop2014", "--month", "APR"},
     false,
     2,
     "INCORRECT TIN CAN NOT PROCEED"},
    {"AnUnknownDataFile",
     {"--data-file", "t_run_no_such_data_file", "--month", "APR"},
     false,
     2,
     "\"t_run_no_such_data_file\" is not a data file of the server (see --list-data-files)"},
    {"AnUnknownArgument", {"--foo"}, false, 2, "unknown argument \"--foo\" (see --help)"},
    {"AMissingValue", {"--month"}, false, 2, "--month needs a value (see --help)"},
    {"AnUnknownMonth",
     {"--data-file", "t_run_figures", "--month", "Aprl"},
     false,
     2,
     "unknown month \"Aprl\": give APR ... MAR, APRIL ... MARCH or 1 to 12 (see --help)"},
};

// A run that never started shows no figures, only why, one line a reason on standard error.
class CliUnstartedRun : public testing::TestWithParam<UnstartedCase> {};

TEST_P(CliUnstartedRun, PrintsTheReasonAndNoFigures) {
    const UnstartedCase& given = GetParam();
    ProgramFolder folder;
    std::vector<std::string> arguments = given.arguments;
    if (arguments.size() > 2)
        arguments.insert(arguments.end(), {"--folder", folder.Path().string()});
    const std::string environment = given.withoutServer ? OdbcWithoutServer(folder) : "";
    ASSERT_EQ(environment.empty(), !given.withoutServer) << "ODBCINI is not set";
    const CliResult result = RunCli(arguments, folder, environment);
    EXPECT_EQ(result.status, given.status) << Describe(result);
    EXPECT_EQ(result.out, "") << Describe(result);
    std::istringstream lines(result.err);
    std::string last;
    for (std::string line; std::getline(lines, line);) {
        // The driver's own text may go on in lines of its own, indented.
        if (line.starts_with("\t") || line.starts_with(" ")) continue;
        EXPECT_TRUE(line.starts_with("vat-efile-cli: ")) << Describe(result);
        last = line.substr(std::string("vat-efile-cli: ").size());
    }
    if (given.withoutServer) {
        EXPECT_TRUE(result.err.starts_with("vat-efile-cli: UNABLE TO CONNECT\n")) << result.err;
        EXPECT_EQ(result.err.find(kLedgerPassword), std::string::npos) << result.err;
    } else {
        EXPECT_EQ(last, given.reason) << Describe(result);
    }
    EXPECT_FALSE(fs::exists(folder / "04"));
}

INSTANTIATE_TEST_SUITE_P(Cli, CliUnstartedRun, testing::ValuesIn(kUnstartedCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Cli, WithoutArgumentsPrintsTheUsageAndRefuses) {
    ProgramFolder folder;
    const CliResult result = RunCli({}, folder);
    EXPECT_EQ(result.status, 2) << Describe(result);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.err.starts_with("Usage: vat-efile-cli")) << result.err;
}

// Each export alone, as asked.
TEST(Cli, WritesTheErrorListWhereAsked) {
    ProgramFolder folder;
    const fs::path csv = folder / "errors.csv", xlsx = folder / "errors.xlsx";
    const std::vector<std::string> july = {"--data-file", "t_run_figures", "--month",
                                           "JUL",         "--folder",      folder.Path().string()};
    for (const auto& [option, file] : {std::pair{"--errors-csv", csv}, {"--errors-xlsx", xlsx}}) {
        std::vector<std::string> arguments = july;
        arguments.insert(arguments.end(), {option, file.string()});
        const CliResult result = RunCli(arguments, folder);
        ASSERT_EQ(result.status, 0) << Describe(result);
    }
    const std::string text = test::ReadBytes(csv);
    EXPECT_TRUE(
        text.starts_with("\xEF\xBB\xBF"
                         "Company,t_run_figures\r\n"))
        << text;
    for (const char* expected : {"\r\nMonth,JUL 2014\r\n", "\r\nType,Document,Error,File,Line\r\n",
                                 "T33 Dated:09/07/2014"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
    EXPECT_TRUE(test::ReadBytes(xlsx).starts_with("PK"));
}

// An export that cannot be written is refused before the month's files are replaced.
TEST(Cli, AnExportThatCannotBeWrittenRefusesTheRunUpFront) {
    ProgramFolder folder;
    const std::vector<std::string> july = {"--data-file", "t_run_figures", "--month",
                                           "JUL",         "--folder",      folder.Path().string(),
                                           "--layout",    "flat"};
    ASSERT_EQ(RunCli(july, folder).status, 0);
    const auto before = test::FolderBytes(folder / "07");
    for (const auto& [option, file] :
         {std::pair{"--errors-csv", folder / "no such folder/errors.csv"},
          std::pair{"--errors-xlsx", folder / "07/run.json"},
          std::pair{"--errors-csv", folder / "07/efile_pur07.xml"}}) {
        std::vector<std::string> arguments = july;
        arguments.insert(arguments.end(), {option, file.string()});
        const CliResult result = RunCli(arguments, folder);
        EXPECT_EQ(result.status, 2) << Describe(result);
        EXPECT_TRUE(result.err.starts_with("vat-efile-cli: cannot export the error list to " +
                                           file.string()))
            << result.err;
        EXPECT_EQ(test::FolderBytes(folder / "07"), before) << file;
    }
}

// The return tied to the books leaves the program in every form: the report's lines and items,
// the CSV's second block, the workbook's second sheet, the record that --verify compares.
TEST(Cli, TheReconciliationIsReportedExportedAndVerified) {
    ProgramFolder folder;
    const fs::path csv = folder / "errors.csv", xlsx = folder / "errors.xlsx";
    const CliResult result =
        RunCli({"--data-file", "t_reconcile", "--month", "APR", "--folder", folder.Path().string(),
                "--errors-csv", csv.string(), "--errors-xlsx", xlsx.string()},
               folder);
    ASSERT_EQ(result.status, 0) << Describe(result);
    for (const char* expected :
         {"input VAT                   185.45           72.00         -113.45            0.00\n",
          "  type not read\t-123.45\tvoucher 101 (JV, 05/04/2014): input VAT account 20 debited",
          "Every difference is explained.\n"})
        EXPECT_NE(result.out.find(expected), std::string::npos) << expected << " in\n"
                                                                << result.out;
    const std::string text = test::ReadBytes(csv);
    for (const char* expected :
         {"\r\n\r\n\"Reconciliation with the books, 01/04/2014 to 30/04/2014\"\r\n"
          "Figure,Books,Return,Difference,Unexplained\r\ninput VAT,185.45,72.00,-113.45,0.00\r\n",
          "\r\nFigure,Voucher,Type,Date,Document,Account,Amount,Reason,Text\r\n"
          "input VAT,101,JV,05/04/2014,,20,-123.45,type not read,"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
    const std::string workbook = test::ReadBytes(xlsx);
    EXPECT_NE(workbook.find("xl/worksheets/sheet2.xml"), std::string::npos);

    const CliResult verify = RunCli({"--data-file", "t_reconcile", "--month", "APR", "--folder",
                                     folder.Path().string(), "--verify", "--json"},
                                    folder);
    EXPECT_EQ(nlohmann::json::parse(verify.out)["reconciliation"], nlohmann::json::array())
        << verify.out;
}

TEST(Cli, AQueryOnALockedTableEndsAtTheStatementTimeoutWithItsMessage) {
    ProgramFolder folder;
    const test::TableLock lock("t_run_figures", "daybok");
    const CliResult result = RunCli({"--data-file", "t_run_figures", "--month", "APR", "--folder",
                                     folder.Path().string(), "--json", "--statement-timeout", "1"},
                                    folder);
    EXPECT_EQ(result.status, 1) << Describe(result);
    const auto report = nlohmann::json::parse(result.out);
    // A run that failed shows no figures, rows or files of its own.
    EXPECT_TRUE(report["figures"].is_null());
    EXPECT_EQ(report["labels"], nlohmann::json::object());
    EXPECT_EQ(report["returns"], nlohmann::json::array());
    EXPECT_EQ(report["messages"],
              nlohmann::json::array({"Writing efile_pur04.xml failed: A query on the data file "
                                     "t_run_figures was stopped after 1 second (statement "
                                     "timeout)."}))
        << "the month had no earlier files to keep";
}

// --folder names the output folder only, made when missing: without --xsd the schemas beside
// the program are read.
TEST(Cli, TheFolderTakesTheMonthFoldersAndTheXsdFolderGivesTheSchemas) {
    ProgramFolder folder;
    const fs::path output = folder / "books/returns";
    const CliResult result = RunCli(
        {"--data-file", "t_run_figures", "--month", "APR", "--folder", output.string()}, folder);
    EXPECT_EQ(result.status, 0) << Describe(result);
    EXPECT_TRUE(fs::exists(output / "t_run_figures/2014-15/04/efile_pur04.xml"));
    EXPECT_FALSE(fs::exists(output / "XSD"));
}

TEST(Cli, JsonReportsLabelsFiguresErrorsFixesMessagesAndFilesAndNothingElse) {
    ProgramFolder folder;
    const CliResult result = RunCli({"--json", "--data-file", "t_run_figures", "--month", "JUN",
                                     "--folder", folder.Path().string()},
                                    folder);
    ASSERT_EQ(result.status, 0) << Describe(result);
    // parse() refuses anything around the one object.
    const nlohmann::json report = nlohmann::json::parse(result.out);
    ASSERT_TRUE(report.is_object());

    std::vector<std::string> keys;
    for (const auto& [key, value] : report.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"errors", "figures", "files", "fixes",
                                              "interstateParties", "labels", "messages",
                                              "monthFolder", "reconciliation", "returns"}));
    // The company's month folder of its financial year, where the files are.
    const fs::path june = folder / "t_run_figures/2014-15/06";
    EXPECT_EQ(report["monthFolder"], june.string());
    const nlohmann::json& reconciliation = report["reconciliation"];
    EXPECT_EQ(reconciliation["period"], nlohmann::json::array({"2014-06-01", "2014-06-30"}));
    keys.clear();
    for (const auto& [key, value] : reconciliation["inputVat"].items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"accounts", "books", "difference", "items", "return",
                                              "unexplained"}));
    EXPECT_EQ(reconciliation["vatPayable"].size(), 3u);

    const nlohmann::json& labels = report["labels"];
    for (const char* label : {"lbl_in_p",
                              "lbl_in_n",
                              "lbl_in_net",
                              "lbl_out_p",
                              "lbl_out_n",
                              "lbl_out_net",
                              "lbl_pay",
                              "lbl_InputVAT_Plus",
                              "lbl_InputVAT_Minus",
                              "lbl_OutputVAT_Plus",
                              "lbl_OutputVAT_Minus",
                              "lbl_CST_Purchase",
                              "lbl_CST_Sales",
                              "lbl_TaxPayableRefundable",
                              "lbl_TaxAmt",
                              "lbl_Pur_URD_NoOfBills",
                              "lbl_Pur_URD_Basic_Amt",
                              "lbl_Pur_URD_VAT_Amt",
                              "lbl_Sal_URD_NoOfBills",
                              "lbl_Sal_URD_Basic_Amt",
                              "lbl_Sal_URD_VAT_Amt"})
        EXPECT_TRUE(labels.contains(label)) << label;
    EXPECT_EQ(labels["lbl_InputVAT_Plus"], "300.00");
    EXPECT_EQ(labels["lbl_OutputVAT_Plus"], "300.00");
    EXPECT_EQ(labels["lbl_CST_Sales"], "100.00");
    EXPECT_EQ(labels["lbl_TaxPayableRefundable"], "VAT Payable");
    EXPECT_EQ(labels["lbl_TaxAmt"], "0.00");

    // The same figures as numbers under readable keys.
    const nlohmann::json& figures = report["figures"];
    EXPECT_EQ(figures["inputVatPlus"], 300.0);
    EXPECT_EQ(figures["outputVatPlus"], 300.0);
    EXPECT_EQ(figures["cstOnSales"], 100.0);
    EXPECT_EQ(figures["vat"], "payable");
    EXPECT_EQ(figures["vatAmount"], 0.0);
    EXPECT_EQ(figures["urdSales"]["bills"],
              std::stoll(labels["lbl_Sal_URD_NoOfBills"].get<std::string>()));
    // The hidden secondary labels are no figure a person reads: only in "labels".
    for (const char* hidden : {"payableVat", "netInputVat", "netOutputVat"})
        EXPECT_FALSE(figures.contains(hidden)) << hidden;

    // Bill 323 is interstate: no local-sales row says it was omitted.
    EXPECT_EQ(report["errors"], nlohmann::json::array());
    EXPECT_EQ(report["messages"], nlohmann::json::array({"OVER"}));

    const std::vector<std::string> files = {(june / "efile_pur06.xml").string(),
                                            (june / "efile_sal06.xml").string(),
                                            (june / "efile_sal_iss_06.xml").string()};
    EXPECT_EQ(report["files"].get<std::vector<std::string>>(), files);
    for (const std::string& file : files) EXPECT_TRUE(fs::exists(file)) << file;
}

TEST(Cli, JsonErrorRowsNameTheirDocumentFileAndLine) {
    ProgramFolder folder;
    const CliResult result = RunCli({"--json", "--data-file", "t_schema_errors", "--month", "APR",
                                     "--folder", folder.Path().string()},
                                    folder);
    ASSERT_EQ(result.status, 3) << "OVER, with a file that failed its check: " << Describe(result);
    const auto report = nlohmann::ordered_json::parse(result.out);
    const nlohmann::ordered_json errors = nlohmann::ordered_json::array(
        {{{"type", "Purchase Within State"},
          {"error",
           "<TinNo> (checked element 2) is not valid. Reason: Element 'TinNo': [facet 'pattern'] "
           "The value "
           "'29ABC&<>12 ' is not accepted by the pattern '[0-9]{11}'."},
          {"document", nullptr},
          {"file", "efile_pur04.xml"},
          {"line", 4},
          {"voucher", nullptr}},
         {{"type", "Purchase Within State"},
          {"error",
           "<SelTin> (checked element 9) is not valid. Reason: Element 'SelTin': [facet 'pattern'] "
           "The "
           "value '29I00000002' is not accepted by the pattern '[0-9]{11}'."},
          {"document", "InvNo R3 \u00b7 05/04/2014 \u00b7 RAMA MEDICALS BANGALORE"},
          {"file", "efile_pur04.xml"},
          {"line", 19},
          {"voucher", 2}}});
    // Ordered: the keys come in this order too.
    EXPECT_EQ(report["errors"], errors);
}

TEST(Cli, WithoutJsonPrintsTheSummaryAsTheWindowShowsIt) {
    ProgramFolder folder;
    const CliResult result = RunCli(
        {"--data-file", "t_run_figures", "--month", "APR", "--folder", folder.Path().string()},
        folder);
    ASSERT_EQ(result.status, 0) << Describe(result);
    EXPECT_NE(result.out.find("VAT Payable               290.00\n"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("\nFiles in " + (folder / "t_run_figures/2014-15/04").string() +
                              "\n  efile_pur04.xml\n  efile_pur_rtn04.xml\n"),
              std::string::npos)
        << result.out;
    EXPECT_TRUE(result.out.ends_with("\nOVER\n")) << result.out;
}

TEST(Cli, ListsTheDataFilesAsTheWindowDoes) {
    ProgramFolder folder;
    const CliResult result = RunCli({"--list-data-files"}, folder);
    ASSERT_EQ(result.status, 0) << Describe(result);
    std::vector<std::string> names;
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);) names.push_back(line);
    auto listed = [&](const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    for (const char* name : {"shop2013", "shop2014", "t_run_figures"})
        EXPECT_TRUE(listed(name)) << name << " missing from\n" << result.out;
    for (const char* name : {"edb", "mgmtsvr", "company_template", "template0", "template1"})
        EXPECT_FALSE(listed(name)) << name << " listed in\n" << result.out;
}

TEST(Cli, HelpPrintsTheUsageAndExits0) {
    ProgramFolder folder;
    const CliResult result = RunCli({"--help"}, folder);
    EXPECT_EQ(result.status, 0) << Describe(result);
    EXPECT_TRUE(result.out.starts_with("Usage: vat-efile-cli --data-file NAME --month M"))
        << result.out;
}

}  // namespace
}  // namespace vat

namespace vat {
namespace {

// In the flat layout a month's files of another data file are kept unless --replace; --verify
// then tells an unchanged month (0) from files changed by hand (4); --year reports twelve months.
TEST(Cli, ReplaceVerifyAndYear) {
    ProgramFolder folder;
    const std::string out = folder.Path().string();
    const auto run = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.end(), {"--folder", out, "--layout", "flat"});
        return RunCli(arguments, folder);
    };
    const CliResult demo = run({"--data-file", "t_run_demo", "--month", "APR", "--json"});
    ASSERT_EQ(demo.status, 0) << Describe(demo);
    // Written member by member, its errors and reconciling items one at a time, the report
    // reads as the whole object's dump.
    EXPECT_EQ(demo.out, nlohmann::ordered_json::parse(demo.out).dump(2) + "\n");
    const auto report = nlohmann::json::parse(demo.out);
    EXPECT_FALSE(report["errors"].empty());
    EXPECT_FALSE(report["reconciliation"]["inputVat"]["items"].empty());
    const CliResult refused = run({"--data-file", "t_run_figures", "--month", "APR"});
    EXPECT_EQ(refused.status, 2) << Describe(refused);
    EXPECT_NE(refused.err.find("were made from t_run_demo"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("give --replace to replace them"), std::string::npos);

    const CliResult unchanged = run({"--data-file", "t_run_demo", "--month", "APR", "--verify"});
    EXPECT_EQ(unchanged.status, 0) << Describe(unchanged);
    EXPECT_NE(unchanged.out.find("the books and the files are unchanged"), std::string::npos);
    std::ofstream(folder / "04/efile_sal04.xml", std::ios::app) << "\n";
    const CliResult edited =
        run({"--data-file", "t_run_demo", "--month", "APR", "--verify", "--json"});
    EXPECT_EQ(edited.status, 4) << Describe(edited);
    const auto check = nlohmann::json::parse(edited.out);
    EXPECT_EQ(check["booksChanged"], false);
    EXPECT_EQ(check["folderChanges"],
              nlohmann::json::array({"efile_sal04.xml was changed after it was written"}));

    EXPECT_EQ(run({"--data-file", "t_run_figures", "--month", "APR", "--replace"}).status, 0);
    const CliResult year = run({"--data-file", "t_run_figures", "--year", "--json"});
    EXPECT_EQ(year.status, 0) << Describe(year);
    // Written month by month, it is the dump of the whole object.
    EXPECT_EQ(year.out, nlohmann::ordered_json::parse(year.out).dump(2) + "\n");
    const auto months = nlohmann::json::parse(year.out)["months"];
    ASSERT_EQ(months.size(), 12u);
    EXPECT_EQ(months[0]["month"], "APR");
    EXPECT_EQ(months[11]["month"], "MAR");
    EXPECT_EQ(nlohmann::json::parse(year.out)["totals"]["monthsCompleted"], 12);
}

// A year exits with its worst month's status: one month of another data file's files is refused.
TEST(Cli, AYearWithOneMonthRefusedExitsAsRefused) {
    ProgramFolder folder;
    const std::string out = folder.Path().string();
    ASSERT_EQ(
        RunCli({"--data-file", "t_run_demo", "--month", "APR", "--folder", out, "--layout", "flat"},
               folder)
            .status,
        0);
    const CliResult year = RunCli(
        {"--data-file", "t_run_figures", "--year", "--json", "--folder", out, "--layout", "flat"},
        folder);
    EXPECT_EQ(year.status, 2) << Describe(year);
    const auto report = nlohmann::json::parse(year.out);
    std::vector<int> statuses;
    for (const auto& month : report["months"]) statuses.push_back(month["exitStatus"]);
    EXPECT_EQ(statuses, (std::vector<int>{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

// The files of the same data file for another financial year are kept unless --replace.
TEST(Cli, FilesOfTheDataFilesOtherYearAreRefused) {
    ProgramFolder folder;
    const std::vector<std::string> april = {"--data-file", "t_run_demo", "--month",
                                            "APR",         "--folder",   folder.Path().string(),
                                            "--layout",    "flat"};
    ASSERT_EQ(RunCli(april, folder).status, 0);
    const fs::path record = folder / "04/run.json";
    auto written = nlohmann::ordered_json::parse(test::ReadBytes(record));
    written["financialYear"] = {{"start", "2013-04-01"}, {"end", "2014-03-31"}};
    std::ofstream(record) << written.dump(1);

    const CliResult refused = RunCli(april, folder);
    EXPECT_EQ(refused.status, 2) << Describe(refused);
    EXPECT_EQ(refused.err, "vat-efile-cli: The files in " + (folder / "04").string() +
                               " were made from t_run_demo (financial year 01/04/2013 to "
                               "31/03/2014), written " +
                               PersonsForm(written["writtenAt"].get<std::string>()) +
                               "; give --replace to replace them\n");
    EXPECT_EQ(nlohmann::json::parse(test::ReadBytes(record))["financialYear"]["start"],
              "2013-04-01")
        << "the files were replaced";
}

}  // namespace
}  // namespace vat
