# shellcheck shell=bash
# The throwaway PostgreSQL server the tests run against: port VAT_TEST_PG_PORT (default 54330),
# data in .run/pg-test, kept apart from the demo server, which may still be running.
# Sourced by scripts/test.sh and scripts/check.sh; never run.

test_cluster_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export VAT_PG_PORT=${VAT_TEST_PG_PORT:-54330}
export VAT_PG_DIR=$test_cluster_root/.run/pg-test
export VAT_ODBC_DIR=$test_cluster_root/.run/odbc-test

# Starts a fresh server with the fixture ledgers loaded, exports what psql and the ODBC data
# source "edb" need, and stops the server when the calling shell exits.
start_test_cluster() {
  # A new cluster each time keeps the catalogue order of the test data files exact.
  "$test_cluster_root/scripts/pg-cluster.sh" destroy
  trap stop_test_cluster EXIT
  "$test_cluster_root/scripts/pg-cluster.sh" start
  "$test_cluster_root/scripts/write-odbc-ini.sh"
  "$test_cluster_root/scripts/load-test-ledgers.sh"
  eval "$("$test_cluster_root/scripts/pg-cluster.sh" env)"
  export QT_QPA_PLATFORM=offscreen
}

stop_test_cluster() { "$test_cluster_root/scripts/pg-cluster.sh" stop; }
