#include "returns/record/books_digest.h"

#include "disk/sha256.h"

namespace vat {

DocumentDigests::DocumentDigests(std::initializer_list<DocumentDigest> documents) {
    for (const DocumentDigest& document : documents)
        Add(document.file, document.document, document.digest);
}

DocumentDigests::DocumentDigests(const DocumentDigests& other) : DocumentDigests() {
    for (const DocumentDigest& document : other)
        Add(document.file, document.document, document.digest);
}

DocumentDigests& DocumentDigests::operator=(const DocumentDigests& other) {
    if (this != &other) *this = DocumentDigests(other);
    return *this;
}

void DocumentDigests::Add(std::string_view file, std::string_view document,
                          const Sha256Bytes& digest) {
    documents_.push_back({KeepFile(file), names_.Keep(document), digest});
}

// A month's documents come from six files: a name is found among the few kept.
std::string_view DocumentDigests::KeepFile(std::string_view file) {
    for (const std::string_view kept : files_)
        if (kept == file) return kept;
    return files_.emplace_back(names_.Keep(file));
}

void BooksDigest::AddDocument(std::string_view file, std::string_view document,
                              std::string_view read) {
    documents_.Add(file, document, Sha256BytesOfText(read));
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
