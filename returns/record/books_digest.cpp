#include "returns/record/books_digest.h"

#include <algorithm>

#include "disk/sha256.h"

namespace vat {

namespace {

// Room for about two thousand documents' names.
constexpr std::size_t kNamesBlock = 64 * 1024;

}  // namespace

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
    documents_.push_back({KeepFile(file), KeepDocument(document), digest});
}

// A month's documents come from six files: a name is found among the few kept.
std::string_view DocumentDigests::KeepFile(std::string_view file) {
    for (const std::string& kept : files_)
        if (kept == file) return kept;
    return files_.emplace_back(file);
}

// A block's text is never reallocated: it is filled only within the room it was made with.
std::string_view DocumentDigests::KeepDocument(std::string_view document) {
    if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < document.size()) {
        blocks_.emplace_back().reserve(std::max(kNamesBlock, document.size()));
    }
    std::string& block = blocks_.back();
    const std::size_t at = block.size();
    block += document;
    return std::string_view(block).substr(at, document.size());
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
