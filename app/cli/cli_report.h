#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "returns/results/form_state.h"

// The run as the window would have shown it: summary figures with their captions, the error
// list and the messages in order. Control characters of the ledger's text are shown escaped
// (ESC as \x1b), never passed to the terminal. Names the folder of the files written.
void PrintHumanReport(const vat::FormState& form, std::ostream& out);

// One JSON object: labels, figures, errors (type, error, document, file and line, null where a
// row has none), messages, files and returns (each file's account).
nlohmann::ordered_json JsonReport(const vat::FormState& form);
// Prints a report object; text that is not UTF-8 is replaced, never aborts it.
void PrintJson(const nlohmann::ordered_json& report, std::ostream& out);

// Ledger text as a terminal may show it: control characters escaped (ESC as \x1b).
std::string TerminalText(std::string_view text);

// Why a run never started, one "vat-efile-cli: " line a reason, escaped as the report is.
void PrintReasons(const std::vector<std::string>& reasons, std::ostream& out);

// The JSON object of a run that never started: the reasons as its messages, no labels and no
// figures (null).
void PrintJsonReasons(const std::vector<std::string>& reasons, std::ostream& out);
