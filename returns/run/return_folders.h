#pragma once

#include <filesystem>
#include <utility>

namespace vat {

// Where a run writes and what it checks against: the month folders go into the output folder,
// the schemas (eval_pur.xsd and the others) are read from the schema folder.
struct ReturnFolders {
    std::filesystem::path output;
    std::filesystem::path schemas;

    ReturnFolders(std::filesystem::path outputFolder, std::filesystem::path schemaFolder)
        : output(std::move(outputFolder)), schemas(std::move(schemaFolder)) {}

    // A self-contained program folder, month folders in it and schemas in its XSD folder. Not
    // explicit: a program folder stands for its layout wherever a run takes folders.
    ReturnFolders(const std::filesystem::path& programFolder)
        : ReturnFolders(programFolder, programFolder / "XSD") {}
};

}  // namespace vat
