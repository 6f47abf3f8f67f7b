#include "returns/results/text_blocks.h"

#include <algorithm>

namespace vat {

namespace {

// Room for about two thousand names.
constexpr std::size_t kBlockSize = std::size_t{64} * 1024;

}  // namespace

// A block is filled only within the room it was made with, so its text never moves.
std::string_view TextBlocks::Keep(std::string_view text) {
    if (text.empty()) return {};
    if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < text.size())
        blocks_.emplace_back().reserve(std::max(kBlockSize, text.size()));
    std::string& block = blocks_.back();
    const std::size_t at = block.size();
    block += text;
    return std::string_view(block).substr(at);
}

std::string_view TextBlocks::KeepOnce(std::string_view text) {
    for (const std::string_view kept : once_)
        if (kept == text) return kept;
    return once_.emplace_back(Keep(text));
}

}  // namespace vat
