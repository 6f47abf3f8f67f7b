#include "returns/results/reconciliation.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace vat {

namespace {

constexpr std::array<std::string_view, 7> kReasonCodes{
    "notLive", "otherPeriod", "countedAgain", "typeNotRead", "notListed", "leftOut", "otherSide"};
constexpr std::array<std::string_view, 7> kReasonWords{
    "cancelled posting", "other period", "counted again", "type not read",
    "not listed",        "left out",     "other side"};

constexpr std::array<std::string_view, kReconciledFigureCount> kKeys{
    "inputVat", "outputVat", "cstOnPurchases", "cstOnSales"};
constexpr std::array<std::string_view, kReconciledFigureCount> kNames{
    "input VAT", "output VAT", "CST on purchases", "CST on sales"};

}  // namespace

std::string_view ReasonCode(ReconcilingReason reason) {
    return kReasonCodes[static_cast<std::size_t>(reason)];
}

std::string_view ReasonWords(ReconcilingReason reason) {
    return kReasonWords[static_cast<std::size_t>(reason)];
}

std::optional<ReconcilingReason> ReasonOfCode(std::string_view code) {
    for (std::size_t at = 0; at < kReasonCodes.size(); ++at)
        if (kReasonCodes[at] == code) return static_cast<ReconcilingReason>(at);
    return std::nullopt;
}

std::int64_t FigureReconciliation::Explained() const {
    return std::accumulate(
        items.begin(), items.end(), std::int64_t{0},
        [](std::int64_t sum, const ReconcilingItem& item) { return sum + item.amount; });
}

bool Reconciliation::AllExplained() const {
    return std::ranges::all_of(
        figures, [](const FigureReconciliation& figure) { return figure.Unexplained() == 0; });
}

std::string_view ReconciledKey(ReconciledFigure figure) {
    return kKeys[static_cast<std::size_t>(figure)];
}

std::string_view ReconciledName(ReconciledFigure figure) {
    return kNames[static_cast<std::size_t>(figure)];
}

std::optional<ReconciledFigure> ReconciledFigureOfKey(std::string_view key) {
    for (std::size_t at = 0; at < kKeys.size(); ++at)
        if (kKeys[at] == key) return static_cast<ReconciledFigure>(at);
    return std::nullopt;
}

}  // namespace vat
