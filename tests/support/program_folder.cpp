#include "support/program_folder.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace vat::test {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "vat-efile-scratch-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("Cannot make a temporary folder in " +
                                 fs::temp_directory_path().string());
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

ProgramFolder::ProgramFolder() {
    std::random_device seed;
    path_ = fs::temp_directory_path() / ("vat-efile-test-" + std::to_string(seed()));
    fs::create_directories(path_ / "XSD");
    for (const auto& schema : fs::directory_iterator(VAT_SCHEMA_DIR))
        fs::copy_file(schema.path(), path_ / "XSD" / schema.path().filename());
}

ProgramFolder::~ProgramFolder() {
    std::error_code ignored;
    // A test may leave read-only files or folders behind.
    for (const auto& entry : fs::recursive_directory_iterator(path_, ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

ReturnFolders FlatFolders(const ProgramFolder& folder) {
    return {folder.Path(), folder / "XSD", MonthFolderLayout::Flat};
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::map<std::string, std::string> FolderBytes(const fs::path& folder) {
    std::map<std::string, std::string> contents;
    if (!fs::exists(folder)) return contents;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename() != "run.json")
            contents[entry.path().filename().string()] = ReadBytes(entry.path());
    return contents;
}

std::vector<fs::path> StagingFolders(const ProgramFolder& folder, const std::string& monthTag) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder.Path()))
        if (entry.path().filename().string().starts_with("." + monthTag + ".staging-"))
            found.push_back(entry.path());
    return found;
}

fs::path TestDataPath(const std::string& relative) {
    return fs::path(VAT_TEST_DATA_DIR) / relative;
}

}  // namespace vat::test
