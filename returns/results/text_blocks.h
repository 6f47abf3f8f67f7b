#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace vat {

// Short texts kept end to end in large blocks that are never moved nor reallocated, so that a
// month's hundred thousand names weigh their bytes, not a string each. A kept text's view
// lives as long as the blocks, which move but are never copied: a list holding views copies
// itself by keeping its texts again.
class TextBlocks {
public:
    TextBlocks() = default;
    TextBlocks(const TextBlocks&) = delete;
    TextBlocks& operator=(const TextBlocks&) = delete;
    TextBlocks(TextBlocks&&) noexcept = default;
    TextBlocks& operator=(TextBlocks&&) noexcept = default;

    std::string_view Keep(std::string_view text);
    // One of the few texts a list repeats (a return file's name): kept once, found again.
    std::string_view KeepOnce(std::string_view text);

private:
    std::deque<std::string> blocks_;
    std::vector<std::string_view> once_;
};

}  // namespace vat
