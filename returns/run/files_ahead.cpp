#include "returns/run/files_ahead.h"

#include <stdexcept>
#include <system_error>
#include <type_traits>
#include <utility>

#include "ledger/ledger_error.h"
#include "returns/declarations/return_files.h"

namespace vat {

namespace {

// What read returns, or the exception it throws, for one thread to hand to the other.
template <class Read>
std::pair<std::optional<std::invoke_result_t<Read>>, std::exception_ptr> Attempted(Read read) {
    try {
        return {read(), nullptr};
    } catch (...) {
        return {std::nullopt, std::current_exception()};
    }
}

}  // namespace

FilesAhead::FilesAhead(const LedgerSnapshot& snapshot, int monthNumber,
                       const ReconciledMonth& booksMonth, RunObserver& observer)
    : ledger_(snapshot.Ledger()),
      observer_(observer),
      monthNumber_(monthNumber),
      booksMonth_(booksMonth),
      preparedByRun_(RunOrder().front().get().billsAccountedBy ? 0 : 1),
      shared_(snapshot) {
    try {
        thread_ = std::thread(&FilesAhead::PrepareAll, this);
    } catch (const std::system_error&) {
        alone_ = true;  // no thread to be had
    }
}

FilesAhead::~FilesAhead() {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    shared_.Cancel();
    thread_.join();
}

void FilesAhead::PrepareAll() {
    observer_.BeforeReadingAhead();
    try {
        shared_.Open();
    } catch (const LedgerError&) {
        {
            const std::lock_guard lock(mutex_);
            alone_ = true;
        }
        changed_.notify_all();
        return;
    }
    const ReturnFileKinds& order = RunOrder();
    for (std::size_t at = preparedByRun_; at < order.size(); ++at)
        if (!PrepareNext(order[at])) return;
    if (ClaimBooks()) ReadBooks(shared_.Ledger());
}

bool FilesAhead::ClaimBooks() {
    const std::lock_guard lock(mutex_);
    return ClaimBooksHeld();
}

bool FilesAhead::ClaimBooksHeld() { return !std::exchange(booksClaimed_, true); }

void FilesAhead::ReadBooks(LedgerConnection& ledger) {
    auto [books, failure] = Attempted([&] { return ReadBooksFigures(ledger, booksMonth_); });
    {
        const std::lock_guard lock(mutex_);
        books_ = books;
        booksFailure_ = failure;
    }
    changed_.notify_all();
}

// False when the run ended or the preparation failed, and the thread is done.
bool FilesAhead::PrepareNext(const ReturnFileKind& kind) {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopping_ || ready_.size() < kWaiting; });
        if (stopping_) return false;
    }
    auto [prepared, failure] = Attempted([&] {
        return PrepareFile(kind, monthNumber_, FactReading::PerList, shared_.Ledger(), readAhead_,
                           [this](const ReturnFileKind& other) { return AccountingLists(other); });
    });
    {
        const std::lock_guard lock(mutex_);
        if (prepared)
            ready_.push_back(std::move(*prepared));
        else
            failure_ = failure;
    }
    changed_.notify_all();
    return prepared.has_value();
}

PreparedFile FilesAhead::Take(const ReturnFileKind& kind) {
    const ReturnFileKinds& order = RunOrder();
    if (taken_ >= order.size() || &order[taken_].get() != &kind)
        throw std::logic_error("A return file was asked for out of the run order");
    if (taken_++ < preparedByRun_) {
        ListsReadAhead none;  // the thread's own is the thread's alone
        return PrepareFile(kind, monthNumber_, FactReading::PerList, ledger_, none);
    }
    std::unique_lock lock(mutex_);
    const auto arrived = [this] { return !ready_.empty() || failure_ || alone_; };
    // The run would wait for the thread. It reads meanwhile the lists the file reads last that
    // the thread has not begun, then the books figures, when no one has: the thread, at the
    // end, would read them beside the run's postings.
    while (!arrived() && kind.billsAccountedBy &&
           ReadAccountingListForThread(kind.billsAccountedBy(), lock)) {
    }
    if (!arrived() && ClaimBooksHeld()) {
        lock.unlock();
        ReadBooks(ledger_);
        lock.lock();
    }
    changed_.wait(lock, arrived);
    if (!ready_.empty()) {
        PreparedFile prepared = std::move(ready_.front());
        ready_.pop_front();
        lock.unlock();
        changed_.notify_all();
        return prepared;
    }
    if (failure_) std::rethrow_exception(failure_);
    // The thread ended without a second connection, before it prepared anything.
    lock.unlock();
    return PrepareFile(kind, monthNumber_, FactReading::PerList, ledger_, readAhead_);
}

std::vector<BufferedRows> FilesAhead::AccountingLists(const ReturnFileKind& other) {
    std::vector<BufferedRows> lists(other.lists.size());
    std::vector<std::size_t> readByRun;
    for (std::size_t index = 0; index < lists.size(); ++index) {
        {
            const std::lock_guard lock(mutex_);
            if (accountingReader_.try_emplace({&other, index}, Reader::Thread).first->second !=
                Reader::Thread) {
                readByRun.push_back(index);
                continue;
            }
        }
        lists[index] = ReadFileList(other, index, monthNumber_, shared_.Ledger());
    }
    std::unique_lock lock(mutex_);
    for (const std::size_t index : readByRun) {
        const ListOfFile list{&other, index};
        changed_.wait(lock, [&] { return accountingRead_.contains(list) || accountingFailure_; });
        if (accountingFailure_) std::rethrow_exception(accountingFailure_);
        lists[index] = std::move(accountingRead_.extract(list).mapped());
    }
    return lists;
}

bool FilesAhead::ReadAccountingListForThread(const ReturnFileKind& other,
                                             std::unique_lock<std::mutex>& lock) {
    std::size_t index = other.lists.size();
    while (index > 0 && !accountingReader_.try_emplace({&other, index - 1}, Reader::Run).second)
        --index;
    if (index == 0) return false;
    lock.unlock();
    auto [list, failure] =
        Attempted([&] { return ReadFileList(other, index - 1, monthNumber_, ledger_); });
    lock.lock();
    if (list)
        accountingRead_[{&other, index - 1}] = std::move(*list);
    else
        accountingFailure_ = failure;
    changed_.notify_all();
    return true;
}

BooksFigures FilesAhead::TakeBooksFigures() {
    if (ClaimBooks()) ReadBooks(ledger_);  // the thread could not
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return books_ || booksFailure_; });
    if (booksFailure_) std::rethrow_exception(booksFailure_);
    return *books_;
}

}  // namespace vat
