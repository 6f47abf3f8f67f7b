#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "validation/check_plan.h"
#include "validation/checked_elements.h"

namespace vat::xml {

// Follows a streaming validation of a whole return file, tag by tag, and plans which checked
// elements are to be checked on their own: those an error reported on the way may concern.
//
// The schema is one in which an element valid in the whole is valid on its own too, so an
// element that fails on its own either gets an error reported while it or an element inside it
// is open, or is skipped by the validator. An error is laid to the innermost open element; one
// reported as that element starts is laid to its parent, since the validator may then skip the
// element and its later siblings. Laying an error to an element plans its checked ancestors,
// itself, and every checked element inside it from then until it ends.
class FailureLocator {
public:
    explicit FailureLocator(const std::string& recordName);

    // schemaInstanceAttributes: the element carries xsi:type or the like, which change how it
    // and its content validate.
    void StartElement(std::string_view localName, bool qualified, bool schemaInstanceAttributes);
    void EndElement() {
        CloseEndedElement();
        ended_ = true;
        starting_ = false;
    }
    // Text, CDATA or an entity reference.
    void Content() {
        CloseEndedElement();
        starting_ = false;
    }
    // An error (or warning) reported by the validator just now.
    void Error();
    // Plans every checked element: the whole file's validation says nothing about them.
    void PlanEverything() { plan_.IncludeAll(); }

    // The plan, once the last tag has been seen.
    CheckPlan Finish();

private:
    struct OpenElement {
        bool checked;
        // The count of checked elements before this one.
        std::uint64_t countBefore;
    };
    // The checked elements inside one open element, from a number on, until it ends.
    struct OpenRange {
        std::uint64_t from;
        std::size_t owner;
    };

    // Called for every tag and every piece of text: the common case stays inline.
    void CloseEndedElement() {
        if (ended_) {
            CloseInnermostElement();
        }
    }
    void CloseInnermostElement();
    void LayErrorTo(std::size_t index, std::uint64_t from);

    CheckedElements checked_;
    std::vector<OpenElement> open_;
    std::optional<OpenRange> openRange_;
    // The innermost element's end tag has been seen: it closes at the next event, so that the
    // validator's errors at the end tag are laid to it.
    bool ended_ = false;
    // Nothing has followed the innermost element's start tag yet.
    bool starting_ = false;
    CheckPlan plan_;
};

}  // namespace vat::xml
