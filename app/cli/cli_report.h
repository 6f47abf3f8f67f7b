#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "returns/results/json_object_writer.h"
#include "returns/run/run_result.h"

// The run as the window would have shown it: summary figures with their captions, the ten
// largest groups of what to fix, the error list and the messages in order; of a run that did not
// complete only its messages. Control characters of the ledger's text are shown escaped (ESC as
// \x1b), never passed to the terminal. Names the folder of the files written.
void PrintHumanReport(const vat::RunResult& result, std::ostream& out);

// One JSON object: labels, figures, errors (type, error, document, file, line and voucher, null
// where a row has none), fixes (the rows grouped by what to fix, in rank order, each naming its
// rows by their index in errors), messages, files, the month folder (null when none was
// written) and returns (each file's account). A run that did not complete has no labels,
// figures (null), rows, fixes, files or accounts.
// Its members are written one by one, each error, fix and reconciling item at a time, so that
// a month's thousands are never held as one tree.
void WriteJsonReport(const vat::RunResult& result, vat::JsonObjectWriter& report);
void PrintJsonReport(const vat::RunResult& result, std::ostream& out);
// The same as one tree.
nlohmann::ordered_json JsonReport(const vat::RunResult& result);
// Prints a report object; text that is not UTF-8 is replaced, never aborts it.
void PrintJson(const nlohmann::ordered_json& report, std::ostream& out);

// Ledger text as a terminal may show it: control characters escaped (ESC as \x1b).
std::string TerminalText(std::string_view text);
// The same kept to one line, its line breaks escaped too (\x0a): a name in a list, a reason in a
// row.
std::string TerminalLine(std::string_view text);

// Why a run never started, one "vat-efile-cli: " line a reason, escaped as the report is.
void PrintReasons(const std::vector<std::string>& reasons, std::ostream& out);

// The JSON object of a run that never started: the reasons as its messages, no labels and no
// figures (null).
nlohmann::ordered_json JsonReasons(const std::vector<std::string>& reasons);
void PrintJsonReasons(const std::vector<std::string>& reasons, std::ostream& out);
