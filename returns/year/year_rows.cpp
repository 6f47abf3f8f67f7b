#include "returns/year/year_rows.h"

#include "returns/record/run_record.h"
#include "returns/results/run_json.h"

namespace vat {

using Json = nlohmann::ordered_json;

namespace {

// "all valid", "1 file failed", "2 files failed"; every file written is checked.
std::string SchemaCheckText(const Json& accounts) {
    int checked = 0, failed = 0;
    for (const Json& account : accounts) {
        const Json valid = account.value("valid", Json());
        if (!valid.is_boolean()) continue;
        ++checked;
        if (!valid.get<bool>()) ++failed;
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

YearRow RecordedRow(const std::filesystem::path& monthFolder, const FormState& form) {
    const std::optional<RunRecord> record = OwnRunRecord(monthFolder, form);
    if (!record) return {};
    return {.generated = true,
            .figures = record->figures,
            .accounts = record->accounts,
            .schemaCheck = SchemaCheckText(record->accounts)};
}

YearRow RunRow(RunOutcome outcome, const FormState& form) {
    if (outcome != RunOutcome::Completed)
        return {.schemaCheck = UnfinishedText(outcome, form.Messages()),
                .note = Lines(form.Messages())};
    const Json accounts = AccountsJson(form.FileAccounts);
    return {.generated = true,
            .figures = FiguresJson(form.Figures()),
            .accounts = accounts,
            .schemaCheck = SchemaCheckText(accounts),
            .note = Lines(form.Messages())};
}

void MarkBooks(YearRow& row, const MonthBooksCheck& check) {
    const std::optional<BooksComparison>& comparison = check.check.comparison;
    row.booksChanged = comparison && !comparison->Unchanged();
    if (!comparison)
        row.books = "check " + UnfinishedText(check.check.outcome, check.messages);
    else if (row.booksChanged)
        row.books = "changed since " + WrittenOnDay(comparison->recorded);
    else
        row.books = "unchanged";
    row.note = comparison ? check.Warning() : Lines(check.messages);
}

void AddRow(YearTotals& totals, const YearRow& row) {
    if (row.generated) totals.Add(row.figures, row.accounts);
}

}  // namespace vat
