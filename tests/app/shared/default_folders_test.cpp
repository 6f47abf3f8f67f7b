// Where the front ends write and read when the user named no folders, decided without touching
// the file system.
#include "app/shared/default_folders.h"

#include <gtest/gtest.h>

namespace {

struct FoldersCase {
    const char* name;
    ProgramSurroundings around;
    const char* output;
    const char* schemas;
};

void PrintTo(const FoldersCase& folders, std::ostream* out) { *out << folders.name; }

// A build and a copied program folder keep their files beside the program where they may; an
// installed program reads its schemas from the installation and writes into the data folder,
// $XDG_DATA_HOME when it is absolute, else ~/.local/share.
const std::vector<FoldersCase> kCases = {
    {"ABuild",
     {"/src/build/bin", true, true, "/home/a/.data", "/home/a"},
     "/src/build/bin",
     "/src/build/bin/XSD"},
    {"AReadOnlyProgramFolder",
     {"/opt/vat", true, false, "/home/a/.data", "/home/a"},
     "/home/a/.data/vat-efile",
     "/opt/vat/XSD"},
    {"AnInstalledProgram",
     {"/usr/bin", false, false, "", "/home/a"},
     "/home/a/.local/share/vat-efile",
     "/usr/share/vat-efile/XSD"},
    {"AWritableInstallation",
     {"/tmp/prefix/bin", false, true, "/tmp/data", "/root"},
     "/tmp/data/vat-efile",
     "/tmp/prefix/share/vat-efile/XSD"},
    {"ARelativeXdgDataHome",
     {"/usr/bin", false, false, "data", "/home/a"},
     "/home/a/.local/share/vat-efile",
     "/usr/share/vat-efile/XSD"},
    {"NoHome",
     {"/usr/local/bin", false, false, "", ""},
     "/usr/local/bin",
     "/usr/local/share/vat-efile/XSD"},
};

class Folders : public testing::TestWithParam<FoldersCase> {};

TEST_P(Folders, Of) {
    const vat::ReturnFolders folders = DefaultFolders(GetParam().around);
    EXPECT_EQ(folders.output, GetParam().output);
    EXPECT_EQ(folders.schemas, GetParam().schemas);
}

INSTANTIATE_TEST_SUITE_P(Default, Folders, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
