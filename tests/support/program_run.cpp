#include "support/program_run.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vat::test {

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const ProgramFolder& scratch, const std::string& environment) {
    const std::filesystem::path errors = scratch / "stderr.txt";
    std::string command = environment + " " + ShellQuoted(program);
    for (const std::string& argument : arguments) (command += ' ') += ShellQuoted(argument);
    (command += " 2>") += ShellQuoted(errors.string());

    ProgramResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.out.append(buffer, got);
    const int wait = pclose(pipe);
    result.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    result.err = ReadBytes(errors);
    return result;
}

std::string Describe(const ProgramResult& result) {
    return "exit " + std::to_string(result.status) + "\nstdout:\n" + result.out + "\nstderr:\n" +
           result.err;
}

std::string OdbcIniVariant(const ProgramFolder& folder,
                           const std::function<std::string(const std::string& line)>& edit) {
    const char* odbcIni = std::getenv("ODBCINI");
    if (!odbcIni) return {};
    std::ifstream in(odbcIni);
    std::ostringstream out;
    for (std::string line; std::getline(in, line);) out << edit(line) << '\n';
    const std::filesystem::path copy = folder / "odbc-variant.ini";
    std::ofstream(copy) << out.str();
    return "ODBCINI=" + ShellQuoted(copy.string());
}

}  // namespace vat::test
