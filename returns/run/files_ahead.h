#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "ledger/ledger_snapshot.h"
#include "ledger/shared_snapshot.h"
#include "returns/declarations/return_file_kind.h"
#include "returns/reconcile/books_postings.h"
#include "returns/run/prepared_file.h"
#include "returns/run/run_result.h"

namespace vat {

// The server and the run at work at the same time: while the run walks, writes and checks one
// file, a thread of its own prepares the next files of the run order (their lists and the facts
// read per list) on a second connection reading the run's snapshot. That thread alone uses the
// connection and a file it prepares until it hands the file over by a small queue; the facts,
// read whole, answer from memory after. When the second connection cannot be opened or cannot
// share the snapshot, each file is prepared in turn on the run's own connection.
// The run prepares the first file itself, on its own connection, while the thread starts on the
// second: the run would otherwise wait for the first file with nothing to do, and the thread
// comes to the large sales file sooner.
// The run does not wait idle for a file the thread has not prepared yet. It reads meanwhile
// the lists that file reads last (the interstate sales lists, for the local sales file) that
// the thread has not begun, from the last, as the thread reads them from the first; then the
// books figures of the month the return is reconciled with, unless someone has. The thread
// reads those once it has prepared every file, when the run has not; the run asks for them
// once it has read the month's postings, and reads them itself when the thread could not.
class FilesAhead {
public:
    // Starts preparing the files of the run order, once the observer lets the thread begin
    // (BeforeReadingAhead), then, unless the run has begun them, the books figures of
    // booksMonth.
    FilesAhead(const LedgerSnapshot& snapshot, int monthNumber, const ReconciledMonth& booksMonth,
               RunObserver& observer);
    FilesAhead(const FilesAhead&) = delete;
    FilesAhead& operator=(const FilesAhead&) = delete;
    // Stops the preparation in progress and waits for its thread.
    ~FilesAhead();

    // The next file of the run order, prepared. Throws what its preparation threw (LedgerError),
    // and std::logic_error for a file out of the run order.
    PreparedFile Take(const ReturnFileKind& kind);

    // The books figures, once every file is taken. Throws what reading them threw (LedgerError).
    BooksFigures TakeBooksFigures();

private:
    void PrepareAll();
    bool PrepareNext(const ReturnFileKind& kind);
    // The lists of the file that accounts for a file's bills, read on the thread's connection
    // but those the run began first, as the run read them.
    std::vector<BufferedRows> AccountingLists(const ReturnFileKind& other);
    // One of them, the last the thread has not begun, claimed for the run: false when none is
    // left. Called with mutex_ held through lock, which it releases while it reads.
    bool ReadAccountingListForThread(const ReturnFileKind& other,
                                     std::unique_lock<std::mutex>& lock);
    // True for the first caller only, who then reads the books figures.
    bool ClaimBooks();
    // The same, called with mutex_ held.
    bool ClaimBooksHeld();
    void ReadBooks(LedgerConnection& ledger);

    // Files prepared and not yet taken: two, because a small file (the purchase returns) walks
    // in less time than the statements of the file after it (the local sales) take.
    static constexpr std::size_t kWaiting = 2;

    LedgerConnection& ledger_;  // the run's own
    RunObserver& observer_;
    const int monthNumber_;
    const ReconciledMonth booksMonth_;
    // Files of the run order the run prepares itself: the first, unless it reads lists ahead
    // for a later file, which the thread would then read again.
    const std::size_t preparedByRun_;
    SharedSnapshot shared_;
    ListsReadAhead readAhead_;
    std::size_t taken_ = 0;  // files of the run order taken

    std::mutex mutex_;  // guards what follows
    std::condition_variable changed_;
    std::deque<PreparedFile> ready_;
    std::exception_ptr failure_;  // of a file
    enum class Reader { Thread, Run };
    using ListOfFile = std::pair<const ReturnFileKind*, std::size_t>;  // a file and a list's index
    std::map<ListOfFile, Reader> accountingReader_;                    // who reads each list
    std::map<ListOfFile, BufferedRows> accountingRead_;                // by the run
    std::exception_ptr accountingFailure_;
    bool booksClaimed_ = false;
    std::optional<BooksFigures> books_;
    std::exception_ptr booksFailure_;
    bool alone_ = false;     // no second connection: the run prepares its files itself
    bool stopping_ = false;  // the run ended
    std::thread thread_;
};

}  // namespace vat
