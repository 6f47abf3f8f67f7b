#include "support/ledger_session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>

#include "returns/results/number_forms.h"
#include "returns/run/data_file_selection.h"

namespace vat::test {

LedgerSession::LedgerSession(const std::string& name)
    : dataFile(name), choice(SelectDataFile(ledger, name)) {
    if (choice.books)
        books = *choice.books;
    else
        ADD_FAILURE() << "The fixture ledger " << dataFile << " did not open: "
                      << (choice.messages.empty() ? "" : choice.messages.back().text);
    result.books = books;
}

ReturnContext LedgerSession::Context(int monthNumber) {
    result.monthNumber = monthNumber;
    return ReturnContext{.ledger = ledger,
                         .books = books,
                         .period = {monthNumber, books.yearStart.year},
                         .folders = FlatFolders(folder),
                         .result = result,
                         .observer = observer};
}

std::string LedgerSession::Caption(std::string_view label) const {
    return CaptionOf(CaptionsOf(result.figures), label);
}

RunResult LedgerSession::Run(int monthNumber, const RunCancel* cancel) {
    return GenerationRun(ledger,
                         {.books = choice.books,
                          .dataFile = dataFile,
                          .monthNumber = monthNumber,
                          .folders = FlatFolders(folder)},
                         cancel);
}

std::string LedgerSession::ReturnFile(const std::string& name) const {
    return ReadBytes(folder / name);
}

std::string LedgerSession::Expected(const std::string& name) const {
    return ReadBytes(TestDataPath("expected/" + name));
}

void ExpectCaptions(const ReturnFigures& figures, const Captions& expected) {
    const SummaryCaptions captions = CaptionsOf(figures);
    for (const auto& [label, caption] : expected)
        EXPECT_EQ(CaptionOf(captions, label), caption) << label;
}

}  // namespace vat::test

namespace vat::test {

namespace {

std::int64_t Paise(const std::string& caption) {
    return std::llround(LeadingNumber(caption) * 100);
}

}  // namespace

void SetShownFigures(ReturnFigures& figures, const Captions& captions) {
    using Setter = std::function<void(ReturnFigures&, std::int64_t)>;
    const auto tax = [](TaxFigure figure) -> Setter {
        return [figure](ReturnFigures& f, std::int64_t paise) { f.Tax(figure) = paise * 100; };
    };
    const auto secondary = [](std::int64_t SecondaryFigures::*field) -> Setter {
        return [field](ReturnFigures& f, std::int64_t paise) { f.secondary.*field = paise; };
    };
    using enum TaxFigure;
    const std::map<std::string, Setter> setters{
        {"lbl_InputVAT_Plus", tax(InputVatPlus)},
        {"lbl_InputVAT_Minus", tax(InputVatMinus)},
        {"lbl_OutputVAT_Plus", tax(OutputVatPlus)},
        {"lbl_OutputVAT_Minus", tax(OutputVatMinus)},
        {"lbl_CST_Purchase", tax(CstPurchases)},
        {"lbl_CST_Sales", tax(CstSales)},
        {"lbl_in_p", secondary(&SecondaryFigures::inputPlus)},
        {"lbl_in_n", secondary(&SecondaryFigures::inputMinus)},
        {"lbl_in_net", secondary(&SecondaryFigures::inputNet)},
        {"lbl_out_p", secondary(&SecondaryFigures::outputPlus)},
        {"lbl_out_n", secondary(&SecondaryFigures::outputMinus)},
        {"lbl_out_net", secondary(&SecondaryFigures::outputNet)},
    };
    for (const auto& [label, caption] : captions) setters.at(label)(figures, Paise(caption));
}

}  // namespace vat::test
