#pragma once

#include <cstddef>
#include <deque>
#include <initializer_list>

#include "returns/results/text_blocks.h"

namespace vat {

// A month's list of entries whose texts are views into the list's own text blocks: a hundred
// thousand entries weigh their fixed part and their texts' bytes, and are never moved nor held
// twice while the list grows. An entry gives a copy of itself whose texts are kept in given
// blocks: `Entry KeptIn(TextBlocks&) const`. A copy of the list keeps its texts again.
template <class Entry>
class ListWithTexts {
public:
    ListWithTexts() = default;
    ListWithTexts(std::initializer_list<Entry> entries) { AddAll(entries); }
    ListWithTexts(const ListWithTexts& other) { AddAll(other); }
    ListWithTexts& operator=(const ListWithTexts& other) {
        if (this != &other) *this = ListWithTexts(other);
        return *this;
    }
    ListWithTexts(ListWithTexts&&) noexcept = default;
    ListWithTexts& operator=(ListWithTexts&&) noexcept = default;

    // Keeps a copy of the entry's texts.
    void Add(const Entry& entry) { entries_.push_back(entry.KeptIn(texts_)); }

    std::size_t Size() const { return entries_.size(); }
    const Entry& operator[](std::size_t at) const { return entries_[at]; }
    auto begin() const { return entries_.cbegin(); }
    auto end() const { return entries_.cend(); }
    friend bool operator==(const ListWithTexts& a, const ListWithTexts& b) {
        return a.entries_ == b.entries_;
    }

private:
    template <class Entries>
    void AddAll(const Entries& entries) {
        for (const Entry& entry : entries) Add(entry);
    }

    TextBlocks texts_;
    std::deque<Entry> entries_;
};

}  // namespace vat
