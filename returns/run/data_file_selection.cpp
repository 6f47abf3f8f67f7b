#include "returns/run/data_file_selection.h"

#include "ledger/data_file_catalogue.h"
#include "ledger/ledger_error.h"

namespace vat {

namespace {

constexpr std::size_t kTinLength = 11;

}  // namespace

bool SelectedBooks::TinValid() const { return dealerTin.size() == kTinLength; }

DataFileChoice ReadSelectedBooks(LedgerConnection& ledger, const std::string& dataFile) {
    // The server holds other databases beside the companies' books; choosing one says so
    // rather than showing the server's error about a missing table.
    if (!HasCompanySettingsTable(ledger))
        return {{},
                {{dataFile + " holds no books of the accounting package (no table super)", true}}};
    const std::optional<CompanySettings> settings = ReadCompanySettings(ledger);
    if (!settings)
        return {
            {},
            {{"The data file " + dataFile + " has no company settings row (table super).", true}}};
    // Every return's RetPerdEnd is the year the financial year starts in.
    if (!settings->yearStart)
        return {{},
                {{"The data file " + dataFile + " has no financial-year start date (super.dt1).",
                  true}}};
    DataFileChoice choice{
        SelectedBooks{dataFile, *settings->yearStart, settings->yearEnd, settings->dealerTin}, {}};
    if (!choice.books->TinValid())
        choice.messages.push_back({"YOUR TIN FOUND TO BE INCORRECT. CHECK THE SAME", false});
    return choice;
}

DataFileChoice SelectDataFile(LedgerConnection& ledger, const std::string& dataFile) {
    try {
        ConnectLedger(ledger, dataFile, true);
        return ReadSelectedBooks(ledger, dataFile);
    } catch (const LedgerError& error) {
        return {{}, {{"The data file " + dataFile + " cannot be opened: " + error.what(), true}}};
    }
}

}  // namespace vat
