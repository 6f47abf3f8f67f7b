#include "returns/run/generation_run.h"

#include <malloc.h>

#include <future>
#include <memory>
#include <optional>

#include "disk/disk_error.h"
#include "disk/local_time.h"
#include "disk/month_lock.h"
#include "disk/month_staging.h"
#include "disk/sha256.h"
#include "ledger/ledger_error.h"
#include "ledger/ledger_snapshot.h"
#include "returns/declarations/return_files.h"
#include "returns/reconcile/reconcile_month.h"
#include "returns/results/summary_figures.h"
#include "returns/run/files_ahead.h"
#include "returns/run/month_folder.h"
#include "returns/run/return_file_generator.h"
#include "validation/schema_validation.h"

namespace vat {

namespace {

bool IsRequested(const RunCancel* cancel) { return cancel && cancel->Requested(); }

// How a run that did not complete ends: the month keeps its earlier files, and the result
// keeps no figures, accounts or record of the unfinished run, only its rows and messages.
RunResult& Unfinished(RunResult& result, RunOutcome outcome, UserMessage message) {
    result.outcome = outcome;
    result.figures = {};
    result.accounts.clear();
    result.record.reset();
    result.reconciliation.reset();
    result.messages.push_back(std::move(message));
    return result;
}

// Whether the month had files before the run: only then are there earlier files to speak of.
bool MonthHasFiles(const ReturnContext& context) {
    std::error_code missing;
    const std::filesystem::path folder =
        MonthFolder(context.folders, context.books, context.period.monthNumber);
    return !std::filesystem::is_empty(folder, missing) && !missing;
}

RunResult& Fail(const ReturnContext& context, std::string reason) {
    if (!reason.ends_with('.')) reason += '.';
    if (MonthHasFiles(context)) reason += " The month's earlier files were kept.";
    return Unfinished(context.result, RunOutcome::Failed, {reason, true});
}

RunResult& Cancel(const ReturnContext& context) {
    return Unfinished(
        context.result, RunOutcome::Cancelled,
        {MonthHasFiles(context) ? "The run was cancelled; the month's earlier files were kept."
                                : "The run was cancelled.",
         false});
}

RunResult& Refuse(RunResult& result, UserMessage message) {
    return Unfinished(result, RunOutcome::Refused, std::move(message));
}

RunResult& ReconcilingFailed(const ReturnContext& context, const LedgerError& error) {
    return IsRequested(context.cancel)
               ? Cancel(context)
               : Fail(context,
                      std::string("Reconciling the return with the books failed: ") + error.what());
}

// Every schema is compiled before the first file is written, so that a run cannot stop half-way
// for want of one, and kept for checking the files; the message of the first that cannot be
// used.
std::optional<std::string> UnusableSchema(ReturnContext& context) {
    for (const ReturnFileKind& kind : RunOrder()) {
        const std::filesystem::path schema = ReturnSchemaPath(kind, context);
        try {
            context.schemas.At(schema);
        } catch (const SchemaLoadError& error) {
            return "The schema " + schema.string() + " cannot be used: " + error.what();
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
// fingerprint of what was read. The figures are those the run shows when it completes; the
// reconciliation is the caller's to add.
RunRecord RecordOfRun(ReturnContext& context, BooksDigest& digest) {
    const SelectedBooks& books = context.books;
    RunRecord record;
    record.dataFile = books.dataFile;
    record.dealerTin = books.dealerTin;
    record.yearStart = books.yearStart.IsoText();
    record.yearEnd = books.yearEnd ? books.yearEnd->IsoText() : "";
    record.month = context.period.monthNumber;
    record.interstateParties = context.interstateParties;
    record.writtenAt = LocalTimeText(std::chrono::system_clock::now());
    record.programVersion = VAT_PROGRAM_VERSION;
    for (const ReturnFileKind& kind : RunOrder()) {
        const std::string name = ReturnFilePath(kind, context).filename().string();
        if (auto hash = Sha256OfFile(context.writeFolder / name))
            record.files.push_back({name, *hash});
        const std::filesystem::path schema = ReturnSchemaPath(kind, context);
        // The schema as it was compiled, whatever its file holds now.
        record.schemas.push_back({schema.filename().string(), context.schemas.At(schema).sha256});
    }
    record.figures = ShownFigures(context.result.figures);
    record.accounts = context.result.accounts;
    record.documents = digest.TakeDocuments();
    record.fingerprint = FingerprintOf(record.documents);
    return record;
}

// The record as the run knows it before the reconciliation, and its documents printed ahead
// when they could be.
struct RecordAhead {
    RunRecord record;
    std::optional<RecordDocumentsAhead> documents;
};

// The six generators write into a staging folder; their files replace the month's only when
// all six are done.
RunResult& WriteMonthFiles(ReturnContext& context) {
    RunResult& result = context.result;
    const std::string monthTag = context.period.MonthTag();
    std::unique_ptr<MonthStaging> staging;
    try {
        staging =
            std::make_unique<MonthStaging>(MonthsFolder(context.folders, context.books), monthTag);
    } catch (const DiskError& error) {
        return Fail(context, error.what());
    }
    context.writeFolder = staging->Folder();
    const ReconciledMonth month =
        ReconciledMonth::Of(context.books.yearStart.year, context.period.monthNumber);
    BooksDigest digest;
    context.digest = &digest;
    for (const ReturnFileKind& kind : RunOrder()) {
        if (IsRequested(context.cancel)) return Cancel(context);
        if (auto failure = RunGenerator(kind, context))
            return IsRequested(context.cancel) ? Cancel(context) : Fail(context, *failure);
    }
    if (IsRequested(context.cancel)) return Cancel(context);
    context.observer.FilesWritten();
    // The rows were added one by one, their room grown ahead of them: what is left over goes
    // back with the files' lists and facts, freed now, most of them allocated on the thread
    // that read them ahead. Their pages go back before the reconciliation needs as many again,
    // rather than stay with that thread's arena for the rest of the run.
    result.rows.shrink_to_fit();
    malloc_trim(0);
    CompleteRun(result.figures, context.urd);
    // The files and documents are hashed for the record, and its documents printed, on a
    // thread of its own while the server reads the month's postings for the reconciliation;
    // where no thread can be had, when the record is asked for. Until then the result's figures
    // and accounts are the record's to read.
    std::future<RecordAhead> recorded =
        std::async(std::launch::async | std::launch::deferred, [&context, &digest] {
            RecordAhead ahead{RecordOfRun(context, digest), std::nullopt};
            try {
                ahead.documents.emplace(ahead.record.documents, context.writeFolder);
            } catch (const DiskError&) {
                // They are printed with the rest of the record, where a failure is reported.
            }
            return ahead;
        });
    try {
        // Asked for once the postings are read: read per list, they come from whichever
        // connection was free first (FilesAhead), perhaps the thread's meanwhile.
        const BooksFiguresSource books = [&context, &month] {
            return context.filesAhead ? context.filesAhead->TakeBooksFigures()
                                      : ReadBooksFigures(context.ledger, month);
        };
        result.reconciliation = ReconcileMonth(context.ledger, month, books,
                                               ShownFigures(result.figures), context.listed);
    } catch (const LedgerError& error) {
        recorded.wait();  // it reads the result that a failure empties
        return ReconcilingFailed(context, error);
    }
    std::optional<RecordAhead> taken;
    try {
        taken.emplace(recorded.get());
    } catch (const DiskError& error) {
        return Fail(context, error.what());  // a written file that cannot be hashed
    }
    RecordAhead& ahead = *taken;
    RunRecord& record = ahead.record;
    const std::optional<std::string> outside = OutsideMonthMessage(month, context.listed);
    // Read by the reconciliation alone: a month's list rows go before the record is written.
    context.listed = {};

    const std::string putting = "Putting the files of " + monthTag + " in place failed: ";
    std::vector<std::string> names = MonthFileNames(context);
    names.emplace_back(kRunRecordName);
    try {
        record.reconciliation = std::move(result.reconciliation);
        WriteRunRecord(record, context.writeFolder, ahead.documents ? &*ahead.documents : nullptr);
        staging->Complete(names);
        staging->MoveIn();
        result.record = std::move(record);
        // Lent to the record while it was printed: the month's items are held once.
        result.reconciliation = std::move(result.record->reconciliation);
    } catch (const RunRecordError& error) {
        return Fail(context, putting + error.what());
    } catch (const DiskError& error) {
        return Fail(context, putting + error.what());
    }
    result.outcome = RunOutcome::Completed;
    result.monthFolder =
        MonthFolder(context.folders, context.books, context.period.monthNumber).string();
    if (outside) result.messages.push_back({*outside, false});
    result.messages.push_back({"OVER", false});
    return result;
}

// "financial year 01/04/2014 to 31/03/2015, TIN 29123456789"
std::string BooksText(const SelectedBooks& books) {
    return "financial year " + books.yearStart.DisplayText() + " to " +
           (books.yearEnd ? books.yearEnd->DisplayText() : "?") + ", TIN " + books.dealerTin;
}

}  // namespace

bool WrittenFrom(const RecordOwner& owner, const SelectedBooks& books) {
    return owner.dataFile == books.dataFile && owner.yearStart == books.yearStart.IsoText();
}

std::optional<OtherFiles> OtherBooksFiles(const std::filesystem::path& monthFolder,
                                          const SelectedBooks& books, InterstateParties parties) {
    std::optional<RecordOwner> owner;
    try {
        owner = ReadRecordOwner(monthFolder);
    } catch (const RunRecordError& error) {
        return OtherFiles{"The files in " + monthFolder.string() +
                              " have a run record that cannot be read (" + error.what() + ")",
                          dynamic_cast<const RunRecordUnreadable*>(&error) != nullptr};
    }
    if (!owner) return std::nullopt;
    if (!WrittenFrom(*owner, books))
        return OtherFiles{"The files in " + monthFolder.string() + " were made from " +
                          RecordOwnerText(*owner)};
    if (owner->interstateParties != parties)
        return OtherFiles{"The files in " + monthFolder.string() + " were made by a run of " +
                          owner->dataFile + " whose interstate files list " +
                          std::string(InterstatePartiesWords(owner->interstateParties)) +
                          "; written " + PersonsForm(owner->writtenAt)};
    return std::nullopt;
}

RunResult GenerationRun(LedgerConnection& ledger, const RunSelection& selection,
                        const RunCancel* cancel) {
    RunObserver silent;
    return GenerationRun(ledger, selection, silent, cancel);
}

RunResult GenerationRun(LedgerConnection& ledger, const RunSelection& selection,
                        RunObserver& observer, const RunCancel* cancel) {
    RunResult result{.books = selection.books,
                     .monthNumber = selection.monthNumber,
                     .interstateParties = selection.interstateParties};
    if (selection.monthNumber < 1 || selection.monthNumber > 12) {
        result.outcome = RunOutcome::NoMonth;
        return result;
    }
    if (selection.dataFile.empty()) {
        result.outcome = RunOutcome::NoDataFile;
        return result;
    }
    const std::string& dataFile = selection.dataFile;
    if (!selection.books || selection.books->dataFile != dataFile)
        return Refuse(result, {"The data file " + dataFile +
                                   " could not be read; choose a data file that opens without "
                                   "error.",
                               true});
    if (!selection.books->TinValid())
        return Refuse(result, {"INCORRECT TIN CAN NOT PROCEED", false});
    if (auto refusal = MonthFolderRefusal(selection.folders, dataFile))
        return Refuse(result, {*refusal + ".", true});

    ReturnContext context{.ledger = ledger,
                          .books = *result.books,
                          .period = {selection.monthNumber, result.books->yearStart.year},
                          .folders = selection.folders,
                          .result = result,
                          .observer = observer,
                          .reading = selection.reading,
                          .interstateParties = selection.interstateParties,
                          .cancel = cancel};
    if (auto failure = UnusableSchema(context)) return Refuse(result, {*failure, true});

    // Held until the run ends, after its staging folder is gone.
    const std::filesystem::path monthsFolder = MonthsFolder(selection.folders, *selection.books);
    const std::string monthTag = context.period.MonthTag();
    std::optional<MonthLock> lock;
    try {
        // A company's first run of a year makes its folder; what fails shows as the lock's.
        std::error_code ignored;
        std::filesystem::create_directories(monthsFolder, ignored);
        lock = MonthLock::Take(monthsFolder, monthTag, [cancel] { return IsRequested(cancel); });
    } catch (const DiskError& error) {
        return Fail(context, error.what());
    }
    if (IsRequested(cancel)) return Cancel(context);
    if (!lock)
        return Refuse(result, {"another run is writing the files of " + monthTag + " in " +
                                   monthsFolder.string(),
                               true});

    // The books are read at one instant, settings row included: books restored or renamed
    // since the data file was chosen give this run their own TIN and year, never a mix.
    std::optional<LedgerSnapshot> snapshot;
    try {
        ConnectLedger(ledger, dataFile, true);
        snapshot.emplace(ledger);
        DataFileChoice now = ReadSelectedBooks(ledger, dataFile);
        if (!now.books) {
            for (UserMessage& message : now.messages) result.messages.push_back(message);
            return Fail(context, "The data file " + dataFile + " can no longer be read");
        }
        if (!(*now.books == *selection.books)) {
            result.messages.push_back(
                {"The books of " + dataFile + " changed since the data file was chosen (" +
                     BooksText(*selection.books) + "); the run reads them as they are now (" +
                     BooksText(*now.books) + ").",
                 false});
            // The lock is of the month folder the books had when chosen.
            if (MonthsFolder(selection.folders, *now.books) != monthsFolder)
                return Refuse(result, {"The financial year of " + dataFile +
                                           " changed since the data file was chosen; choose it "
                                           "again.",
                                       true});
            result.books = std::move(now.books);
            if (!result.books->TinValid())
                return Refuse(result, {"INCORRECT TIN CAN NOT PROCEED", false});
            context.period = {selection.monthNumber, result.books->yearStart.year};
        }
    } catch (const LedgerError& error) {
        return Fail(context, std::string("Cannot reopen the data file: ") + error.what());
    }

    if (auto refusal =
            OtherBooksFiles(monthsFolder / monthTag, *result.books, selection.interstateParties);
        refusal && !selection.replaceOtherBooks)
        return Refuse(result, {refusal->text + "; they were kept.", true});

    // Read per list, each file's statements run on a second connection while the run walks the
    // file before; read per voucher, the walk itself asks the server.
    std::optional<FilesAhead> filesAhead;
    if (selection.reading == FactReading::PerList) {
        filesAhead.emplace(*snapshot, selection.monthNumber,
                           ReconciledMonth::Of(result.books->yearStart.year, selection.monthNumber),
                           observer);
        context.filesAhead = &*filesAhead;
    }
    // Moved, not copied: a completed result holds every document's digest and row.
    return std::move(WriteMonthFiles(context));
}

}  // namespace vat
