#pragma once

#include <ostream>

#include "returns/form_state.h"

// The run as the window would have shown it: summary figures with their captions, the error
// list and the messages in order. Control characters of the ledger's text are shown escaped
// (ESC as \x1b), never passed to the terminal.
void PrintHumanReport(const vat::FormState& form, std::ostream& out);

// One JSON object: labels, figures, errors (type, error, document, file and line, null where a
// row has none), messages and files.
void PrintJsonReport(const vat::FormState& form, std::ostream& out);
