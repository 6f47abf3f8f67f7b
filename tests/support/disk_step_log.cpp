#include "support/disk_step_log.h"

#include <algorithm>

namespace vat::test {

DiskStepLog::DiskStepLog(std::function<void(int)> hook) : hook_(std::move(hook)) {
    WatchDiskSteps(this);
}

DiskStepLog::~DiskStepLog() { WatchDiskSteps(nullptr); }

void DiskStepLog::BeforeSync(const std::filesystem::path& path) { Take("sync " + path.string()); }

void DiskStepLog::BeforeRename(const std::filesystem::path& from, const std::filesystem::path& to) {
    Take("rename " + from.string() + " -> " + to.string());
}

int DiskStepLog::Find(const std::string& text) const {
    const auto found = std::ranges::find(steps_, text);
    return found == steps_.end() ? 0 : static_cast<int>(found - steps_.begin()) + 1;
}

void DiskStepLog::Take(std::string step) {
    steps_.push_back(std::move(step));
    if (hook_) hook_(static_cast<int>(steps_.size()));
}

}  // namespace vat::test
