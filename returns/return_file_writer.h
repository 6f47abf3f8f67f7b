#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string_view>

namespace vat {

// The folder or the return file cannot be created, written or put in place.
class ReturnFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes a return file line by line, each ended by CR LF, into a temporary file of its own
// beside it (a new, uniquely named file: see CreateTemporaryFileBeside), and puts it in place
// only when complete and saved to the disk: a failed run never leaves a half-written file.
class ReturnFileWriter {
public:
    using StreamOpener = std::function<std::unique_ptr<std::ostream>(const std::filesystem::path&)>;

    // Creates the temporary file; its folder must exist. The opener, which then writes to the
    // temporary file by its path, is for tests that need a device that fails part-way.
    explicit ReturnFileWriter(std::filesystem::path path, const StreamOpener& opener = {});
    ReturnFileWriter(const ReturnFileWriter&) = delete;
    ReturnFileWriter& operator=(const ReturnFileWriter&) = delete;
    // Removes the temporary file when Commit was not reached.
    ~ReturnFileWriter();

    void WriteLine(std::string_view text);
    // Flushes, saves to the disk, closes and renames the file into place.
    void Commit();

    const std::filesystem::path& Path() const { return path_; }

private:
    void Check(const char* doing) const;

    std::filesystem::path path_;
    std::filesystem::path temporaryPath_;
    int descriptor_ = -1;  // the temporary file's, owned here; the stream writes through a copy
    std::unique_ptr<std::ostream> stream_;
    bool committed_ = false;
};

// Deletes a file, read-only or not; nothing happens when there is none.
void ForceRemove(const std::filesystem::path& path);

}  // namespace vat
