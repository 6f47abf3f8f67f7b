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

}  // namespace vat::test
