#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vat {

// Why the return and the month's books differ by a posting.
enum class ReconcilingReason {
    // Counted by the return, not in the month's books:
    NotLive,       // a cancelled posting (unact not 0) inside a listed voucher
    OtherPeriod,   // a posting of a listed voucher dated outside the month
    CountedAgain,  // a voucher the lists hold more than once
    // In the month's books, not counted by the return:
    TypeNotRead,  // no return file reads the figure on vouchers of its type
    NotListed,    // no list takes the voucher
    LeftOut,      // listed, but the run left its document out
    OtherSide,    // the side of the account the return's sum does not read
};

// "notLive", ...; the reason of such a text, nullopt for any other.
std::string_view ReasonCode(ReconcilingReason reason);
// The reason in the words a person reads: "cancelled posting", "not listed", ...
std::string_view ReasonWords(ReconcilingReason reason);
std::optional<ReconcilingReason> ReasonOfCode(std::string_view code);

// One posting (or the postings of one voucher, account, date and reason) by which the return
// and the books differ, signed as return minus books, in paise.
struct ReconcilingItem {
    long long voucher = 0;
    std::string type;                     // the voucher's v_type
    std::string date;                     // the posting's date, "yyyy-mm-dd"; empty for none
    std::optional<std::string> document;  // "B No.P-1" when the return lists the voucher
    long long account = 0;
    std::int64_t amount = 0;
    ReconcilingReason reason = ReconcilingReason::NotListed;
    std::string text;  // the sentence an accountant reads
    friend bool operator==(const ReconcilingItem&, const ReconcilingItem&) = default;
};

// One tax figure of the return beside the books, in paise:
// return - books = sum of the items + unexplained.
struct FigureReconciliation {
    std::vector<long long> accounts = {};
    std::int64_t books = 0;
    std::int64_t returned = 0;  // the return's figure
    std::vector<ReconcilingItem> items = {};

    std::int64_t Difference() const { return returned - books; }
    std::int64_t Explained() const;
    std::int64_t Unexplained() const { return Difference() - Explained(); }
    friend bool operator==(const FigureReconciliation&, const FigureReconciliation&) = default;
};

// The figures a reconciliation ties to the books, in the order it shows them.
enum class ReconciledFigure { InputVat, OutputVat, CstPurchases, CstSales };
inline constexpr int kReconciledFigureCount = 4;

// Each figure's items, by ReconciledFigure.
using ReconcilingItems = std::array<std::vector<ReconcilingItem>, kReconciledFigureCount>;

// The return's tax figures tied to the books of its calendar month.
struct Reconciliation {
    std::string periodStart;  // "2014-04-01"
    std::string periodEnd;    // "2014-04-30"
    std::array<FigureReconciliation, kReconciledFigureCount> figures = {};
    std::int64_t booksVatPayable = 0;   // output VAT minus input VAT in the books
    std::int64_t returnVatPayable = 0;  // the return's VAT payable, refundable negative

    FigureReconciliation& Of(ReconciledFigure figure) { return figures[static_cast<int>(figure)]; }
    const FigureReconciliation& Of(ReconciledFigure figure) const {
        return figures[static_cast<int>(figure)];
    }
    // True when every figure is explained to the paisa.
    bool AllExplained() const;
    friend bool operator==(const Reconciliation&, const Reconciliation&) = default;
};

// How each reconciled figure is named: its JSON key ("inputVat") and in a sentence ("input
// VAT").
std::string_view ReconciledKey(ReconciledFigure figure);
std::string_view ReconciledName(ReconciledFigure figure);
// The figure of such a key, nullopt for any other.
std::optional<ReconciledFigure> ReconciledFigureOfKey(std::string_view key);

}  // namespace vat
