#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "support/program_folder.h"

namespace vat::test {

// A small disk image of a file system made for Windows, formatted and mounted through FUSE
// (ntfs-3g, exfat-fuse) as a USB disk would be, in a scratch folder; unmounted afterwards.
class FuseDisk {
public:
    enum class Format { Ntfs, Exfat };

    // Formats and mounts the disk; Folder() is empty when this machine cannot (no FUSE, no
    // tools, not root), and Why() says what was missing.
    explicit FuseDisk(Format format);
    FuseDisk(const FuseDisk&) = delete;
    FuseDisk& operator=(const FuseDisk&) = delete;
    ~FuseDisk();

    // A folder on the mounted disk.
    const std::optional<std::filesystem::path>& Folder() const { return folder_; }
    const std::string& Why() const { return why_; }

private:
    ScratchFolder scratch_;
    std::string loopDevice_;
    bool mounted_ = false;
    std::optional<std::filesystem::path> folder_;
    std::string why_;
};

}  // namespace vat::test
