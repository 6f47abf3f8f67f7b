#pragma once

#include <optional>
#include <string>

namespace vat {

// What became of every row of one return file's voucher lists, and of the file's check:
// listed = written + belowOneRupee + interstate + tinSkipped + notGoods + missingData.
struct FileAccount {
    std::string file;                      // the file's name, written or not ("efile_pur04.xml")
    std::optional<std::string> path = {};  // where it was written; none when no file was written
    long long listed = 0;
    long long written = 0;
    long long belowOneRupee = 0;
    long long interstate = 0;  // an interstate bill in a local sales list
    long long tinSkipped = 0;
    long long notGoods = 0;  // debit notes without goods
    long long missingData = 0;
    long long schemaErrors = 0;
    std::optional<bool> valid = {};  // none when the file was not checked

    // The documents left out of every return, each with an error row saying why: what "left
    // out" counts wherever it is shown. A bill the interstate sales file takes is moved, not
    // left out, and a debit note without goods belongs to no return.
    long long LeftOut() const { return belowOneRupee + tinSkipped + missingData; }
    friend bool operator==(const FileAccount&, const FileAccount&) = default;
};

}  // namespace vat
