#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "disk/disk_steps.h"

namespace vat::test {

// Watches the process's syncs and renames while it lives: records each as "sync <path>" or
// "rename <from> -> <to>", then calls the step hook with the step's number (from 1), which
// may stop the run there as a kill would.
class DiskStepLog : public DiskStepWatcher {
public:
    explicit DiskStepLog(std::function<void(int step)> hook = {});
    DiskStepLog(const DiskStepLog&) = delete;
    DiskStepLog& operator=(const DiskStepLog&) = delete;
    ~DiskStepLog() override;

    void BeforeSync(const std::filesystem::path& path) override;
    void BeforeRename(const std::filesystem::path& from, const std::filesystem::path& to) override;

    const std::vector<std::string>& Steps() const { return steps_; }
    // The number of the first step that is exactly text, or 0.
    int Find(const std::string& text) const;

private:
    void Take(std::string step);

    std::function<void(int)> hook_;
    std::vector<std::string> steps_;
};

}  // namespace vat::test
