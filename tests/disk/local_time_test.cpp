#include "disk/local_time.h"

#include <gtest/gtest.h>

namespace vat {
namespace {

TEST(PersonsForm, WritesDaysAsDayMonthYearAndLeavesOtherTextAlone) {
    const std::pair<const char*, const char*> cases[] = {
        {"2026-12-07 17:20:05", "07/12/2026 17:20:05"},
        {"2026-12-07 17:20", "07/12/2026 17:20"},
        {"2015-05-12", "12/05/2015"},
        {"", ""},
        {"2015-5-12", "2015-5-12"},
        {"2015-05-123", "2015-05-123"},
        {"12/05/2015", "12/05/2015"},
        {"not a day", "not a day"},
    };
    for (const auto& [kept, shown] : cases) EXPECT_EQ(PersonsForm(kept), shown) << kept;
}

}  // namespace
}  // namespace vat
