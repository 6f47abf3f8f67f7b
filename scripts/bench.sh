#!/usr/bin/env bash
# Measures a whole Generate Files run of April against one streaming pass over April's day-book
# rows, on demo ledgers of several sizes, with and without the voucher index of the day book,
# and prints a table. Uses a PostgreSQL server of its own (port 54331, data in .run/pg-bench),
# stopped afterwards, so the demo and test servers are left alone.
#   scripts/bench.sh        10,000 and 50,000 vouchers, with and without the index, and
#                           10,000 indexed with the facts read per voucher for comparison
#   VAT_BENCH_CASES="2000:yes 2000:no" scripts/bench.sh    other sizes (vouchers:index)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

export VAT_PG_PORT=${VAT_BENCH_PG_PORT:-54331}
export VAT_PG_DIR=$root/.run/pg-bench
export VAT_ODBC_DIR=$root/.run/odbc-bench
# shellcheck source=scripts/cluster-settings.sh
source scripts/cluster-settings.sh

build_dir=${VAT_BUILD_DIR:-$root/build}
read -ra cases <<<"${VAT_BENCH_CASES:-10000:yes 50000:yes 10000:no 50000:no}"
seed=42

scripts/install-deps.sh
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir" -j2 --target run-bench demo-ledger

scripts/pg-cluster.sh start
trap 'scripts/pg-cluster.sh stop' EXIT
scripts/write-odbc-ini.sh
eval "$(scripts/pg-cluster.sh env)"

# Only April is generated: the month's vouchers are what the run walks, and the month filter
# reads the whole day book either way.
names=()
for case in "${cases[@]}"; do
  vouchers=${case%%:*}
  index=${case##*:}
  name=bench_${vouchers}_$([[ $index == yes ]] && echo indexed || echo plain)
  names+=("$name")
  extra=()
  [[ $index == yes ]] && extra=(fixtures/daybok_index.sql)
  echo "Loading $name ($vouchers vouchers in April)"
  "$build_dir/bin/demo-ledger" --seed "$seed" --vouchers-per-month "$vouchers" --months 4 |
    scripts/load-ledger.sh "$name" - "${extra[@]}"
  # The statistics autovacuum would gather on real books, so plans do not depend on timing.
  ledger_psql -d "$name" -c "analyze daybok, bills, inventory, ledger_acts, city"
done

echo
table=$("$build_dir/bin/run-bench" --header)
for name in "${names[@]}"; do
  table+=$'\n'$("$build_dir/bin/run-bench" --data-file "$name")
done
# The per-voucher reading, for comparison, where the index keeps it bearable.
if [[ " ${names[*]} " == *" bench_10000_indexed "* ]]; then
  table+=$'\n'$("$build_dir/bin/run-bench" --data-file bench_10000_indexed --query-per-voucher)
fi
echo "$table"
