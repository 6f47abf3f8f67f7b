// Opening a file the program reads but did not just write: only a regular file, never through a
// link, never waiting, never past its cap, never outside its folder.
#include "disk/regular_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "disk/sha256.h"
#include "disk/small_file.h"
#include "support/program_folder.h"

namespace vat {
namespace {

namespace fs = std::filesystem;

// Whatever may have a file's name; the file itself holds "whole".
struct Planted {
    const char* name;
    std::function<void(const fs::path& path)> plant;
    const char* reason;  // why it is refused; empty: it is read
};

const Planted kPlanted[] = {
    {"ARegularFile", [](const fs::path&) {}, ""},
    {"ALinkToARegularFile",
     [](const fs::path& path) {
         fs::rename(path, path.string() + ".target");
         fs::create_symlink(path.string() + ".target", path);
     },
     "it is a symbolic link"},
    {"ALinkToADevice",
     [](const fs::path& path) {
         fs::remove(path);
         fs::create_symlink("/dev/zero", path);
     },
     "it is a symbolic link"},
    {"AFifo",
     [](const fs::path& path) {
         fs::remove(path);
         ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
     },
     "it is not a regular file"},
    {"AFolder",
     [](const fs::path& path) {
         fs::remove(path);
         fs::create_directory(path);
     },
     "it is not a regular file"},
};

// An open that waited on a FIFO, or a read of a device, would never end: the alarm ends the test
// instead.
TEST(RegularFile, OnlyARegularFileIsReadAndNothingElseIsWaitedOn) {
    alarm(30);
    for (const Planted& planted : kPlanted) {
        SCOPED_TRACE(planted.name);
        const test::ScratchFolder folder;
        const fs::path path = folder / "efile_pur04.xml";
        std::ofstream(path) << "whole";
        planted.plant(path);
        const std::string refused =
            std::string("Cannot read ") + path.string() + ": " + planted.reason;
        if (*planted.reason == '\0') {
            EXPECT_EQ(Sha256OfFile(path), Sha256OfText("whole"));
            EXPECT_EQ(ReadSmallFile(path, 5), "whole");
            EXPECT_EQ(Sha256OfFile(*OpenRegularFileIn(folder.Path(), "efile_pur04.xml", 5)),
                      Sha256OfText("whole"));
            continue;
        }
        for (const auto& open : std::vector<std::function<void()>>{
                 [&] { Sha256OfFile(path); }, [&] { ReadSmallFile(path, 5); },
                 [&] { OpenRegularFileIn(folder.Path(), "efile_pur04.xml", 5); }}) {
            try {
                open();
                ADD_FAILURE() << "read";
            } catch (const UnreadableFile& error) {
                EXPECT_EQ(error.what(), refused);
                EXPECT_EQ(error.Reason(), planted.reason);
            }
        }
    }
    alarm(0);
}

TEST(RegularFile, AFileIsReadUpToItsCapAndNothingHasNoName) {
    const test::ScratchFolder folder;
    std::ofstream(folder / "five") << "whole";
    EXPECT_EQ(OpenRegularFile(folder / "five", 5)->Size(), 5u);
    try {
        OpenRegularFile(folder / "five", 4);
        ADD_FAILURE() << "opened past its cap";
    } catch (const UnreadableFile& error) {
        EXPECT_EQ(error.Reason(), "it is larger than the 0 MB such a file can be");
    }
    EXPECT_FALSE(OpenRegularFile(folder / "none", 5));
    EXPECT_FALSE(OpenRegularFileIn(folder.Path(), "none", 5));
    EXPECT_FALSE(Sha256OfFile(folder / "none"));
}

// A name of a folder's file, from a record another hand may have written.
TEST(RegularFile, AFileInAFolderIsNamedByItsNameAloneInAFolderThatIsNoLink) {
    const test::ScratchFolder folder;
    fs::create_directory(folder / "04");
    std::ofstream(folder / "04/efile_pur04.xml") << "whole";
    std::ofstream(folder / "outside.xml") << "outside";
    for (const std::string& name : std::vector<std::string>{
             "/etc/passwd", "../outside.xml", "../../etc/passwd", "sub/efile_pur04.xml", "..", ".",
             "", std::string("efile_pur04.xml\0.txt", 20), "a..b"}) {
        if (name == ".") {
            EXPECT_TRUE(IsPlainFileName(name));  // the folder itself: not a regular file
            EXPECT_THROW(OpenRegularFileIn(folder / "04", name, 5), UnreadableFile);
            continue;
        }
        EXPECT_FALSE(IsPlainFileName(name)) << name;
        try {
            OpenRegularFileIn(folder / "04", name, 100);
            ADD_FAILURE() << "opened " << name;
        } catch (const UnreadableFile& error) {
            EXPECT_EQ(error.Reason(), "it is not a file name of " + (folder / "04").string());
        }
    }
    fs::create_directory_symlink(folder / "04", folder / "05");
    EXPECT_THROW(OpenRegularFileIn(folder / "05", "efile_pur04.xml", 5), DiskError);
}

}  // namespace
}  // namespace vat
