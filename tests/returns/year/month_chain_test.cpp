#include "returns/year/month_chain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vat {
namespace {

using namespace std::chrono_literals;

// What the chain's observer hears: each month's progress as "month:step".
class HeardProgress : public RunObserver {
public:
    void Progress(const std::string& file, long long done, long long) override {
        heard.push_back(file + ":" + std::to_string(done));
    }
    std::vector<std::string> heard;
};

// A stand-in for a month's run, as a run goes: it reports its progress, waits to read ahead,
// writes its files, then takes a while over its postings, waiting for the next month to begin
// and to wait in turn. A cancelled month ends at once, its files unwritten.
struct MonthsSeen {
    std::set<int> cancelled;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<int> begun;
    std::vector<int> waitingToReadAhead;
    std::vector<const LedgerConnection*> connections;

    RunResult Run(LedgerConnection& on, RunObserver& observer, int month) {
        RunResult result{.outcome = RunOutcome::Completed, .monthNumber = month};
        Note(begun, month, &on);
        if (cancelled.contains(month)) {
            result.outcome = RunOutcome::Cancelled;
            return result;
        }
        observer.Progress(std::to_string(month), 0, 1);
        Note(waitingToReadAhead, month, nullptr);
        observer.BeforeReadingAhead();
        observer.Progress(std::to_string(month), 1, 1);
        observer.FilesWritten();
        // The months here are April to June, one after another.
        std::unique_lock lock(mutex);
        const auto nextWaits = [&] {
            const auto seen = [&](const std::vector<int>& months) {
                return std::count(months.begin(), months.end(), month + 1) > 0;
            };
            return seen(waitingToReadAhead) || (cancelled.contains(month + 1) && seen(begun));
        };
        if (month < 6 && !changed.wait_for(lock, 5s, nextWaits))
            result.outcome = RunOutcome::Failed;  // the next month never began meanwhile
        return result;
    }

    void Note(std::vector<int>& what, int month, const LedgerConnection* on) {
        {
            const std::lock_guard lock(mutex);
            what.push_back(month);
            if (on) connections.push_back(on);
        }
        changed.notify_all();
    }
};

// The months handed over, in their order, with their outcomes.
std::vector<std::pair<int, RunOutcome>> HandedOver(MonthChain& chain) {
    std::vector<std::pair<int, RunOutcome>> handed;
    chain.Run([&](int month, const RunResult& result) {
        EXPECT_EQ(result.monthNumber, month);
        handed.emplace_back(month, result.outcome);
        return result.outcome != RunOutcome::Cancelled;
    });
    return handed;
}

TEST(MonthChain, BeginsAMonthOnceTheOneBeforeHasWrittenItsFilesAndHandsThemOverInOrder) {
    LedgerConnection first;
    MonthsSeen seen;
    HeardProgress observer;
    MonthChain chain(first, {4, 5, 6}, observer,
                     [&](LedgerConnection& on, RunObserver& follower, int month) {
                         return seen.Run(on, follower, month);
                     });
    // Completed: each month but the last saw the next begin before it ended.
    EXPECT_EQ(
        HandedOver(chain),
        (std::vector<std::pair<int, RunOutcome>>{
            {4, RunOutcome::Completed}, {5, RunOutcome::Completed}, {6, RunOutcome::Completed}}));
    // The connections take turns.
    ASSERT_EQ(seen.connections.size(), 3U);
    EXPECT_EQ(seen.connections[0], &first);
    EXPECT_NE(seen.connections[1], &first);
    EXPECT_EQ(seen.connections[2], &first);
    // A month is followed once the months before are handed over: what the next did before
    // then is not heard.
    EXPECT_EQ(observer.heard, (std::vector<std::string>{"4:0", "4:1", "5:1", "6:1"}));
}

TEST(MonthChain, ACancelledMonthEndsTheChain) {
    LedgerConnection first;
    MonthsSeen seen;
    seen.cancelled = {5};
    RunObserver silent;
    MonthChain chain(first, {4, 5, 6}, silent,
                     [&](LedgerConnection& on, RunObserver& follower, int month) {
                         return seen.Run(on, follower, month);
                     });
    EXPECT_EQ(HandedOver(chain), (std::vector<std::pair<int, RunOutcome>>{
                                     {4, RunOutcome::Completed}, {5, RunOutcome::Cancelled}}));
    EXPECT_EQ(seen.begun, (std::vector<int>{4, 5}));
}

}  // namespace
}  // namespace vat
