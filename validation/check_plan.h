#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace vat::xml {

// The numbers of the checked elements that are to be checked on their own: ascending ranges,
// a couple of bytes each, so that a plan naming one element of every record of a large file
// stays small.
class CheckPlan {
public:
    static constexpr std::uint64_t kNoLimit = std::numeric_limits<std::uint64_t>::max();

    // Includes every number, whatever was appended.
    void IncludeAll() { includesAll_ = true; }
    bool IsEmpty() const { return !includesAll_ && bytes_.empty(); }
    // The largest number included.
    std::uint64_t Last() const { return includesAll_ ? kNoLimit : lastEnd_; }

    // Includes first..last; numbers up to the largest one included already are ignored, so
    // ranges are to come in ascending order.
    void Append(std::uint64_t first, std::uint64_t last);

    // Answers, for ascending numbers, whether the plan includes them.
    class Reader {
    public:
        explicit Reader(const CheckPlan& plan) : plan_(plan) {}
        bool Includes(std::uint64_t number);

    private:
        std::uint64_t Next();

        const CheckPlan& plan_;
        std::size_t offset_ = 0;
        std::uint64_t first_ = 1;
        std::uint64_t last_ = 0;
    };

private:
    void Put(std::uint64_t value);

    bool includesAll_ = false;
    // Per range: its distance from the end of the previous one, then its length, each in
    // 7-bit groups, low group first.
    std::vector<std::uint8_t> bytes_;
    std::uint64_t lastEnd_ = 0;
};

}  // namespace vat::xml
