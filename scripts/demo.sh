#!/usr/bin/env bash
# Builds the program, starts a PostgreSQL server holding two demo companies (demo2014 and
# demo2015) and opens the window on them. The server keeps running afterwards, so the next
# start is quick; scripts/pg-cluster.sh stop ends it.
set -euo pipefail
# shellcheck source=scripts/cluster-settings.sh
source "$(dirname "${BASH_SOURCE[0]}")/cluster-settings.sh"
cd "$VAT_ROOT"

build_dir=${VAT_BUILD_DIR:-$VAT_ROOT/build}
export VAT_BUILD_DIR=$build_dir

scripts/install-deps.sh
# Only what the demo runs; scripts/test.sh builds the rest.
scripts/build.sh vat-efile vat-efile-cli demo-ledger
scripts/pg-cluster.sh start
scripts/write-odbc-ini.sh

is_loaded() {
  [[ $(ledger_psql -d "$1" -tA -c 'select count(*) from super' 2>/dev/null) == 1 ]]
}

load_demo() {
  local name=$1 seed=$2 year=$3
  echo "Loading the demo company $name"
  "$build_dir/fixtures/demo-ledger" --seed "$seed" --vouchers-per-month 300 --year "$year" |
    scripts/load-ledger.sh "$name" - fixtures/daybok_index.sql
}

# The window lists data files in the server's catalogue order, which is creation order: when
# one is missing both are loaded again so that demo2014 comes first.
if ! is_loaded demo2014 || ! is_loaded demo2015; then
  load_demo demo2014 1 2014
  load_demo demo2015 2 2015
fi

eval "$(scripts/pg-cluster.sh env)"
stop_hint="The PostgreSQL server keeps running; stop it with: scripts/pg-cluster.sh stop"

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
  cat <<NOTE
The window needs a graphical display, and none is set (DISPLAY / WAYLAND_DISPLAY).
The same returns can be generated from the command line, for example:
  eval "\$(scripts/pg-cluster.sh env)"
  ${build_dir#"$VAT_ROOT"/}/bin/vat-efile-cli --data-file demo2014 --month APR
$stop_hint
NOTE
  exit 0
fi

status=0
"$build_dir/bin/vat-efile" || status=$?
echo "$stop_hint"
exit "$status"
