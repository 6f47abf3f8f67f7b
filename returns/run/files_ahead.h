#pragma once

#include <cstddef>
#include <future>
#include <optional>

#include "ledger/ledger_snapshot.h"
#include "ledger/shared_snapshot.h"
#include "returns/declarations/return_file_kind.h"
#include "returns/run/prepared_file.h"

namespace vat {

// The server and the run at work at the same time: while the run walks, writes and checks one
// file, a second connection reading the run's snapshot prepares the next file of the run order
// (its lists and the facts read per list) on a thread of its own. That thread alone uses the
// connection and the file it prepares until it hands the file over through a future; the
// facts, read whole, answer from memory after. When the second connection cannot be opened or
// cannot share the snapshot, each file is prepared in turn on the run's own connection.
class FilesAhead {
public:
    // Starts preparing the first file of the run order.
    FilesAhead(const LedgerSnapshot& snapshot, int monthNumber);
    FilesAhead(const FilesAhead&) = delete;
    FilesAhead& operator=(const FilesAhead&) = delete;
    // Stops the preparation in progress and waits for its thread.
    ~FilesAhead();

    // The next file of the run order, prepared, and the one after it started. Throws what its
    // preparation threw (LedgerError), and std::logic_error for a file out of the run order.
    PreparedFile Take(const ReturnFileKind& kind);

private:
    void Start(const ReturnFileKind& kind);

    LedgerConnection& ledger_;  // the run's own
    const int monthNumber_;
    SharedSnapshot shared_;
    ListsReadAhead readAhead_;
    std::size_t next_ = 0;  // in the run order
    // The next file; nullopt when the second connection could not be opened.
    std::future<std::optional<PreparedFile>> coming_;
};

}  // namespace vat
