#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vat::xml {

// Which elements of a return file are checked on their own, and their numbers: every element
// child of every element named recordName (no prefix, no namespace) anywhere in the file,
// numbered from 1 in document order. It follows a walk through the file's start and end tags,
// so every pass over the file numbers the same elements alike; checking more elements (the
// header's, say) is a change to Enter alone.
class CheckedElements {
public:
    // A recordName that is not an XML name without a colon selects nothing.
    explicit CheckedElements(const std::string& recordName);

    // A start tag; qualified when the name has a prefix or a namespace. Returns whether the
    // element is checked; Count() is then its number.
    bool Enter(std::string_view localName, bool qualified);
    // The end tag of the innermost element entered.
    void Leave();

    std::size_t Depth() const { return isRecord_.size(); }
    // The number of checked elements entered so far.
    std::uint64_t Count() const { return count_; }

private:
    std::string recordName_;
    bool selectsNothing_;
    std::vector<char> isRecord_;  // not vector<bool>: this runs for every start tag
    std::uint64_t count_ = 0;
};

}  // namespace vat::xml
