#!/usr/bin/env bash
# Measures a whole Generate Files run of April against one streaming pass over April's day-book
# rows, on demo ledgers of several sizes, with and without the voucher index of the day book,
# and prints a table. Uses a PostgreSQL server of its own (port 54331, data in .run/pg-bench),
# stopped afterwards, so the demo and test servers are left alone.
#   scripts/bench.sh        10,000 and 50,000 vouchers, with and without the index, and
#                           10,000 indexed with the facts read per voucher for comparison
#   VAT_BENCH_CASES="2000:yes 2000:no" scripts/bench.sh    other sizes (vouchers:index)
#   VAT_BENCH_ROUNDS=3 VAT_BENCH_BASELINE=DIR scripts/bench.sh
#                           every row three times, side by side with the run-bench of another
#                           build in DIR (its bin folder, schemas beside it), then the medians
#                           of the rounds with their least and greatest
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

# Each row is measured by this build and, with VAT_BENCH_BASELINE, by the other build's
# run-bench, the two alternating which goes first from round to round.
builds=(this)
declare -A bench_of=([this]=$build_dir/bin/run-bench)
if [[ -n ${VAT_BENCH_BASELINE:-} ]]; then
  builds=(baseline this)
  bench_of[baseline]=$VAT_BENCH_BASELINE/run-bench
fi
rounds=${VAT_BENCH_ROUNDS:-1}
rows=()
measure() {
  local build=$1
  shift
  rows+=("$(printf '%-9s' "$build") $("${bench_of[$build]}" "$@")")
}

echo
for ((round = 1; round <= rounds; round++)); do
  order=("${builds[@]}")
  ((round % 2)) || order=("${builds[@]:1}" "${builds[0]}")
  for name in "${names[@]}"; do
    for build in "${order[@]}"; do measure "$build" --data-file "$name"; done
  done
done
# The per-voucher reading, for comparison, where the index keeps it bearable.
if [[ " ${names[*]} " == *" bench_10000_indexed "* ]]; then
  measure this --data-file bench_10000_indexed --query-per-voucher
fi
printf '%-9s %s\n' build "$("$build_dir/bin/run-bench" --header)"
printf '%s\n' "${rows[@]}"
((rounds > 1)) || exit 0

# Per build, data file and reading: the median of the rounds, their least and greatest.
echo
printf '%s\n' "${rows[@]}" | awk '
  function spread(values,   v, n, i, j, t) {
    n = split(values, v, " ")
    for (i = 2; i <= n; i++)
      for (j = i; j > 1 && v[j - 1] + 0 > v[j] + 0; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return sprintf("%s (%s-%s)", n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2, v[1], v[n])
  }
  {
    key = $1 " " $2 " " $5
    if (!(key in run)) keys[++count] = key
    pass[key] = pass[key] " " $8; run[key] = run[key] " " $9; cpu[key] = cpu[key] " " $10
    ratio[key] = ratio[key] " " $11; peak[key] = peak[key] " " $12
  }
  END {
    format = "%-9s %-20s %-8s %-22s %-19s %-19s %-16s %s\n"
    printf format, "build", "data file", "facts", "pass s", "run s", "run cpu s", "run/pass",
      "peak MB"
    for (i = 1; i <= count; i++) {
      split(keys[i], k, " ")
      printf format, k[1], k[2], k[3], spread(pass[keys[i]]), spread(run[keys[i]]),
        spread(cpu[keys[i]]), spread(ratio[keys[i]]), spread(peak[keys[i]])
    }
  }'
