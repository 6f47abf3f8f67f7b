#include "disk/throwaway_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "disk/disk_error.h"
#include "disk/file_safety.h"

namespace vat {

namespace fs = std::filesystem;

namespace {

// A folder is locked a moment after it is made: one younger than this may be a live one's.
constexpr std::chrono::minutes kSurelyLocked{1};

int OpenFolder(const fs::path& folder) {
    return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Removes the folders of the prefix that no living process holds.
void RemoveAbandoned(const fs::path& parent, const std::string& prefix) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(parent, error)) {
        if (!entry.path().filename().string().starts_with(prefix) ||
            !fs::is_directory(entry.symlink_status(error)) ||
            fs::file_time_type::clock::now() - entry.last_write_time(error) < kSurelyLocked)
            continue;
        const int descriptor = OpenFolder(entry.path());
        if (descriptor < 0) continue;  // another user's
        if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) fs::remove_all(entry.path(), error);
        ::close(descriptor);
    }
}

}  // namespace

ThrowawayFolder::ThrowawayFolder(const std::string& prefix) {
    const fs::path parent = fs::temp_directory_path();
    RemoveAbandoned(parent, prefix);
    const auto folder = CreateUniqueFolder(parent / prefix);
    if (folder) {
        path_ = *folder;
        descriptor_ = OpenFolder(path_);
    }
    if (descriptor_ < 0 || ::flock(descriptor_, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        Remove();
        throw DiskError("Cannot create a folder in " + parent.string() + ": " +
                        std::strerror(error));
    }
}

ThrowawayFolder::~ThrowawayFolder() { Remove(); }

void ThrowawayFolder::Remove() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
    if (descriptor_ >= 0) ::close(descriptor_);
}

}  // namespace vat
