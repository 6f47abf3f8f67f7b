// ledger_probe: connects to a database of the data source edb as the program does and runs
// each SQL text in turn, printing one line per text: "row: " and the field "value" of the
// first row, "no row", or "error " with the SQLSTATE and message. A failed connect prints its error
// and exits 1. Tests run it as a separate process to try variants of odbc.ini.
//   ledger_probe [--read-only] [--login-timeout SECONDS] DATABASE [SQL...]
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
    bool readOnly = false;
    vat::ConnectionOptions options;
    int at = 1;
    for (; at < argc && std::string(argv[at]).starts_with("--"); ++at) {
        if (std::string(argv[at]) == "--read-only")
            readOnly = true;
        else if (std::string(argv[at]) == "--login-timeout" && at + 1 < argc)
            options.loginTimeoutSeconds = std::stoi(argv[++at]);
        else
            break;
    }
    if (at >= argc || std::string(argv[at]).starts_with("--")) {
        std::cerr << "usage: ledger_probe [--read-only] [--login-timeout SECONDS] DATABASE "
                     "[SQL...]\n";
        return 2;
    }
    vat::LedgerConnection ledger(options);
    try {
        vat::ConnectLedger(ledger, argv[at], readOnly);
    } catch (const vat::LedgerError& error) {
        PrintError(error);
        return 1;
    }
    vat::Recordset& rows = ledger.lookupRecordset;
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
