// Marking a month filed: the copies kept read-only beside every earlier filing, whole or not at
// all whatever stops the marking, and the marks refused before anything is kept.
#include "returns/filing/mark_filed.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "disk/disk_error.h"
#include "disk/sha256.h"
#include "returns/run/month_folder.h"
#include "support/disk_step_log.h"
#include "support/program_folder.h"

namespace vat {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

const SelectedBooks kBooks{.dataFile = "acme",
                           .yearStart = {2014, 4, 1},
                           .yearEnd = LedgerDate{2015, 3, 31},
                           .dealerTin = "29123456789"};
constexpr int kApril = 4;
const auto kNow = std::chrono::system_clock::now();
const LedgerDate kToday = LocalDay(kNow);
const FilingMark kMark{"ACK123", {2014, 5, 20}};

mode_t Mode(const fs::path& path) {
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

// April as a run of the books leaves it: the files a run produced and their record.
class FiledMonth {
public:
    FiledMonth() : folders(program.Path()) {
        const fs::path month = MonthFolder(folders, kBooks, kApril);
        fs::create_directories(month);
        RunRecord record{.dataFile = kBooks.dataFile,
                         .dealerTin = kBooks.dealerTin,
                         .yearStart = "2014-04-01",
                         .yearEnd = "2015-03-31",
                         .month = kApril,
                         .writtenAt = "2014-05-12 10:31:02",
                         .programVersion = "1.0.0"};
        for (const char* name : {"efile_pur04.xml", "efile_sal04.xml", "efile_is_pur04.xml"}) {
            fs::copy_file(test::TestDataPath(std::string("expected/t_run_figures/") + name),
                          month / name);
            record.files.push_back({name, *Sha256OfFile(month / name)});
        }
        WriteRunRecord(record, month);
    }

    fs::path Month() const { return MonthFolder(folders, kBooks, kApril); }
    fs::path Filed() const { return FiledMonthFolder(folders, kBooks, kApril); }
    FiledSet Mark(const FilingMark& mark = kMark) {
        return MarkFiled(folders, kBooks, kApril, mark, kNow);
    }

    test::ProgramFolder program;
    ReturnFolders folders;
};

class MarkFiledTest : public ::testing::Test, public FiledMonth {};

TEST_F(MarkFiledTest, KeepsTheMonthsFilesReadOnlyWithTheFilingAndASecondFilingBeside) {
    const Files month = test::FolderBytes(Month());
    const FiledSet first = Mark();
    EXPECT_EQ(first.folder, program / "acme/2014-15/filed/04/filing-1");
    EXPECT_EQ(Mode(first.folder), 0555u);
    Files kept = test::FolderBytes(first.folder);
    ASSERT_EQ(kept.erase(kFilingRecordName), 1u);
    EXPECT_EQ(kept, month);
    EXPECT_EQ(test::ReadBytes(first.folder / kRunRecordName),
              test::ReadBytes(Month() / kRunRecordName));
    for (const auto& entry : fs::directory_iterator(first.folder))
        EXPECT_EQ(Mode(entry.path()), 0444u) << entry.path();

    const FilingRecord recorded =
        ParseFilingRecord(test::ReadBytes(first.folder / kFilingRecordName));
    EXPECT_EQ(recorded, *first.record);
    EXPECT_EQ(recorded.acknowledgement, "ACK123");
    EXPECT_EQ(recorded.filedOn, "2014-05-20");
    ASSERT_EQ(recorded.files.size(), 4u);
    EXPECT_EQ(recorded.files.back().name, kRunRecordName);
    for (const HashedFile& file : recorded.files)
        EXPECT_EQ(Sha256OfFile(first.folder / file.name), file.sha256);
    EXPECT_TRUE(AlteredFiles(first).empty());

    // A revised return uploaded: a second set, the first untouched.
    const Files firstKept = test::FolderBytes(first.folder);
    const FiledSet second = Mark({"ACK456", {2014, 6, 2}});
    EXPECT_EQ(second.folder, program / "acme/2014-15/filed/04/filing-2");
    EXPECT_EQ(test::FolderBytes(first.folder), firstKept);
    EXPECT_EQ(ParseFilingRecord(test::ReadBytes(first.folder / kFilingRecordName)), recorded);
    const std::optional<FiledSet> latest = LatestFiledSet(folders, kBooks, kApril);
    ASSERT_TRUE(latest && latest->record);
    EXPECT_EQ(latest->record->acknowledgement, "ACK456");
    EXPECT_EQ(ReadFiledSets(Filed()).size(), 2u);
}

TEST_F(MarkFiledTest, TheFlatLayoutKeepsTheSetsUnderTheDataFileAndYear) {
    const ReturnFolders flat(program.Path(), program / "XSD", MonthFolderLayout::Flat);
    EXPECT_EQ(FiledMonthFolder(flat, kBooks, kApril), program / "filed/acme/2014-15/04");
}

TEST_F(MarkFiledTest, AnAlteredCopyIsReportedAsAltered) {
    const FiledSet set = Mark();
    fs::permissions(set.folder / "efile_sal04.xml", fs::perms::owner_write, fs::perm_options::add);
    std::ofstream(set.folder / "efile_sal04.xml", std::ios::app) << " ";
    fs::permissions(set.folder, fs::perms::owner_write, fs::perm_options::add);
    fs::remove(set.folder / "efile_pur04.xml");
    EXPECT_EQ(AlteredFiles(set),
              (std::vector<std::string>{"efile_pur04.xml is missing",
                                        "efile_sal04.xml was altered after filing"}));
}

// Each refusal leaves the filed sets as they were: none.
void ExpectRefused(FiledMonth& month, const FilingMark& mark, const std::string& refusal,
                   const std::string& name) {
    try {
        month.Mark(mark);
        ADD_FAILURE() << name << ": marked";
    } catch (const FilingRefusal& refused) {
        EXPECT_EQ(refused.what(), refusal) << name;
    }
    EXPECT_TRUE(ReadFiledSets(month.Filed()).empty()) << name;
    EXPECT_FALSE(fs::exists(month.Filed()) && !fs::is_empty(month.Filed())) << name;
}

TEST(MarkFiled, RefusesBadAcknowledgementsAndDaysKeepingNothing) {
    const LedgerDate future = LocalDay(kNow + std::chrono::hours(24));
    struct Case {
        std::string acknowledgement;
        LedgerDate day;
        std::string refusal;
    };
    const std::vector<Case> cases = {
        {"  ", {2014, 5, 20}, "the acknowledgement is empty"},
        {std::string(65, 'A'), {2014, 5, 20}, "the acknowledgement is longer than 64 characters"},
        {"AC\nK", {2014, 5, 20}, "the acknowledgement holds a control character"},
        {"ACK", {2014, 4, 30}, "the day filed, 30/04/2014, is not after the end of April 2014"},
        {"ACK", future, "the day filed, " + future.DisplayText() + ", is in the future"},
    };
    for (const Case& test : cases) {
        FiledMonth month;
        ExpectRefused(month, {test.acknowledgement, test.day}, test.refusal, test.refusal);
    }
    FiledMonth month;
    EXPECT_NO_THROW(month.Mark({std::string(64, 'A'), {2014, 5, 1}}));
}

TEST(MarkFiled, RefusesMonthsNeverRunOrChangedSinceTheirRunKeepingNothing) {
    constexpr const char* kNeverRun = "April 2014 of acme was never run; run it first";
    constexpr const char* kChanged =
        "the month's files changed since they were written; run the month again first";
    struct Case {
        const char* name;
        std::function<void(const fs::path& month)> spoil;
        const char* refusal;
    };
    const std::vector<Case> cases = {
        {"never run", [](const fs::path& month) { fs::remove_all(month); }, kNeverRun},
        {"no record", [](const fs::path& month) { fs::remove(month / "run.json"); }, kNeverRun},
        {"a file changed",
         [](const fs::path& month) {
             std::ofstream(month / "efile_sal04.xml", std::ios::app) << " ";
         },
         kChanged},
        {"a file removed", [](const fs::path& month) { fs::remove(month / "efile_pur04.xml"); },
         kChanged},
    };
    for (const Case& test : cases) {
        FiledMonth month;
        test.spoil(month.Month());
        ExpectRefused(month, kMark, test.refusal, test.name);
    }
}

TEST_F(MarkFiledTest, RefusesTheMonthOfOtherBooks) {
    SelectedBooks other = kBooks;
    other.yearStart = {2013, 4, 1};
    other.yearEnd = LedgerDate{2014, 3, 31};
    const ReturnFolders flat(program.Path(), program / "XSD", MonthFolderLayout::Flat);
    fs::rename(Month(), MonthFolder(flat, kBooks, kApril));
    try {
        MarkFiled(flat, other, kApril, {"ACK", {2013, 5, 20}}, kNow);
        ADD_FAILURE() << "marked";
    } catch (const FilingRefusal& refusal) {
        EXPECT_EQ(refusal.what(), "the files in " + (program / "04").string() +
                                      " were made from acme (financial year 01/04/2014 to "
                                      "31/03/2015), written 12/05/2014 10:31:02");
    }
}

TEST(PersonsDate, ReadsDayMonthYearOnly) {
    EXPECT_EQ(ParsePersonsDate("20/05/2014"), (LedgerDate{2014, 5, 20}));
    EXPECT_EQ(ParsePersonsDate("29/02/2016"), (LedgerDate{2016, 2, 29}));
    for (const char* bad : {"29/02/2015", "31/04/2014", "2014-05-20", "20/5/2014", "", "00/05/2014",
                            "20/13/2014", "aa/bb/cccc"})
        EXPECT_EQ(ParsePersonsDate(bad), std::nullopt) << bad;
}

// A kill at any sync or rename of the marking leaves no new set or a whole one; the next
// marking clears what the killed one left.
TEST_F(MarkFiledTest, AKillAtAnyDiskStepLeavesNoSetOrAWholeOne) {
    const Files month = test::FolderBytes(Month());
    bool sawNone = false, sawWhole = false;
    for (int stop = 1;; ++stop) {
        FiledMonth fresh;
        const int status = test::RunKilledAtStep(stop, [&fresh] { fresh.Mark(); });
        ASSERT_GE(status, 0) << "the child did not exit at step " << stop;
        ASSERT_NE(status, 1) << "the marking failed before step " << stop;
        const std::vector<FiledSet> sets = ReadFiledSets(fresh.Filed());
        ASSERT_LE(sets.size(), 1u) << "killed at step " << stop;
        if (sets.empty()) {
            sawNone = true;
        } else {
            sawWhole = true;
            EXPECT_TRUE(AlteredFiles(sets[0]).empty()) << "killed at step " << stop;
            Files kept = test::FolderBytes(sets[0].folder);
            kept.erase(kFilingRecordName);
            EXPECT_EQ(kept, month) << "killed at step " << stop;
        }
        const FiledSet next = fresh.Mark({"ACK2", {2014, 5, 21}});
        EXPECT_EQ(next.number, static_cast<int>(sets.size()) + 1);
        EXPECT_EQ(test::FolderBytes(fresh.Filed()).size(), sets.size() + 1)
            << "killed at step " << stop << " left something beside the sets";
        if (status == 0) break;
    }
    EXPECT_TRUE(sawNone && sawWhole);
}

}  // namespace
}  // namespace vat
