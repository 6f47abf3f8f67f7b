// The month folder: a run's files replace the month's in one step, whatever stops the run, and
// what would stop that step refuses the run before anything changes.
#include "disk/month_staging.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <optional>

#include "disk/atomic_file_writer.h"
#include "disk/disk_error.h"
#include "disk/throwaway_folder.h"
#include "support/disk_step_log.h"
#include "support/fuse_disk.h"
#include "support/program_folder.h"

namespace vat {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

const std::vector<std::string> kRunNames = {"efile_pur04.xml", "efile_sal04.xml",
                                            "efile_is_pur04.xml", "run.json"};
const Files kOldMonth = {{"efile_pur04.xml", "old purchases"},
                         {"efile_sal04.xml", "old sales"},
                         {"run.json", "old record"},
                         {"notes.txt", "the accountant's own"}};
// The new run has no sales: the old sales file leaves with the old month.
const Files kNewMonth = {{"efile_pur04.xml", "new purchases"},
                         {"efile_is_pur04.xml", "new interstate purchases"},
                         {"run.json", "new record"},
                         {"notes.txt", "the accountant's own"}};

Files FolderFiles(const fs::path& folder) {
    Files files;
    if (fs::exists(folder))
        for (const auto& entry : fs::directory_iterator(folder))
            files[entry.path().filename().string()] = test::ReadBytes(entry.path());
    return files;
}

void PlantMonth(const fs::path& programFolder) {
    fs::create_directories(programFolder / "04");
    for (const auto& [name, bytes] : kOldMonth)
        std::ofstream(programFolder / "04" / name, std::ios::binary) << bytes;
}

// The end of a run: its files written beside the month, then put in place.
void PutNewMonthInPlace(const fs::path& programFolder) {
    MonthStaging staging(programFolder, "04");
    for (const auto& [name, bytes] : kNewMonth) {
        if (name == "notes.txt") continue;
        AtomicFileWriter file(staging.Folder() / name);
        file.Write(bytes);
        file.Commit();
    }
    staging.Complete(kRunNames);
    staging.MoveIn();
}

// Where the month folders lie: on a disk that exchanges two folders in one step, or on one that
// cannot (renameat2 with flags refused: the test's stand-in everywhere, or the real thing on a
// Windows file system through FUSE).
struct Disk {
    const char* name;
    test::DiskStepLog::FlaggedRenames flagged;
    std::optional<test::FuseDisk::Format> format;
};

void PrintTo(const Disk& disk, std::ostream* out) { *out << disk.name; }

using test::DiskStepLog;
using Format = test::FuseDisk::Format;

const Disk kDisks[] = {
    {"Exchanging", DiskStepLog::FlaggedRenames::Made, std::nullopt},
    {"NotExchanging", DiskStepLog::FlaggedRenames::Refused, std::nullopt},
    {"Ntfs", DiskStepLog::FlaggedRenames::Made, Format::Ntfs},
    {"Exfat", DiskStepLog::FlaggedRenames::Made, Format::Exfat},
};

// An empty output folder on the disk, or on none when this machine cannot mount it.
class OnDisk : public testing::TestWithParam<Disk> {
protected:
    void SetUp() override {
        if (!GetParam().format) return;
        usb_.emplace(*GetParam().format);
        if (!usb_->Folder()) GTEST_SKIP() << "no " << GetParam().name << " disk: " << usb_->Why();
    }

    // A fresh output folder of the disk.
    fs::path NewOutput() {
        const fs::path base = usb_ ? *usb_->Folder() : scratch_.Path();
        const fs::path output = base / std::to_string(++outputs_);
        fs::create_directory(output);
        return output;
    }

private:
    test::ScratchFolder scratch_;
    std::optional<test::FuseDisk> usb_;
    int outputs_ = 0;
};

TEST_P(OnDisk, AKillAtAnySyncOrRenameLeavesTheOldMonthOrTheNewOneWholeForTheNextRun) {
    bool sawOld = false, sawNew = false, sawInterrupted = false;
    for (int stop = 1;; ++stop) {
        const fs::path program = NewOutput();
        PlantMonth(program);
        const int status = test::RunKilledAtStep(
            stop, [&program] { PutNewMonthInPlace(program); }, GetParam().flagged);
        ASSERT_GE(status, 0) << "the child did not exit at step " << stop;
        ASSERT_NE(status, 1) << "the move-in failed before step " << stop;
        const Files month = FolderFiles(program / "04");
        const bool interrupted = MoveInInterrupted(program, "04");
        // Where two folders cannot be exchanged, a kill between the two renames leaves none.
        EXPECT_TRUE(month == kOldMonth || month == kNewMonth || (month.empty() && interrupted))
            << "killed at step " << stop;
        sawOld = sawOld || month == kOldMonth;
        sawNew = sawNew || (month == kNewMonth && status == 9);
        sawInterrupted = sawInterrupted || interrupted;

        // The next run tidies up and leaves the month as the kill did, or as it was.
        FinishLeftoverStaging(program, "04");
        const Files after = FolderFiles(program / "04");
        EXPECT_TRUE(after == (month.empty() ? kOldMonth : month)) << "killed at step " << stop;
        EXPECT_EQ(FolderFiles(program).size(), 1u) << "killed at step " << stop;
        if (status == 0) {
            EXPECT_EQ(month, kNewMonth);
            break;
        }
    }
    EXPECT_TRUE(sawOld && sawNew && sawInterrupted);
}

TEST_P(OnDisk, AFirstMonthAndItsReplacementArePutInPlace) {
    const fs::path program = NewOutput();
    const DiskStepLog log({}, GetParam().flagged);
    PutNewMonthInPlace(program);
    PlantMonth(program);
    PutNewMonthInPlace(program);
    EXPECT_EQ(FolderFiles(program / "04"), kNewMonth);
    EXPECT_EQ(FolderFiles(program).size(), 1u);
    EXPECT_FALSE(MoveInInterrupted(program, "04"));
}

INSTANTIATE_TEST_SUITE_P(MonthFolder, OnDisk, testing::ValuesIn(kDisks),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MonthFolder, EachFileIsSyncedBeforeItsRenameAndTheFolderAfterThem) {
    test::ScratchFolder program;
    PlantMonth(program.Path());
    const test::DiskStepLog log;
    PutNewMonthInPlace(program.Path());

    const std::vector<std::string>& steps = log.Steps();
    const fs::path month = program / "04";
    int exchange = 0, lastFileRename = 0;
    fs::path staging;
    for (int at = 1; at <= static_cast<int>(steps.size()); ++at) {
        const std::string& step = steps[at - 1];
        if (!step.starts_with("rename ")) continue;
        const std::size_t arrow = step.find(" -> ");
        const fs::path from = step.substr(7, arrow - 7);
        const fs::path to = step.substr(arrow + 4);
        if (to == month) {
            exchange = at;
            continue;
        }
        const int synced = log.Find("sync " + from.string());
        EXPECT_TRUE(synced > 0 && synced < at) << step;
        lastFileRename = at;
        staging = to.parent_path();
    }
    ASSERT_GT(lastFileRename, 0);
    ASSERT_GT(exchange, lastFileRename);
    const int folderSynced = log.Find("sync " + staging.string());
    EXPECT_TRUE(folderSynced > lastFileRename && folderSynced < exchange);
    EXPECT_TRUE(std::find(steps.begin() + exchange, steps.end(),
                          "sync " + program.Path().string()) != steps.end())
        << "the exchange is not saved to the disk";
    EXPECT_EQ(FolderFiles(month), kNewMonth);
}

TEST(MonthFolder, KeepsItsPermissionsAndANewOneFollowsTheUmask) {
    test::ScratchFolder program;
    const fs::path month = program / "04";
    const auto mode = [&] { return fs::status(month).permissions(); };
    const mode_t umask = ::umask(027);
    PutNewMonthInPlace(program.Path());
    EXPECT_EQ(mode(), fs::perms(0750));
    // Shared with a colleague.
    fs::permissions(month, fs::perms(0755));
    PutNewMonthInPlace(program.Path());
    EXPECT_EQ(mode(), fs::perms(0755));
    ::umask(umask);
}

// Folders that only have the names of a run's (a company's folder, a person's) are left whole.
TEST(MonthFolder, TheNextRunRemovesOnlyWhatARunProvablyLeft) {
    test::ScratchFolder program;
    PlantMonth(program.Path());
    const fs::path company = program / ".04.staging-books";
    fs::create_directories(company / "2014-15/04");
    std::ofstream(company / "2014-15/04/efile_pur04.xml") << "another company's";
    const fs::path empty = program / ".04.staging-Ab3dE9";  // a run killed before its marker
    fs::create_directory(empty);
    PutNewMonthInPlace(program.Path());
    EXPECT_EQ(FolderFiles(company / "2014-15/04"),
              (Files{{"efile_pur04.xml", "another company's"}}));
    EXPECT_FALSE(fs::exists(empty));
    EXPECT_EQ(FolderFiles(program / "04"), kNewMonth);
}

// Sets or clears the immutable flag; false when the file system or the user cannot.
bool SetImmutable(const fs::path& path, bool immutable) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    int flags = 0;
    bool done = descriptor >= 0 && ::ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0;
    flags = immutable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(descriptor, FS_IOC_SETFLAGS, &flags) == 0;
    if (descriptor >= 0) ::close(descriptor);
    return done;
}

// What stands in the way of the new month folder, planted in the old month (false when this
// machine cannot plant it), and how to take it away again.
struct Obstacle {
    const char* name;
    std::function<bool(const fs::path& month)> plant;
    std::function<void(const fs::path& month)> remove;
    const char* reason;
};

void PrintTo(const Obstacle& obstacle, std::ostream* out) { *out << obstacle.name; }

const Obstacle kObstacles[] = {
    {"AFolderAtAReturnFilesName",
     [](const fs::path& month) {
         fs::remove(month / "efile_sal04.xml");
         fs::create_directory(month / "efile_sal04.xml");
         return true;
     },
     [](const fs::path&) {}, "efile_sal04.xml is a folder where a return file goes"},
    {"AnImmutableReturnFile",
     [](const fs::path& month) { return SetImmutable(month / "efile_sal04.xml", true); },
     [](const fs::path& month) { SetImmutable(month / "efile_sal04.xml", false); },
     "efile_sal04.xml cannot be deleted: it is immutable"},
    {"AMonthFolderOnAnotherDevice",
     [](const fs::path& month) {
         if (::mount("tmpfs", month.c_str(), "tmpfs", 0, nullptr) != 0) return false;
         for (const auto& [name, bytes] : kOldMonth) std::ofstream(month / name) << bytes;
         return true;
     },
     [](const fs::path& month) { ::umount(month.c_str()); }, "is on another device"},
    {"AMonthFolderThatIsALink",
     [](const fs::path& month) {
         fs::rename(month, month.parent_path() / "elsewhere");
         fs::create_directory_symlink("elsewhere", month);
         return true;
     },
     [](const fs::path&) {}, "04 is a symbolic link"},
};

class MonthFolderObstacle : public testing::TestWithParam<Obstacle> {};

TEST_P(MonthFolderObstacle, RefusesTheRunBeforeAnythingChanges) {
    test::ScratchFolder program;
    PlantMonth(program.Path());
    const fs::path month = program / "04";
    if (!GetParam().plant(month)) GTEST_SKIP() << "this machine cannot plant it";
    const Files before = FolderFiles(month);
    try {
        PutNewMonthInPlace(program.Path());
        ADD_FAILURE() << "not refused";
    } catch (const DiskError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().reason), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(FolderFiles(month), before);
    EXPECT_FALSE(MoveInInterrupted(program.Path(), "04"));
    GetParam().remove(month);
}

INSTANTIATE_TEST_SUITE_P(MonthFolder, MonthFolderObstacle, testing::ValuesIn(kObstacles),
                         [](const auto& info) { return std::string(info.param.name); });

// The folders of books checks killed before they could remove them.
TEST(ThrowawayFolder, OneAKilledProcessLeftIsRemovedByTheNextButALiveOneIsNot) {
    const std::string prefix = "vat-efile-sweep-test-" + std::to_string(::getpid()) + "-";
    const auto folders = [&] {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(fs::temp_directory_path()))
            if (entry.path().filename().string().starts_with(prefix)) found.push_back(entry.path());
        return found;
    };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const ThrowawayFolder killed(prefix);
        ::_exit(0);  // no destructor runs, as in a kill
    }
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    const ThrowawayFolder live(prefix);
    ASSERT_EQ(folders().size(), 2u);
    // Both are old enough that no process could still be about to lock them.
    for (const fs::path& folder : folders())
        fs::last_write_time(folder, fs::file_time_type::clock::now() - std::chrono::minutes(2));

    const ThrowawayFolder next(prefix);
    std::vector<fs::path> left = folders();
    std::ranges::sort(left);
    std::vector<fs::path> expected = {live.Path(), next.Path()};
    std::ranges::sort(expected);
    EXPECT_EQ(left, expected);
}

}  // namespace
}  // namespace vat
