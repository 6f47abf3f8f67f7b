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

# ctest pads every result line to the longest test name. Its lines are printed as "count
# status time  name" instead, without the lines that announce each start; on a terminal a
# passed test's name is shortened in the middle to fit (a failed test's name stays whole).
width=0
[[ ! -t 1 ]] || width=$(tput cols 2>/dev/null || echo 80)
status=0
ctest --test-dir "$build_dir" --output-on-failure "$@" | awk -v width="$width" '
  /^ +Start +[0-9]+: / { next }
  /^ *[0-9]+\/[0-9]+ Test +#[0-9]+: / {
    count = $1
    sub(/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: /, "")
    if (match($0, / \.+ */)) {
      name = substr($0, 1, RSTART - 1)
      result = substr($0, RSTART + RLENGTH)
      gsub(/  +/, " ", result)
      head = sprintf("%7s %s  ", count, result)
      room = width - length(head) - 3
      if (width > 0 && result ~ /^Passed/ && length(name) > room && room > 10) {
        tail = int(room / 2)
        name = substr(name, 1, room - tail) "..." substr(name, length(name) - tail + 1)
      }
      $0 = head name
    }
  }
  { print; fflush() }' || status=$?
exit "$status"
