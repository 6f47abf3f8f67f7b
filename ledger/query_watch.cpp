#include "ledger/query_watch.h"

#include <sqlext.h>

#include <chrono>

#include "ledger/connection_options.h"
#include "ledger/ledger_error.h"
#include "ledger/odbc_diagnostics.h"

namespace vat {

namespace {

// The server's SQLSTATE for a statement it stopped, by its timeout or by a cancel request.
constexpr const char* kQueryCanceled = "57014";

// The server times a statement on its own clock, from the moment it reads it. Here the stop comes
// under a millisecond after the timeout by this process's clock, and on a loaded machine it has
// come before it. A stop this close to the timeout is taken for it.
constexpr auto kClockMargin = std::chrono::milliseconds(250);

}  // namespace

void QueryWatch::Begin(const std::string& database, int statementTimeoutSeconds) {
    const std::lock_guard lock(mutex_);
    cancelled_ = false;
    database_ = database;
    statementTimeoutSeconds_ = statementTimeoutSeconds;
}

void QueryWatch::Cancel() {
    const std::lock_guard lock(mutex_);
    cancelled_ = true;
    // The statement cannot be freed meanwhile: Run clears running_ under the lock first.
    if (running_ != SQL_NULL_HSTMT) SQLCancel(running_);
    for (QueryWatch* other : linked_) other->Cancel();
}

void QueryWatch::Link(QueryWatch& other) {
    const std::lock_guard lock(mutex_);
    linked_.push_back(&other);
    if (cancelled_) other.Cancel();
}

void QueryWatch::Unlink(QueryWatch& other) {
    const std::lock_guard lock(mutex_);
    std::erase(linked_, &other);
}

bool QueryWatch::CancelRequested() {
    const std::lock_guard lock(mutex_);
    return cancelled_;
}

SQLRETURN QueryWatch::Run(SQLHSTMT statement, const std::function<std::string()>& context,
                          const std::function<SQLRETURN()>& call) {
    {
        const std::lock_guard lock(mutex_);
        if (cancelled_) throw Cancelled(kQueryCanceled);
        running_ = statement;
    }
    const auto started = std::chrono::steady_clock::now();
    const SQLRETURN code = call();
    const auto waited = std::chrono::steady_clock::now() - started;
    bool wasCancelled = false;
    {
        const std::lock_guard lock(mutex_);
        running_ = SQL_NULL_HSTMT;
        wasCancelled = cancelled_;
    }
    if (SQL_SUCCEEDED(code) || code == SQL_NO_DATA) return code;

    LedgerError failure = OdbcFailure(SQL_HANDLE_STMT, statement, context());
    if (wasCancelled) throw Cancelled(failure.SqlState());
    // The server's own text may be in another language: the time waited tells the timeout.
    if (failure.SqlState() == kQueryCanceled && statementTimeoutSeconds_ > 0 &&
        waited + kClockMargin >= std::chrono::seconds(statementTimeoutSeconds_))
        throw LedgerError(failure.SqlState(),
                          "A query on the data file " + database_ + " was stopped after " +
                              SecondsText(statementTimeoutSeconds_) + " (statement timeout)");
    throw failure;
}

LedgerError QueryWatch::Cancelled(const std::string& sqlState) const {
    return LedgerError(sqlState, "A query on the data file " + database_ + " was cancelled");
}

}  // namespace vat
