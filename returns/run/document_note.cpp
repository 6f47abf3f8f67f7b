#include "returns/run/document_note.h"

namespace vat {

DocumentNotes& DocumentNotes::operator=(const DocumentNotes& other) {
    if (this != &other) *this = DocumentNotes(other);
    return *this;
}

std::string_view DocumentNotes::KeepRepeated(std::string_view text) {
    if (text.empty()) return {};
    if (const auto found = repeated_.find(text); found != repeated_.end()) return *found;
    return *repeated_.insert(texts_.Keep(text)).first;
}

void DocumentNotes::push_back(const DocumentNote& note) {
    kept_.push_back({.file = KeepRepeated(note.file),
                     .document = texts_.Keep(note.document),
                     .missing = KeepRepeated(note.missing),
                     .partyName = KeepRepeated(note.partyName),
                     .storedTin = KeepRepeated(note.storedTin),
                     .writtenTin = KeepRepeated(note.writtenTin),
                     .row = note.row.value_or(kNoRow),
                     .voucher = note.voucher.value_or(0),
                     .partyAccount = note.partyAccount.value_or(0),
                     .basic = note.basic,
                     .tax = note.tax,
                     .fate = note.fate,
                     .failing = note.failing.value_or(ElementValue::Literal),
                     .hasVoucher = note.voucher.has_value(),
                     .hasPartyAccount = note.partyAccount.has_value(),
                     .hasFailing = note.failing.has_value(),
                     .partyMissing = note.partyMissing,
                     .byReturnRule = note.byReturnRule,
                     .purchases = note.purchases});
}

DocumentNote DocumentNotes::operator[](std::size_t at) const {
    const KeptNote& kept = kept_[at];
    DocumentNote note{.file = std::string(kept.file),
                      .document = std::string(kept.document),
                      .fate = kept.fate,
                      .missing = std::string(kept.missing),
                      .partyMissing = kept.partyMissing,
                      .byReturnRule = kept.byReturnRule,
                      .partyName = std::string(kept.partyName),
                      .storedTin = std::string(kept.storedTin),
                      .writtenTin = std::string(kept.writtenTin),
                      .basic = kept.basic,
                      .tax = kept.tax,
                      .purchases = kept.purchases};
    if (kept.row != kNoRow) note.row = kept.row;
    if (kept.hasVoucher) note.voucher = kept.voucher;
    if (kept.hasPartyAccount) note.partyAccount = kept.partyAccount;
    if (kept.hasFailing) note.failing = kept.failing;
    return note;
}

void DocumentNotes::AddAll(const DocumentNotes& other) {
    for (std::size_t at = 0; at < other.size(); ++at) push_back(other[at]);
}

}  // namespace vat
