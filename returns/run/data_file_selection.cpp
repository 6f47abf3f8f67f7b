#include "returns/run/data_file_selection.h"

#include "ledger/data_file_catalogue.h"
#include "ledger/ledger_error.h"

namespace vat {

namespace {

constexpr std::size_t kTinLength = 11;

}  // namespace

void SelectDataFile(LedgerConnection& ledger, FormState& form, const std::string& dataFile) {
    form.SelectedDataFile = dataFile;
    form.DataFileReady = false;
    std::optional<CompanySettings> settings;
    try {
        ConnectLedger(ledger, dataFile, true);
        settings = ReadCompanySettings(ledger);
    } catch (const LedgerError& error) {
        form.ShowMessage(
            {"The data file " + dataFile + " cannot be opened: " + error.what(), true});
        return;
    }
    if (!settings) {
        form.ShowMessage(
            {"The data file " + dataFile + " has no company settings row (table super).", true});
        return;
    }
    if (!settings->yearStart) {
        // Every return's RetPerdEnd is the year the financial year starts in.
        form.ShowMessage(
            {"The data file " + dataFile + " has no financial-year start date (super.dt1).", true});
        return;
    }
    form.YearStart = settings->yearStart;
    form.YearEnd = settings->yearEnd;
    form.DataFileReady = true;
    if (settings->kst.size() != kTinLength) {
        form.TinFlag = "NN";
        form.ShowMessage({"YOUR TIN FOUND TO BE INCORRECT. CHECK THE SAME", false});
    } else {
        form.TinFlag.clear();
        form.DealerTin = settings->kst;
    }
}

}  // namespace vat
