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
#   VAT_BENCH_YEAR=50000 VAT_BENCH_CASES= scripts/bench.sh
#                           also vat-efile-cli --year --json on a financial year of 50,000
#                           vouchers a month against --month APR --json on the same ledger: the
#                           time on the clock and the peak memory of each (GNU time), and their
#                           ratio; VAT_BENCH_CASES= leaves out the month rows above
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

export VAT_PG_PORT=${VAT_BENCH_PG_PORT:-54331}
export VAT_PG_DIR=$root/.run/pg-bench
export VAT_ODBC_DIR=$root/.run/odbc-bench
# shellcheck source=scripts/cluster-settings.sh
source scripts/cluster-settings.sh

build_dir=${VAT_BUILD_DIR:-$root/build}
read -ra cases <<<"${VAT_BENCH_CASES-10000:yes 50000:yes 10000:no 50000:no}"
year_vouchers=${VAT_BENCH_YEAR:-}
seed=42

scripts/install-deps.sh
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir" -j2 --target run-bench demo-ledger vat-efile-cli

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

if [[ -n $year_vouchers ]]; then
  year_name=bench_year_$year_vouchers
  echo "Loading $year_name ($year_vouchers vouchers a month, April to March)"
  "$build_dir/bin/demo-ledger" --seed "$seed" --vouchers-per-month "$year_vouchers" |
    scripts/load-ledger.sh "$year_name" - fixtures/daybok_index.sql
  ledger_psql -d "$year_name" -c "analyze daybok, bills, inventory, ledger_acts, city"
fi

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
# A year against one month of it, each a run of the command line writing into a folder of its own.
year_rows=()
measure_year() {
  local build=$1 program=$2 folder measured times=()
  folder=$(mktemp -d)
  for what in "--month APR" --year; do
    # shellcheck disable=SC2086 # the option and its value are two words
    read -ra measured <<<"$(/usr/bin/time -f "%e %M" "$program" --data-file "$year_name" $what \
      --json --folder "$folder" 2>&1 >/dev/null | tail -n 1)"
    times+=("${measured[@]}")
  done
  rm -rf "$folder"
  year_rows+=("$(awk -v build="$build" -v name="$year_name" -v m="${times[0]}" -v mk="${times[1]}" \
    -v y="${times[2]}" -v yk="${times[3]}" 'BEGIN {
      printf "%-9s %-20s %8.2f %8.0f %8.2f %8.0f %10.1f\n", build, name, m, mk / 1024, y,
        yk / 1024, y / m }')")
}
if [[ -n $year_vouchers ]]; then
  for ((round = 1; round <= rounds; round++)); do
    order=("${builds[@]}")
    ((round % 2)) || order=("${builds[@]:1}" "${builds[0]}")
    for build in "${order[@]}"; do
      measure_year "$build" "$(dirname "${bench_of[$build]}")/vat-efile-cli"
    done
  done
fi

# The per-voucher reading, for comparison, where the index keeps it bearable.
if [[ " ${names[*]} " == *" bench_10000_indexed "* ]]; then
  measure this --data-file bench_10000_indexed --query-per-voucher
fi
if ((${#rows[@]})); then
  printf '%-9s %s\n' build "$("$build_dir/bin/run-bench" --header)"
  printf '%s\n' "${rows[@]}"
fi
if ((${#year_rows[@]})); then
  echo
  printf '%-9s %-20s %8s %8s %8s %8s %10s\n' build "data file" "month s" "month MB" "year s" \
    "year MB" "year/month"
  printf '%s\n' "${year_rows[@]}"
fi
((rounds > 1)) || exit 0

# Per build, data file and reading: the median of the rounds, their least and greatest.
spread='
  function spread(values,   v, n, i, j, t) {
    n = split(values, v, " ")
    for (i = 2; i <= n; i++)
      for (j = i; j > 1 && v[j - 1] + 0 > v[j] + 0; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return sprintf("%s (%s-%s)", n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2, v[1], v[n])
  }'
echo
((${#rows[@]} == 0)) || printf '%s\n' "${rows[@]}" | awk "$spread"'
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
((${#year_rows[@]} == 0)) || printf '%s\n' "${year_rows[@]}" | awk "$spread"'
  {
    key = $1 " " $2
    if (!(key in year)) keys[++count] = key
    month[key] = month[key] " " $3; monthPeak[key] = monthPeak[key] " " $4
    year[key] = year[key] " " $5; yearPeak[key] = yearPeak[key] " " $6
    ratio[key] = ratio[key] " " $7
  }
  END {
    format = "%-9s %-20s %-19s %-16s %-22s %-16s %s\n"
    printf format, "build", "data file", "month s", "month MB", "year s", "year MB", "year/month"
    for (i = 1; i <= count; i++) {
      split(keys[i], k, " ")
      printf format, k[1], k[2], spread(month[keys[i]]), spread(monthPeak[keys[i]]),
        spread(year[keys[i]]), spread(yearPeak[keys[i]]), spread(ratio[keys[i]])
    }
  }'
