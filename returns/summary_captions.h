#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "returns/return_figures.h"

namespace vat {

// The summary as the window shows it: each label's designed name with its caption, in the
// window's order. The window, the command-line report and its JSON "labels" all read this.
using SummaryCaptions = std::vector<std::pair<std::string, std::string>>;
SummaryCaptions CaptionsOf(const ReturnFigures& figures);

// The designed name of the label that shows a return file's total ("lbl_InputVAT_Plus").
std::string_view LabelOf(TaxFigure figure);

}  // namespace vat
