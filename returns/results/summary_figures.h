#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "returns/results/return_figures.h"

namespace vat {

// The unregistered-dealer figures of one side as the summary shows them.
struct UrdFigures {
    std::int64_t bills = 0;
    std::int64_t basicPaise = 0;
    std::int64_t vatPaise = 0;
    friend bool operator==(const UrdFigures&, const UrdFigures&) = default;
};

// What a person reads of a run's figures, in paise as the summary shows them: the six tax
// totals, the verdict and its amount, and the URD figures of a run that completed.
struct SummaryFigures {
    std::array<std::int64_t, kTaxFigureCount> taxPaise = {};  // by TaxFigure
    VatVerdict verdict = VatVerdict::NotRun;
    std::int64_t vatPaise = 0;  // the size of the payable or refundable VAT
    std::optional<UrdFigures> urdPurchases = {};
    std::optional<UrdFigures> urdSales = {};

    std::int64_t Tax(TaxFigure figure) const { return taxPaise[static_cast<int>(figure)]; }
    // VAT payable, refundable VAT negative.
    std::int64_t SignedVat() const;
    friend bool operator==(const SummaryFigures&, const SummaryFigures&) = default;
};

// The figures of a run as its summary shows them.
SummaryFigures ShownFigures(const ReturnFigures& figures);

// Every figure a person reads, once: what each front end, the run record, the year and the
// books check name it and where they find it.
enum class Figure {
    InputVatPlus,
    InputVatMinus,
    OutputVatPlus,
    OutputVatMinus,
    CstPurchases,
    CstSales,
    VatPayable,  // signed: refundable VAT is negative
    UrdPurchaseBills,
    UrdPurchaseBasic,
    UrdPurchaseVat,
    UrdSalesBills,
    UrdSalesBasic,
    UrdSalesVat,
};
inline constexpr int kFigureCount = 13;

struct FigureDeclaration {
    Figure figure;
    std::string_view label;     // the designed window's label ("lbl_InputVAT_Plus")
    std::string_view caption;   // the caption beside it ("Input Vat (+)")
    std::string_view jsonKey;   // its key in the JSON "figures" ("inputVatPlus")
    std::string_view jsonPart;  // within a URD figure's object ("bills"); empty otherwise
    std::string_view sentence;  // its name in a sentence ("input VAT on purchase returns")
    bool isCount = false;       // bills, not paise
};

// In the summary's order: the VAT and CST figures, the verdict, then the URD ones.
std::span<const FigureDeclaration> FigureTable();
const FigureDeclaration& Declared(Figure figure);

// A figure's value: paise, or bills for a count; nullopt for a URD figure of a run that did
// not complete.
std::optional<std::int64_t> ValueOf(const SummaryFigures& figures, Figure figure);

}  // namespace vat
