#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vat {

// A return file's name and its bytes.
struct ReturnFileText {
    std::string name;
    std::string bytes;
};

enum class DocumentChangeKind { Added, Removed, Changed };

// A field of a document as it was and as it is; none on the side that has no such document or
// field.
struct FieldChange {
    std::string name;  // the element's ("NetVal")
    std::optional<std::string> was;
    std::optional<std::string> is;
    friend bool operator==(const FieldChange&, const FieldChange&) = default;
};

// A document of one set of return files that the other has otherwise: added, removed, or changed
// in the fields listed (every field of one added or removed).
struct DocumentChange {
    std::string file;
    std::string document;  // "A1 of 02/04/2014, party 29100000001"
    DocumentChangeKind change = DocumentChangeKind::Changed;
    std::vector<FieldChange> fields = {};
    friend bool operator==(const DocumentChange&, const DocumentChange&) = default;
};

// Compares two sets of return files document by document, a document known by its file, its
// party's TIN, its number and its date (the n-th of a key with the n-th of it on the other side):
// their order within a file changes nothing. Files in the order of was, then those only in is;
// within a file the documents of is in their order, then those removed. Throws
// ReturnFileUnreadable.
std::vector<DocumentChange> CompareReturnFiles(const std::vector<ReturnFileText>& was,
                                               const std::vector<ReturnFileText>& is);

// "added", "removed", "changed".
const char* ChangeText(DocumentChangeKind change);

}  // namespace vat
