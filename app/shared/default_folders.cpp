#include "app/shared/default_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace fs = std::filesystem;

namespace {

// The folder named after the program in the user's data folder, by the XDG rules (a relative
// $XDG_DATA_HOME is ignored). Without a home there is nowhere better than beside the program.
fs::path UserDataFolder(const ProgramSurroundings& around) {
    const fs::path xdg(around.xdgDataHome);
    if (xdg.is_absolute()) return xdg / "vat-efile";
    if (!around.home.empty()) return fs::path(around.home) / ".local/share/vat-efile";
    return around.programFolder;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string HomeFolder() {
    std::string home = Environment("HOME");
    if (home.empty())
        if (const passwd* user = getpwuid(getuid())) home = user->pw_dir;
    return home;
}

}  // namespace

vat::ReturnFolders DefaultFolders(const ProgramSurroundings& around) {
    const fs::path schemas =
        around.schemasBesideProgram
            ? around.programFolder / "XSD"
            : (around.programFolder / VAT_SCHEMAS_FROM_PROGRAM).lexically_normal();
    const bool besideProgram = around.schemasBesideProgram && around.programFolderWritable;
    return {besideProgram ? around.programFolder : UserDataFolder(around), schemas};
}

ProgramSurroundings ThisProgramsSurroundings() {
    ProgramSurroundings around;
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    around.programFolder = error ? fs::current_path() : self.parent_path();
    around.schemasBesideProgram = fs::is_directory(around.programFolder / "XSD", error);
    around.programFolderWritable = access(around.programFolder.c_str(), W_OK) == 0;
    around.xdgDataHome = Environment("XDG_DATA_HOME");
    around.home = HomeFolder();
    return around;
}
