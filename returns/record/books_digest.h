#pragma once

#include <deque>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "disk/sha256.h"
#include "returns/results/text_blocks.h"

namespace vat {

// What one document of a run was made from: its list row and everything looked up for it, as
// the rules shaped them, digested. Its names are views into the list that holds it.
struct DocumentDigest {
    std::string_view file;      // the return file whose list held it ("efile_sal04.xml")
    std::string_view document;  // "B No.IP771 · voucher 5120"
    Sha256Bytes digest;         // as the record writes it, 64 hex digits
    friend bool operator==(const DocumentDigest&, const DocumentDigest&) = default;
};

// A month's documents in the order the run read them, their names kept in text blocks (each
// file's once), so that a hundred thousand documents weigh about 90 bytes each, not the 140 of
// strings of their own, and are never moved nor held twice while the list grows.
class DocumentDigests {
public:
    DocumentDigests() = default;
    DocumentDigests(std::initializer_list<DocumentDigest> documents);
    // A copy keeps names of its own.
    DocumentDigests(const DocumentDigests& other);
    DocumentDigests& operator=(const DocumentDigests& other);
    DocumentDigests(DocumentDigests&&) noexcept = default;
    DocumentDigests& operator=(DocumentDigests&&) noexcept = default;

    // Keeps a copy of the names.
    void Add(std::string_view file, std::string_view document, const Sha256Bytes& digest);

    std::size_t Size() const { return documents_.size(); }
    const DocumentDigest& operator[](std::size_t at) const { return documents_[at]; }
    auto begin() const { return documents_.cbegin(); }
    auto end() const { return documents_.cend(); }
    friend bool operator==(const DocumentDigests& a, const DocumentDigests& b) {
        return a.documents_ == b.documents_;
    }

private:
    std::string_view KeepFile(std::string_view file);

    TextBlocks names_;
    std::vector<std::string_view> files_;  // the few return files' names, each kept once
    std::deque<DocumentDigest> documents_;
};

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
