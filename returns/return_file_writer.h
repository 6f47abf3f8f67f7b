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

// Writes a return file line by line, each ended by CR LF, into a temporary file beside it,
// and puts it in place only when complete: a failed run never leaves a half-written file.
class ReturnFileWriter {
public:
    using StreamOpener = std::function<std::unique_ptr<std::ostream>(const std::filesystem::path&)>;

    // Opens the temporary file; the month folder must exist. The opener is for tests that need
    // a device that fails part-way.
    explicit ReturnFileWriter(std::filesystem::path path, StreamOpener opener = {});
    ReturnFileWriter(const ReturnFileWriter&) = delete;
    ReturnFileWriter& operator=(const ReturnFileWriter&) = delete;
    // Removes the temporary file when Commit was not reached.
    ~ReturnFileWriter();

    void WriteLine(std::string_view text);
    // Flushes, closes and renames the file into place.
    void Commit();

    const std::filesystem::path& Path() const { return path_; }

private:
    void Check(const char* doing) const;

    std::filesystem::path path_;
    std::filesystem::path temporaryPath_;
    std::unique_ptr<std::ostream> stream_;
    bool committed_ = false;
};

// Deletes a file, read-only or not; nothing happens when there is none.
void ForceRemove(const std::filesystem::path& path);

}  // namespace vat
