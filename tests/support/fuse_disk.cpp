#include "support/fuse_disk.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <memory>

namespace vat::test {

namespace fs = std::filesystem;

namespace {

// The first line the command prints.
std::string FirstLine(const std::string& command) {
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen((command + " 2>&1").c_str(), "r"),
                                                     ::pclose);
    std::array<char, 512> line{};
    if (!pipe || !std::fgets(line.data(), line.size(), pipe.get())) return "";
    std::string text = line.data();
    if (text.ends_with('\n')) text.pop_back();
    return text;
}

bool Succeeds(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace

FuseDisk::FuseDisk(Format format) {
    const bool ntfs = format == Format::Ntfs;
    const fs::path image = scratch_ / "disk.img";
    const fs::path mountPoint = scratch_ / "mounted";
    fs::create_directory(mountPoint);
    const std::string tools = ntfs ? "mkfs.ntfs ntfs-3g" : "mkfs.exfat mount.exfat-fuse losetup";
    if (::geteuid() != 0 || ::access("/dev/fuse", R_OK | W_OK) != 0 ||
        !Succeeds("command -v " + tools)) {
        why_ = "needs root, /dev/fuse and " + tools;
        return;
    }
    if (!Succeeds("truncate -s 32M " + image.string()) ||
        !Succeeds((ntfs ? "mkfs.ntfs -F -q " : "mkfs.exfat ") + image.string())) {
        why_ = "cannot format " + image.string();
        return;
    }
    std::string device = image.string();
    if (!ntfs) {  // exfat-fuse mounts block devices only
        loopDevice_ = FirstLine("losetup -f --show " + image.string());
        if (!loopDevice_.starts_with("/dev/")) {
            why_ = "no loop device: " + loopDevice_;
            loopDevice_.clear();
            return;
        }
        device = loopDevice_;
    }
    mounted_ =
        Succeeds((ntfs ? "ntfs-3g " : "mount.exfat-fuse ") + device + " " + mountPoint.string());
    if (!mounted_) {
        why_ = "cannot mount " + device;
        return;
    }
    folder_ = mountPoint / "output";
    fs::create_directory(*folder_);
}

FuseDisk::~FuseDisk() {
    if (mounted_) Succeeds("umount " + (scratch_ / "mounted").string());
    if (!loopDevice_.empty()) Succeeds("losetup -d " + loopDevice_);
}

}  // namespace vat::test
