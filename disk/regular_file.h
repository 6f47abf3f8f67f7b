#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "disk/disk_error.h"

namespace vat {

// Whether opening a file may follow a symbolic link that has its name.
enum class LinkRule { Refuse, Follow };

// A regular file open for reading, at most maxBytes long, closed with the object.
class RegularFile {
public:
    // Takes the descriptor of a regular file of size bytes, named path in messages.
    RegularFile(int descriptor, std::size_t size, std::size_t maxBytes, std::filesystem::path path);
    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&&) = delete;
    ~RegularFile();

    int Descriptor() const { return descriptor_; }
    // Its size when it was opened.
    std::size_t Size() const { return size_; }
    std::size_t MaxBytes() const { return maxBytes_; }
    // The error for a reason it cannot be read.
    UnreadableFile Refusal(const std::string& reason) const;
    // The reason for a file larger than it may be.
    std::string TooLarge() const;

private:
    int descriptor_;
    std::size_t size_;
    std::size_t maxBytes_;
    std::filesystem::path path_;
};

// Opens a file for reading without trusting what has its name: nullopt when nothing has it;
// UnreadableFile, at once, when it is a symbolic link (unless links are followed), anything but a
// regular file (a FIFO or a device is never waited on) or larger than maxBytes.
std::optional<RegularFile> OpenRegularFile(const std::filesystem::path& path, std::size_t maxBytes,
                                           LinkRule links = LinkRule::Refuse);

// True for the name of a file inside a folder: not empty, no "/" (so not absolute), no "..", no
// NUL byte.
bool IsPlainFileName(std::string_view name);

// Opens the file name of folder as OpenRegularFile does, never following a symbolic link, the
// folder's own included: what is opened lies inside the folder. UnreadableFile when name is not
// plain, DiskError when the folder cannot be opened.
std::optional<RegularFile> OpenRegularFileIn(const std::filesystem::path& folder,
                                             const std::string& name, std::size_t maxBytes);

}  // namespace vat
