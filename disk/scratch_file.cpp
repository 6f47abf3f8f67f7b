#include "disk/scratch_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "disk/descriptor_stream.h"
#include "disk/disk_error.h"
#include "disk/file_safety.h"

namespace vat {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kCopySlice = std::size_t{1} << 20;

[[noreturn]] void Refuse(const char* doing, const fs::path& folder, int error) {
    throw DiskError(std::string("Cannot ") + doing + " a scratch file in " + folder.string() +
                    ": " + (error ? std::strerror(error) : "the device refused the data"));
}

}  // namespace

ScratchFile::ScratchFile(const fs::path& folder)
    : folder_(folder), descriptor_(CreateScratchFile(folder)) {}

ScratchFile::ScratchFile(ScratchFile&& other) noexcept
    : folder_(std::move(other.folder_)), descriptor_(std::exchange(other.descriptor_, -1)) {}

ScratchFile::~ScratchFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

void ScratchFile::Print(const std::function<void(std::ostream&)>& print) {
    DescriptorStream stream(descriptor_);
    errno = 0;
    if (stream) {
        print(stream);
        stream.flush();
    }
    if (!stream) Refuse("write", folder_, errno);
}

void ScratchFile::CopyTo(AtomicFileWriter& file) const {
    std::vector<char> slice(kCopySlice);
    for (off_t at = 0;;) {
        const ssize_t read = ::pread(descriptor_, slice.data(), slice.size(), at);
        if (read < 0 && errno == EINTR) continue;
        if (read < 0) Refuse("read", folder_, errno);
        if (read == 0) return;
        file.Write({slice.data(), static_cast<std::size_t>(read)});
        at += read;
    }
}

}  // namespace vat
