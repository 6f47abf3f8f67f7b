#pragma once

#include <string>
#include <utility>
#include <vector>

#include "returns/results/return_figures.h"
#include "returns/results/summary_figures.h"

namespace vat {

// The summary as the designed window shows it: each label's designed name with its caption,
// in the window's order, the secondary net labels included. The window, the command-line
// report and its JSON "labels" all read this.
using SummaryCaptions = std::vector<std::pair<std::string, std::string>>;
SummaryCaptions CaptionsOf(const ReturnFigures& figures);
// The designed labels of the figures a person reads, as a run record keeps them: those above
// without the secondary net labels.
SummaryCaptions CaptionsOf(const SummaryFigures& shown);

// The caption of one label by its designed name ("lbl_InputVAT_Plus", "lbl_pay", ...).
std::string CaptionOf(const SummaryCaptions& captions, std::string_view label);

}  // namespace vat
