// ledger_probe: connects to a database of the data source edb as the program does and runs
// each SQL text in turn, printing one line per text: "row: " and the field "value" of the
// first row, "no row", or "error " with the SQLSTATE and message. A failed connect prints its error
// and exits 1. Tests run it as a separate process to try variants of odbc.ini.
//   ledger_probe [--read-only] DATABASE [SQL...]
#include <algorithm>
#include <iostream>
#include <string>

#include "ledger/ledger_connection.h"
#include "ledger/ledger_error.h"

namespace {

// On one line, so that a test reads one line per SQL text.
void PrintError(const vat::LedgerError& error) {
    std::string message = error.what();
    std::replace(message.begin(), message.end(), '\n', ' ');
    std::cout << "error " << error.SqlState() << ": " << message << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    int at = 1;
    const bool readOnly = at < argc && std::string(argv[at]) == "--read-only";
    if (readOnly) ++at;
    if (at >= argc) {
        std::cerr << "usage: ledger_probe [--read-only] DATABASE [SQL...]\n";
        return 2;
    }
    vat::LedgerConnection ledger;
    try {
        vat::ConnectLedger(ledger, argv[at], readOnly);
    } catch (const vat::LedgerError& error) {
        PrintError(error);
        return 1;
    }
    vat::Recordset& rows = ledger.LookupRecordset;
    for (++at; at < argc; ++at) {
        try {
            vat::OpenQuery(rows, argv[at]);
            if (rows.Eof())
                std::cout << "no row\n";
            else
                std::cout << "row: " << rows["value"].Text() << '\n';
        } catch (const vat::LedgerError& error) {
            PrintError(error);
        }
    }
    return 0;
}
