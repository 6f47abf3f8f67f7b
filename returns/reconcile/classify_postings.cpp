#include "returns/reconcile/classify_postings.h"

#include <algorithm>
#include <map>
#include <span>
#include <tuple>

#include "disk/local_time.h"
#include "returns/declarations/return_files.h"
#include "returns/reconcile/reconciled_accounts.h"
#include "returns/results/number_forms.h"
#include "returns/rules/return_period.h"

namespace vat {

namespace {

// The run's list rows by file and voucher: pointers sorted by both, the rows of one voucher in
// the order the run walked them (a map of a month's rows would weigh more than the rows).
class ListedRows {
public:
    explicit ListedRows(const ListedDocuments& documents) {
        rows_.reserve(documents.Size());
        for (const ListedDocument& document : documents) rows_.push_back(&document);
        std::ranges::stable_sort(rows_, {}, Key);
    }

    // How many times the file's total holds the voucher's sum.
    long long CountedTimes(TaxFigure file, const std::optional<long long>& voucher) const {
        long long times = 0;
        for (const ListedDocument* row : Rows(file, voucher)) times += row->counted ? 1 : 0;
        return times;
    }

    const ListedDocument* First(TaxFigure file, const std::optional<long long>& voucher) const {
        const auto rows = Rows(file, voucher);
        return rows.empty() ? nullptr : rows.front();
    }

private:
    static std::pair<TaxFigure, long long> Key(const ListedDocument* row) {
        return {row->file, row->voucher};
    }

    std::span<const ListedDocument* const> Rows(TaxFigure file,
                                                const std::optional<long long>& voucher) const {
        if (!voucher) return {};
        const std::pair key(file, *voucher);
        const auto first = std::lower_bound(
            rows_.begin(), rows_.end(), key,
            [](const ListedDocument* row, const auto& sought) { return Key(row) < sought; });
        const auto last = std::upper_bound(
            first, rows_.end(), key,
            [](const auto& sought, const ListedDocument* row) { return sought < Key(row); });
        return {first, last};
    }

    std::vector<const ListedDocument*> rows_;
};

std::string FileName(TaxFigure file, int monthNumber) {
    for (const ReturnFileKind& kind : RunOrder())
        if (kind.figure == file)
            return std::string(kind.baseName) + ReturnPeriod{monthNumber, 0}.MonthTag() + ".xml";
    return {};
}

// The condition of the file's lists that a live posting of the month fails, as the list's SQL
// tests it on the posting's own row; nullopt when the row meets every condition.
std::optional<std::string> FailedListCondition(TaxFigure file, const TaxPosting& posting) {
    const auto value = [](long long number) { return std::to_string(number); };
    const auto cashSale = [&]() -> std::optional<std::string> {
        if (posting.cashSale == 0) return std::nullopt;
        return "a cash sale (ca_sale " + value(posting.cashSale) + ")";
    };
    switch (file) {
        case TaxFigure::InputVatPlus:
            if (posting.outState == 0) return std::nullopt;
            return "a purchase not within the state (out_state " + value(posting.outState) + ")";
        case TaxFigure::CstPurchases:
            if (posting.outState == 1) return std::nullopt;
            return "a purchase not from outside the state (out_state " + value(posting.outState) +
                   ")";
        case TaxFigure::InputVatMinus:
            return std::nullopt;
        case TaxFigure::OutputVatPlus:
            if (auto cash = cashSale()) return cash;
            if (posting.salesParty > 0 || posting.secondSeriesParty > 0) return std::nullopt;
            return "a sale with no party account (p_act " + value(posting.salesParty) + ", c_act " +
                   value(posting.secondSeriesParty) + ")";
        case TaxFigure::OutputVatMinus:
            if (auto cash = cashSale()) return cash;
            if (posting.creditNoteParty > 0) return std::nullopt;
            return "a credit note with no party account (cn_act " + value(posting.creditNoteParty) +
                   ")";
        case TaxFigure::CstSales:
            if (auto cash = cashSale()) return cash;
            if ((posting.salesParty > 0 && posting.interstateFirstSeries) ||
                (posting.secondSeriesParty > 0 && posting.interstateSecondSeries))
                return std::nullopt;
            return "a sale without an interstate bill line (tax_type 6) of its party's series";
    }
    return std::nullopt;
}

// One side of a posting on one of the figure's accounts, signed as it adds to the books.
struct Leg {
    const TaxPosting& posting;
    long long account;
    bool debit;
    std::int64_t booksPaise;
};

// What an item says before its amounts are added up.
struct ItemKey {
    long long voucher;
    std::string type;
    std::string date;
    std::optional<std::string> document;
    long long account;
    bool debit;
    ReconcilingReason reason;
    std::string because;
    auto Tied() const {
        return std::tie(voucher, type, date, document, account, debit, reason, because);
    }
    bool operator<(const ItemKey& other) const { return Tied() < other.Tied(); }
};

class FigureItems {
public:
    FigureItems(const ReconciledAccounts& accounts, const ReconciledMonth& month,
                const ListedRows& listed)
        : accounts_(accounts), month_(month), listed_(listed) {}

    void Add(const TaxPosting& posting) {
        if (accounts_.Holds(posting.debited))
            Classify({posting, posting.debited, true,
                      accounts_.debitsAdd ? posting.paise : -posting.paise});
        if (accounts_.Holds(posting.credited))
            Classify({posting, posting.credited, false,
                      accounts_.debitsAdd ? -posting.paise : posting.paise});
    }

    // The items, each sum given up as its item is made: a month's are never held twice.
    std::vector<ReconcilingItem> TakeItems() {
        std::vector<ReconcilingItem> items;
        items.reserve(sums_.size());
        const std::string figure(ReconciledName(accounts_.figure));
        while (!sums_.empty()) {
            auto sum = sums_.extract(sums_.begin());
            ItemKey& key = sum.key();
            const Amounts amounts = sum.mapped();
            if (amounts.item == 0) continue;
            std::string text = "voucher " + std::to_string(key.voucher) + " (" + key.type + ", " +
                               (key.date.empty() ? "no date" : PersonsForm(key.date)) +
                               "): " + figure + " account " + std::to_string(key.account) +
                               (key.debit ? " debited " : " credited ") +
                               GroupedPaise(amounts.posted) + "; " + key.because;
            items.push_back({key.voucher, std::move(key.type), std::move(key.date),
                             std::move(key.document), key.account, amounts.item, key.reason,
                             std::move(text)});
        }
        return items;
    }

private:
    struct Amounts {
        std::int64_t posted = 0;
        std::int64_t item = 0;
    };

    const TaxSumReader* Reader(const TaxPosting& posting, bool debit) const {
        for (const TaxSumReader& reader : accounts_.readers)
            if (reader.voucherType == posting.type && reader.readsDebits == debit) return &reader;
        return nullptr;
    }

    bool TypeRead(const TaxPosting& posting) const {
        return Reader(posting, true) || Reader(posting, false);
    }

    void Classify(const Leg& leg) {
        const TaxPosting& posting = leg.posting;
        const bool inBooks = posting.Live() && month_.Holds(posting.date);
        const TaxSumReader* reader = Reader(posting, leg.debit);
        const long long times = reader ? listed_.CountedTimes(reader->file, posting.voucher) : 0;
        const ListedDocument* row = reader ? listed_.First(reader->file, posting.voucher) : nullptr;
        const std::string file = reader ? FileName(reader->file, month_.monthNumber) : "";
        const std::string listedAs = row ? std::string(row->document) + " of " + file : file;
        using enum ReconcilingReason;
        if (times > 0) {
            if (!inBooks && !posting.Live())
                Put(leg, NotLive, leg.booksPaise, row,
                    "a cancelled posting (unact " + std::to_string(posting.unact) + "), yet " +
                        listedAs + " sums every posting of the voucher");
            else if (!inBooks)
                Put(leg, OtherPeriod, leg.booksPaise, row,
                    "dated outside " + month_.Name() + ", yet " + listedAs +
                        " sums every posting of the voucher");
            if (times > 1)
                Put(leg, CountedAgain, (times - 1) * leg.booksPaise, row,
                    file + " holds the voucher " + std::to_string(times) +
                        " times and sums it each time");
            return;
        }
        if (!inBooks) return;
        const std::string figure(ReconciledName(accounts_.figure));
        if (!TypeRead(posting))
            Put(leg, TypeNotRead, -leg.booksPaise, nullptr,
                "no return file reads " + figure + " on " + posting.type + " vouchers");
        else if (!reader)
            Put(leg, OtherSide, -leg.booksPaise, nullptr,
                "the return reads only the " + std::string(leg.debit ? "credits" : "debits") +
                    " of " + figure + " on " + posting.type + " vouchers");
        else if (row)
            Put(leg, LeftOut, -leg.booksPaise, row,
                listedAs + " was left out: " + std::string(row->leftOutBecause));
        else if (auto failed = FailedListCondition(reader->file, posting))
            Put(leg, NotListed, -leg.booksPaise, nullptr,
                "no list of " + file + " takes it: " + *failed);
    }

    void Put(const Leg& leg, ReconcilingReason reason, std::int64_t amount,
             const ListedDocument* row, std::string because) {
        const TaxPosting& posting = leg.posting;
        ItemKey key{posting.voucher.value_or(0),
                    posting.type,
                    posting.date ? posting.date->IsoText() : "",
                    row ? std::optional<std::string>(row->document) : std::nullopt,
                    leg.account,
                    leg.debit,
                    reason,
                    std::move(because)};
        Amounts& sum = sums_[std::move(key)];
        sum.posted += posting.paise;
        sum.item += amount;
    }

    const ReconciledAccounts& accounts_;
    const ReconciledMonth& month_;
    const ListedRows& listed_;
    std::map<ItemKey, Amounts> sums_;
};

}  // namespace

// Each figure's items as the postings come, beside the list rows they are read against.
struct PostingsClassifier::Figures {
    Figures(const ReconciledMonth& month, const ListedDocuments& documents) : listed(documents) {
        for (const ReconciledAccounts& accounts : ReconciledAccountsTable())
            items.emplace_back(accounts, month, listed);
    }

    const ListedRows listed;
    std::vector<FigureItems> items;  // in the order of the accounts table
};

PostingsClassifier::PostingsClassifier(const ReconciledMonth& month,
                                       const ListedDocuments& documents)
    : figures_(std::make_unique<Figures>(month, documents)) {}

PostingsClassifier::~PostingsClassifier() = default;

void PostingsClassifier::Add(const TaxPosting& posting) {
    for (FigureItems& figure : figures_->items) figure.Add(posting);
}

ReconcilingItems PostingsClassifier::TakeItems() {
    ReconcilingItems items;
    for (std::size_t at = 0; at < figures_->items.size(); ++at)
        items[static_cast<std::size_t>(ReconciledAccountsTable()[at].figure)] =
            figures_->items[at].TakeItems();
    return items;
}

}  // namespace vat
