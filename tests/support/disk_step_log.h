#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vat::test {

// Watches the process's syncs and renames while it lives: the test program's own fsync, syncfs,
// rename and renameat2 stand in for the system's (a program's own definitions take precedence
// over the C library's), so that what it sees is each call itself, not a word said beside it.
// Records each as "sync <path>" or "rename <from> -> <to>", then calls the step hook with the
// step's number (from 1), which may stop the run there as a kill would, before the call is made;
// the hook may throw at a sync made by fsync only (the others are declared not to throw).
class DiskStepLog {
public:
    // Whether renames that exchange two folders or refuse to replace one (renameat2 with flags)
    // are made, or refused as many file systems do (exFAT, NTFS and network shares through
    // FUSE or their drivers: EINVAL).
    enum class FlaggedRenames { Made, Refused };

    explicit DiskStepLog(std::function<void(int step)> hook = {},
                         FlaggedRenames flagged = FlaggedRenames::Made);
    DiskStepLog(const DiskStepLog&) = delete;
    DiskStepLog& operator=(const DiskStepLog&) = delete;
    ~DiskStepLog();

    const std::vector<std::string>& Steps() const { return steps_; }
    // The number of the first step that is exactly text, or 0.
    int Find(const std::string& text) const;

    // For the stand-ins: records the step and calls the hook.
    void Take(std::string step);
    bool RefusesFlaggedRenames() const { return flagged_ == FlaggedRenames::Refused; }

private:
    std::function<void(int)> hook_;
    FlaggedRenames flagged_;
    std::vector<std::string> steps_;
};

// Runs act in a child process that is ended at disk step stop as a kill would end it, and
// returns how the child ended: 9 when killed at stop, 0 when act ended before that step, 1
// when act failed, -1 when the child did not exit.
int RunKilledAtStep(int stop, const std::function<void()>& act,
                    DiskStepLog::FlaggedRenames flagged = DiskStepLog::FlaggedRenames::Made);

}  // namespace vat::test
