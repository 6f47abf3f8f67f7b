#include "support/disk_step_log.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>

namespace vat::test {

namespace {

std::atomic<DiskStepLog*> watching{nullptr};

// The C library's function of that name, which the stand-in below hides.
template <typename Function>
Function* Real(const char* name) {
    return reinterpret_cast<Function*>(::dlsym(RTLD_NEXT, name));
}

// The path a descriptor was opened by, as the system names it now.
std::string DescriptorPath(int descriptor) {
    std::error_code error;
    const auto path =
        std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(descriptor), error);
    return error ? "descriptor " + std::to_string(descriptor) : path.string();
}

void TakeSync(int descriptor) {
    if (DiskStepLog* log = watching) log->Take("sync " + DescriptorPath(descriptor));
}

void TakeRename(const char* from, const char* to) {
    if (DiskStepLog* log = watching) log->Take(std::string("rename ") + from + " -> " + to);
}

}  // namespace

DiskStepLog::DiskStepLog(std::function<void(int)> hook, FlaggedRenames flagged)
    : hook_(std::move(hook)), flagged_(flagged) {
    watching = this;
}

DiskStepLog::~DiskStepLog() { watching = nullptr; }

int DiskStepLog::Find(const std::string& text) const {
    const auto found = std::ranges::find(steps_, text);
    return found == steps_.end() ? 0 : static_cast<int>(found - steps_.begin()) + 1;
}

void DiskStepLog::Take(std::string step) {
    steps_.push_back(std::move(step));
    if (hook_) hook_(static_cast<int>(steps_.size()));
}

int RunKilledAtStep(int stop, const std::function<void()>& act,
                    DiskStepLog::FlaggedRenames flagged) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        const DiskStepLog kill(
            [stop](int step) {
                if (step == stop) ::_exit(9);
            },
            flagged);
        try {
            act();
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace vat::test

using vat::test::watching;

extern "C" int fsync(int descriptor) {
    vat::test::TakeSync(descriptor);
    static auto* const real = vat::test::Real<int(int)>("fsync");
    return real(descriptor);
}

extern "C" int syncfs(int descriptor) noexcept {
    vat::test::TakeSync(descriptor);
    static auto* const real = vat::test::Real<int(int)>("syncfs");
    return real(descriptor);
}

extern "C" int rename(const char* from, const char* to) noexcept {
    vat::test::TakeRename(from, to);
    static auto* const real = vat::test::Real<int(const char*, const char*)>("rename");
    return real(from, to);
}

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to,
                         unsigned flags) noexcept {
    vat::test::TakeRename(from, to);
    const vat::test::DiskStepLog* log = watching;
    if (flags != 0 && log && log->RefusesFlaggedRenames()) {
        errno = EINVAL;
        return -1;
    }
    static auto* const real =
        vat::test::Real<int(int, const char*, int, const char*, unsigned)>("renameat2");
    return real(fromFolder, from, toFolder, to, flags);
}
