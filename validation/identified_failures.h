#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "validation/schema_validation.h"

namespace vat::xml {

// Gives each failing record child the texts of its record's identifying children, which may
// come after it in the file. Follows a pass's start tags, end tags and text, and holds failures
// back until their record has ended, passing them on in the order they came.
class IdentifiedFailures {
public:
    IdentifiedFailures(std::vector<std::string> identifyingChildren,
                       const ValidationErrorSink& passOn);

    // A start tag; isRecord: the element is a record.
    void Enter(std::string_view localName, bool qualified, bool isRecord);
    // The end tag of the innermost element entered.
    void Leave();
    // Whether text at that depth (the root's content is at 1) lies inside an identifying child,
    // whose text Text then adds to.
    bool CollectsTextAt(std::size_t depth) const {
        return collecting_ && depth > collecting_->depth;
    }
    void Text(std::string_view text);

    // A failure of the innermost element entered: a child of a record, or else a header
    // element, which no record identifies.
    void Add(ValidationFailure failure, bool recordChild);
    // Whether failures wait for the end of their record.
    bool Holding() const { return !held_.empty(); }
    // The end of the file: every element has ended.
    void Finish();

private:
    enum class Kind : char { Other, Record };
    struct OpenElement {
        Kind kind;
        std::size_t record;  // of a record, its place in records_
    };
    struct OpenRecord {
        std::uint64_t serial = 0;
        std::vector<std::string> texts;
        std::vector<char> entered;  // whether a child of that name was entered
    };
    // The identifying child whose text is being collected: the outermost one open.
    struct Collecting {
        std::size_t depth;
        std::size_t record;  // its place in records_
        std::size_t name;
    };
    struct Held {
        ValidationFailure failure;
        std::uint64_t record;  // the serial of its record, while that is open; 0 once complete
    };

    void CloseRecord();
    void PassOnCompleted();

    std::vector<std::string> names_;
    const ValidationErrorSink& passOn_;
    std::vector<OpenElement> open_;
    // The open records, then closed ones kept for their storage: a pass opens many.
    std::vector<OpenRecord> records_;
    std::size_t openRecords_ = 0;
    std::optional<Collecting> collecting_;
    std::uint64_t lastSerial_ = 0;
    std::deque<Held> held_;
};

}  // namespace vat::xml
