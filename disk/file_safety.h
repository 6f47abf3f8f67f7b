#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vat {

// Creates the file for writing and returns its descriptor; fails (DiskError) when
// anything has the name already, a symbolic link included, so that a link planted there can
// never make a run write to the link's target.
int CreateNewFile(const std::filesystem::path& path);

// Creates a new file beside path, named after it and unique ("<name>.<random>.part"), as
// CreateNewFile does; temporaryPath receives its name.
int CreateTemporaryFileBeside(const std::filesystem::path& path,
                              std::filesystem::path& temporaryPath);

// Opens a new file in folder, for reading and writing, that has no name: the file system frees
// it when it is closed, even by a crash.
int CreateScratchFile(const std::filesystem::path& folder);

// Creates a new folder named prefix followed by six random characters, readable by its owner
// only; nullopt, with errno set, when it cannot.
std::optional<std::filesystem::path> CreateUniqueFolder(const std::filesystem::path& prefix);

// Makes the folder's entries (files created, renamed or removed in it) survive a power cut.
void SyncFolder(const std::filesystem::path& folder);

// Throws DiskError, naming the path as what it is ("The month folder"), when it is a symbolic
// link.
void RefuseLink(const std::filesystem::path& path, const std::string& what);

// Deletes a file, read-only or not; nothing happens when there is none.
void ForceRemove(const std::filesystem::path& path);

}  // namespace vat
