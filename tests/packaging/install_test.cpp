// The installed program: cmake --install into a prefix of its own, then the installed
// command-line tool run on the test server as a user would run it; and the Debian package.
#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "support/program_folder.h"
#include "support/program_run.h"

namespace vat {
namespace {

namespace fs = std::filesystem;
using test::Describe;
using test::ProgramFolder;
using test::ProgramResult;
using test::RunProgram;

const char* const kSchemas[] = {"eval_pur.xsd", "eval_dn.xsd",     "eval_sal.xsd",
                                "eval_cn.xsd",  "eval_sal_is.xsd", "eval_pur_is.xsd"};

// A scratch folder with the build installed under its "prefix".
class Installed : public testing::Test {
protected:
    void SetUp() override {
        const ProgramResult install =
            RunProgram(VAT_CMAKE_COMMAND,
                       {"--install", VAT_BUILD_DIR, "--prefix", prefix().string()}, scratch_);
        ASSERT_EQ(install.status, 0) << Describe(install);
    }

    fs::path prefix() const { return scratch_ / "prefix"; }

    // The installed tool with a home and a data folder of the scratch folder's own.
    ProgramResult RunInstalledCli(const std::vector<std::string>& arguments,
                                  const std::string& xdgDataHome) const {
        const std::string environment = "HOME=" + test::ShellQuoted((scratch_ / "home").string()) +
                                        " XDG_DATA_HOME=" + test::ShellQuoted(xdgDataHome);
        return RunProgram((prefix() / "bin/vat-efile-cli").string(), arguments, scratch_,
                          environment);
    }

    ProgramFolder scratch_;
};

TEST_F(Installed, TreeHoldsProgramsSchemasReadmeMenuEntryAndIcon) {
    for (const char* program : {"bin/vat-efile", "bin/vat-efile-cli"})
        EXPECT_NE(fs::status(prefix() / program).permissions() & fs::perms::owner_exec,
                  fs::perms::none)
            << program;
    for (const char* schema : kSchemas)
        EXPECT_TRUE(fs::exists(prefix() / "share/vat-efile/XSD" / schema)) << schema;
    EXPECT_TRUE(fs::exists(prefix() / "share/doc/vat-efile/README.md"));
    EXPECT_TRUE(fs::exists(prefix() / "share/doc/vat-efile/docs/window.png"));
    EXPECT_TRUE(fs::exists(prefix() / "share/icons/hicolor/scalable/apps/vat-efile.svg"));
    const std::string entry = test::ReadBytes(prefix() / "share/applications/vat-efile.desktop");
    for (const char* line : {"[Desktop Entry]\n", "\nType=Application\n", "\nExec=vat-efile\n",
                             "\nIcon=vat-efile\n", "\nTerminal=false\n"})
        EXPECT_NE(entry.find(line), std::string::npos) << line << " missing from\n" << entry;
}

struct DataFolderCase {
    const char* name;
    const char* xdgDataHome;  // relative to the scratch folder; empty for unset
    const char* output;       // relative to the scratch folder
};

void PrintTo(const DataFolderCase& folders, std::ostream* out) { *out << folders.name; }

class InstalledCli : public Installed, public testing::WithParamInterface<DataFolderCase> {};

// The installed tool reads the installed schemas and writes into the user's data folder.
TEST_P(InstalledCli, WritesIntoTheDataFolder) {
    const std::string xdg =
        *GetParam().xdgDataHome ? (scratch_ / GetParam().xdgDataHome).string() : "";
    const fs::path output = scratch_ / GetParam().output;

    const ProgramResult help = RunInstalledCli({"--help"}, xdg);
    ASSERT_EQ(help.status, 0) << Describe(help);
    for (const fs::path& folder : {output, prefix() / "share/vat-efile/XSD"})
        EXPECT_NE(help.out.find("\n                     " + folder.string() + "\n"),
                  std::string::npos)
            << folder << " missing from\n"
            << help.out;

    const ProgramResult run =
        RunInstalledCli({"--data-file", "t_run_figures", "--month", "April", "--json"}, xdg);
    ASSERT_EQ(run.status, 0) << Describe(run);
    const auto report = nlohmann::json::parse(run.out);
    EXPECT_EQ(report["messages"], nlohmann::json::array({"OVER"}));
    EXPECT_EQ(report["errors"].size(), 0u) << run.out;
    ASSERT_FALSE(report["files"].empty());
    for (const std::string file : report["files"]) {
        EXPECT_EQ(fs::path(file).parent_path(), output / "t_run_figures/2014-15/04");
        EXPECT_TRUE(fs::exists(file)) << file;
    }
}

INSTANTIATE_TEST_SUITE_P(Installed, InstalledCli,
                         testing::Values(DataFolderCase{"XdgDataHome", "data", "data/vat-efile"},
                                         DataFolderCase{"Home", "", "home/.local/share/vat-efile"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Without an installed schema the run fails on it, unless --xsd names other schemas.
TEST_F(Installed, ChecksAgainstTheInstalledSchemasUnlessToldOtherwise) {
    fs::remove(prefix() / "share/vat-efile/XSD/eval_pur.xsd");
    const std::vector<std::string> run = {"--data-file", "t_run_figures", "--month", "4", "--json"};
    const std::string xdg = (scratch_ / "data").string();

    const ProgramResult without = RunInstalledCli(run, xdg);
    EXPECT_EQ(without.status, 2) << Describe(without);
    EXPECT_TRUE(nlohmann::json::parse(without.out)["messages"][0].get<std::string>().starts_with(
        "The schema " + (prefix() / "share/vat-efile/XSD/eval_pur.xsd").string() +
        " cannot be used"))
        << without.out;

    std::vector<std::string> withXsd = run;
    withXsd.insert(withXsd.end(), {"--xsd", (scratch_ / "XSD").string()});
    const ProgramResult with = RunInstalledCli(withXsd, xdg);
    EXPECT_EQ(with.status, 0) << Describe(with);
}

// The package installs under /usr and depends on the packages of what the programs link and on
// the ODBC driver manager and the PostgreSQL driver, with what Debian asks of a package.
TEST_F(Installed, DebianPackage) {
    const fs::path packages = scratch_ / "packages";
    const ProgramResult cpack = RunProgram(
        VAT_CPACK_COMMAND,
        {"--config", std::string(VAT_BUILD_DIR) + "/CPackConfig.cmake", "-B", packages.string()},
        scratch_);
    ASSERT_EQ(cpack.status, 0) << Describe(cpack);
    fs::path deb;
    for (const auto& entry : fs::directory_iterator(packages))
        if (entry.path().extension() == ".deb") deb = entry.path();
    ASSERT_FALSE(deb.empty()) << Describe(cpack);

    const ProgramResult depends =
        RunProgram("dpkg-deb", {"--field", deb.string(), "Depends"}, scratch_);
    for (const char* package : {"libqt6widgets6", "libqt6printsupport6", "libxml2", "libodbc2",
                                "unixodbc", "odbc-postgresql"})
        EXPECT_NE(depends.out.find(package), std::string::npos) << package << " missing from\n"
                                                                << depends.out;

    const ProgramResult contents = RunProgram("dpkg-deb", {"--contents", deb.string()}, scratch_);
    for (const char* file :
         {"./usr/bin/vat-efile\n", "./usr/bin/vat-efile-cli\n",
          "./usr/share/vat-efile/XSD/eval_pur.xsd\n", "./usr/share/doc/vat-efile/README.md\n",
          "./usr/share/applications/vat-efile.desktop\n",
          "./usr/share/icons/hicolor/scalable/apps/vat-efile.svg\n",
          "./usr/share/man/man1/vat-efile.1.gz\n", "./usr/share/man/man1/vat-efile-cli.1.gz\n",
          "./usr/share/doc/vat-efile/copyright\n", "./usr/share/doc/vat-efile/changelog.gz\n"})
        EXPECT_NE(contents.out.find(file), std::string::npos) << file << " missing from\n"
                                                              << contents.out;

    // Debian's own checks of a package: not one error or warning.
    const ProgramResult lintian =
        RunProgram("lintian", {"--fail-on", "error,warning", deb.string()}, scratch_);
    EXPECT_EQ(lintian.status, 0) << Describe(lintian);
}

}  // namespace
}  // namespace vat
