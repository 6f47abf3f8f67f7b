#!/usr/bin/env bash
# The project's habits, checked. scripts/check.sh [CHECK...] runs the named checks, all of them
# when none is named, goes on after a failure, prints each one's time and fails if any failed.
#   layering    the parts include only downward and the core includes no Qt
#   format      every tracked .cpp and .h file is as clang-format leaves it
#   shell       the shell scripts are shellcheck-clean
#   tidy        clang-tidy (.clang-tidy) on every source of app, disk, ledger, returns and
#               validation, with the compile database of VAT_BUILD_DIR
#   werror      everything builds without a warning (Release, -DVAT_WERROR=ON, in build-werror)
#   sanitize    the GoogleTest tests under ASan (leaks included) and UBSan, against the test
#               server (Debug, -DVAT_SANITIZE=ON, in build-sanitize)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
scripts/install-deps.sh

all_checks=(layering format shell tidy werror sanitize)

check_layering() { scripts/check-layering.sh; }

check_format() { git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror; }

check_shell() { shellcheck scripts/*.sh tests/scripts/*.sh .ci/run; }

check_tidy() {
  local build_dir=${VAT_BUILD_DIR:-$root/build}
  # Configuring is enough: the sources compile from themselves and the configured headers.
  cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
  # Every source of the parts, subfolders included (scripts/tidy-sources.sh; a test holds it).
  local log status=0
  log=$(mktemp)
  scripts/tidy-sources.sh | xargs -P2 -n8 clang-tidy -quiet -p "$build_dir" >"$log" 2>&1 ||
    status=$?
  grep -vE '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' "$log" || true
  rm -f "$log"
  return "$status"
}

check_werror() { VAT_BUILD_DIR=$root/build-werror scripts/build.sh -DVAT_WERROR=ON; }

check_sanitize() {
  local build_dir=$root/build-sanitize targets
  # Every GoogleTest executable as tests/CMakeLists.txt declares it; the window's Qt tests stay
  # out. One declared elsewhere would show up below as a test NOT_BUILT.
  mapfile -t targets < <(sed -n 's/^ *gtest_discover_tests(\([A-Za-z0-9_]*\).*/\1/p' \
    tests/CMakeLists.txt)
  cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Debug -DVAT_SANITIZE=ON
  cmake --build "$build_dir" -j2 --target "${targets[@]}"
  # shellcheck source=scripts/test-cluster.sh
  source scripts/test-cluster.sh
  start_test_cluster
  # A sanitizer's own exit status, so that a report from the command-line program that the
  # tests run cannot pass for one of the program's statuses.
  export ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:detect_stack_use_after_return=1:exitcode=86
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:exitcode=86
  ctest --test-dir "$build_dir" --output-on-failure --label-exclude window
}

(($# > 0)) || set -- "${all_checks[@]}"
for name in "$@"; do
  [[ " ${all_checks[*]} " == *" $name "* ]] || {
    echo "usage: $0 [${all_checks[*]}]..." >&2
    exit 2
  }
done

failed=()
summary=()
for name in "$@"; do
  echo "== $name"
  start=$SECONDS
  set +e
  (
    set -e
    "check_$name"
  )
  status=$?
  set -e
  outcome=ok
  ((status == 0)) || {
    outcome=FAILED
    failed+=("$name")
  }
  summary+=("$(printf '%-11s %-6s %5d s' "$name" "$outcome" $((SECONDS - start)))")
done

echo "== summary"
printf '%s\n' "${summary[@]}"
((${#failed[@]} == 0)) || {
  echo "Failed: ${failed[*]}" >&2
  exit 1
}
