#include "disk/month_staging.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "disk/disk_error.h"
#include "disk/file_safety.h"

namespace vat {

namespace fs = std::filesystem;

namespace {

std::string StagingPrefix(const std::string& monthTag) { return "." + monthTag + ".staging-"; }

// In a run's own folder: the marker that proves it the program's, the new folder, and where the
// folder it replaces waits when the two cannot be exchanged.
constexpr const char* kOwnMarker = ".made-by-a-run";
constexpr const char* kNewFolder = "files";
constexpr const char* kReplacedFolder = "replaced";

fs::path JournalPath(const fs::path& programFolder, const std::string& monthTag) {
    return programFolder / ("." + monthTag + ".moving-in");
}

// The entry's status, not its target's; nullopt when there is none.
std::optional<struct stat> LinkStatus(const fs::path& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0) return status;
    if (errno != ENOENT)
        throw DiskError("Cannot read " + path.string() + ": " + std::strerror(errno));
    return std::nullopt;
}

// Immutable or append-only: not even the owner may delete it.
bool Undeletable(const fs::path& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return false;
    int flags = 0;
    const bool read = ::ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0;
    ::close(descriptor);
    return read && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0;
}

void RefuseUndeletable(const fs::path& path) {
    if (Undeletable(path))
        throw DiskError(path.string() + " cannot be deleted: it is immutable or append-only.");
}

// Refuses the month folder when the new one could not take its place, or it could not be
// removed afterwards.
void RefuseObstacles(const fs::path& monthFolder, const std::vector<std::string>& names) {
    RefuseLink(monthFolder, "The month folder");
    const auto month = LinkStatus(monthFolder);
    if (!month) return;
    if (!S_ISDIR(month->st_mode)) throw DiskError(monthFolder.string() + " is not a folder.");
    const auto programFolder = LinkStatus(monthFolder.parent_path());
    if (!programFolder || programFolder->st_dev != month->st_dev)
        throw DiskError("The month folder " + monthFolder.string() +
                        " is on another device than its program folder; the new files can only "
                        "replace the month's there, in one step.");
    if (::access(monthFolder.c_str(), W_OK | X_OK) != 0)
        throw DiskError("Cannot write in the folder " + monthFolder.string() + ": " +
                        std::strerror(errno));
    RefuseUndeletable(monthFolder);
    for (const auto& entry : fs::directory_iterator(monthFolder)) {
        const bool runs = std::ranges::count(names, entry.path().filename().string()) > 0;
        if (runs && entry.is_directory() && !entry.is_symlink())
            throw DiskError(entry.path().string() +
                            " is a folder where a return file goes; move it away.");
        RefuseUndeletable(entry.path());
    }
}

// Brings the old month folder's entries that are not the run's into the new folder: as hard
// links, which copy nothing, or else as copies, saved to the disk.
void CarryOver(const fs::path& monthFolder, const fs::path& folder,
               const std::vector<std::string>& names) {
    if (!LinkStatus(monthFolder)) return;
    constexpr auto kCopy = fs::copy_options::recursive | fs::copy_options::copy_symlinks;
    bool copied = false;
    for (const auto& entry : fs::directory_iterator(monthFolder)) {
        const std::string name = entry.path().filename().string();
        if (std::ranges::count(names, name) > 0) continue;
        std::error_code error;
        fs::copy(entry.path(), folder / name, kCopy | fs::copy_options::create_hard_links, error);
        if (error) {
            fs::remove_all(folder / name, error);
            fs::copy(entry.path(), folder / name, kCopy, error);
            copied = true;
        }
        if (error)
            throw DiskError("Cannot bring " + entry.path().string() +
                            " into the new month folder: " + error.message());
    }
    if (!copied) return;
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = descriptor >= 0 && ::syncfs(descriptor) == 0;
    if (descriptor >= 0) ::close(descriptor);
    if (!synced)
        throw DiskError("Cannot save the files of " + folder.string() +
                        " to the disk: " + std::strerror(errno));
}

// The new folder takes the permissions of the one it replaces: one shared with chmod stays
// shared. File systems that keep none (exFAT, NTFS) take the change and forget it; where the
// user may not change them (another's folder) the new folder keeps those of its making.
void TakeMode(const fs::path& replaced, const fs::path& folder) {
    const auto status = LinkStatus(replaced);
    if (!status || ::chmod(folder.c_str(), status->st_mode & 07777) == 0 || errno == EPERM) return;
    throw DiskError("Cannot give " + folder.string() + " the permissions of " + replaced.string() +
                    ": " + std::strerror(errno));
}

DiskError CannotPutInPlace(const fs::path& target, int error) {
    return DiskError("Cannot put the folder " + target.string() +
                     " in place: " + std::strerror(error));
}

// The file system cannot exchange two folders, nor rename one without replacing.
bool FlaggedRenameUnsupported(int error) {
    return error == EINVAL || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS;
}

// The folder takes the target's place in one step, the target, when there is one, taking the
// folder's. Where the file system cannot, the target waits at aside while the folder is renamed
// into its place, and goes back when that fails.
void PutInPlace(const fs::path& folder, const fs::path& target, const fs::path& aside) {
    const bool replacing = LinkStatus(target).has_value();
    const unsigned how = replacing ? RENAME_EXCHANGE : RENAME_NOREPLACE;
    if (::renameat2(AT_FDCWD, folder.c_str(), AT_FDCWD, target.c_str(), how) == 0) return;
    if (!FlaggedRenameUnsupported(errno)) throw CannotPutInPlace(target, errno);
    if (replacing && ::rename(target.c_str(), aside.c_str()) != 0)
        throw CannotPutInPlace(target, errno);
    if (::rename(folder.c_str(), target.c_str()) == 0) return;
    const int error = errno;
    if (replacing) ::rename(aside.c_str(), target.c_str());
    throw CannotPutInPlace(target, error);
}

// A folder of a run, by its marker: a folder that only has such a name is not one.
bool OwnFolder(const fs::path& folder) {
    const auto marker = LinkStatus(folder / kOwnMarker);
    return marker && S_ISREG(marker->st_mode);
}

void RemoveFolder(const fs::path& folder) {
    std::error_code error;
    fs::remove_all(folder, error);
    if (error)
        throw DiskError("Cannot remove the folder " + folder.string() + ": " + error.message());
}

}  // namespace

MonthStaging::MonthStaging(const fs::path& programFolder, const std::string& monthTag)
    : programFolder_(programFolder), monthTag_(monthTag) {
    FinishLeftoverStaging(programFolder, monthTag);
    const auto own = CreateUniqueFolder(programFolder / StagingPrefix(monthTag));
    if (!own)
        throw DiskError("Cannot create a folder for the new files beside " +
                        (programFolder / monthTag).string() + ": " + std::strerror(errno));
    own_ = *own;
    folder_ = own_ / kNewFolder;
    try {
        ::close(CreateNewFile(own_ / kOwnMarker));
        // Made as any new folder is, after the umask: the run's own folder keeps others out.
        if (::mkdir(folder_.c_str(), 0777) != 0)
            throw DiskError("Cannot create the folder " + folder_.string() + ": " +
                            std::strerror(errno));
    } catch (const DiskError&) {
        std::error_code ignored;
        fs::remove_all(own_, ignored);
        throw;
    }
}

MonthStaging::~MonthStaging() {
    if (kept_) return;
    std::error_code ignored;
    fs::remove_all(own_, ignored);
}

void MonthStaging::Complete(const std::vector<std::string>& names) {
    const fs::path monthFolder = programFolder_ / monthTag_;
    RefuseObstacles(monthFolder, names);
    CarryOver(monthFolder, folder_, names);
    TakeMode(monthFolder, folder_);
    SyncFolder(folder_);
}

void MonthStaging::MoveIn() {
    const fs::path journal = JournalPath(programFolder_, monthTag_);
    const fs::path target = programFolder_ / monthTag_;
    const fs::path aside = own_ / kReplacedFolder;
    ::close(CreateNewFile(journal));
    SyncFolder(programFolder_);
    try {
        PutInPlace(folder_, target, aside);
    } catch (const DiskError&) {
        // The old folder still waiting aside is the next run's to put back.
        kept_ = !LinkStatus(target) && LinkStatus(aside);
        if (!kept_) {
            std::error_code ignored;
            fs::remove(journal, ignored);
        }
        throw;
    }
    kept_ = true;
    // The new month is in place: what remains is tidying, which the next run finishes.
    try {
        FinishLeftoverStaging(programFolder_, monthTag_);
    } catch (const DiskError&) {
    }
}

void FinishLeftoverStaging(const fs::path& programFolder, const std::string& monthTag) {
    const fs::path journal = JournalPath(programFolder, monthTag);
    const fs::path target = programFolder / monthTag;
    const std::string prefix = StagingPrefix(monthTag);
    std::vector<fs::path> own, unproven;
    std::error_code error;
    // A link of such a name is none of them: it is neither followed nor removed.
    for (const auto& entry : fs::directory_iterator(programFolder, error))
        if (entry.path().filename().string().starts_with(prefix) &&
            fs::is_directory(entry.symlink_status(error)))
            (OwnFolder(entry.path()) ? own : unproven).push_back(entry.path());
    if (error)
        throw DiskError("Cannot read the folder " + programFolder.string() + ": " +
                        error.message());
    if (own.empty() && unproven.empty() && !LinkStatus(journal)) return;
    // A move that could not exchange the folders died between its two renames: the old folder
    // goes back.
    for (const fs::path& folder : own) {
        const fs::path replaced = folder / kReplacedFolder;
        if (LinkStatus(target) || !LinkStatus(replaced)) continue;
        if (::rename(replaced.c_str(), target.c_str()) != 0)
            throw DiskError("Cannot put the folder " + target.string() +
                            " back in place: " + std::strerror(errno));
    }
    // After a move-in its folder holds the old folder; before, the new one that did not take its
    // place. Either way it goes, and the folder in place stays as it is. One made by a run killed
    // before it could be marked holds nothing. The journal goes last, once the move, if it
    // happened, is on the disk.
    SyncFolder(programFolder);
    for (const fs::path& folder : own) RemoveFolder(folder);
    for (const fs::path& folder : unproven) ::rmdir(folder.c_str());
    ForceRemove(journal);
    SyncFolder(programFolder);
}

bool MoveInInterrupted(const fs::path& programFolder, const std::string& monthTag) {
    return LinkStatus(JournalPath(programFolder, monthTag)).has_value();
}

}  // namespace vat
