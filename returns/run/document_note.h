#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "returns/declarations/return_file_kind.h"
#include "returns/results/text_blocks.h"
#include "returns/rules/document_rules.h"

namespace vat {

// What a run knows of the document behind an error row, or of a bill it wrote as an
// unregistered dealer's: enough to tell which party or voucher to correct and the tax at stake.
struct DocumentNote {
    std::optional<std::size_t> row = {};  // the error row it explains; none for a written URD bill
    std::string file = {};                // "efile_pur04.xml"
    std::string document = {};            // "B No.T1 · voucher 5"
    std::optional<long long> voucher = {};
    DocumentFate fate = DocumentFate::Written;
    std::string missing = {};   // MissingData: what is missing
    bool partyMissing = false;  // MissingData for want of the party's ledger row or city
    bool byReturnRule = false;  // TinSkipped by a list that takes in-state parties only
    std::optional<long long> partyAccount = {};
    std::string partyName = {};  // as stored
    std::string storedTin = {};
    std::string writtenTin = {};  // as the file carries it
    double basic = 0;
    double tax = 0;         // the document's tax, or the tax a left-out document would carry
    bool purchases = true;  // bought from a supplier rather than sold to a customer
    // A schema row of a record: what its failing element carries.
    std::optional<ElementValue> failing = {};
    friend bool operator==(const DocumentNote&, const DocumentNote&) = default;
};

// A run's notes in the order it made them, given back one by one as DocumentNote values. A
// month with many errors notes tens of thousands of documents, so each is kept in about 80
// bytes: its texts are views into the notes' own text blocks, and the texts notes repeat (a
// file's name, a party's name and TINs, what is missing) are kept once. A copy keeps its texts
// again.
class DocumentNotes {
public:
    DocumentNotes() = default;
    DocumentNotes(std::initializer_list<DocumentNote> notes) {
        for (const DocumentNote& note : notes) Add(note);
    }
    DocumentNotes(const DocumentNotes& other) { AddAll(other); }
    DocumentNotes& operator=(const DocumentNotes& other);
    DocumentNotes(DocumentNotes&&) noexcept = default;
    DocumentNotes& operator=(DocumentNotes&&) noexcept = default;

    void Add(const DocumentNote& note);

    std::size_t Size() const { return kept_.size(); }
    DocumentNote operator[](std::size_t at) const;
    // A note's file and document, as views that live as long as the notes, and its row.
    std::string_view File(std::size_t at) const { return repeated_[kept_[at].file]; }
    std::string_view Document(std::size_t at) const { return kept_[at].document; }
    std::optional<std::size_t> Row(std::size_t at) const {
        if (kept_[at].row == kNoRow) return std::nullopt;
        return kept_[at].row;
    }

    // Gives each note as a value: `for (const DocumentNote& note : notes)`.
    class Iterator {
    public:
        Iterator(const DocumentNotes* notes, std::size_t at) : notes_(notes), at_(at) {}
        DocumentNote operator*() const { return (*notes_)[at_]; }
        Iterator& operator++() {
            ++at_;
            return *this;
        }
        friend bool operator==(const Iterator&, const Iterator&) = default;

    private:
        const DocumentNotes* notes_;
        std::size_t at_;
    };
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, Size()}; }

private:
    // A text notes repeat, by its place among them.
    using Repeated = std::uint32_t;
    static constexpr std::uint32_t kNoRow = UINT32_MAX;

    struct KeptNote {
        std::string_view document;
        Repeated file;
        Repeated missing;
        Repeated partyName;
        Repeated storedTin;
        Repeated writtenTin;
        std::uint32_t row;
        long long voucher;
        long long partyAccount;
        double basic;
        double tax;
        std::uint8_t fate;     // a DocumentFate
        std::uint8_t failing;  // an ElementValue
        bool hasVoucher : 1;
        bool hasPartyAccount : 1;
        bool hasFailing : 1;
        bool partyMissing : 1;
        bool byReturnRule : 1;
        bool purchases : 1;
    };

    void AddAll(const DocumentNotes& other);
    Repeated KeepRepeated(std::string_view text);

    TextBlocks texts_;
    std::vector<std::string_view> repeated_;
    std::unordered_map<std::string_view, Repeated> repeatedAt_;
    std::deque<KeptNote> kept_;
};

}  // namespace vat
