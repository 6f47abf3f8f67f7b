#pragma once

#include <algorithm>
#include <utility>
#include <vector>

namespace vat {

// Values filed under keys while a file is walked and looked up only after it: one vector,
// sorted once and searched by halves, rather than a tree node per key. As with a map's emplace,
// the value found under a key is the first one filed under it.
template <typename Key, typename Value>
class SortedByKey {
public:
    using Pair = std::pair<Key, Value>;

    SortedByKey() = default;
    explicit SortedByKey(std::vector<Pair> pairs) : pairs_(std::move(pairs)) {
        std::ranges::stable_sort(pairs_, {}, &Pair::first);
    }

    // Null when nothing is filed under the key.
    const Value* Find(const Key& key) const {
        const auto found = std::ranges::lower_bound(pairs_, key, {}, &Pair::first);
        return found != pairs_.end() && found->first == key ? &found->second : nullptr;
    }

private:
    std::vector<Pair> pairs_;
};

}  // namespace vat
