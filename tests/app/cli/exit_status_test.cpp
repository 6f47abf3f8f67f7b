// The status a year or a run of every data file ends with: the worse of its months' or data
// files' statuses, whichever comes first.
#include "app/cli/exit_status.h"

#include <gtest/gtest.h>

namespace {

struct StatusPair {
    int one, other, worse;
};

TEST(ExitStatus, TheWorseOfTwoRanksCompletedSchemaErrorsRefusedFailedCancelled) {
    for (const StatusPair& pair :
         std::vector<StatusPair>{{kCompleted, kCompleted, kCompleted},
                                 {kCompleted, kSchemaErrors, kSchemaErrors},
                                 {kCompleted, kRefused, kRefused},
                                 {kCompleted, kFailed, kFailed},
                                 {kCompleted, kCancelled, kCancelled},
                                 {kSchemaErrors, kRefused, kRefused},
                                 {kSchemaErrors, kFailed, kFailed},
                                 {kSchemaErrors, kCancelled, kCancelled},
                                 {kRefused, kFailed, kFailed},
                                 {kRefused, kCancelled, kCancelled},
                                 {kFailed, kCancelled, kCancelled}}) {
        EXPECT_EQ(Worse(pair.one, pair.other), pair.worse) << pair.one << " then " << pair.other;
        EXPECT_EQ(Worse(pair.other, pair.one), pair.worse) << pair.other << " then " << pair.one;
    }
}

}  // namespace
