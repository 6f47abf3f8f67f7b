#include "disk/disk_steps.h"

#include <atomic>

namespace vat {

namespace {

std::atomic<DiskStepWatcher*> watcher{nullptr};

}  // namespace

void WatchDiskSteps(DiskStepWatcher* stepWatcher) { watcher = stepWatcher; }

void AnnounceSync(const std::filesystem::path& path) {
    if (DiskStepWatcher* current = watcher) current->BeforeSync(path);
}

void AnnounceRename(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (DiskStepWatcher* current = watcher) current->BeforeRename(from, to);
}

}  // namespace vat
