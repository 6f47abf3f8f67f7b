#include "returns/run/sorted_by_key.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vat {
namespace {

TEST(SortedByKey, FindsTheFirstValueFiledUnderAKeyInAnyOrder) {
    const SortedByKey<std::string, long long> vouchers(
        {{"C9", 1}, {"C10", 2}, {"B7", 3}, {"C10", 4}, {"A1", 5}, {"C9", 6}});
    const struct {
        const char* number;
        std::optional<long long> voucher;
    } cases[] = {{"A1", 5}, {"B7", 3}, {"C10", 2}, {"C9", 1}, {"C1", {}}, {"", {}}, {"D", {}}};
    for (const auto& c : cases) {
        const long long* found = vouchers.Find(c.number);
        EXPECT_EQ(found ? std::optional(*found) : std::nullopt, c.voucher) << c.number;
    }
    EXPECT_EQ((SortedByKey<long long, int>().Find(1)), nullptr);
}

}  // namespace
}  // namespace vat
