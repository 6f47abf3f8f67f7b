#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace vat {

// How long a run waits for another run of the same month before it refuses. Another run that
// is just putting its files in place is done within milliseconds, and one still walking its
// vouchers may take minutes: a few seconds cover the first, and a person or a script waiting
// for an answer soon learns of the second, rather than seeing a run hang.
inline constexpr std::chrono::seconds kMonthLockWait{5};

// The right to change one month's files, held by one run at a time, in this process or any
// other, from Take to destruction: an exclusive flock on "<program folder>/.<MM>.lock". The
// lock file lies beside the month folder, not in it: the month folder keeps only the return
// files and the user's own, and a refused run must not create it. The file is never removed:
// a run that removed it could let a third run lock a new file while a second holds the old one.
// The system releases the lock of a run that dies.
class MonthLock {
public:
    // Waits up to kMonthLockWait while another run holds the lock, giving up early when stop
    // says so; none when the lock could not be had. Throws DiskError when the lock file
    // cannot be opened or the month folder is a symbolic link (neither is ever followed).
    static std::optional<MonthLock> Take(const std::filesystem::path& programFolder,
                                         const std::string& monthTag,
                                         const std::function<bool()>& stop);

    MonthLock(MonthLock&& other) noexcept;
    MonthLock& operator=(MonthLock&& other) noexcept;
    ~MonthLock();

private:
    explicit MonthLock(int descriptor) : descriptor_(descriptor) {}

    int descriptor_;
};

}  // namespace vat
