#pragma once

#include <sql.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ledger/ledger_error.h"

namespace vat {

// The queries of one connection while they run: which statement is waiting for the server, so
// that another thread can cancel it, and why a query stopped, the statement timeout or a cancel.
class QueryWatch {
public:
    // A new session on the database, whose server stops a query after the timeout (0: never).
    void Begin(const std::string& database, int statementTimeoutSeconds);

    // Thread-safe. Asks the server to stop the statement running now, and refuses every later
    // one until the next Begin, so that a cancel falling between two queries still ends the work.
    void Cancel();
    // Thread-safe. Whether Cancel was called since the last Begin.
    bool CancelRequested();

    // Thread-safe. Passes every cancel of this watch on to the other, a second connection of the
    // same work, until Unlink; at once when this watch is already cancelled.
    void Link(QueryWatch& other);
    void Unlink(QueryWatch& other);

    // Runs a call that waits for the server on the statement (the execute, which brings the
    // whole result) and returns its code when it succeeded or found no data. Otherwise throws
    // LedgerError with the context and the driver's description, or, for a query stopped by the
    // timeout or by Cancel, a message naming the data file and the reason. The context is built
    // only on failure.
    SQLRETURN Run(SQLHSTMT statement, const std::function<std::string()>& context,
                  const std::function<SQLRETURN()>& call);

private:
    LedgerError Cancelled(const std::string& sqlState) const;

    std::mutex mutex_;  // guards running_, cancelled_ and linked_
    SQLHSTMT running_ = SQL_NULL_HSTMT;
    bool cancelled_ = false;
    std::vector<QueryWatch*> linked_;  // never linked back, so the locks are taken in one order
    std::string database_;
    int statementTimeoutSeconds_ = 0;
};

}  // namespace vat
