// Where the month folders of given books lie in each layout, and which data file names cannot
// name a folder: those that are not one name, and those among the program's own names.
#include "returns/run/month_folder.h"

#include <gtest/gtest.h>

#include "returns/run/generation_run.h"

namespace vat {
namespace {

SelectedBooks Books(const std::string& dataFile, LedgerDate start, std::optional<LedgerDate> end) {
    return {dataFile, start, end, "29123456789"};
}

struct LayoutCase {
    const char* name;
    MonthFolderLayout layout;
    SelectedBooks books;
    int month;
    const char* folder;  // under /out
};

void PrintTo(const LayoutCase& given, std::ostream* out) { *out << given.name; }

const std::vector<LayoutCase> kLayouts = {
    {"CompanyYear", MonthFolderLayout::CompanyYear,
     Books("acme", {2014, 4, 1}, LedgerDate{2015, 3, 31}), 4, "acme/2014-15/04"},
    {"MarchOfTheYear", MonthFolderLayout::CompanyYear,
     Books("acme", {2014, 4, 1}, LedgerDate{2015, 3, 31}), 3, "acme/2014-15/03"},
    {"CenturyTurn", MonthFolderLayout::CompanyYear,
     Books("acme", {1999, 4, 1}, LedgerDate{2000, 3, 31}), 12, "acme/1999-00/12"},
    {"NoEndDate", MonthFolderLayout::CompanyYear, Books("acme", {2016, 4, 1}, std::nullopt), 5,
     "acme/2016-17/05"},
    {"Flat", MonthFolderLayout::Flat, Books("acme", {2014, 4, 1}, LedgerDate{2015, 3, 31}), 4,
     "04"},
};

class MonthFolderOf : public testing::TestWithParam<LayoutCase> {};

TEST_P(MonthFolderOf, Is) {
    const LayoutCase& given = GetParam();
    const ReturnFolders folders("/out", "/xsd", given.layout);
    EXPECT_EQ(MonthFolder(folders, given.books, given.month),
              std::filesystem::path("/out") / given.folder);
    EXPECT_EQ(MonthsFolder(folders, given.books),
              MonthFolder(folders, given.books, given.month).parent_path());
}

INSTANTIATE_TEST_SUITE_P(Layout, MonthFolderOf, testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.name); });

// A name that is not one folder name of its own is refused in the company-year layout only, and
// a run of it is refused before anything is made.
TEST(Layout, ADataFileNameThatCannotNameAFolderIsRefused) {
    const ReturnFolders perCompany("/out", "/xsd"), flat("/out", "/xsd", MonthFolderLayout::Flat);
    for (const std::string name : {"", ".", "..", "a/b", "/", "../up"}) {
        EXPECT_TRUE(MonthFolderRefusal(perCompany, name)) << name;
        EXPECT_FALSE(MonthFolderRefusal(flat, name)) << name;
    }
    for (const std::string name : {"acme", "acme.2014", "a b", "-x", "4", "13", "00", "2014-15"})
        EXPECT_FALSE(MonthFolderRefusal(perCompany, name)) << name;
    // A folder the flat layout's own names could be taken for, or that could be taken for one.
    for (const std::string name : {".04.staging-books", ".04.moving-in", ".04.lock", ".hidden",
                                   "...", "01", "04", "12", "filed"}) {
        EXPECT_TRUE(MonthFolderRefusal(perCompany, name)) << name;
        EXPECT_FALSE(MonthFolderRefusal(flat, name)) << name;
    }
    EXPECT_EQ(*MonthFolderRefusal(perCompany, ".04.staging-books"),
              "The data file name \".04.staging-books\" cannot name a folder of month folders in "
              "the output folder: names starting with \".\" are the program's own there; write "
              "its months with the flat layout (month folders straight in the output folder)");
    EXPECT_EQ(*MonthFolderRefusal(perCompany, "04"),
              "The data file name \"04\" cannot name a folder of month folders in the output "
              "folder: it is a month folder's name; write its months with the flat layout (month "
              "folders straight in the output folder)");
    EXPECT_EQ(*MonthFolderRefusal(perCompany, ".."),
              "The data file name \"..\" cannot name a folder of month folders; write its months "
              "with the flat layout (month folders straight in the output folder)");

    LedgerConnection ledger;
    for (const std::string name : {"..", ".04.staging-books", "04"}) {
        const SelectedBooks books = Books(name, {2014, 4, 1}, LedgerDate{2015, 3, 31});
        const RunResult refused = GenerationRun(
            ledger, {.books = books, .dataFile = name, .monthNumber = 4, .folders = perCompany});
        EXPECT_EQ(refused.outcome, RunOutcome::Refused) << name;
        ASSERT_FALSE(refused.messages.empty()) << name;
        EXPECT_EQ(refused.messages.back().text, *MonthFolderRefusal(perCompany, name) + ".");
    }
}

}  // namespace
}  // namespace vat
