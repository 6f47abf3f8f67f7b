// The command-line tool's report for a person at a terminal, printed without running anything.
#include "app/cli/cli_report.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/cli/cli_books_report.h"
#include "app/cli/cli_reconciliation.h"

namespace {

using namespace std::string_literals;

TEST(CliHumanReport, ShowsControlCharactersOfTheLedgerEscaped) {
    const struct {
        const char* name;
        std::string billNumber;
        std::string shown;
    } cases[] = {
        {"an escape sequence that clears the screen", "S\x1b[2J\x1b[H1", "S\\x1b[2J\\x1b[H1"},
        {"a title-setting sequence ended by BEL", "\x1b]0;owned\x07", "\\x1b]0;owned\\x07"},
        {"NUL, backspace and DEL", "A\0B\bC\x7f"s, "A\\x00B\\x08C\\x7f"},
        {"a CR that would overwrite the line", "12\rOVER", "12\\x0dOVER"},
        {"C1 CSI in UTF-8, erasing the line", "X\xc2\x9bK", "X\\u009bK"},
        {"an 8-bit CSI byte, erasing the line", "X\x9bK", "X\\x9bK"},
        {"text a terminal shows as it is", "CAF\xc3\x89 7/A\tB", "CAF\xc3\x89 7/A\tB"},
        {"a line break of its own", "Reason :\r\nB 7", "Reason :\r\nB 7"},
    };
    for (const auto& c : cases) {
        vat::RunResult result{.outcome = vat::RunOutcome::Completed};
        result.rows.push_back(
            {"Sales Within State", "Inv No." + c.billNumber + " Dated:07/04/2014"});
        result.messages.push_back({"Bill " + c.billNumber, false});
        std::ostringstream out;
        PrintHumanReport(result, out);
        EXPECT_NE(out.str().find("\nSales Within State\tInv No." + c.shown + " Dated:07/04/2014\n"),
                  std::string::npos)
            << c.name << ":\n"
            << out.str();
        EXPECT_TRUE(out.str().ends_with("\nBill " + c.shown + "\n")) << c.name << ":\n"
                                                                     << out.str();
    }
}

// A name in a list or a reason in a row keeps to its line.
TEST(CliHumanReport, ALineOfAListKeepsItsLineBreaksEscaped) {
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"shop\n2014", "shop\\x0a2014"},
        {"shop\r\n2014", "shop\\x0d\\x0a2014"},
        {"shop\x1b[2J2014", "shop\\x1b[2J2014"},
        {"CAF\xc3\x89\t2014", "CAF\xc3\x89\t2014"},
    };
    for (const auto& c : cases) EXPECT_EQ(TerminalLine(c.text), c.shown) << c.text;
}

// A month that did not complete has no figures: its line shows dashes, never 0.00.
TEST(CliYearTable, AMonthThatFailedShowsNoFigures) {
    std::ostringstream out;
    YearReport table(out);
    vat::RunResult failed{.outcome = vat::RunOutcome::Failed};
    failed.messages.push_back({"The data file could not be read.", true});
    table.Add(4, 1, failed);
    std::istringstream lines(out.str());
    std::string heading, april;
    std::getline(lines, heading);
    std::getline(lines, april);
    std::istringstream words(april);
    std::vector<std::string> columns;
    for (std::string word; words >> word;) columns.push_back(word);
    EXPECT_EQ(columns, (std::vector<std::string>{"APR", "-", "-", "-", "-", "-", "-", "-", "-", "-",
                                                 "-", "-", "-", "failed"}))
        << out.str();
}

TEST(CliHumanReport, ShowsARowsDocumentAndItsFileAndLine) {
    vat::RunResult result{.outcome = vat::RunOutcome::Completed};
    result.rows = {{"Purchase Within State", "<SelTin> (checked element 9) is not valid. Reason: R",
                    "InvNo R3 \u00b7 2014-04-05", "efile_pur04.xml", 19},
                   {"Purchase Within State", "<TinNo> (checked element 2) is not valid. Reason: T",
                    "", "efile_pur04.xml", 4}};
    std::ostringstream out;
    PrintHumanReport(result, out);
    EXPECT_NE(out.str().find("\nPurchase Within State\tInvNo R3 \u00b7 2014-04-05\t<SelTin> "
                             "(checked element 9) is not valid. Reason: R\tefile_pur04.xml:19\n"
                             "Purchase Within State\t<TinNo> (checked element 2) is not valid. "
                             "Reason: T\tefile_pur04.xml:4\n"),
              std::string::npos)
        << out.str();
}

TEST(CliHumanReport, GroupsTheReconciliationsAmountsAsTheSummaryDoes) {
    vat::Reconciliation reconciliation{.periodStart = "2014-04-01", .periodEnd = "2014-04-30"};
    reconciliation.Of(vat::ReconciledFigure::InputVat) = {.books = 3436592, .returned = 3446445};
    reconciliation.booksVatPayable = -12345678;
    std::ostringstream out;
    PrintReconciliation(reconciliation, out);
    for (const char* line :
         {"\ninput VAT                34,365.92       34,464.45           98.53           98.53  "
          "[!] "
          "not explained\n",
          "\nVAT payable           -1,23,456.78            0.00     1,23,456.78                \n"})
        EXPECT_NE(out.str().find(line), std::string::npos) << line << "in\n" << out.str();
}

}  // namespace
