#!/usr/bin/env bash
# Configures and builds the tree in Release mode into VAT_BUILD_DIR (default build): the whole
# tree, or only the targets named. Arguments starting with -D go to the configure step, e.g.
#   scripts/build.sh vat-efile-cli        scripts/build.sh -DVAT_WERROR=ON
set -euo pipefail
# shellcheck source=scripts/cluster-settings.sh
source "$(dirname "${BASH_SOURCE[0]}")/cluster-settings.sh"

build_dir=${VAT_BUILD_DIR:-$VAT_ROOT/build}
settings=()
targets=()
for argument in "$@"; do
  if [[ $argument == -D* ]]; then settings+=("$argument"); else targets+=(--target "$argument"); fi
done
cmake -S "$VAT_ROOT" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release "${settings[@]}"
cmake --build "$build_dir" -j2 "${targets[@]}"
