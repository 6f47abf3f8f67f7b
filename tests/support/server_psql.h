#pragma once

#include <string>

namespace vat::test {

// Runs SQL with psql on the test server as the books' login (the PG* variables of
// scripts/pg-cluster.sh env) and returns its rows, unaligned and without headers. An error
// fails the test.
std::string Psql(const std::string& database, const std::string& sql);

// The same as the server's superuser, through the cluster's socket (VAT_PG_SOCKET_DIR), which
// only the cluster's own system user reaches: for changing the books' login itself.
std::string AdminPsql(const std::string& database, const std::string& sql);

// Another session holding an ACCESS EXCLUSIVE lock on a table of a database from construction
// to destruction: psql in the background inside a transaction, ended by terminating its
// server process.
class TableLock {
public:
    TableLock(const std::string& database, const std::string& table);
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;
    ~TableLock();
};

}  // namespace vat::test
