#include "returns/generation_run.h"

#include <cmath>
#include <iterator>
#include <optional>

#include "ledger/ledger_error.h"
#include "returns/number_forms.h"
#include "returns/return_file_generator.h"
#include "returns/return_files.h"
#include "validation/schema_validation.h"

namespace vat {

namespace {

struct Generator {
    const ReturnFileKind& (*kind)();
    void (*generate)(ReturnContext&);
};

// The fixed order of a run.
constexpr Generator kGenerators[] = {
    {LocalPurchaseFileKind, GenerateLocalPurchaseFile},
    {PurchaseReturnFileKind, GeneratePurchaseReturnFile},
    {LocalSalesFileKind, GenerateLocalSalesFile},
    {SalesReturnFileKind, GenerateSalesReturnFile},
    {InterstateSalesFileKind, GenerateInterstateSalesFile},
    {InterstatePurchaseFileKind, GenerateInterstatePurchaseFile},
};

void ResetFigures(FormState& form) {
    for (const char* label :
         {"lbl_CST_Purchase", "lbl_CST_Sales", "lbl_InputVAT_Minus", "lbl_InputVAT_Plus",
          "lbl_OutputVAT_Minus", "lbl_OutputVAT_Plus", "lbl_TaxAmt"})
        form.SetCaption(label, "0.00");
    form.SetCaption("lbl_TaxPayableRefundable", "");
    form.ClearErrorRows();
    form.Urd = UrdTotals{};
    form.FilesWritten.clear();
}

void ShowVatAndUrdFigures(FormState& form) {
    const double vat =
        (form.CaptionValue("lbl_OutputVAT_Plus") - form.CaptionValue("lbl_OutputVAT_Minus")) -
        (form.CaptionValue("lbl_InputVAT_Plus") - form.CaptionValue("lbl_InputVAT_Minus"));
    form.SetCaption("lbl_TaxPayableRefundable", vat >= 0 ? "VAT Payable" : "VAT Refundable");
    form.SetCaption("lbl_TaxAmt", PictureText(std::fabs(vat)));

    const UrdTotals& urd = form.Urd;
    form.SetCaption("lbl_Pur_URD_NoOfBills", std::to_string(urd.purchaseBills));
    form.SetCaption("lbl_Pur_URD_Basic_Amt", PictureText(urd.purchaseBasic));
    form.SetCaption("lbl_Pur_URD_VAT_Amt", PictureText(urd.purchaseVat));
    form.SetCaption("lbl_Sal_URD_NoOfBills", std::to_string(urd.salesBills));
    form.SetCaption("lbl_Sal_URD_Basic_Amt", PictureText(urd.salesBasic));
    form.SetCaption("lbl_Sal_URD_VAT_Amt", PictureText(urd.salesVat));
}

// Runs one generator; the message for the user when it could not finish.
std::optional<std::string> RunGenerator(const Generator& generator, ReturnContext& context) {
    const std::string file = ReturnFilePath(generator.kind(), context).filename().string();
    try {
        generator.generate(context);
        return std::nullopt;
    } catch (const SchemaLoadError& error) {
        return "Checking " + file + " failed: " + error.what();
    } catch (const std::exception& error) {
        return "Writing " + file + " failed: " + error.what();
    }
}

// After a failed run the month must not mix new files with an earlier run's: the files the
// remaining generators would have replaced are removed.
void RemoveOldFilesOfLaterGenerators(std::size_t failed, const ReturnContext& context) {
    for (std::size_t index = failed + 1; index < std::size(kGenerators); ++index) {
        std::error_code ignored;
        std::filesystem::remove(ReturnFilePath(kGenerators[index].kind(), context), ignored);
    }
}

}  // namespace

RunOutcome GenerationRun(LedgerConnection& ledger, FormState& form, int monthNumber,
                         const std::string& dataFile, const std::filesystem::path& programFolder) {
    if (monthNumber < 1 || monthNumber > 12) return RunOutcome::NoMonth;
    if (dataFile.empty()) return RunOutcome::NoDataFile;
    if (!form.TinFlag.empty()) {
        form.ShowMessage({"INCORRECT TIN CAN NOT PROCEED", false});
        return RunOutcome::Refused;
    }
    if (!form.DataFileReady || form.SelectedDataFile != dataFile) {
        form.ShowMessage({"The data file " + dataFile +
                              " could not be read; choose a data file that opens without error.",
                          true});
        return RunOutcome::Refused;
    }

    try {
        ConnectLedger(ledger, dataFile, true);
    } catch (const LedgerError& error) {
        form.ShowMessage({std::string("Cannot reopen the data file: ") + error.what(), true});
        return RunOutcome::Failed;
    }
    ResetFigures(form);

    ReturnContext context{ledger, form, {monthNumber, form.YearStart.value().year}, programFolder};
    for (std::size_t index = 0; index < std::size(kGenerators); ++index) {
        if (auto failure = RunGenerator(kGenerators[index], context)) {
            RemoveOldFilesOfLaterGenerators(index, context);
            form.ShowMessage({*failure, true});
            return RunOutcome::Failed;
        }
    }

    ShowVatAndUrdFigures(form);
    form.Repaint();
    form.ShowMessage({"OVER", false});
    return RunOutcome::Completed;
}

}  // namespace vat
