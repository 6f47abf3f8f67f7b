#pragma once

#include <string>
#include <utility>
#include <vector>

#include "ledger/ledger_connection.h"
#include "returns/results/form_state.h"
#include "returns/run/return_context.h"
#include "support/printers.h"
#include "support/program_folder.h"

namespace vat::test {

// A fixture ledger opened as the window opens it, with a fresh program folder: enough to run
// one generator or a whole run against the real server.
class LedgerSession {
public:
    explicit LedgerSession(const std::string& dataFile);

    // The context of a run for the month; the figures start as a run leaves them.
    ReturnContext Context(int monthNumber);

    std::string ReturnFile(const std::string& name) const;  // bytes of <folder>/<name>
    std::string Expected(const std::string& name) const;    // bytes of tests/data/expected/<name>

    LedgerConnection ledger;
    FormState form;
    ProgramFolder folder;
    std::string dataFile;
};

using Captions = std::vector<std::pair<std::string, std::string>>;

// Checks each label's caption, naming the label that differs.
void ExpectCaptions(const FormState& form, const Captions& expected);

}  // namespace vat::test

namespace vat::test {

// Puts the figures behind each caption as an earlier run would have left them ("7.00" in
// lbl_in_net, ...): a start state for checking what a file or a run replaces.
void SetShownFigures(FormState& form, const Captions& captions);

}  // namespace vat::test
