// The one-line outcome of a run, from its per-file accounts.
#include "returns/results/run_outcome_text.h"

#include <gtest/gtest.h>

namespace vat {
namespace {

FileAccount Written(std::string file, long long listed, long long written,
                    std::optional<bool> valid = true, long long schemaErrors = 0) {
    FileAccount account;
    account.file = file;
    account.path = "/folder/04/" + file;
    account.listed = listed;
    account.written = written;
    account.belowOneRupee = listed - written;
    account.valid = valid;
    account.schemaErrors = schemaErrors;
    return account;
}

FileAccount NotWritten(std::string file) {
    FileAccount account;
    account.file = std::move(file);
    return account;
}

struct OutcomeCase {
    const char* name;
    std::vector<FileAccount> accounts;
    std::string text;
    bool checkedOnly = false;  // a check before filing, into a throwaway folder
};

void PrintTo(const OutcomeCase& c, std::ostream* out) { *out << c.name; }

const std::vector<OutcomeCase> kCases = {
    {"NoRun", {}, ""},
    {"AllWrittenAndValid",
     {Written("efile_pur04.xml", 3, 3), Written("efile_sal04.xml", 2, 2)},
     "2 files written"},
    {"OneFileOneDocumentLeftOut",
     {Written("efile_pur04.xml", 3, 2)},
     "1 file written \u00b7 1 left out (listed below)"},
    {"OneFailedItsCheck",
     {Written("efile_pur04.xml", 20, 10, false, 1), Written("efile_pur_rtn04.xml", 5, 5),
      Written("efile_sal04.xml", 30, 5), Written("efile_sal_returns04.xml", 1, 1),
      Written("efile_sal_iss_04.xml", 1, 1), Written("efile_is_pur04.xml", 2, 2)},
     "6 files written, 1 failed its schema check: efile_pur04.xml (1 error) \u00b7 35 left "
     "out (listed below)"},
    {"InterstateBillsAndDebitNotesWithoutGoodsAreNotLeftOut",
     {[] {
         FileAccount account = Written("efile_sal04.xml", 76, 0);
         account.belowOneRupee = 39;
         account.interstate = 35;
         account.notGoods = 2;
         return account;
     }()},
     "1 file written \u00b7 39 left out (listed below) \u00b7 35 bills moved to the interstate "
     "sales "
     "file \u00b7 2 debit notes without goods"},
    {"TwoFailedTheirChecks",
     {Written("efile_pur04.xml", 1, 1, false, 3), Written("efile_sal04.xml", 1, 1, false, 1)},
     "2 files written, 2 failed their schema checks: efile_pur04.xml (3 errors), "
     "efile_sal04.xml (1 error)"},
    {"UncheckedAndUnwrittenFilesAreNotFailures",
     {Written("efile_pur04.xml", 1, 1, std::nullopt), NotWritten("efile_pur_rtn04.xml")},
     "1 file written"},
    {"NothingWritten", {NotWritten("efile_pur04.xml")}, "0 files written"},
    {"CheckedOnly",
     {Written("efile_pur04.xml", 20, 10), Written("efile_pur_rtn04.xml", 5, 5),
      Written("efile_sal04.xml", 30, 30), Written("efile_sal_returns04.xml", 1, 1),
      Written("efile_sal_iss_04.xml", 1, 1), Written("efile_is_pur04.xml", 2, 2)},
     "6 files checked, nothing written \u00b7 10 left out (listed below)",
     true},
    {"CheckedOnlyOneFailed",
     {Written("efile_pur04.xml", 1, 1, false, 2), Written("efile_sal04.xml", 1, 1)},
     "2 files checked, nothing written, 1 failed its schema check: efile_pur04.xml (2 errors)",
     true},
};

class RunOutcomeTextIs : public testing::TestWithParam<OutcomeCase> {};

TEST_P(RunOutcomeTextIs, AsListed) {
    EXPECT_EQ(RunOutcomeText(GetParam().accounts, GetParam().checkedOnly), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Runs, RunOutcomeTextIs, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vat
