#pragma once

#include <filesystem>
#include <utility>

namespace vat {

// How the month folders lie in the output folder.
enum class MonthFolderLayout {
    // <output folder>/<data file>/<financial year>/<MM>: each company's year in a folder of its
    // own, so that one company's month never meets another's.
    CompanyYear,
    // <output folder>/<MM>: one folder a month for every company; a run of other books asks
    // before it replaces the files there.
    Flat,
};

// Where a run writes and what it checks against: the month folders go into the output folder,
// laid out as layout says, the schemas (eval_pur.xsd and the others) are read from the schema
// folder.
struct ReturnFolders {
    std::filesystem::path output;
    std::filesystem::path schemas;
    MonthFolderLayout layout = MonthFolderLayout::CompanyYear;

    ReturnFolders(std::filesystem::path outputFolder, std::filesystem::path schemaFolder,
                  MonthFolderLayout monthLayout = MonthFolderLayout::CompanyYear)
        : output(std::move(outputFolder)), schemas(std::move(schemaFolder)), layout(monthLayout) {}

    // A self-contained program folder, month folders in it and schemas in its XSD folder. Not
    // explicit: a program folder stands for its layout wherever a run takes folders.
    ReturnFolders(const std::filesystem::path& programFolder)
        : ReturnFolders(programFolder, programFolder / "XSD") {}
};

}  // namespace vat
