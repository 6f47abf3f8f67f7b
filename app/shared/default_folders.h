#pragma once

#include <filesystem>
#include <string>

#include "returns/run/return_folders.h"

// What decides where a front end writes its month folders and reads its schemas from.
struct ProgramSurroundings {
    std::filesystem::path programFolder;  // the folder holding the running program
    bool schemasBesideProgram = false;    // programFolder/XSD exists: a build or a copied folder
    bool programFolderWritable = false;
    std::string xdgDataHome;  // $XDG_DATA_HOME, empty when unset
    std::string home;         // the user's home folder, empty when unknown
};

// The folders a run uses unless the user chose others. Schemas: the XSD folder beside the
// program, or else the one installed with it (share/vat-efile/XSD beside its bin folder). Month
// folders: beside the program when it has its schemas beside it (a build or a copied program
// folder) and the user may write there, as always; otherwise (an installed program) in the
// user's data folder, $XDG_DATA_HOME/vat-efile or ~/.local/share/vat-efile.
vat::ReturnFolders DefaultFolders(const ProgramSurroundings& around);

// The surroundings of the running program.
ProgramSurroundings ThisProgramsSurroundings();
