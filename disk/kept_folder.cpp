#include "disk/kept_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "disk/disk_error.h"
#include "disk/file_safety.h"
#include "disk/regular_file.h"
#include "disk/sha256.h"

namespace vat {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHiddenPrefix = ".kept-";
constexpr mode_t kReadOnlyFile = 0444;
constexpr mode_t kReadOnlyFolder = 0555;

class Descriptor {
public:
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (descriptor_ >= 0) ::close(descriptor_);
    }
    int Get() const { return descriptor_; }
    // Closes now, so that a failing close is seen.
    bool Close() {
        const int descriptor = descriptor_;
        descriptor_ = -1;
        return ::close(descriptor) == 0;
    }

private:
    int descriptor_;
};

DiskError Failure(const std::string& doing, const fs::path& path) {
    return DiskError("Cannot " + doing + " " + path.string() + ": " + std::strerror(errno));
}

void WriteAll(int descriptor, std::string_view bytes, const fs::path& path) {
    while (!bytes.empty()) {
        const ssize_t wrote = ::write(descriptor, bytes.data(), bytes.size());
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote < 0) throw Failure("write", path);
        bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
}

// Makes a file written whole read-only and saves it, its mode included, to the disk.
void SealFile(Descriptor& file, const fs::path& path) {
    if (::fchmod(file.Get(), kReadOnlyFile) != 0) throw Failure("make read-only", path);
    if (::fsync(file.Get()) != 0) throw Failure("save to the disk", path);
    if (!file.Close()) throw Failure("close", path);
}

// A rename that never replaces what has the new name; where the file system cannot promise
// that, a plain rename, which still never replaces a folder that holds anything.
bool RenameIfFree(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EINVAL) {
        std::error_code error;
        if (fs::exists(fs::symlink_status(to, error))) return false;
        if (::rename(from.c_str(), to.c_str()) == 0) return true;
    }
    if (errno == EEXIST || errno == ENOTEMPTY) return false;
    throw Failure("rename " + from.string() + " to", to);
}

void RemoveFolder(const fs::path& folder) {
    std::error_code error;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(folder, error);
}

}  // namespace

KeptFolderWriter::KeptFolderWriter(const fs::path& parent) : parent_(parent) {
    const std::optional<fs::path> folder = CreateUniqueFolder(parent / kHiddenPrefix);
    if (!folder) throw Failure("create a folder in", parent);
    folder_ = *folder;
}

KeptFolderWriter::~KeptFolderWriter() {
    if (!kept_) RemoveFolder(folder_);
}

std::string KeptFolderWriter::CopyIn(const fs::path& source) {
    const std::optional<RegularFile> from = OpenRegularFile(source, kLargestHashedFile);
    if (!from) throw UnreadableFile(source.string(), "it is missing");
    const fs::path copy = folder_ / source.filename();
    Descriptor to(CreateNewFile(copy));
    Sha256 digest;
    std::vector<char> buffer(std::size_t{1} << 20);
    for (;;) {
        const ssize_t got = ::read(from->Descriptor(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw Failure("read", source);
        if (got == 0) break;
        const std::string_view bytes(buffer.data(), static_cast<std::size_t>(got));
        digest.Add(bytes);
        WriteAll(to.Get(), bytes, copy);
    }
    SealFile(to, copy);
    return digest.Hex();
}

void KeptFolderWriter::Write(const std::string& name, std::string_view bytes) {
    const fs::path path = folder_ / name;
    Descriptor file(CreateNewFile(path));
    WriteAll(file.Get(), bytes, path);
    SealFile(file, path);
}

fs::path KeptFolderWriter::Keep(const std::function<std::string(int)>& nameOf) {
    if (::chmod(folder_.c_str(), kReadOnlyFolder) != 0) throw Failure("make read-only", folder_);
    SyncFolder(folder_);
    for (int number = 1;; ++number) {
        fs::path kept = parent_ / nameOf(number);
        if (!RenameIfFree(folder_, kept)) continue;
        kept_ = true;
        SyncFolder(parent_);
        return kept;
    }
}

void RemoveUnkeptFolders(const fs::path& parent) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(parent, error))
        if (entry.path().filename().string().starts_with(kHiddenPrefix) &&
            entry.is_directory(error) && !entry.is_symlink(error))
            RemoveFolder(entry.path());
}

void CreateFoldersDurably(const fs::path& folder) {
    std::error_code error;
    if (fs::is_directory(fs::symlink_status(folder, error))) return;
    const fs::path above = folder.parent_path();
    if (!above.empty() && above != folder) CreateFoldersDurably(above);
    if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) throw Failure("create", folder);
    RefuseLink(folder, "The folder");
    SyncFolder(above.empty() ? fs::path(".") : above);
}

}  // namespace vat
