// vat-efile-cli run as a program against the real server: exit statuses, the JSON report and
// the data-file list.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>

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
    {"AnUnknownMonthName",
     {"--data-file", "t_run_figures", "--month", "APRIL", "--folder", "{folder}"},
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
    EXPECT_FALSE(fs::exists(folder / "04"));
}

TEST(Cli, ARefusalBeforeAnyRunStillAnswersJsonWhenAskedTo) {
    ProgramFolder folder;
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--json", "--month", "APRIL", "--data-file", "t_run_figures"},
          std::vector<std::string>{"--json", "--month", "APR", "--data-file",
                                   "t_run_no_such_data_file", "--folder",
                                   folder.Path().string()}}) {
        const CliResult result = RunCli(arguments, folder);
        ASSERT_EQ(result.status, 2) << Describe(result);
        const auto report = nlohmann::json::parse(result.out);
        ASSERT_EQ(report["messages"].size(), 1u) << result.out;
        EXPECT_NE(report["messages"][0].get<std::string>().find(
                      arguments[2] == "APRIL" ? "APRIL" : "t_run_no_such"),
                  std::string::npos)
            << result.out;
        EXPECT_TRUE(report["files"].empty());
    }
}

TEST(Cli, NoServerFailsWithUnableToConnect) {
    ProgramFolder folder;
    const std::string environment = OdbcWithoutServer(folder);
    ASSERT_FALSE(environment.empty())
        << "ODBCINI is not set: eval \"$(scripts/pg-cluster.sh env)\"";
    const CliResult result = RunCli({"--data-file", "t_run_figures", "--month", "APR", "--folder",
                                     folder.Path().string(), "--json"},
                                    folder, environment);
    EXPECT_EQ(result.status, 1) << Describe(result);
    const auto report = nlohmann::json::parse(result.out);
    EXPECT_EQ(report["messages"], nlohmann::json::array({"UNABLE TO CONNECT"}));
    EXPECT_FALSE(result.err.empty()) << "the data source's own description goes to stderr";
}

TEST(Cli, WritesTheErrorListWhereAsked) {
    ProgramFolder folder;
    const fs::path csv = folder / "errors.csv", xlsx = folder / "errors.xlsx";
    const CliResult result = RunCli(
        {"--data-file", "t_run_figures", "--month", "JUL", "--folder", folder.Path().string(),
         "--errors-csv", csv.string(), "--errors-xlsx", xlsx.string()},
        folder);
    ASSERT_EQ(result.status, 0) << Describe(result);
    const std::string text = test::ReadBytes(csv);
    EXPECT_TRUE(
        text.starts_with("\xEF\xBB\xBF"
                         "Company,t_run_figures\r\n"))
        << text;
    for (const char* expected : {"\r\nMonth,JUL 2014\r\n", "\r\nType,Document,Error,File,Line\r\n",
                                 "T33 Dated:2014-07-09"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
    EXPECT_TRUE(test::ReadBytes(xlsx).starts_with("PK"));
}

TEST(Cli, AQueryOnALockedTableEndsAtTheStatementTimeoutWithItsMessage) {
    ProgramFolder folder;
    const test::TableLock lock("t_run_figures", "daybok");
    const CliResult result = RunCli({"--data-file", "t_run_figures", "--month", "APR", "--folder",
                                     folder.Path().string(), "--json", "--statement-timeout", "1"},
                                    folder);
    EXPECT_EQ(result.status, 1) << Describe(result);
    const auto report = nlohmann::json::parse(result.out);
    EXPECT_EQ(report["messages"],
              nlohmann::json::array({"Writing efile_pur04.xml failed: A query on the data file "
                                     "t_run_figures was stopped after 1 second (statement "
                                     "timeout)"}));
}

TEST(Cli, AGeneratorFailureEndsWithItsMessageAndStatus1) {
    ProgramFolder folder;
    fs::remove(folder / "XSD/eval_sal.xsd");
    const CliResult result = RunCli({"--data-file", "t_run_figures", "--month", "APR", "--folder",
                                     folder.Path().string(), "--json"},
                                    folder);
    EXPECT_EQ(result.status, 1) << Describe(result);
    const auto report = nlohmann::json::parse(result.out);
    ASSERT_EQ(report["messages"].size(), 1u) << report.dump(2);
    EXPECT_TRUE(report["messages"][0].get<std::string>().starts_with(
        "Checking efile_sal04.xml failed: Load XSD failed: "))
        << report["messages"][0];
    EXPECT_EQ(report["labels"]["lbl_InputVAT_Plus"], "500.00");
    EXPECT_EQ(report["labels"]["lbl_TaxPayableRefundable"], "");
}

TEST(Cli, JsonReportsLabelsFiguresErrorsMessagesAndFilesAndNothingElse) {
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
    EXPECT_EQ(keys, (std::vector<std::string>{"errors", "figures", "files", "labels", "messages"}));

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
    EXPECT_EQ(figures["payableVat"], std::stod(labels["lbl_pay"].get<std::string>()));

    const nlohmann::json errors = nlohmann::json::array(
        {{{"type", "Sales Within State"},
          {"error",
           "Inv No.323 Dated:2014-06-07 of MADRAS PHARMA CHENNAI omitted due to basic "
           "amount being less than Rs.1"}}});
    EXPECT_EQ(report["errors"], errors);
    EXPECT_EQ(report["messages"], nlohmann::json::array({"OVER"}));

    const std::vector<std::string> files = {(folder / "06/efile_pur06.xml").string(),
                                            (folder / "06/efile_sal06.xml").string(),
                                            (folder / "06/efile_sal_iss_06.xml").string()};
    EXPECT_EQ(report["files"].get<std::vector<std::string>>(), files);
    for (const std::string& file : files) EXPECT_TRUE(fs::exists(file)) << file;
}

TEST(Cli, WithoutJsonPrintsTheSummaryAsTheWindowShowsIt) {
    ProgramFolder folder;
    const CliResult result = RunCli(
        {"--data-file", "t_run_figures", "--month", "APR", "--folder", folder.Path().string()},
        folder);
    ASSERT_EQ(result.status, 0) << Describe(result);
    EXPECT_NE(result.out.find("VAT Payable               290.00\n"), std::string::npos)
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
