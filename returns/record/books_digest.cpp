#include "returns/record/books_digest.h"

#include "disk/sha256.h"

namespace vat {

DocumentDigest DocumentDigest::KeptIn(TextBlocks& texts) const {
    return {texts.KeepOnce(file), texts.Keep(document), digest};
}

void BooksDigest::AddDocument(std::string_view file, std::string_view document,
                              std::string_view read) {
    documents_.Add({file, document, Sha256BytesOfText(read)});
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
