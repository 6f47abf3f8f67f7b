#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "returns/results/return_figures.h"

namespace vat {

// The summary as the window shows it: each label's designed name with its caption, in the
// window's order. The window, the command-line report and its JSON "labels" all read this.
using SummaryCaptions = std::vector<std::pair<std::string, std::string>>;
SummaryCaptions CaptionsOf(const ReturnFigures& figures);

// A figure of the visible summary as the window captions it ("Input Vat (+)"), with its label.
struct CaptionedLabel {
    std::string_view caption;
    std::string_view label;
};

// The visible summary's figures in the window's order, for reports that have no window:
// the VAT and CST figures, then the URD ones. The verdict is captioned by its own label.
std::span<const CaptionedLabel> VisibleSummary();

// The designed name of the label that shows a return file's total ("lbl_InputVAT_Plus").
std::string_view LabelOf(TaxFigure figure);

}  // namespace vat
