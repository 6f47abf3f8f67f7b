#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

#include "ledger/ledger_connection.h"
#include "ledger/sibling_connection.h"
#include "returns/run/run_result.h"

namespace vat {

// Runs months one after another on two connections taking turns, each begun as soon as the one
// before has written its files: while that one reads the month's postings and writes its
// record, the next reads its first lists. The months are handed over in their order, and the
// observer follows one month at a time: a month's progress reaches it once the months before
// have been handed over. A cancel of the first connection stops the second's statements too.
class MonthChain {
public:
    using MonthRun =
        std::function<RunResult(LedgerConnection& ledger, RunObserver& observer, int monthNumber)>;
    // Hands over a month's result; false stops the chain: no later month begins, and one begun
    // already is waited for and left unreported.
    using MonthDone = std::function<bool(int monthNumber, const RunResult& result)>;

    MonthChain(LedgerConnection& first, std::vector<int> months, RunObserver& observer,
               MonthRun run);
    MonthChain(const MonthChain&) = delete;
    MonthChain& operator=(const MonthChain&) = delete;
    ~MonthChain();

    void Run(const MonthDone& monthDone);

private:
    class Follower;

    void Begin(std::size_t at);
    void Stop();

    std::vector<int> months_;
    RunObserver& observer_;
    MonthRun run_;
    std::unique_ptr<SiblingConnection> second_;
    std::array<LedgerConnection*, 2> ledgers_;
    // A connection is one month's from its first statement to its result.
    std::array<std::mutex, 2> turns_;
    std::vector<std::unique_ptr<Follower>> followers_;
    std::mutex mutex_;  // guards stopped_ and the futures' assignment
    bool stopped_ = false;
    // A month's run, from when it begins until it is handed over. Last, so that they are waited
    // for first while everything they use still stands.
    std::vector<std::future<RunResult>> runs_;
};

}  // namespace vat
