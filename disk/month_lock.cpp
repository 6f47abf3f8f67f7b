#include "disk/month_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>

#include "disk/disk_error.h"
#include "disk/file_safety.h"

namespace vat {

namespace {

// How often a waiting run tries the lock again.
constexpr std::chrono::milliseconds kRetryInterval{50};

}  // namespace

std::optional<MonthLock> MonthLock::Take(const std::filesystem::path& programFolder,
                                         const std::string& monthTag,
                                         const std::function<bool()>& stop) {
    RefuseLink(programFolder / monthTag, "The month folder");
    const std::filesystem::path path = programFolder / ("." + monthTag + ".lock");
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor < 0)
        throw DiskError("Cannot open the lock file " + path.string() + ": " + std::strerror(errno));
    MonthLock lock(descriptor);
    const auto giveUp = std::chrono::steady_clock::now() + kMonthLockWait;
    while (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR)
            throw DiskError("Cannot lock " + path.string() + ": " + std::strerror(errno));
        if (stop() || std::chrono::steady_clock::now() >= giveUp) return std::nullopt;
        std::this_thread::sleep_for(kRetryInterval);
    }
    return lock;
}

MonthLock::MonthLock(MonthLock&& other) noexcept : descriptor_(other.descriptor_) {
    other.descriptor_ = -1;
}

MonthLock& MonthLock::operator=(MonthLock&& other) noexcept {
    std::swap(descriptor_, other.descriptor_);
    return *this;
}

MonthLock::~MonthLock() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

}  // namespace vat
