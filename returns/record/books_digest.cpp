#include "returns/record/books_digest.h"

#include "disk/sha256.h"

namespace vat {

void BooksDigest::AddDocument(std::string file, std::string document, std::string_view read) {
    documents_.push_back({std::move(file), std::move(document), Sha256BytesOfText(read)});
}

std::string FingerprintOf(const DocumentDigests& documents) {
    Sha256 fingerprint;
    for (const DocumentDigest& document : documents) {
        // NUL cannot occur in the names, so no two lists of documents read alike.
        fingerprint.Add(document.file);
        fingerprint.Add(std::string_view("\0", 1));
        fingerprint.Add(document.document);
        fingerprint.Add(std::string_view("\0", 1));
        fingerprint.Add(HexOf(document.digest));
        fingerprint.Add("\n");
    }
    return fingerprint.Hex();
}

}  // namespace vat
