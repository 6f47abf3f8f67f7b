#include "returns/return_file_writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <streambuf>

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

class FailingStream : public std::ostream {
public:
    FailingStream(const fs::path& path, std::streamsize capacity)
        : std::ostream(nullptr), buffer_(path, capacity) {
        rdbuf(&buffer_);
    }

private:
    FailingBuffer buffer_;
};

TEST(ReturnFileWriter, EndsEveryLineInCrLfAndPutsTheFileInPlaceOnCommit) {
    ProgramFolder folder;
    const fs::path path = folder / "efile_pur04.xml";
    {
        ReturnFileWriter file(path);
        file.WriteLine("<?xml version=\"1.0\"?>");
        file.WriteLine("  </PurchaseDetails> ");
        EXPECT_FALSE(fs::exists(path)) << "nothing is in place before the commit";
        file.Commit();
    }
    EXPECT_EQ(ReadBytes(path), "<?xml version=\"1.0\"?>\r\n  </PurchaseDetails> \r\n");
    EXPECT_FALSE(fs::exists(folder / "efile_pur04.xml.part"));
}

TEST(ReturnFileWriter, LeavesNothingBehindWhenTheDeviceFailsPartWay) {
    ProgramFolder folder;
    const fs::path path = folder / "efile_sal04.xml";
    auto failing = [](const fs::path& at) { return std::make_unique<FailingStream>(at, 10); };
    try {
        ReturnFileWriter file(path, failing);
        file.WriteLine("<?xml version=\"1.0\"?>");
        file.WriteLine("   <SaleDetails>");
        file.Commit();
        FAIL() << "the failed write was reported as success";
    } catch (const ReturnFileError& error) {
        EXPECT_NE(std::string(error.what()).find(path.string()), std::string::npos) << error.what();
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(fs::exists(folder / "efile_sal04.xml.part"));
}

TEST(ReturnFileWriter, AnAbandonedFileLeavesNoTrace) {
    ProgramFolder folder;
    const fs::path path = folder / "efile_pur04.xml";
    {
        ReturnFileWriter file(path);
        file.WriteLine("half");
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(fs::exists(folder / "efile_pur04.xml.part"));
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

TEST(ReturnFileWriter, ReportsAFolderThatCannotBeWritten) {
    EXPECT_THROW(ReturnFileWriter(fs::path("/nonexistent-folder/efile_pur04.xml")),
                 ReturnFileError);
}

}  // namespace
}  // namespace vat
