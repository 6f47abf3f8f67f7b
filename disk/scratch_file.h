#pragma once

#include <filesystem>
#include <functional>
#include <ostream>

#include "disk/atomic_file_writer.h"

namespace vat {

// Bytes put aside on the disk rather than in memory, to be copied once into a file being
// written: a file of a folder with no name (CreateScratchFile), gone when closed.
class ScratchFile {
public:
    // Throws DiskError.
    explicit ScratchFile(const std::filesystem::path& folder);
    ScratchFile(ScratchFile&& other) noexcept;
    ScratchFile& operator=(ScratchFile&&) = delete;
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ~ScratchFile();

    // Writes what print puts on a stream. Throws DiskError.
    void Print(const std::function<void(std::ostream&)>& print);
    // Writes every byte written here, in order, to file. Throws DiskError.
    void CopyTo(AtomicFileWriter& file) const;

private:
    std::filesystem::path folder_;  // for messages
    int descriptor_;
};

}  // namespace vat
