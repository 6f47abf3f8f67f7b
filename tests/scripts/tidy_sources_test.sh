#!/usr/bin/env bash
# clang-tidy reads every source of the parts, a new file in a subfolder of a folder included:
# a file planted in a tree of its own must be among those scripts/tidy-sources.sh lists.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
git -C "$tree" init -q
mkdir -p "$tree/returns/run/deeper" "$tree/app/window" "$tree/tests"
touch "$tree/returns/run/deeper/planted.cpp" "$tree/app/window/planted.cpp" \
  "$tree/returns/planted.cpp" "$tree/tests/not_a_part.cpp"
git -C "$tree" add returns/planted.cpp
listed=$("$here/scripts/tidy-sources.sh" "$tree")
status=0
for expected in returns/run/deeper/planted.cpp app/window/planted.cpp returns/planted.cpp; do
  grep -qx "$tree/$expected" <<<"$listed" || { echo "tidy would skip $expected"; status=1; }
done
if grep -q "not_a_part" <<<"$listed"; then echo "tidy would read tests/"; status=1; fi
exit "$status"
