// A run's notes kept small give back every note as it was made, in order, and so do their
// copies once the notes they were copied from are gone.
#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include "returns/run/document_note.h"

namespace vat {
namespace {

std::vector<DocumentNote> Made() {
    const DocumentNote left{.row = 3,
                            .file = "efile_pur04.xml",
                            .document = "B No.KA730014 · voucher 30",
                            .voucher = 30,
                            .fate = DocumentFate::TinSkipped,
                            .byReturnRule = true,
                            .partyAccount = 502,
                            .partyName = "ERROR PARTY 502",
                            .storedTin = "33527043036",
                            .writtenTin = "33527043036",
                            .basic = 1250.5,
                            .tax = 62.53};
    DocumentNote failing = left;
    failing.row = 4;
    failing.fate = DocumentFate::Written;
    failing.byReturnRule = false;
    failing.writtenTin = "29 12345678";
    failing.failing = ElementValue::Tin;
    failing.purchases = false;
    const DocumentNote missing{.row = 0,
                               .file = "efile_sal04.xml",
                               .document = "S No.S/7 · voucher 7",
                               .fate = DocumentFate::MissingData,
                               .missing = "the party's city is missing",
                               .partyMissing = true};
    // A bill written as an unregistered dealer's: no row, no voucher, no party.
    const DocumentNote urd{.file = "efile_pur04.xml", .writtenTin = "29000000000", .tax = 5};
    return {left, failing, missing, urd, left};
}

std::vector<DocumentNote> ReadBack(const DocumentNotes& notes) {
    std::vector<DocumentNote> read;
    for (const DocumentNote& note : notes) read.push_back(note);
    return read;
}

TEST(DocumentNotes, GiveBackEveryNoteAsMadeAndCopiesKeepTheirOwnTexts) {
    const std::vector<DocumentNote> made = Made();
    std::optional<DocumentNotes> notes;
    notes.emplace();
    for (const DocumentNote& note : made) notes->Add(note);
    EXPECT_EQ(ReadBack(*notes), made);
    ASSERT_EQ(notes->Size(), made.size());
    EXPECT_EQ(notes->Row(3), std::nullopt);
    EXPECT_EQ(notes->File(2), "efile_sal04.xml");
    EXPECT_EQ(notes->Document(1), "B No.KA730014 · voucher 30");

    const DocumentNotes copied = *notes;
    DocumentNotes moved = DocumentNotes(*notes);
    DocumentNotes assigned;
    assigned = moved;
    notes.reset();
    EXPECT_EQ(ReadBack(copied), made);
    EXPECT_EQ(ReadBack(moved), made);
    EXPECT_EQ(ReadBack(assigned), made);
}

}  // namespace
}  // namespace vat
