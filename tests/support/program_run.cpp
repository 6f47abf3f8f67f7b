#include "support/program_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
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
                         const ProgramFolder& scratch, const std::string& environment,
                         const std::string& outputTo) {
    const std::filesystem::path errors = scratch / "stderr.txt";
    std::string command = environment + " " + ShellQuoted(program);
    for (const std::string& argument : arguments) (command += ' ') += ShellQuoted(argument);
    (command += " 2>") += ShellQuoted(errors.string());
    (command += ' ') += outputTo;

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

BackgroundProgram::BackgroundProgram(const std::string& program,
                                     const std::vector<std::string>& arguments,
                                     const ProgramFolder& scratch, const std::string& name)
    : out_(scratch / (name + ".out")), err_(scratch / (name + ".err")) {
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, out_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, err_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &files, nullptr, argv.data(), environ) == 0) pid_ = pid;
    posix_spawn_file_actions_destroy(&files);
}

BackgroundProgram::~BackgroundProgram() {
    if (pid_ < 0 || Finished()) return;
    Signal(SIGKILL);
    Wait();
}

void BackgroundProgram::Signal(int signal) const {
    if (pid_ > 0) ::kill(pid_, signal);
}

bool BackgroundProgram::Finished() {
    int status = 0;
    if (!wait_ && pid_ > 0 && ::waitpid(pid_, &status, WNOHANG) == pid_) wait_ = status;
    return wait_.has_value() || pid_ < 0;
}

ProgramResult BackgroundProgram::Wait() {
    int status = 0;
    if (!wait_ && pid_ > 0 && ::waitpid(pid_, &status, 0) == pid_) wait_ = status;
    ProgramResult result;
    if (wait_ && WIFEXITED(*wait_)) result.status = WEXITSTATUS(*wait_);
    result.out = ReadBytes(out_);
    result.err = ReadBytes(err_);
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
