#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "returns/run/return_folders.h"

namespace vat::test {

// An empty temporary folder, removed afterwards with everything in it.
class ScratchFolder {
public:
    ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& relative) const { return path_ / relative; }

private:
    std::filesystem::path path_;
};

// A temporary program folder with the shipped schemas in its XSD folder, removed afterwards.
class ProgramFolder {
public:
    ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;
    ~ProgramFolder();

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& relative) const { return path_ / relative; }

private:
    std::filesystem::path path_;
};

// The folders of runs into the program folder with the month folders straight in it
// (<folder>/04), as tests about anything but the layout take them.
ReturnFolders FlatFolders(const ProgramFolder& folder);

// The whole file as bytes; empty when it does not exist.
std::string ReadBytes(const std::filesystem::path& path);

// File name -> bytes of every entry of a folder, links read through; empty when it does not
// exist. A month folder's run record, which names the moment of its run, is left out: the
// tests of the record read it themselves.
std::map<std::string, std::string> FolderBytes(const std::filesystem::path& folder);

// The staging folders runs of the month left in the program folder.
std::vector<std::filesystem::path> StagingFolders(const ProgramFolder& folder,
                                                  const std::string& monthTag);

// A file kept under tests/data.
std::filesystem::path TestDataPath(const std::string& relative);

}  // namespace vat::test
