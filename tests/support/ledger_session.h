#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/shared/summary_captions.h"
#include "ledger/ledger_connection.h"
#include "returns/run/data_file_selection.h"
#include "returns/run/generation_run.h"
#include "returns/run/return_context.h"
#include "support/printers.h"
#include "support/program_folder.h"

namespace vat::test {

// A fixture ledger opened as the window opens it, with a fresh program folder: enough to run
// one generator or a whole run against the real server. Its runs put the month folders straight
// in the program folder (the flat layout).
class LedgerSession {
public:
    explicit LedgerSession(const std::string& dataFile);

    // The context of a generator of a run of the month, adding to result.
    ReturnContext Context(int monthNumber);
    // The caption of a label of the session's result as the window would show it.
    std::string Caption(std::string_view label) const;
    // A run of the month into the session's folder.
    RunResult Run(int monthNumber, const RunCancel* cancel = nullptr);

    std::string ReturnFile(const std::string& name) const;  // bytes of <folder>/<name>
    std::string Expected(const std::string& name) const;    // bytes of tests/data/expected/<name>

    LedgerConnection ledger;
    std::string dataFile;
    DataFileChoice choice;
    SelectedBooks books;
    RunResult result;
    RunObserver observer;
    ProgramFolder folder;
};

using Captions = std::vector<std::pair<std::string, std::string>>;

// Checks each label's caption, naming the label that differs.
void ExpectCaptions(const ReturnFigures& figures, const Captions& expected);

}  // namespace vat::test

namespace vat::test {

// Puts the figures behind each caption as an earlier file of the run would have left them
// ("7.00" in lbl_in_net, ...): a start state for checking what a file replaces.
void SetShownFigures(ReturnFigures& figures, const Captions& captions);

}  // namespace vat::test
