// vat-efile-cli: the Generate Files run without a window, for scheduled and scripted use.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <nlohmann/json.hpp>

#include "app/cli/cli_options.h"
#include "app/cli/cli_report.h"
#include "app/export/error_list_export.h"
#include "returns/data_file_selection.h"
#include "returns/generation_run.h"
#include "returns/server_catalogue.h"

namespace {

enum ExitStatus { kCompleted = 0, kFailed = 1, kRefused = 2 };

// Shows progress on a terminal, at most a few times a second.
class TerminalView : public vat::FormView {
public:
    void Progress(const std::string& file, long long done, long long total) override {
        if (!isatty(STDERR_FILENO)) return;
        if (done != total && done % 200 != 0) return;
        std::cerr << "\r" << file << ": " << done;
        if (total >= 0) std::cerr << " of " << total;
        std::cerr << " vouchers" << (done == total ? "\n" : "") << std::flush;
    }
};

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : self.parent_path();
}

int Report(const vat::FormState& form, const CliOptions& options, int status) {
    if (options.json)
        PrintJsonReport(form, std::cout);
    else
        PrintHumanReport(form, std::cout);
    return status;
}

// Writes the error list where the command line asked; a file that could not be written is
// a message of the run, and fails it.
bool ExportErrors(vat::FormState& form, const CliOptions& options) {
    const ErrorListReport report = MakeErrorListReport(
        form, DescribeRun(form, options.month, std::chrono::system_clock::now()));
    bool exported = true;
    const auto write = [&](const std::filesystem::path& file, auto writer) {
        if (file.empty()) return;
        try {
            writer(report, file);
        } catch (const ExportError& error) {
            std::cerr << "vat-efile-cli: " << error.what() << '\n';
            form.ShowMessage({error.what(), true});
            exported = false;
        }
    };
    write(options.errorsCsv, WriteErrorListCsv);
    write(options.errorsXlsx, WriteErrorListXlsx);
    return exported;
}

CliOptions JsonOnly() {
    CliOptions options;
    options.json = true;
    return options;
}

// A refusal before any run: with --json the reason is the one message of the object.
int Refuse(const CliOptions& options, const std::string& reason) {
    vat::FormState form;
    form.ShowMessage({reason, true});
    return Report(form, options, kRefused);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string error;
    auto options = ParseCliOptions(arguments, error);
    if (!options) {
        std::cerr << "vat-efile-cli: " << error << "\n\n" << kCliUsage;
        // A script that asked for JSON still gets one object saying why.
        if (std::find(arguments.begin(), arguments.end(), "--json") != arguments.end())
            return Refuse(JsonOnly(), "vat-efile-cli: " + error);
        return kRefused;
    }
    if (options->help) {
        std::cout << kCliUsage;
        return kCompleted;
    }
    if (options->programFolder.empty()) options->programFolder = ExecutableFolder();

    vat::FormState form;
    TerminalView view;
    form.SetView(&view);
    vat::LedgerConnection ledger(options->connection);
    const vat::ServerCatalogue server = vat::OpenServerCatalogue(ledger, form);
    if (!server.connected) {
        std::cerr << "vat-efile-cli: " << server.failure << '\n';
        return Report(form, *options, kFailed);
    }
    const std::vector<std::string>& dataFiles = server.dataFiles;
    if (options->listDataFiles) {
        if (options->json)
            std::cout << nlohmann::json{{"dataFiles", dataFiles}}.dump(2) << '\n';
        else
            for (const std::string& name : dataFiles) std::cout << name << '\n';
        return kCompleted;
    }
    if (std::find(dataFiles.begin(), dataFiles.end(), options->dataFile) == dataFiles.end()) {
        const std::string reason = "\"" + options->dataFile +
                                   "\" is not a data file of the server (see --list-data-files)";
        std::cerr << "vat-efile-cli: " << reason << '\n';
        return options->json ? Refuse(*options, reason) : kRefused;
    }

    vat::SelectDataFile(ledger, form, options->dataFile);
    if (!form.DataFileReady) return Report(form, *options, kFailed);
    switch (vat::GenerationRun(
        ledger, form, options->month, options->dataFile, options->programFolder,
        options->queryPerVoucher ? vat::FactReading::PerVoucher : vat::FactReading::PerList)) {
        case vat::RunOutcome::Completed:
            return Report(form, *options, ExportErrors(form, *options) ? kCompleted : kFailed);
        case vat::RunOutcome::Failed:
            ExportErrors(form, *options);
            return Report(form, *options, kFailed);
        default:
            return Report(form, *options, kRefused);
    }
}
