#pragma once

#include <cstdint>
#include <optional>

namespace vat {

// The run's accumulators of purchases from and sales to unregistered dealers. The amounts are
// the sums of the written documents' amounts, as the files carry them.
struct UrdTotals {
    long long purchaseBills = 0;
    double purchaseBasic = 0;
    double purchaseVat = 0;
    long long salesBills = 0;
    double salesBasic = 0;
    double salesVat = 0;
};

// The six tax totals of a run, one per return file.
enum class TaxFigure {
    InputVatPlus,
    InputVatMinus,
    OutputVatPlus,
    OutputVatMinus,
    CstPurchases,
    CstSales
};
inline constexpr int kTaxFigureCount = 6;

// Which secondary column a return file's total lands in.
enum class FigureSide { Input, Output };

enum class VatVerdict {
    NotRun,  // before the run's end
    Payable,
    Refundable,
};

// The secondary net figures, in paise. Each return file puts its own total into both the plus
// and the minus figure of its side, and the net is their sum: the last file of a side decides.
struct SecondaryFigures {
    std::int64_t inputPlus = 0;
    std::int64_t inputMinus = 0;
    std::int64_t inputNet = 0;
    std::int64_t outputPlus = 0;
    std::int64_t outputMinus = 0;
    std::int64_t outputNet = 0;

    std::int64_t Payable() const { return outputNet - inputNet; }
};

// Everything the summary shows, as the rules compute it.
struct ReturnFigures {
    // Each generator's running tax total, in ten-thousandths of a rupee.
    std::int64_t inputVatPlus = 0;
    std::int64_t inputVatMinus = 0;
    std::int64_t outputVatPlus = 0;
    std::int64_t outputVatMinus = 0;
    std::int64_t cstPurchases = 0;
    std::int64_t cstSales = 0;

    VatVerdict verdict = VatVerdict::NotRun;
    std::int64_t vatAmount = 0;  // paise; the size of the payable or refundable VAT

    // Shown when a run completes; before that the count is blank and the amounts zero.
    std::optional<UrdTotals> urd;

    SecondaryFigures secondary;

    std::int64_t& Tax(TaxFigure figure);
    std::int64_t Tax(TaxFigure figure) const;
};

// A total in ten-thousandths as the summary shows it: paise, halves away from zero.
std::int64_t ShownPaise(std::int64_t tenThousandths);

// A return file's total lands in its own figure and, read back as shown, in its side's
// secondary figures.
void SetFileTotal(ReturnFigures& figures, TaxFigure figure, FigureSide side,
                  std::int64_t tenThousandths);

// The end of a run: VAT = (output plus - output minus) - (input plus - input minus), each read
// as shown, payable when not negative; the URD figures are shown.
void CompleteRun(ReturnFigures& figures, const UrdTotals& urd);

}  // namespace vat
