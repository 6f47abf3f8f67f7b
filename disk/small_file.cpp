#include "disk/small_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "disk/disk_error.h"

namespace vat {

namespace {

class Descriptor {
public:
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { ::close(descriptor_); }
    int Get() const { return descriptor_; }

private:
    int descriptor_;
};

}  // namespace

std::optional<std::string> ReadSmallFile(const std::filesystem::path& path, std::size_t maxBytes) {
    const auto refuse = [&](const std::string& reason) {
        return DiskError("Cannot read " + path.string() + ": " + reason);
    };
    const int opened = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (opened < 0) {
        if (errno == ENOENT) return std::nullopt;
        throw refuse(errno == ELOOP ? "it is a symbolic link" : std::strerror(errno));
    }
    const Descriptor file(opened);
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) throw refuse(std::strerror(errno));
    if (!S_ISREG(status.st_mode)) throw refuse("it is not a regular file");
    const std::string tooLarge =
        "it is larger than the " + std::to_string(maxBytes >> 20) + " MB such a file can be";
    if (static_cast<std::size_t>(status.st_size) > maxBytes) throw refuse(tooLarge);

    // A byte of room past the size, so that the read that finds the end needs no more room.
    std::string bytes(static_cast<std::size_t>(status.st_size) + 1, '\0');
    std::size_t filled = 0;
    // Read to the end, one byte past the cap, in case the file grew since fstat.
    for (;;) {
        if (filled == bytes.size()) bytes.resize(std::min(bytes.size() * 2 + 4096, maxBytes + 1));
        const ssize_t got = ::read(file.Get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw refuse(std::strerror(errno));
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
        if (filled > maxBytes) throw refuse(tooLarge);
    }
    bytes.resize(filled);
    return bytes;
}

}  // namespace vat
