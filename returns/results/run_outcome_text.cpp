#include "returns/results/run_outcome_text.h"

namespace vat {

namespace {

std::string Count(long long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string RunOutcomeText(const std::vector<FileAccount>& accounts) {
    if (accounts.empty()) return {};
    long long written = 0, leftOut = 0;
    std::vector<const FileAccount*> failed;
    for (const FileAccount& account : accounts) {
        if (account.path) ++written;
        if (account.valid == false) failed.push_back(&account);
        leftOut += account.LeftOut();
    }

    std::string text = Count(written, "file", "files") + " written";
    if (!failed.empty()) {
        text +=
            ", " + std::to_string(failed.size()) +
            (failed.size() == 1 ? " failed its schema check: " : " failed their schema checks: ");
        for (const FileAccount* account : failed) {
            if (account != failed.front()) text += ", ";
            text += account->file + " (" + Count(account->schemaErrors, "error", "errors") + ")";
        }
    }
    if (leftOut > 0) text += "; " + Count(leftOut, "document", "documents") + " left out";
    return text;
}

}  // namespace vat
