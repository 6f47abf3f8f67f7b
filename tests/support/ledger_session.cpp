#include "support/ledger_session.h"

#include <gtest/gtest.h>

#include "returns/data_file_selection.h"

namespace vat::test {

LedgerSession::LedgerSession(const std::string& name) : dataFile(name) {
    SelectDataFile(ledger, form, dataFile);
    if (!form.DataFileReady)
        ADD_FAILURE() << "The fixture ledger " << dataFile << " did not open: "
                      << (form.Messages().empty() ? "" : form.Messages().back().text);
}

ReturnContext LedgerSession::Context(int monthNumber) {
    return ReturnContext{
        ledger, form, {monthNumber, form.YearStart ? form.YearStart->year : 0}, folder.Path()};
}

std::string LedgerSession::ReturnFile(const std::string& name) const {
    return ReadBytes(folder / name);
}

std::string LedgerSession::Expected(const std::string& name) const {
    return ReadBytes(TestDataPath("expected/" + name));
}

void ExpectCaptions(const FormState& form, const Captions& expected) {
    for (const auto& [label, caption] : expected) EXPECT_EQ(form.Caption(label), caption) << label;
}

}  // namespace vat::test
