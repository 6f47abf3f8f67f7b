#!/usr/bin/env bash
# Builds everything and runs every test against a fresh PostgreSQL server of its own
# (port 54330, data in .run/pg-test), which is stopped afterwards whatever the outcome.
# Arguments are passed to ctest, e.g. scripts/test.sh -R LocalPurchase
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
# shellcheck source=scripts/test-cluster.sh
source scripts/test-cluster.sh

build_dir=${VAT_BUILD_DIR:-$root/build}
export VAT_BUILD_DIR=$build_dir

scripts/install-deps.sh
scripts/build.sh

start_test_cluster

status=0
ctest --test-dir "$build_dir" --output-on-failure "$@" || status=$?
exit "$status"
