#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace vat {

// A folder of copies kept for good: its files are brought into a hidden folder of its own beside
// where it will lie, each made read-only and saved to the disk, then the folder, read-only too,
// takes its name in one rename that never replaces anything. A kill at any moment leaves either
// no folder under that name or the whole one; what it leaves beside it is hidden and removed by
// RemoveUnkeptFolders.
class KeptFolderWriter {
public:
    // Creates the hidden folder in parent, which must exist. Throws DiskError.
    explicit KeptFolderWriter(const std::filesystem::path& parent);
    KeptFolderWriter(const KeptFolderWriter&) = delete;
    KeptFolderWriter& operator=(const KeptFolderWriter&) = delete;
    // Removes the hidden folder and what it holds, unless Keep named it.
    ~KeptFolderWriter();

    // Copies a regular file (a link is never followed, a FIFO never waited on) in under its own
    // name and returns the SHA-256 of the bytes copied, which are the copy's whatever the source
    // does meanwhile. Throws DiskError.
    std::string CopyIn(const std::filesystem::path& source);
    // A new file of these bytes. Throws DiskError.
    void Write(const std::string& name, std::string_view bytes);

    // Makes the folder read-only, saves it to the disk and renames it to the first of
    // nameOf(1), nameOf(2)... that nothing in parent has; returns its path. Throws DiskError,
    // keeping nothing.
    std::filesystem::path Keep(const std::function<std::string(int)>& nameOf);

private:
    std::filesystem::path parent_;
    std::filesystem::path folder_;
    bool kept_ = false;
};

// Removes what writers that died left in parent: hidden folders never kept.
void RemoveUnkeptFolders(const std::filesystem::path& parent);

// Creates the folder and those above it that are missing, each saved into its parent's
// entries. Throws DiskError.
void CreateFoldersDurably(const std::filesystem::path& folder);

}  // namespace vat
