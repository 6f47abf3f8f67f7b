#include "disk/atomic_file_writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>
#include <streambuf>

#include "disk/file_safety.h"
#include "support/program_folder.h"

namespace vat {
namespace {

namespace fs = std::filesystem;
using test::ProgramFolder;
using test::ReadBytes;

// A file device that refuses every byte after the first `capacity`.
class FailingBuffer : public std::filebuf {
public:
    FailingBuffer(const fs::path& path, std::streamsize capacity) : capacity_(capacity) {
        open(path, std::ios::out | std::ios::binary);
    }

protected:
    std::streamsize xsputn(const char* data, std::streamsize count) override {
        std::streamsize room = std::max<std::streamsize>(0, capacity_ - written_);
        std::streamsize taken = std::filebuf::xsputn(data, std::min(count, room));
        written_ += taken;
        return taken;
    }

private:
    std::streamsize capacity_;
    std::streamsize written_ = 0;
};

// The names in the folder besides the schemas' folder: no temporary file may remain.
std::set<std::string> FileNames(const ProgramFolder& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.Path()))
        if (entry.path().filename() != "XSD") names.insert(entry.path().filename().string());
    return names;
}

class FailingStream : public std::ostream {
public:
    FailingStream(const fs::path& path, std::streamsize capacity)
        : std::ostream(nullptr), buffer_(path, capacity) {
        rdbuf(&buffer_);
    }

private:
    FailingBuffer buffer_;
};

TEST(AtomicFileWriter, EndsEveryLineInCrLfAndPutsTheFileInPlaceOnCommit) {
    ProgramFolder folder;
    const fs::path path = folder / "efile_pur04.xml";
    {
        AtomicFileWriter file(path);
        file.WriteLine("<?xml version=\"1.0\"?>");
        file.WriteLine("  </PurchaseDetails> ");
        EXPECT_FALSE(fs::exists(path)) << "nothing is in place before the commit";
        file.Commit();
    }
    EXPECT_EQ(ReadBytes(path), "<?xml version=\"1.0\"?>\r\n  </PurchaseDetails> \r\n");
    EXPECT_EQ(FileNames(folder), std::set<std::string>{"efile_pur04.xml"});
}

TEST(AtomicFileWriter, LeavesNothingBehindWhenTheDeviceFailsPartWay) {
    ProgramFolder folder;
    const fs::path path = folder / "efile_sal04.xml";
    auto failing = [](const fs::path& at) { return std::make_unique<FailingStream>(at, 10); };
    const std::function<void(AtomicFileWriter&)> writes[] = {
        [](AtomicFileWriter& file) {
            file.WriteLine("<?xml version=\"1.0\"?>");
            file.WriteLine("   <SaleDetails>");
        },
        [](AtomicFileWriter& file) {
            file.Print([](std::ostream& out) { out << "{\n \"dataFile\": \"shop2013\"\n}"; });
        },
    };
    for (const auto& write : writes) {
        try {
            AtomicFileWriter file(path, failing);
            write(file);
            file.Commit();
            ADD_FAILURE() << "the failed write was reported as success";
        } catch (const DiskError& error) {
            EXPECT_NE(std::string(error.what()).find(path.string()), std::string::npos)
                << error.what();
        }
        EXPECT_TRUE(FileNames(folder).empty());
    }
}

TEST(AtomicFileWriter, AnAbandonedFileLeavesNoTrace) {
    ProgramFolder folder;
    const fs::path path = folder / "efile_pur04.xml";
    {
        AtomicFileWriter file(path);
        file.WriteLine("half");
    }
    EXPECT_TRUE(FileNames(folder).empty());
}

TEST(ForceRemove, DeletesReadOnlyFilesAndIgnoresMissingOnes) {
    ProgramFolder folder;
    const fs::path path = folder / "old.xml";
    std::ofstream(path) << "old";
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ForceRemove(path);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_NO_THROW(ForceRemove(path));
}

TEST(AtomicFileWriter, TwoWritersOfOneFileEachWriteTheirOwnTemporaryFile) {
    ProgramFolder folder;
    const fs::path path = folder / "efile_pur04.xml";
    AtomicFileWriter first(path);
    AtomicFileWriter second(path);
    first.WriteLine("first");
    second.WriteLine("second");
    second.Commit();
    EXPECT_EQ(ReadBytes(path), "second\r\n");
    first.Commit();
    EXPECT_EQ(ReadBytes(path), "first\r\n");
    EXPECT_EQ(FileNames(folder), std::set<std::string>{"efile_pur04.xml"});
}

// A link planted where a new file is to be created, pointing at a file or at nothing, is
// refused: neither the link's target nor the link changes.
TEST(CreateNewFile, NeverWritesThroughAPlantedLink) {
    ProgramFolder folder;
    const fs::path victim = folder / "victim.txt";
    std::ofstream(victim) << "keep";
    for (const fs::path& target : {victim, folder / "nothing-yet.txt"}) {
        const fs::path link = folder / "efile_pur04.xml.Ab3dE9xZ.part";
        fs::create_symlink(target, link);
        EXPECT_THROW(CreateNewFile(link), DiskError) << target;
        EXPECT_TRUE(fs::is_symlink(link));
        fs::remove(link);
    }
    EXPECT_EQ(ReadBytes(victim), "keep");
    EXPECT_FALSE(fs::exists(folder / "nothing-yet.txt"));
}

TEST(AtomicFileWriter, ReportsAFolderThatCannotBeWritten) {
    EXPECT_THROW(AtomicFileWriter(fs::path("/nonexistent-folder/efile_pur04.xml")), DiskError);
}

}  // namespace
}  // namespace vat
