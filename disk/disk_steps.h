#pragma once

#include <filesystem>

namespace vat {

// The two steps by which a file or folder becomes durable and reaches its place: a sync and a
// rename. Every one this program takes goes past a watcher, when one is set, just before it is
// taken, so that a test can see their order or stop a run at any of them as a kill would.
class DiskStepWatcher {
public:
    virtual ~DiskStepWatcher() = default;
    virtual void BeforeSync(const std::filesystem::path& path) = 0;
    virtual void BeforeRename(const std::filesystem::path& from,
                              const std::filesystem::path& to) = 0;
};

// Sets the process's watcher; nullptr, the default, sets none. For tests.
void WatchDiskSteps(DiskStepWatcher* watcher);

// Tells the watcher, if any, of the step about to be taken.
void AnnounceSync(const std::filesystem::path& path);
void AnnounceRename(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace vat
