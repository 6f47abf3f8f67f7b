#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vat {

// A return file that cannot be read as one: not well-formed XML.
class ReturnFileUnreadable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One document of a return file, as its record element holds it: its child fields in order,
// each name with its text exactly as written.
struct WrittenDocument {
    std::vector<std::pair<std::string, std::string>> fields;

    // The text of the first field whose name ends so ("Tin", "No", "Date"); empty when none.
    const std::string& FieldEndingIn(std::string_view ending) const;
    // What the document is known by within its file: the party's TIN, its number and its date.
    std::string Key() const;
    // "A1 of 02/04/2014, party 29100000001".
    std::string Name() const;
};

// The documents of a return file's text in their order: each element under the root that holds
// elements of its own; the header's lone values are no documents. Throws ReturnFileUnreadable.
std::vector<WrittenDocument> ReadWrittenDocuments(std::string_view text);

}  // namespace vat
