#include "disk/file_safety.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>

#include "disk/disk_error.h"

namespace vat {

namespace fs = std::filesystem;

namespace {

// How many names a temporary file tries before giving up: a clash of two random names is
// rare, so only a folder full of planted names runs out.
constexpr int kTemporaryNameTries = 100;

std::string RandomSuffix() {
    static constexpr char kLetters[] =
        "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string suffix(8, ' ');
    for (char& letter : suffix) letter = kLetters[pick(random)];
    return suffix;
}

int OpenNew(const fs::path& path, int access = O_WRONLY) {
    return ::open(path.c_str(), access | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

int CreateUniqueFileBeside(const fs::path& path, fs::path& temporaryPath, int access) {
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        temporaryPath = path;
        temporaryPath += '.';
        temporaryPath += RandomSuffix();
        temporaryPath += ".part";
        const int descriptor = OpenNew(temporaryPath, access);
        if (descriptor >= 0) return descriptor;
        if (errno != EEXIST) break;
    }
    throw DiskError("Cannot create a temporary file for " + path.string() + ": " +
                    std::strerror(errno));
}

}  // namespace

int CreateNewFile(const fs::path& path) {
    const int descriptor = OpenNew(path);
    if (descriptor < 0)
        throw DiskError("Cannot create " + path.string() + ": " + std::strerror(errno));
    return descriptor;
}

int CreateTemporaryFileBeside(const fs::path& path, fs::path& temporaryPath) {
    return CreateUniqueFileBeside(path, temporaryPath, O_WRONLY);
}

int CreateScratchFile(const fs::path& folder) {
    const int unnamed = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (unnamed >= 0) return unnamed;
    // A file system without unnamed files: a named one, unlinked at once.
    fs::path named;
    const int descriptor = CreateUniqueFileBeside(folder / "scratch", named, O_RDWR);
    if (::unlink(named.c_str()) != 0) {
        const int error = errno;
        ::close(descriptor);
        throw DiskError("Cannot remove " + named.string() + ": " + std::strerror(error));
    }
    return descriptor;
}

std::optional<fs::path> CreateUniqueFolder(const fs::path& prefix) {
    std::string pattern = prefix.string() + "XXXXXX";
    if (!::mkdtemp(pattern.data())) return std::nullopt;
    return fs::path(pattern);
}

void SyncFolder(const fs::path& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = descriptor >= 0 && ::fsync(descriptor) == 0;
    const int error = errno;
    if (descriptor >= 0) ::close(descriptor);
    if (!synced)
        throw DiskError("Cannot save the folder " + folder.string() +
                        " to the disk: " + std::strerror(error));
}

void RefuseLink(const fs::path& path, const std::string& what) {
    std::error_code ignored;
    if (fs::is_symlink(fs::symlink_status(path, ignored)))
        throw DiskError(what + " " + path.string() +
                        " is a symbolic link; the program never follows one.");
}

void ForceRemove(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (!fs::exists(status)) return;
    // On this platform a file's own write bit does not guard deletion, but the program may
    // run where it does: clear the read-only state first, as the accountant expects. A link
    // is removed as it is: changing its mode would change its target's.
    if (!fs::is_symlink(status))
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, error);
    if (!fs::remove(path, error) && error)
        throw DiskError("Cannot delete the old file " + path.string() + ": " + error.message());
}

}  // namespace vat
