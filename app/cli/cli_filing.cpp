#include "app/cli/cli_filing.h"

#include <chrono>
#include <iostream>
#include <nlohmann/json.hpp>

#include "app/cli/cli_books_report.h"
#include "app/cli/cli_report.h"
#include "disk/disk_error.h"
#include "returns/filing/mark_filed.h"
#include "returns/filing/revision_text.h"

namespace {

constexpr int kMarked = 0;
constexpr int kFailed = 1;
constexpr int kRefused = 2;

}  // namespace

int MarkMonthFiled(const vat::SelectedBooks& books, const vat::ReturnFolders& folders,
                   const CliOptions& options) {
    const auto now = std::chrono::system_clock::now();
    const vat::FilingMark mark{*options.markFiled, options.filedOn.value_or(vat::LocalDay(now))};
    const auto stop = [&](const std::string& reason, int status) {
        if (options.json)
            PrintJsonReasons({reason}, std::cout);
        else
            PrintReasons({reason}, std::cerr);
        return status;
    };
    vat::FiledSet set;
    try {
        set = vat::MarkFiled(folders, books, options.month, mark, now);
    } catch (const vat::FilingRefusal& refusal) {
        return stop(refusal.what(), kRefused);
    } catch (const vat::DiskError& error) {
        return stop(error.what(), kFailed);
    }
    const vat::FilingRecord& record = *set.record;
    if (options.json) {
        nlohmann::ordered_json files = nlohmann::ordered_json::array();
        for (const vat::HashedFile& file : record.files)
            files.push_back({{"name", file.name}, {"sha256", file.sha256}});
        PrintJson({{"filed",
                    {{"acknowledgement", record.acknowledgement},
                     {"filedOn", record.filedOn},
                     {"folder", set.folder.string()},
                     {"files", files}}}},
                  std::cout);
    } else {
        std::cout << TerminalText(vat::MonthOfYearTitle(books, options.month) + " of " +
                                  books.dataFile + " marked " + vat::FiledOnText(record) +
                                  "; the files as filed are kept in " + set.folder.string())
                  << '\n';
    }
    std::cout.flush();
    return std::cout ? kMarked : kFailed;
}

void PrintRunReport(const vat::RunResult& result, const vat::RunRevision& revision, bool json,
                    std::ostream& out) {
    if (json) {
        vat::JsonObjectWriter report(out, 0);
        WriteJsonReport(result, report);
        if (revision.revision) report.Member("revision", vat::RevisionJson(*revision.revision));
        if (!revision.problem.empty())
            report.Member("revision", nlohmann::ordered_json{{"error", revision.problem}});
        report.Close();
        out << '\n';
        return;
    }
    PrintHumanReport(result, out);
    if (revision.revision) {
        out << "\nSince filing\n";
        for (const std::string& line : vat::RevisionLines(*revision.revision))
            out << TerminalText(line) << '\n';
    }
    if (!revision.problem.empty())
        out << "\nSince filing: " << TerminalText(revision.problem) << '\n';
}

void PrintFilingCheck(const vat::FilingStatus& filing, const vat::RunRevision& sinceFiling,
                      std::ostream& out) {
    out << "\nSince filing (" << TerminalText(vat::FilingStatusText(filing)) << "):\n";
    for (const std::string& altered : filing.altered) out << "  " << TerminalText(altered) << '\n';
    if (!sinceFiling.problem.empty()) out << "  " << TerminalText(sinceFiling.problem) << '\n';
    if (!sinceFiling.revision) return;
    const std::vector<std::string> lines = vat::RevisionLines(*sinceFiling.revision);
    // The heading speaks of a run's files; the books check names the filing above.
    for (auto line = lines.begin() + 1; line != lines.end(); ++line)
        out << "  " << TerminalText(*line) << '\n';
}

void AddFilingCheck(nlohmann::ordered_json& check, const vat::FilingStatus& filing,
                    const vat::RunRevision& sinceFiling) {
    check["filed"] = FilingJson(filing);
    if (sinceFiling.revision)
        check["sinceFiling"] = vat::RevisionJson(*sinceFiling.revision);
    else if (!sinceFiling.problem.empty())
        check["sinceFiling"] = {{"error", sinceFiling.problem}};
}
