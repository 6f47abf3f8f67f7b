#include "disk/small_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "disk/regular_file.h"

namespace vat {

std::optional<std::string> ReadSmallFile(const std::filesystem::path& path, std::size_t maxBytes) {
    const std::optional<RegularFile> file = OpenRegularFile(path, maxBytes);
    if (!file) return std::nullopt;
    // A byte of room past the size, so that the read that finds the end needs no more room.
    std::string bytes(file->Size() + 1, '\0');
    std::size_t filled = 0;
    // Read to the end, one byte past the cap, in case the file grew since fstat.
    for (;;) {
        if (filled == bytes.size()) bytes.resize(std::min(bytes.size() * 2 + 4096, maxBytes + 1));
        const ssize_t got =
            ::read(file->Descriptor(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw file->Refusal(std::strerror(errno));
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
        if (filled > maxBytes) throw file->Refusal(file->TooLarge());
    }
    bytes.resize(filled);
    return bytes;
}

}  // namespace vat
