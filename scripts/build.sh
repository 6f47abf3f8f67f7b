#!/usr/bin/env bash
# Configures and builds the whole tree in Release mode into VAT_BUILD_DIR (default build).
# Arguments go to the configure step, e.g. scripts/build.sh -DVAT_WERROR=ON
set -euo pipefail
# shellcheck source=scripts/cluster-settings.sh
source "$(dirname "${BASH_SOURCE[0]}")/cluster-settings.sh"

build_dir=${VAT_BUILD_DIR:-$VAT_ROOT/build}
cmake -S "$VAT_ROOT" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release "$@"
cmake --build "$build_dir" -j2
