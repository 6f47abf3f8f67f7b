#!/usr/bin/env bash
# Measures a whole Generate Files run of April against one streaming pass over April's day-book
# rows, on demo ledgers of several sizes, with and without the voucher index of the day book,
# and prints a table. Uses a PostgreSQL server of its own (port 54331, data in .run/pg-bench),
# stopped afterwards, so the demo and test servers are left alone.
#   scripts/bench.sh        a month with no vouchers and one of 1,000 (the fixed cost of a
#                           run), 10,000 and 100,000 vouchers with and without the index,
#                           100,000 of the error-heavy mix with and without it, and 10,000
#                           indexed with the facts read per voucher for comparison
#   VAT_BENCH_CASES="2000:yes 2000:no:errors" scripts/bench.sh
#                           other sizes (vouchers:index[:errors]); "errors" puts a fifth of the
#                           documents on parties whose documents carry error rows (TINs with a
#                           space or of the wrong length, other states' parties in local lists)
#   VAT_BENCH_ROUNDS=3 VAT_BENCH_BASELINE=DIR scripts/bench.sh
#                           every row three times, side by side with the run-bench and
#                           vat-efile-cli of another build whose build folder is DIR, then the
#                           medians of the rounds with their least and greatest
# Each data file is then written by vat-efile-cli and checked with --verify against that run,
# each timed on its own with its peak memory: the check reruns the month into a throwaway
# folder, so it costs about one run more than reading the record and the files.
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
read -ra cases <<<"${VAT_BENCH_CASES-0:yes 1000:yes 10000:yes 10000:no 100000:yes 100000:no \
100000:yes:errors 100000:no:errors}"
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
  IFS=: read -r vouchers index mix <<<"$case"
  name=$([[ $mix == errors ]] && echo errors || echo bench)_${vouchers}_$(
    [[ $index == yes ]] && echo indexed || echo plain)
  names+=("$name")
  extra=()
  [[ $index == yes ]] && extra=(fixtures/daybok_index.sql)
  mixed=()
  [[ $mix == errors ]] && mixed=(--error-percent 20)
  echo "Loading $name ($vouchers vouchers in April)"
  "$build_dir/fixtures/demo-ledger" --seed "$seed" --vouchers-per-month "$vouchers" --months 4 \
    "${mixed[@]}" | scripts/load-ledger.sh "$name" - "${extra[@]}"
  # The statistics autovacuum would gather on real books, so plans do not depend on timing.
  ledger_psql -d "$name" -c "analyze daybok, bills, inventory, ledger_acts, city"
done

if [[ -n $year_vouchers ]]; then
  year_name=bench_year_$year_vouchers
  echo "Loading $year_name ($year_vouchers vouchers a month, April to March)"
  "$build_dir/fixtures/demo-ledger" --seed "$seed" --vouchers-per-month "$year_vouchers" |
    scripts/load-ledger.sh "$year_name" - fixtures/daybok_index.sql
  ledger_psql -d "$year_name" -c "analyze daybok, bills, inventory, ledger_acts, city"
fi

# Each row is measured by this build and, with VAT_BENCH_BASELINE, by the other build's
# run-bench, the two alternating which goes first from round to round.
builds=(this)
declare -A bench_of=([this]=$build_dir/bench/run-bench) cli_of=([this]=$build_dir/bin/vat-efile-cli)
if [[ -n ${VAT_BENCH_BASELINE:-} ]]; then
  builds=(baseline this)
  bench_of[baseline]=$VAT_BENCH_BASELINE/bench/run-bench
  # An older build kept run-bench beside the programs.
  [[ -x ${bench_of[baseline]} ]] || bench_of[baseline]=$VAT_BENCH_BASELINE/bin/run-bench
  cli_of[baseline]=$VAT_BENCH_BASELINE/bin/vat-efile-cli
fi
rounds=${VAT_BENCH_ROUNDS:-1}
# Calls "$@" BUILD NAME for every data file of every round.
in_rounds() {
  local round name build order
  for ((round = 1; round <= rounds; round++)); do
    order=("${builds[@]}")
    ((round % 2)) || order=("${builds[@]:1}" "${builds[0]}")
    for name in "${names[@]}"; do
      for build in "${order[@]}"; do "$@" "$build" "$name"; done
    done
  done
}
rows=()
measure() {
  local build=$1
  shift
  rows+=("$(printf '%-9s' "$build") $("${bench_of[$build]}" "$@")")
}
run_bench() { measure "$1" --data-file "$2"; }

echo
in_rounds run_bench
# The per-voucher reading, for comparison, where the index keeps it bearable.
if [[ " ${names[*]} " == *" bench_10000_indexed "* ]]; then
  measure this --data-file bench_10000_indexed --query-per-voucher
fi
printf '%-9s %s\n' build "$("${bench_of[this]}" --header)"
printf '%s\n' "${rows[@]}"

# A month written by the command line, then checked with --verify against what it wrote: the
# seconds on the clock and the peak memory of each, from the process's own account.
folder=$(mktemp -d)
trap 'rm -rf "$folder"; scripts/pg-cluster.sh stop' EXIT
checks=()
timed() {
  local status=0
  /usr/bin/time -f '%e %M' -o "$folder/time" "$@" >/dev/null || status=$?
  # 3: a file failed its schema check; 4: --verify found the books changed.
  ((status == 0 || status == 3)) || { echo "$* exited $status" >&2; return 1; }
  # GNU time puts "Command exited with non-zero status 3" before its figures.
  tail -n 1 "$folder/time" | awk '{ printf "%s %.0f", $1, $2 / 1024 }'
}
verify() {
  local build=$1 name=$2 run check
  run=$(timed "${cli_of[$build]}" --data-file "$name" --month 4 --folder "$folder/$build")
  check=$(timed "${cli_of[$build]}" --data-file "$name" --month 4 --folder "$folder/$build" --verify)
  checks+=("$(printf '%-9s %-20s %s %s' "$build" "$name" "${run%% *}" "${check%% *}") \
$(awk -v run="${run%% *}" -v check="${check%% *}" 'BEGIN { printf "%.2f", check / run }') \
${run##* } ${check##* }")
}
in_rounds verify
echo
printf '%-9s %-20s %s %s %s %s %s\n' build "data file" "run s" "verify s" verify/run "run MB" \
  "verify MB"
printf '%s\n' "${checks[@]}"

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
    for build in "${order[@]}"; do measure_year "$build" "${cli_of[$build]}"; done
  done
  echo
  printf '%-9s %-20s %8s %8s %8s %8s %10s\n' build "data file" "month s" "month MB" "year s" \
    "year MB" "year/month"
  printf '%s\n' "${year_rows[@]}"
fi
((rounds > 1)) || exit 0

# Per key (the first keys columns), the median of each other column over the rounds, with the
# least and greatest of them.
medians() {
  awk -v keys="$1" -v header="$2" '
    function spread(values,   v, n, i, j, t) {
      n = split(values, v, " ")
      for (i = 2; i <= n; i++)
        for (j = i; j > 1 && v[j - 1] + 0 > v[j] + 0; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
      return sprintf("%s (%s-%s)", n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2, v[1], v[n])
    }
    function row(fields,   n, f, i, line) {
      n = split(fields, f, "|")
      line = sprintf("%-9s %-20s", f[1], f[2])
      for (i = 3; i <= keys; i++) line = line sprintf(" %-8s", f[i])
      for (; i <= n; i++) line = line sprintf(" %-19s", f[i])
      print line
    }
    {
      key = $1
      for (i = 2; i <= keys; i++) key = key "|" $i
      if (!(key in seen)) { seen[key]; order[++count] = key }
      for (i = keys + 1; i <= NF; i++) values[key, i] = values[key, i] " " $i
      width[key] = NF
    }
    END {
      row(header)
      for (k = 1; k <= count; k++) {
        fields = order[k]
        for (i = keys + 1; i <= width[order[k]]; i++) fields = fields "|" spread(values[order[k], i])
        row(fields)
      }
    }'
}

# Per build, data file and reading: the runs against the passes; per build and data file: the
# checks against the runs.
echo
printf '%s\n' "${rows[@]}" | awk '{ print $1, $2, $5, $8, $9, $10, $11, $12 }' |
  medians 3 "build|data file|facts|pass s|run s|run cpu s|run/pass|peak MB"
echo
printf '%s\n' "${checks[@]}" | medians 2 "build|data file|run s|verify s|verify/run|run MB|verify MB"
((${#year_rows[@]} == 0)) || {
  echo
  printf '%s\n' "${year_rows[@]}" |
    medians 2 "build|data file|month s|month MB|year s|year MB|year/month"
}
