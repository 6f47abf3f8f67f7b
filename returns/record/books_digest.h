#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "disk/sha256.h"
#include "returns/results/list_with_texts.h"

namespace vat {

// What one document of a run was made from: its list row and everything looked up for it, as
// the rules shaped them, digested. Its names are views into the list that holds it.
struct DocumentDigest {
    std::string_view file;      // the return file whose list held it ("efile_sal04.xml")
    std::string_view document;  // "B No.IP771 · voucher 5120"
    Sha256Bytes digest;         // as the record writes it, 64 hex digits
    friend bool operator==(const DocumentDigest&, const DocumentDigest&) = default;

    // The same, its names kept in texts (each file's once).
    DocumentDigest KeptIn(TextBlocks& texts) const;
};

// A month's documents in the order the run read them: about 90 bytes each, where strings of
// their own took 140.
using DocumentDigests = ListWithTexts<DocumentDigest>;

// The fingerprint of the books as a run read them, built document by document in the order
// the run read them, at no extra statement: any change in the books that would change a file
// or a figure changes a document's digest, adds one or removes one.
class BooksDigest {
public:
    // read: the document's list row and what was made of it, in any stable form.
    void AddDocument(std::string_view file, std::string_view document, std::string_view read);

    // The documents, leaving none (a month's worth is a large list to copy).
    DocumentDigests TakeDocuments() { return std::move(documents_); }

private:
    DocumentDigests documents_;
};

// The fingerprint of a run's documents: any document added, removed or read otherwise changes
// it.
std::string FingerprintOf(const DocumentDigests& documents);

}  // namespace vat
