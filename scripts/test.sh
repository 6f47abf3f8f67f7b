#!/usr/bin/env bash
# Builds everything and runs every test against a fresh PostgreSQL server of its own
# (port 54330, data in .run/pg-test), which is stopped afterwards whatever the outcome.
# Arguments are passed to ctest, e.g. scripts/test.sh -R LocalPurchase
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

# Kept apart from the demo server, which may still be running.
export VAT_PG_PORT=${VAT_TEST_PG_PORT:-54330}
export VAT_PG_DIR=$root/.run/pg-test
export VAT_ODBC_DIR=$root/.run/odbc-test

build_dir=${VAT_BUILD_DIR:-$root/build}
export VAT_BUILD_DIR=$build_dir

scripts/install-deps.sh
scripts/build.sh

# A new cluster each time keeps the catalogue order of the test data files exact.
scripts/pg-cluster.sh destroy
trap 'scripts/pg-cluster.sh stop' EXIT
scripts/pg-cluster.sh start
scripts/write-odbc-ini.sh
scripts/load-test-ledgers.sh

eval "$(scripts/pg-cluster.sh env)"
export QT_QPA_PLATFORM=offscreen

status=0
ctest --test-dir "$build_dir" --output-on-failure "$@" || status=$?
exit "$status"
