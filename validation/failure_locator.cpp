#include "validation/failure_locator.h"

#include <algorithm>
#include <utility>

namespace vat::xml {

FailureLocator::FailureLocator(const std::string& recordName) : checked_(recordName) {}

void FailureLocator::StartElement(std::string_view localName, bool qualified,
                                  bool schemaInstanceAttributes) {
    CloseEndedElement();
    const std::uint64_t countBefore = checked_.Count();
    open_.push_back({checked_.Enter(localName, qualified) != CheckedAs::Nothing, countBefore});
    starting_ = true;
    if (schemaInstanceAttributes) {
        LayErrorTo(open_.size() - 1, checked_.Count() + 1);
    }
}

void FailureLocator::Error() {
    if (open_.empty()) {
        PlanEverything();
    } else if (!starting_) {
        LayErrorTo(open_.size() - 1, checked_.Count() + 1);
    } else if (open_.size() > 1) {
        LayErrorTo(open_.size() - 2, open_.back().countBefore + 1);
    } else {
        // The root element itself may have been skipped.
        PlanEverything();
    }
}

CheckPlan FailureLocator::Finish() {
    while (!open_.empty()) {
        CloseInnermostElement();
    }
    return std::move(plan_);
}

void FailureLocator::CloseInnermostElement() {
    ended_ = false;
    open_.pop_back();
    checked_.Leave();
    if (openRange_ && openRange_->owner == open_.size()) {
        plan_.Append(openRange_->from, checked_.Count());
        openRange_.reset();
    }
}

void FailureLocator::LayErrorTo(std::size_t index, std::uint64_t from) {
    // Ancestors first: the plan takes numbers in ascending order.
    for (std::size_t level = 0; level <= index; ++level) {
        const std::uint64_t number = open_[level].countBefore + 1;
        if (open_[level].checked && (!openRange_ || number < openRange_->from)) {
            plan_.Append(number, number);
        }
    }
    if (openRange_) {
        openRange_->from = std::min(openRange_->from, from);
        openRange_->owner = std::min(openRange_->owner, index);
    } else {
        openRange_ = OpenRange{from, index};
    }
}

}  // namespace vat::xml
