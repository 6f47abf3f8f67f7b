#include "validation/check_plan.h"

#include <algorithm>

namespace vat::xml {

namespace {

constexpr std::uint8_t kMore = 0x80;
constexpr int kGroupBits = 7;

}  // namespace

void CheckPlan::Append(std::uint64_t first, std::uint64_t last) {
    first = std::max(first, lastEnd_ + 1);
    if (first > last) {
        return;
    }
    Put(first - lastEnd_ - 1);
    Put(last - first);
    lastEnd_ = last;
}

void CheckPlan::Put(std::uint64_t value) {
    while (value >= kMore) {
        bytes_.push_back(static_cast<std::uint8_t>(value | kMore));
        value >>= kGroupBits;
    }
    bytes_.push_back(static_cast<std::uint8_t>(value));
}

bool CheckPlan::Reader::Includes(std::uint64_t number) {
    if (plan_.includesAll_) {
        return true;
    }
    while (number > last_ && offset_ < plan_.bytes_.size()) {
        first_ = last_ + 1 + Next();
        last_ = first_ + Next();
    }
    return first_ <= number && number <= last_;
}

std::uint64_t CheckPlan::Reader::Next() {
    std::uint64_t value = 0;
    for (int shift = 0; offset_ < plan_.bytes_.size(); shift += kGroupBits) {
        const std::uint8_t byte = plan_.bytes_[offset_++];
        value |= static_cast<std::uint64_t>(byte & ~kMore) << shift;
        if ((byte & kMore) == 0) {
            break;
        }
    }
    return value;
}

}  // namespace vat::xml
