#pragma once

#include <deque>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "ledger/ledger_date.h"
#include "returns/results/return_figures.h"
#include "returns/results/text_blocks.h"

namespace vat {

// One row of a return file's voucher lists and what the run made of it: counted when its tax
// went into the file's total (written, or below one rupee). Its texts are views into the list
// that holds it.
struct ListedDocument {
    long long voucher = 0;
    std::string_view document = {};           // "B No.P-1"
    std::string_view leftOutBecause = {};     // why a document not counted was left out
    std::optional<LedgerDate> listDate = {};  // the row's voucher date
    TaxFigure file = {};
    bool counted = false;
};

// A run's list rows in the order it walked them, their texts kept in text blocks: a month's
// hundred thousand take 64 bytes each and their names, and are never moved nor held twice
// while the list grows.
class ListedDocuments {
public:
    ListedDocuments() = default;
    ListedDocuments(std::initializer_list<ListedDocument> documents);
    // A copy keeps texts of its own.
    ListedDocuments(const ListedDocuments& other);
    ListedDocuments& operator=(const ListedDocuments& other);
    ListedDocuments(ListedDocuments&&) noexcept = default;
    ListedDocuments& operator=(ListedDocuments&&) noexcept = default;

    // Keeps a copy of the document's texts.
    void Add(const ListedDocument& document);

    std::size_t Size() const { return documents_.size(); }
    auto begin() const { return documents_.cbegin(); }
    auto end() const { return documents_.cend(); }

private:
    TextBlocks texts_;
    std::deque<ListedDocument> documents_;
};

}  // namespace vat
