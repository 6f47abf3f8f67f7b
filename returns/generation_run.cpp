#include "returns/generation_run.h"

#include <optional>

#include "ledger/ledger_error.h"
#include "returns/return_file_generator.h"
#include "returns/return_files.h"
#include "validation/schema_validation.h"

namespace vat {

namespace {

void ResetFigures(FormState& form) {
    form.UpdateFigures(ResetForRun);
    form.ClearErrorRows();
    form.Urd = UrdTotals{};
    form.FilesWritten.clear();
}

// Runs one generator; the message for the user when it could not finish.
std::optional<std::string> RunGenerator(const ReturnFileKind& kind, ReturnContext& context) {
    const std::string file = ReturnFilePath(kind, context).filename().string();
    try {
        GenerateReturnFile(kind, context);
        return std::nullopt;
    } catch (const SchemaLoadError& error) {
        return "Checking " + file + " failed: " + error.what();
    } catch (const std::exception& error) {
        return "Writing " + file + " failed: " + error.what();
    }
}

// After a failed run the month must not mix new files with an earlier run's: the files the
// remaining generators would have replaced are removed.
void RemoveOldFilesOfLaterGenerators(std::size_t failed, const ReturnContext& context) {
    for (std::size_t index = failed + 1; index < RunOrder().size(); ++index) {
        std::error_code ignored;
        std::filesystem::remove(ReturnFilePath(RunOrder()[index], context), ignored);
    }
}

}  // namespace

RunOutcome GenerationRun(LedgerConnection& ledger, FormState& form, int monthNumber,
                         const std::string& dataFile, const ReturnFolders& folders,
                         FactReading reading) {
    if (monthNumber < 1 || monthNumber > 12) return RunOutcome::NoMonth;
    if (dataFile.empty()) return RunOutcome::NoDataFile;
    if (!form.TinFlag.empty()) {
        form.ShowMessage({"INCORRECT TIN CAN NOT PROCEED", false});
        return RunOutcome::Refused;
    }
    if (!form.DataFileReady || form.SelectedDataFile != dataFile) {
        form.ShowMessage({"The data file " + dataFile +
                              " could not be read; choose a data file that opens without error.",
                          true});
        return RunOutcome::Refused;
    }

    try {
        ConnectLedger(ledger, dataFile, true);
    } catch (const LedgerError& error) {
        form.ShowMessage({std::string("Cannot reopen the data file: ") + error.what(), true});
        return RunOutcome::Failed;
    }
    ResetFigures(form);

    ReturnContext context{
        ledger, form, {monthNumber, form.YearStart.value().year}, folders, reading};
    for (std::size_t index = 0; index < RunOrder().size(); ++index) {
        if (auto failure = RunGenerator(RunOrder()[index], context)) {
            RemoveOldFilesOfLaterGenerators(index, context);
            form.ShowMessage({*failure, true});
            return RunOutcome::Failed;
        }
    }

    form.UpdateFigures([&](ReturnFigures& figures) { CompleteRun(figures, form.Urd); });
    form.Repaint();
    form.ShowMessage({"OVER", false});
    return RunOutcome::Completed;
}

}  // namespace vat
