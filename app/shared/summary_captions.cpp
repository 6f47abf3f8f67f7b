#include "app/shared/summary_captions.h"

#include <stdexcept>

#include "returns/results/number_forms.h"
#include "returns/results/summary_figures.h"

namespace vat {

namespace {

std::string VerdictText(VatVerdict verdict) {
    switch (verdict) {
        case VatVerdict::NotRun:
            return "VAT Pay/Ref";
        case VatVerdict::Payable:
            return "VAT Payable";
        case VatVerdict::Refundable:
            break;
    }
    return "VAT Refundable";
}

}  // namespace

SummaryCaptions CaptionsOf(const SummaryFigures& shown) {
    SummaryCaptions captions;
    for (const FigureDeclaration& declared : FigureTable()) {
        const std::string label(declared.label);
        if (declared.figure == Figure::VatPayable) continue;
        // The window shows the verdict between the VAT and the CST figures.
        if (declared.figure == Figure::CstPurchases) {
            captions.emplace_back("lbl_TaxPayableRefundable", VerdictText(shown.verdict));
            captions.emplace_back(Declared(Figure::VatPayable).label, PaiseText(shown.vatPaise));
        }
        const std::optional<std::int64_t> value = ValueOf(shown, declared.figure);
        // Before a run completes the URD counts are blank and their amounts zero.
        if (declared.isCount)
            captions.emplace_back(label, value ? std::to_string(*value) : std::string());
        else
            captions.emplace_back(label, PaiseText(value.value_or(0)));
    }
    return captions;
}

SummaryCaptions CaptionsOf(const ReturnFigures& figures) {
    SummaryCaptions captions = CaptionsOf(ShownFigures(figures));
    const SecondaryFigures& secondary = figures.secondary;
    for (const auto& [label, paise] : {std::pair{"lbl_in_p", secondary.inputPlus},
                                       {"lbl_in_n", secondary.inputMinus},
                                       {"lbl_in_net", secondary.inputNet},
                                       {"lbl_out_p", secondary.outputPlus},
                                       {"lbl_out_n", secondary.outputMinus},
                                       {"lbl_out_net", secondary.outputNet},
                                       {"lbl_pay", secondary.Payable()}})
        captions.emplace_back(label, PaiseText(paise));
    return captions;
}

std::string CaptionOf(const SummaryCaptions& captions, std::string_view label) {
    for (const auto& [name, caption] : captions)
        if (name == label) return caption;
    throw std::out_of_range("No summary label named " + std::string(label));
}

}  // namespace vat
