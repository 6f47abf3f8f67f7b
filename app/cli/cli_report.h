#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "returns/form_state.h"

// The run as the window would have shown it: summary figures with their captions, the error
// list and the messages in order. Control characters of the ledger's text are shown escaped
// (ESC as \x1b), never passed to the terminal. Names the folder of the files written.
void PrintHumanReport(const vat::FormState& form, std::ostream& out);

// One JSON object: labels, figures, errors (type, error, document, file and line, null where a
// row has none), messages and files.
void PrintJsonReport(const vat::FormState& form, std::ostream& out);

// Why a run never started, one "vat-efile-cli: " line a reason, escaped as the report is.
void PrintReasons(const std::vector<std::string>& reasons, std::ostream& out);

// The JSON object of a run that never started: the reasons as its messages, no labels and no
// figures (null).
void PrintJsonReasons(const std::vector<std::string>& reasons, std::ostream& out);
