#pragma once

#include <optional>
#include <string>

namespace vat {

// One row of the error list: its Type and Error texts, and what it points at: the document
// (for a schema error the failing record's number, date and party as written; for a row the
// run adds, the document number and voucher), the voucher behind it when the run knows it and,
// for a schema error, the file and the line of the failing element.
struct ErrorRow {
    std::string type;
    std::string error;
    std::string document = {};
    std::string file = {};
    std::optional<long long> line = {};
    std::optional<long long> voucher = {};
    friend bool operator==(const ErrorRow&, const ErrorRow&) = default;
};

}  // namespace vat
