// Two sets of return files compared document by document: a table of pairs made from a file a
// run produced, each changed in one way.
#include "returns/filing/document_changes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "returns/filing/written_documents.h"
#include "support/program_folder.h"

namespace vat {
namespace {

constexpr const char* kFile = "efile_sal_iss_04.xml";
constexpr const char* kOpen = "       <ISSaleInv>";
constexpr const char* kClose = "</ISSaleInv>\r\n";

// A produced file as its head, its documents' blocks and its tail.
struct Blocks {
    std::string head;
    std::vector<std::string> documents;
    std::string tail;

    std::string Text() const {
        std::string text = head;
        for (const std::string& document : documents) text += document;
        return text + tail;
    }
};

Blocks Produced() {
    const std::string text =
        test::ReadBytes(test::TestDataPath(std::string("expected/t_interstate_sales/") + kFile));
    Blocks blocks;
    std::size_t at = text.find(kOpen);
    blocks.head = text.substr(0, at);
    while (at != std::string::npos && text.compare(at, std::strlen(kOpen), kOpen) == 0) {
        const std::size_t end = text.find(kClose, at) + std::strlen(kClose);
        blocks.documents.push_back(text.substr(at, end - at));
        at = end;
    }
    blocks.tail = text.substr(at);
    return blocks;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

std::vector<DocumentChange> Compare(const Blocks& was, const Blocks& is) {
    return CompareReturnFiles({{kFile, was.Text()}}, {{kFile, is.Text()}});
}

const std::string kC10 = "C10 of 10/04/2014, party 29200000001";

TEST(WrittenDocuments, ReadsEachRecordsFieldsAndNotTheHeader) {
    const std::vector<WrittenDocument> documents = ReadWrittenDocuments(Produced().Text());
    ASSERT_EQ(documents.size(), 6u);
    EXPECT_EQ(documents[0].Name(), kC10);
    EXPECT_EQ(documents[0].fields.front(),
              (std::pair<std::string, std::string>{"PurTin", "29200000001"}));
    EXPECT_EQ(documents[0].FieldEndingIn("Val"), "1000");
    EXPECT_THROW(ReadWrittenDocuments("<a><b>"), ReturnFileUnreadable);
}

TEST(DocumentChanges, EachChangeOfAFileIsNamedOnceByItsDocument) {
    const Blocks produced = Produced();
    using Kind = DocumentChangeKind;
    struct Case {
        const char* name;
        std::function<void(Blocks& was, Blocks& is)> make;
        std::vector<DocumentChange> expected;
    };
    const std::vector<Case> cases = {
        {"the same", [](Blocks&, Blocks&) {}, {}},
        {"reordered", [](Blocks&, Blocks& is) { std::swap(is.documents[0], is.documents[3]); }, {}},
        {"tax changed",
         [](Blocks&, Blocks& is) {
             is.documents[0] = Replaced(is.documents[0], "<TaxCh>20<", "<TaxCh>25<");
             is.documents[0] = Replaced(is.documents[0], "<TotCh>1020<", "<TotCh>1025<");
         },
         {{kFile, kC10, Kind::Changed, {{"TaxCh", "20", "25"}, {"TotCh", "1020", "1025"}}}}},
        {"added",
         [](Blocks& was, Blocks&) { was.documents.erase(was.documents.begin()); },
         {{kFile, kC10, Kind::Added, {}}}},
        {"removed",
         [](Blocks&, Blocks& is) { is.documents.erase(is.documents.begin()); },
         {{kFile, kC10, Kind::Removed, {}}}},
        {"a party's TIN changed",
         [](Blocks&, Blocks& is) {
             is.documents[0] = Replaced(is.documents[0], "29200000001", "29200000009");
         },
         {{kFile, "C10 of 10/04/2014, party 29200000009", Kind::Added, {}},
          {kFile, kC10, Kind::Removed, {}}}},
        {"a second document of the same key",
         [](Blocks&, Blocks& is) { is.documents.push_back(is.documents[0]); },
         {{kFile, kC10, Kind::Added, {}}}},
    };
    for (const Case& test : cases) {
        Blocks was = produced, is = produced;
        test.make(was, is);
        std::vector<DocumentChange> changes = Compare(was, is);
        // Added and removed documents carry every field; the table names only changed ones.
        for (DocumentChange& change : changes) {
            if (change.change == Kind::Changed) continue;
            EXPECT_EQ(change.fields.size(), 13u) << test.name;
            change.fields.clear();
        }
        EXPECT_EQ(changes, test.expected) << test.name;
    }
}

TEST(DocumentChanges, EveryDocumentOfAFileNoLongerWrittenIsRemoved) {
    const std::vector<DocumentChange> changes =
        CompareReturnFiles({{kFile, Produced().Text()}}, {});
    EXPECT_EQ(changes.size(), 6u);
    EXPECT_TRUE(std::ranges::all_of(changes, [](const DocumentChange& change) {
        return change.change == DocumentChangeKind::Removed;
    }));
}

TEST(DocumentChanges, AnAddedDocumentHasItsFieldsOnTheNewSideOnly) {
    Blocks was = Produced();
    const Blocks is = was;
    was.documents.erase(was.documents.begin());
    const DocumentChange added = Compare(was, is).at(0);
    EXPECT_EQ(added.fields.at(0), (FieldChange{"PurTin", std::nullopt, "29200000001"}));
}

}  // namespace
}  // namespace vat
