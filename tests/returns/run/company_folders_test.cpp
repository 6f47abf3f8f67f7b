// Two companies' months in one output folder under the company-year layout: each run keeps its
// own folder, and the year, the records and the books check of one find its months whatever the
// other ran since.
#include <gtest/gtest.h>

#include "returns/check/month_books_check.h"
#include "returns/run/month_folder.h"
#include "returns/year/year_rows.h"
#include "support/ledger_session.h"

namespace vat {
namespace {

namespace fs = std::filesystem;
using test::LedgerSession;

RunResult RunInto(LedgerSession& session, int month, const ReturnFolders& folders) {
    return GenerationRun(session.ledger, {.books = session.books,
                                          .dataFile = session.dataFile,
                                          .monthNumber = month,
                                          .folders = folders});
}

TEST(CompanyFolders, EachCompanysMonthsKeepTheirOwnFolderWithoutAQuestion) {
    LedgerSession a("t_run_demo"), b("t_run_figures");
    const test::ProgramFolder shared;
    const ReturnFolders folders = shared.Path();  // the default layout
    const fs::path aprilOfA = shared / "t_run_demo/2014-15/04";
    const fs::path aprilOfB = shared / "t_run_figures/2014-15/04";
    ASSERT_EQ(MonthFolder(folders, a.books, 4), aprilOfA);

    const RunResult first = RunInto(a, 4, folders);
    ASSERT_TRUE(first.Completed()) << testing::PrintToString(first.messages);
    EXPECT_FALSE(
        OtherBooksFiles(MonthFolder(folders, b.books, 4), b.books, InterstateParties::InState));
    const RunResult second = RunInto(b, 4, folders);
    ASSERT_TRUE(second.Completed()) << testing::PrintToString(second.messages);
    EXPECT_EQ(first.monthFolder, aprilOfA.string());
    EXPECT_EQ(second.monthFolder, aprilOfB.string());
    for (const RunResult* run : {&first, &second})
        for (const std::string& file : run->FilesWritten())
            EXPECT_EQ(fs::path(file).parent_path().string(), run->monthFolder);

    // The month folder holds what a run in the flat layout writes, under the same names.
    for (LedgerSession* session : {&a, &b}) {
        ASSERT_TRUE(session->Run(4).Completed());
        EXPECT_EQ(test::FolderBytes(MonthFolder(folders, session->books, 4)),
                  test::FolderBytes(session->folder / "04"))
            << session->dataFile;
    }
    EXPECT_FALSE(fs::exists(shared / "04"));

    // B's year in the same output folder runs every month and leaves A's April alone.
    int completed = 0;
    RunYear(b.ledger, b.dataFile, folders, {},
            [&](int, const RunResult& result) { completed += result.Completed(); });
    EXPECT_EQ(completed, 12);

    // The Year view of A reads A's months, not B's.
    EXPECT_TRUE(MonthGenerated(aprilOfA, a.books));
    const YearRow april = RecordedRow(MonthFolder(folders, a.books, 4), a.books);
    EXPECT_TRUE(april.generated);
    EXPECT_EQ(april.figures, ShownFigures(first.figures));
    EXPECT_FALSE(RecordedRow(MonthFolder(folders, a.books, 5), a.books).generated);
    EXPECT_TRUE(MonthGenerated(MonthFolder(folders, b.books, 5), b.books));

    // So do the books check (--verify, the window's warning).
    const BooksCheck check = CheckMonthBooks(a.ledger, a.dataFile, 4, folders);
    ASSERT_TRUE(check.comparison) << testing::PrintToString(check.messages);
    EXPECT_TRUE(check.comparison->Unchanged());
}

}  // namespace
}  // namespace vat
