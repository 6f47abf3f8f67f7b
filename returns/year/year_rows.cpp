#include "returns/year/year_rows.h"

#include "returns/record/run_record.h"

namespace vat {

namespace {

// "all valid", "1 file failed", "2 files failed"; every file written is checked.
std::string SchemaCheckText(const std::vector<FileAccount>& accounts) {
    int checked = 0, failed = 0;
    for (const FileAccount& account : accounts) {
        if (!account.valid) continue;
        ++checked;
        if (!*account.valid) ++failed;
    }
    if (checked == 0) return "no files written";
    if (failed == 0) return "all valid";
    return std::to_string(failed) + (failed == 1 ? " file failed" : " files failed");
}

std::string OutcomeWord(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::Refused:
            return "refused";
        case RunOutcome::Cancelled:
            return "cancelled";
        case RunOutcome::Completed:
            return "completed";
        case RunOutcome::NoMonth:
        case RunOutcome::NoDataFile:
        case RunOutcome::Failed:
            break;
    }
    return "failed";
}

// "failed: <its first message>": the first message says why, the later ones what followed.
std::string UnfinishedText(RunOutcome outcome, const std::vector<UserMessage>& messages) {
    const std::string word = OutcomeWord(outcome);
    return messages.empty() || outcome == RunOutcome::Cancelled
               ? word
               : word + ": " + messages.front().text;
}

std::string Lines(const std::vector<UserMessage>& messages) {
    std::string lines;
    for (const UserMessage& message : messages) lines += (lines.empty() ? "" : "\n") + message.text;
    return lines;
}

}  // namespace

YearRow RecordedRow(const std::filesystem::path& monthFolder, const SelectedBooks& books) {
    const std::optional<RunRecord> record = OwnRunRecord(monthFolder, books);
    if (!record) return {};
    return {.generated = true,
            .figures = record->figures,
            .accounts = record->accounts,
            .schemaCheck = SchemaCheckText(record->accounts)};
}

YearRow RunRow(const RunResult& result) {
    if (!result.Completed())
        return {.schemaCheck = UnfinishedText(result.outcome, result.messages),
                .note = Lines(result.messages)};
    return {.generated = true,
            .figures = ShownFigures(result.figures),
            .accounts = result.accounts,
            .schemaCheck = SchemaCheckText(result.accounts),
            .note = Lines(result.messages)};
}

void MarkBooks(YearRow& row, const BooksCheck& check) {
    const std::optional<BooksComparison>& comparison = check.comparison;
    row.booksChanged = comparison && !comparison->Unchanged();
    if (!comparison)
        row.books = "check " + UnfinishedText(check.outcome, check.messages);
    else if (row.booksChanged)
        row.books = "changed since " + WrittenOnDay(comparison->recorded);
    else
        row.books = "unchanged";
    row.note = comparison ? WarningOf(check) : Lines(check.messages);
}

void AddRow(YearTotals& totals, const YearRow& row) {
    if (row.generated) totals.Add(row.figures, row.accounts);
}

}  // namespace vat
