#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/program_folder.h"

namespace vat::test {

// What a program run as a separate process left behind.
struct ProgramResult {
    int status = -1;  // the exit status, -1 when it did not exit normally
    std::string out;
    std::string err;
};

// The text as one word for the shell.
std::string ShellQuoted(const std::string& text);

// Runs the program with the arguments; environment is prepended as NAME=value words, and the
// folder holds its standard error while it runs. Its standard output is kept, or sent where
// the shell words outputTo say (">/dev/full", ">&-" to close it).
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const ProgramFolder& scratch, const std::string& environment = "",
                         const std::string& outputTo = "");

// A program started in the background with the test's environment, its output kept in files
// of the scratch folder named after it; killed if it still runs when this goes.
class BackgroundProgram {
public:
    BackgroundProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const ProgramFolder& scratch, const std::string& name);
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;
    ~BackgroundProgram();

    void Signal(int signal) const;
    bool Finished();  // without waiting
    ProgramResult Wait();

private:
    int pid_ = -1;
    std::optional<int> wait_;  // the raw wait status, once reaped
    std::filesystem::path out_;
    std::filesystem::path err_;
};

// Exit status, standard output and standard error, for a failure message.
std::string Describe(const ProgramResult& result);

// A copy of the test data source's odbc.ini (ODBCINI) in the folder with every line passed
// through edit; returns the ODBCINI=... word that points a program at it, empty when ODBCINI
// is not set. unixODBC keeps what it read of odbc.ini for 20 seconds, so only a program started
// afterwards sees the copy: tests run it as a separate process.
std::string OdbcIniVariant(const ProgramFolder& folder,
                           const std::function<std::string(const std::string& line)>& edit);

}  // namespace vat::test
