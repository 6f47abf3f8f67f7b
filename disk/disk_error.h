#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace vat {

// A file or folder cannot be created, written, read or put in place; the message names it and
// the system's reason.
class DiskError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file the program will not read as it is ("Cannot read <path>: <reason>"): a symbolic link,
// not a regular file, too large, or unreadable.
class UnreadableFile : public DiskError {
public:
    UnreadableFile(const std::string& path, std::string reason)
        : DiskError("Cannot read " + path + ": " + reason), reason_(std::move(reason)) {}
    // Why, as "it is a symbolic link".
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};

}  // namespace vat
