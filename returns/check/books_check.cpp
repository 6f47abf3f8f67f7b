#include "returns/check/books_check.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string_view>
#include <tuple>
#include <utility>

#include "disk/disk_error.h"
#include "disk/local_time.h"
#include "disk/month_lock.h"
#include "disk/month_staging.h"
#include "disk/regular_file.h"
#include "disk/sha256.h"
#include "disk/throwaway_folder.h"
#include "returns/results/number_forms.h"
#include "returns/results/summary_figures.h"
#include "returns/rules/return_period.h"
#include "returns/run/month_folder.h"

namespace vat {

namespace fs = std::filesystem;

namespace {

// The figures a person reads whose value the books would now give otherwise, named as in a
// sentence.
std::vector<FigureChange> FigureChanges(const SummaryFigures& before, const SummaryFigures& after) {
    std::vector<FigureChange> changes;
    const auto vatLast = [](const FigureDeclaration& declared) {
        return declared.figure == Figure::VatPayable;
    };
    // The VAT payable last: it follows from the others.
    std::vector<FigureDeclaration> figures(FigureTable().begin(), FigureTable().end());
    std::stable_partition(figures.begin(), figures.end(), std::not_fn(vatLast));
    for (const FigureDeclaration& declared : figures) {
        const std::int64_t was = ValueOf(before, declared.figure).value_or(0);
        const std::int64_t is = ValueOf(after, declared.figure).value_or(0);
        if (was == is) continue;
        const double scale = declared.isCount ? 1 : 100;
        changes.push_back({std::string(declared.sentence), static_cast<double>(was) / scale,
                           static_cast<double>(is) / scale, declared.isCount});
    }
    return changes;
}

// What of each figure's reconciliation the books would now give otherwise: its books value,
// its remainder and its items.
std::vector<std::string> ReconciliationChanges(const std::optional<Reconciliation>& before,
                                               const std::optional<Reconciliation>& after) {
    std::vector<std::string> changes;
    if (!before || !after) return changes;
    for (int at = 0; at < kReconciledFigureCount; ++at) {
        const FigureReconciliation& was = before->figures[at];
        const FigureReconciliation& is = after->figures[at];
        const std::string name = "reconciliation of " +
                                 std::string(ReconciledName(static_cast<ReconciledFigure>(at))) +
                                 ": ";
        const auto change = [&](const char* what, std::int64_t from, std::int64_t to) {
            if (from != to)
                changes.push_back(name + what + " " + GroupedPaise(from) + " -> " +
                                  GroupedPaise(to));
        };
        change("books", was.books, is.books);
        change("unexplained", was.Unexplained(), is.Unexplained());
        if (was.items != is.items)
            changes.push_back(name + std::to_string(was.items.size()) + " items -> " +
                              std::to_string(is.items.size()) + " items, some changed");
    }
    return changes;
}

// A document by its file, its name and which of the same name it is (a voucher on two dates is
// read twice), pointing into its record.
struct DocumentAt {
    std::string_view file;
    std::string_view document;
    std::size_t occurrence;
    const Sha256Bytes* digest;

    auto Key() const { return std::tie(file, document, occurrence); }
    std::string Name() const { return std::string(file) + ": " + std::string(document); }
};

// A record's documents in the order of their keys, so that two records are compared in one
// walk, with no copy of a month's names.
std::vector<DocumentAt> SortedDocuments(const DocumentDigests& documents) {
    std::vector<DocumentAt> sorted;
    sorted.reserve(documents.Size());
    for (const DocumentDigest& document : documents)
        sorted.push_back({document.file, document.document, 0, &document.digest});
    // Stable: documents of the same name keep the order the run read them in.
    std::ranges::stable_sort(sorted, {},
                             [](const DocumentAt& at) { return std::tie(at.file, at.document); });
    for (std::size_t at = 1; at < sorted.size(); ++at)
        if (sorted[at].file == sorted[at - 1].file &&
            sorted[at].document == sorted[at - 1].document)
            sorted[at].occurrence = sorted[at - 1].occurrence + 1;
    return sorted;
}

void CompareDocuments(const RunRecord& recorded, const RunRecord& now,
                      BooksComparison& comparison) {
    // Books unchanged read alike, document by document: nothing to sort.
    if (recorded.documents == now.documents) return;
    const std::vector<DocumentAt> before = SortedDocuments(recorded.documents);
    auto was = before.begin();
    for (const DocumentAt& document : SortedDocuments(now.documents)) {
        for (; was != before.end() && was->Key() < document.Key(); ++was)
            comparison.removed.push_back(was->Name());
        if (was == before.end() || document.Key() < was->Key()) {
            comparison.added.push_back(document.Name());
            continue;
        }
        if (*was->digest != *document.digest) comparison.altered.push_back(document.Name());
        ++was;
    }
    for (; was != before.end(); ++was) comparison.removed.push_back(was->Name());
}

std::optional<std::string> HashOf(const std::vector<HashedFile>& files, const std::string& name) {
    for (const HashedFile& file : files)
        if (file.name == name) return file.sha256;
    return std::nullopt;
}

// The month's run record and what in its folder differs from it, read under the month's lock
// so that a run completing meanwhile is seen whole or not at all; nullopt, with the reason in
// refusal, when the month cannot be checked.
std::optional<BooksComparison> RecordedMonth(const RunSelection& selection, const RunCancel* cancel,
                                             std::vector<UserMessage>& refusal) {
    const int monthNumber = selection.monthNumber;
    const std::string& dataFile = selection.dataFile;
    const auto refuse = [&refusal](const std::string& message) {
        refusal.push_back({message, true});
        return std::nullopt;
    };
    if (!selection.books)
        return refuse("The data file " + dataFile + " could not be read; choose it again.");
    if (auto unsafe = MonthFolderRefusal(selection.folders, dataFile)) return refuse(*unsafe + ".");
    const fs::path monthsFolder = MonthsFolder(selection.folders, *selection.books);
    const std::string monthTag = ReturnPeriod{monthNumber, 0}.MonthTag();
    const fs::path monthFolder = monthsFolder / monthTag;
    const auto noRecord = "There is no run record of " + dataFile + " in " + monthFolder.string() +
                          "; generate the month's files first.";
    try {
        // A move-in that died half-way may have left no month folder: the journal says so.
        if (!fs::is_directory(monthFolder) && !MoveInInterrupted(monthsFolder, monthTag))
            return refuse(noRecord);
        const std::optional<MonthLock> lock = MonthLock::Take(
            monthsFolder, monthTag, [cancel] { return cancel && cancel->Requested(); });
        if (!lock)
            return refuse("another run is writing the files of " + monthTag + " in " +
                          monthsFolder.string());
        if (MoveInInterrupted(monthsFolder, monthTag)) return refuse(kInterruptedMoveIn);
        std::optional<RunRecord> recorded = ReadRunRecord(monthFolder);
        if (!recorded) return refuse(noRecord);
        if (recorded->month != monthNumber || !WrittenFrom(OwnerOf(*recorded), *selection.books))
            return refuse("The run record in " + monthFolder.string() + " is of month " +
                          std::to_string(recorded->month) + " of " +
                          RecordOwnerText(OwnerOf(*recorded)) +
                          "; generate the month's files again.");
        std::vector<std::string> folderChanges = FolderChanges(*recorded, monthFolder);
        return BooksComparison{.recorded = std::move(*recorded),
                               .folderChanges = std::move(folderChanges)};
    } catch (const RunRecordError& error) {
        return refuse(error.what());
    } catch (const DiskError& error) {
        return refuse(error.what());
    }
}

// The change of a figure with its sign: "+1,200.00", "-3".
std::string SignedChange(const FigureChange& figure) {
    const double change = figure.after - figure.before;
    std::string text(1, change < 0 ? '-' : '+');
    text += FigureValueText(figure, std::abs(change));
    return text;
}

}  // namespace

std::string FigureValueText(const FigureChange& figure, double value) {
    return figure.isCount ? GroupedDigits(std::to_string(std::llround(value)))
                          : GroupedRupees(value);
}

BooksComparison CompareRunRecords(RunRecord recorded, const RunRecord& now) {
    BooksComparison comparison{.recorded = std::move(recorded)};
    const RunRecord& before = comparison.recorded;
    std::vector<std::string> names;
    for (const HashedFile& file : before.files) names.push_back(file.name);
    for (const HashedFile& file : now.files)
        if (!HashOf(before.files, file.name)) names.push_back(file.name);
    for (const std::string& name : names)
        if (HashOf(before.files, name) != HashOf(now.files, name))
            comparison.filesChanged.push_back(name);
    CompareDocuments(before, now, comparison);
    comparison.figures = FigureChanges(before.figures, now.figures);
    comparison.reconciliation = ReconciliationChanges(before.reconciliation, now.reconciliation);
    return comparison;
}

std::vector<std::string> FolderChanges(const RunRecord& recorded, const fs::path& monthFolder) {
    // A record written by hand could name any file the user may read: it is refused whole,
    // before anything it names is read.
    for (const HashedFile& file : recorded.files)
        if (!IsPlainFileName(file.name))
            throw RunRecordError("The run record in " + monthFolder.string() + " names \"" +
                                 file.name + "\", which is not a file of its folder");
    std::vector<std::string> changes;
    for (const HashedFile& file : recorded.files) {
        try {
            const std::optional<RegularFile> now =
                OpenRegularFileIn(monthFolder, file.name, kLargestHashedFile);
            if (!now)
                changes.push_back(file.name + " is missing");
            else if (Sha256OfFile(*now) != file.sha256)
                changes.push_back(file.name + " was changed after it was written");
        } catch (const UnreadableFile& error) {
            changes.push_back(file.name + " cannot be read: " + error.Reason());
        }
    }
    return changes;
}

BooksCheck CheckBooks(LedgerConnection& ledger, const RunSelection& selection,
                      const RunCancel* cancel,
                      const std::function<void(const RunResult&)>& showRerun) {
    if (selection.monthNumber < 1 || selection.monthNumber > 12) return {RunOutcome::NoMonth};
    std::vector<UserMessage> refusal;
    std::optional<BooksComparison> recorded = RecordedMonth(selection, cancel, refusal);
    if (!recorded) return {RunOutcome::Refused, std::move(refusal)};

    std::optional<ThrowawayFolder> scratch;
    try {
        scratch.emplace("vat-efile-check-");
    } catch (const DiskError& error) {
        return {RunOutcome::Failed, {{error.what(), true}}};
    }
    RunSelection rerun = selection;
    rerun.folders.output = scratch->Path();
    rerun.replaceOtherBooks = true;
    // The books are compared as the recorded run read them, with its choice of parties.
    rerun.interstateParties = recorded->recorded.interstateParties;
    RunResult run = GenerationRun(ledger, rerun, cancel);
    if (!run.Completed()) return {run.outcome, std::move(run.messages)};
    if (showRerun) showRerun(run);
    run.record->reconciliation = std::move(run.reconciliation);
    BooksComparison comparison = CompareRunRecords(std::move(recorded->recorded), *run.record);
    comparison.folderChanges = std::move(recorded->folderChanges);
    return {run.outcome, std::move(run.messages), std::move(comparison)};
}

std::string WrittenOnDay(const RunRecord& record) {
    return PersonsForm(std::string_view(record.writtenAt).substr(0, 10));
}

std::string BooksChangedWarning(const BooksComparison& comparison) {
    if (comparison.Unchanged()) return {};
    const RunRecord& recorded = comparison.recorded;
    std::string warning =
        MonthTitle(recorded.month) + "'s files were written on " + WrittenOnDay(recorded);
    if (comparison.BooksChanged()) {
        const std::size_t documents = comparison.DocumentsChanged();
        warning += "; since then " + std::to_string(documents) +
                   (documents == 1 ? " voucher" : " vouchers") + " changed";
        std::string figures;
        for (const FigureChange& figure : comparison.figures)
            figures += (figures.empty() ? "" : ", ") + figure.name + " " + SignedChange(figure);
        if (!figures.empty()) warning += ": " + figures;
        for (const std::string& change : comparison.reconciliation) warning += "; " + change;
    }
    for (const std::string& change : comparison.folderChanges) warning += "; " + change;
    return warning;
}

}  // namespace vat
