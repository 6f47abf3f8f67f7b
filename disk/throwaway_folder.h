#pragma once

#include <filesystem>
#include <string>

namespace vat {

// A new folder of the system's temporary folder, "<prefix>XXXXXX", removed with what it holds
// when destroyed. It is locked while it lives, so that a process killed before it could remove
// its folder leaves it only until the next folder of the same prefix is made.
class ThrowawayFolder {
public:
    // Throws DiskError.
    explicit ThrowawayFolder(const std::string& prefix);
    ThrowawayFolder(const ThrowawayFolder&) = delete;
    ThrowawayFolder& operator=(const ThrowawayFolder&) = delete;
    ~ThrowawayFolder();

    const std::filesystem::path& Path() const { return path_; }

private:
    void Remove();

    std::filesystem::path path_;
    int descriptor_ = -1;  // holds the lock
};

}  // namespace vat
