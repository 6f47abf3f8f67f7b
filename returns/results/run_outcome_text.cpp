#include "returns/results/run_outcome_text.h"

namespace vat {

namespace {

std::string Count(long long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string RunOutcomeText(const std::vector<FileAccount>& accounts, bool checkedOnly) {
    if (accounts.empty()) return {};
    // Only the documents left out with a row say so; an interstate bill is in the interstate
    // sales file, and a debit note without goods has no place in any return.
    long long written = 0, checked = 0, listedBelow = 0, interstate = 0, notGoods = 0;
    std::vector<const FileAccount*> failed;
    for (const FileAccount& account : accounts) {
        if (account.path) ++written;
        if (account.valid) ++checked;
        if (account.valid == false) failed.push_back(&account);
        listedBelow += account.LeftOut();
        interstate += account.interstate;
        notGoods += account.notGoods;
    }

    std::string text = checkedOnly ? Count(checked, "file", "files") + " checked, nothing written"
                                   : Count(written, "file", "files") + " written";
    if (!failed.empty()) {
        text +=
            ", " + std::to_string(failed.size()) +
            (failed.size() == 1 ? " failed its schema check: " : " failed their schema checks: ");
        for (const FileAccount* account : failed) {
            if (account != failed.front()) text += ", ";
            text += account->file + " (" + Count(account->schemaErrors, "error", "errors") + ")";
        }
    }
    if (listedBelow > 0)
        text += " \u00b7 " + std::to_string(listedBelow) + " left out (listed below)";
    if (interstate > 0)
        text +=
            " \u00b7 " + Count(interstate, "bill", "bills") + " moved to the interstate sales file";
    if (notGoods > 0)
        text += " \u00b7 " + Count(notGoods, "debit note", "debit notes") + " without goods";
    return text;
}

}  // namespace vat
