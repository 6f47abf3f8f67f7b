#include "disk/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace vat {

namespace fs = std::filesystem;

namespace {

struct ClosedAtEnd {
    int descriptor;
    ~ClosedAtEnd() { ::close(descriptor); }
};

// Opens name, relative to the folder's descriptor, as OpenRegularFile promises.
std::optional<RegularFile> OpenAt(int folder, const fs::path& name, const fs::path& shown,
                                  std::size_t maxBytes, LinkRule links) {
    // Not blocking: opening a FIFO for reading would wait for a writer.
    const int flags =
        O_RDONLY | O_NONBLOCK | O_CLOEXEC | (links == LinkRule::Refuse ? O_NOFOLLOW : 0);
    const int opened = ::openat(folder, name.c_str(), flags);
    if (opened < 0) {
        if (errno == ENOENT) return std::nullopt;
        throw UnreadableFile(shown.string(), errno == ELOOP && links == LinkRule::Refuse
                                                 ? "it is a symbolic link"
                                                 : std::strerror(errno));
    }
    struct stat status {};
    const bool known = ::fstat(opened, &status) == 0;
    const int error = errno;
    RegularFile file(opened, static_cast<std::size_t>(status.st_size), maxBytes, shown);
    if (!known) throw file.Refusal(std::strerror(error));
    if (!S_ISREG(status.st_mode)) throw file.Refusal("it is not a regular file");
    if (file.Size() > maxBytes) throw file.Refusal(file.TooLarge());
    return file;
}

}  // namespace

RegularFile::RegularFile(int descriptor, std::size_t size, std::size_t maxBytes, fs::path path)
    : descriptor_(descriptor), size_(size), maxBytes_(maxBytes), path_(std::move(path)) {}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)),
      size_(other.size_),
      maxBytes_(other.maxBytes_),
      path_(std::move(other.path_)) {}

RegularFile::~RegularFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

UnreadableFile RegularFile::Refusal(const std::string& reason) const {
    return UnreadableFile(path_.string(), reason);
}

std::string RegularFile::TooLarge() const {
    return "it is larger than the " + std::to_string(maxBytes_ >> 20) + " MB such a file can be";
}

std::optional<RegularFile> OpenRegularFile(const fs::path& path, std::size_t maxBytes,
                                           LinkRule links) {
    return OpenAt(AT_FDCWD, path, path, maxBytes, links);
}

bool IsPlainFileName(std::string_view name) {
    return !name.empty() && name.find('/') == std::string_view::npos &&
           name.find("..") == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

std::optional<RegularFile> OpenRegularFileIn(const fs::path& folder, const std::string& name,
                                             std::size_t maxBytes) {
    const fs::path path = folder / name;
    if (!IsPlainFileName(name))
        throw UnreadableFile(path.string(), "it is not a file name of " + folder.string());
    const int opened = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (opened < 0)
        throw DiskError("Cannot read the folder " + folder.string() + ": " +
                        (errno == ELOOP ? "it is a symbolic link" : std::strerror(errno)));
    const ClosedAtEnd folderHeld{opened};
    return OpenAt(folderHeld.descriptor, name, path, maxBytes, LinkRule::Refuse);
}

}  // namespace vat
