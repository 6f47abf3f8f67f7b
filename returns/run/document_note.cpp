#include "returns/run/document_note.h"

#include <stdexcept>

namespace vat {

DocumentNotes& DocumentNotes::operator=(const DocumentNotes& other) {
    if (this != &other) *this = DocumentNotes(other);
    return *this;
}

DocumentNotes::Repeated DocumentNotes::KeepRepeated(std::string_view text) {
    if (const auto found = repeatedAt_.find(text); found != repeatedAt_.end()) return found->second;
    const auto at = static_cast<Repeated>(repeated_.size());
    repeated_.push_back(texts_.Keep(text));
    repeatedAt_.emplace(repeated_.back(), at);
    return at;
}

void DocumentNotes::Add(const DocumentNote& note) {
    if (note.row && *note.row >= kNoRow) throw std::length_error("too many error rows to note");
    kept_.push_back({.document = texts_.Keep(note.document),
                     .file = KeepRepeated(note.file),
                     .missing = KeepRepeated(note.missing),
                     .partyName = KeepRepeated(note.partyName),
                     .storedTin = KeepRepeated(note.storedTin),
                     .writtenTin = KeepRepeated(note.writtenTin),
                     .row = note.row ? static_cast<std::uint32_t>(*note.row) : kNoRow,
                     .voucher = note.voucher.value_or(0),
                     .partyAccount = note.partyAccount.value_or(0),
                     .basic = note.basic,
                     .tax = note.tax,
                     .fate = static_cast<std::uint8_t>(note.fate),
                     .failing = static_cast<std::uint8_t>(note.failing.value_or(ElementValue{})),
                     .hasVoucher = note.voucher.has_value(),
                     .hasPartyAccount = note.partyAccount.has_value(),
                     .hasFailing = note.failing.has_value(),
                     .partyMissing = note.partyMissing,
                     .byReturnRule = note.byReturnRule,
                     .purchases = note.purchases});
}

DocumentNote DocumentNotes::operator[](std::size_t at) const {
    const KeptNote& kept = kept_[at];
    const auto text = [this](Repeated repeated) { return std::string(repeated_[repeated]); };
    DocumentNote note{.file = text(kept.file),
                      .document = std::string(kept.document),
                      .fate = static_cast<DocumentFate>(kept.fate),
                      .missing = text(kept.missing),
                      .partyMissing = kept.partyMissing,
                      .byReturnRule = kept.byReturnRule,
                      .partyName = text(kept.partyName),
                      .storedTin = text(kept.storedTin),
                      .writtenTin = text(kept.writtenTin),
                      .basic = kept.basic,
                      .tax = kept.tax,
                      .purchases = kept.purchases};
    if (kept.row != kNoRow) note.row = kept.row;
    if (kept.hasVoucher) note.voucher = kept.voucher;
    if (kept.hasPartyAccount) note.partyAccount = kept.partyAccount;
    if (kept.hasFailing) note.failing = static_cast<ElementValue>(kept.failing);
    return note;
}

void DocumentNotes::AddAll(const DocumentNotes& other) {
    for (const DocumentNote& note : other) Add(note);
}

}  // namespace vat
