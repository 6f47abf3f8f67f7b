#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vat::xml {

// How an element of a return file is checked on its own, if at all.
enum class CheckedAs : char {
    Nothing,
    RecordChild,    // an element child of a record
    HeaderElement,  // an element child of the root that is not a record, the root not one either
};

// Which elements of a return file are checked on their own, and their numbers: every element
// child of every element named recordName (no prefix, no namespace) anywhere in the file, and
// the header: the root's element children that are not records. Record children are numbered
// from 1 in document order across the file, header elements from 1 apart from them; Count()
// numbers both in one sequence, for the plan. It follows a walk through the file's start and end
// tags, so every pass over the file numbers the same elements alike.
class CheckedElements {
public:
    // A recordName that is not an XML name without a colon selects nothing, header included.
    explicit CheckedElements(const std::string& recordName);

    // A start tag; qualified when the name has a prefix or a namespace. Says how the element is
    // checked; Count() and Number() then give its numbers.
    CheckedAs Enter(std::string_view localName, bool qualified);
    // The end tag of the innermost element entered.
    void Leave();

    std::size_t Depth() const { return isRecord_.size(); }
    // Whether the innermost element entered is a record.
    bool InRecord() const { return !isRecord_.empty() && isRecord_.back(); }
    // The number of checked elements entered so far.
    std::uint64_t Count() const { return recordChildren_ + headerElements_; }
    // The number of the elements entered so far that are checked as checkedAs: the number the
    // last one of them is shown with.
    std::uint64_t Number(CheckedAs checkedAs) const {
        return checkedAs == CheckedAs::HeaderElement ? headerElements_ : recordChildren_;
    }

private:
    std::string recordName_;
    bool selectsNothing_;
    std::vector<char> isRecord_;  // not vector<bool>: this runs for every start tag
    std::uint64_t recordChildren_ = 0;
    std::uint64_t headerElements_ = 0;
};

}  // namespace vat::xml
