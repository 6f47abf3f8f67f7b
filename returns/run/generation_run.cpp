#include "returns/run/generation_run.h"

#include <memory>
#include <optional>

#include "disk/disk_error.h"
#include "disk/local_time.h"
#include "disk/month_lock.h"
#include "disk/month_staging.h"
#include "disk/sha256.h"
#include "ledger/ledger_error.h"
#include "returns/declarations/return_files.h"
#include "returns/record/run_record.h"
#include "returns/results/run_json.h"
#include "returns/run/return_file_generator.h"
#include "validation/schema_validation.h"

namespace vat {

namespace {

void ResetFigures(FormState& form) {
    form.UpdateFigures(ResetForRun);
    form.ClearErrorRows();
    form.Urd = UrdTotals{};
    form.FilesWritten.clear();
}

bool IsRequested(const RunCancel* cancel) { return cancel && cancel->Requested(); }

// A run that stopped before its files were put in place: the month keeps its earlier files,
// and none of the new ones is listed as written.
RunOutcome Fail(FormState& form, std::string reason) {
    if (!reason.ends_with('.')) reason += '.';
    form.FilesWritten.clear();
    form.ShowMessage({reason + " The month's earlier files were kept.", true});
    return RunOutcome::Failed;
}

RunOutcome Cancel(FormState& form) {
    form.FilesWritten.clear();
    form.ShowMessage({"The run was cancelled; the month's earlier files were kept.", false});
    return RunOutcome::Cancelled;
}

// Every schema is loaded before the first file is written, so that a run cannot stop half-way
// for want of one; the message of the first that cannot be used.
std::optional<std::string> UnusableSchema(const ReturnContext& context) {
    for (const ReturnFileKind& kind : RunOrder()) {
        const std::string schema = ReturnSchemaPath(kind, context).string();
        try {
            CheckSchemaLoads(schema);
        } catch (const SchemaLoadError& error) {
            return "The schema " + schema + " cannot be used: " + error.what();
        }
    }
    return std::nullopt;
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

std::vector<std::string> MonthFileNames(const ReturnContext& context) {
    std::vector<std::string> names;
    for (const ReturnFileKind& kind : RunOrder())
        names.push_back(ReturnFilePath(kind, context).filename().string());
    return names;
}

// What the run leaves beside its files: whose books they were made from, their hashes and the
// fingerprint of what was read. The figures are those the run shows when it completes.
RunRecord RecordOfRun(const ReturnContext& context, BooksDigest& digest) {
    const FormState& form = context.form;
    RunRecord record;
    record.dataFile = form.SelectedDataFile;
    record.company = form.SelectedDataFile;
    record.dealerTin = form.DealerTin;
    record.yearStart = form.YearStart ? form.YearStart->IsoText() : "";
    record.yearEnd = form.YearEnd ? form.YearEnd->IsoText() : "";
    record.month = context.period.MonthNumber;
    record.writtenAt = LocalTimeText(std::chrono::system_clock::now());
    record.programVersion = VAT_PROGRAM_VERSION;
    for (const ReturnFileKind& kind : RunOrder()) {
        const std::string name = ReturnFilePath(kind, context).filename().string();
        if (auto hash = Sha256OfFile(context.writeFolder / name))
            record.files.push_back({name, *hash});
        const std::filesystem::path schema = ReturnSchemaPath(kind, context);
        record.schemas.push_back(
            {schema.filename().string(), Sha256OfFile(schema).value_or("unreadable")});
    }
    ReturnFigures shown = form.Figures();
    CompleteRun(shown, form.Urd);
    record.figures = FiguresJson(shown);
    record.accounts = AccountsJson(form.FileAccounts);
    record.documents = digest.TakeDocuments();
    record.fingerprint = FingerprintOf(record.documents);
    return record;
}

// The six generators write into a staging folder; their files replace the month's only when
// all six are done.
RunOutcome WriteMonthFiles(ReturnContext& context) {
    FormState& form = context.form;
    const std::string monthTag = context.period.MonthTag();
    std::unique_ptr<MonthStaging> staging;
    try {
        staging = std::make_unique<MonthStaging>(context.folders.output, monthTag);
    } catch (const DiskError& error) {
        return Fail(form, error.what());
    }
    context.writeFolder = staging->Folder();
    BooksDigest digest;
    context.digest = &digest;
    for (const ReturnFileKind& kind : RunOrder()) {
        if (IsRequested(context.cancel)) return Cancel(form);
        if (auto failure = RunGenerator(kind, context))
            return IsRequested(context.cancel) ? Cancel(form) : Fail(form, *failure);
    }
    if (IsRequested(context.cancel)) return Cancel(form);

    const std::string putting = "Putting the files of " + monthTag + " in place failed: ";
    std::vector<std::string> names = MonthFileNames(context);
    names.emplace_back(kRunRecordName);
    try {
        WriteRunRecord(RecordOfRun(context, digest), context.writeFolder);
        staging->Complete(names);
        staging->MoveIn();
    } catch (const DiskError& error) {
        return Fail(form, putting + error.what());
    }
    return RunOutcome::Completed;
}

}  // namespace

bool WrittenFrom(const RunRecord& record, const FormState& form) {
    return record.dataFile == form.SelectedDataFile && form.YearStart &&
           record.yearStart == form.YearStart->IsoText();
}

std::optional<std::string> OtherBooksFiles(const std::filesystem::path& monthFolder,
                                           const FormState& form) {
    std::optional<RunRecord> record;
    try {
        record = ReadRunRecord(monthFolder);
    } catch (const RunRecordError& error) {
        return "The files in " + monthFolder.string() + " have a run record that cannot be read (" +
               error.what() + ")";
    }
    if (!record || WrittenFrom(*record, form)) return std::nullopt;
    return "The files in " + monthFolder.string() + " were made from " + RecordOwnerText(*record);
}

RunOutcome GenerationRun(LedgerConnection& ledger, FormState& form, int monthNumber,
                         const std::string& dataFile, const ReturnFolders& folders,
                         FactReading reading, const RunCancel* cancel, bool replaceOtherBooks) {
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

    ReturnContext context{.ledger = ledger,
                          .form = form,
                          .period = {monthNumber, form.YearStart.value().year},
                          .folders = folders,
                          .reading = reading,
                          .cancel = cancel};
    if (auto failure = UnusableSchema(context)) {
        form.ShowMessage({*failure, true});
        return RunOutcome::Refused;
    }

    // Held until the run ends, after its staging folder is gone.
    std::optional<MonthLock> lock;
    try {
        lock = MonthLock::Take(folders.output, context.period.MonthTag(),
                               [cancel] { return IsRequested(cancel); });
    } catch (const DiskError& error) {
        return Fail(form, error.what());
    }
    if (IsRequested(cancel)) return Cancel(form);
    if (!lock) {
        form.ShowMessage({"another run is writing the files of " + context.period.MonthTag() +
                              " in " + folders.output.string(),
                          true});
        return RunOutcome::Refused;
    }

    if (auto refusal = OtherBooksFiles(folders.output / context.period.MonthTag(), form);
        refusal && !replaceOtherBooks) {
        form.ShowMessage({*refusal + "; they were kept.", true});
        return RunOutcome::Refused;
    }

    try {
        ConnectLedger(ledger, dataFile, true);
    } catch (const LedgerError& error) {
        return Fail(form, std::string("Cannot reopen the data file: ") + error.what());
    }
    ResetFigures(form);

    const RunOutcome outcome = WriteMonthFiles(context);
    if (outcome != RunOutcome::Completed) return outcome;
    form.UpdateFigures([&](ReturnFigures& figures) { CompleteRun(figures, form.Urd); });
    form.Repaint();
    form.ShowMessage({"OVER", false});
    return RunOutcome::Completed;
}

}  // namespace vat
