#!/usr/bin/env bash
# The parts include only downward: app -> returns -> ledger, validation, disk. Inside returns,
# each folder includes only the folders listed before it. The core (ledger, returns,
# validation, disk) includes no Qt; disk, ledger and validation know nothing of each other or
# of their callers. Prints every include that breaks the rule and fails when there is one.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

status=0
forbid() {
  local part=$1 pattern=$2 why=$3 hits
  if hits=$(grep -rnE "^#include +$pattern" "$part" --include='*.h' --include='*.cpp'); then
    printf '%s\n' "$hits" | sed "s|\$|   ($why)|"
    status=1
  fi
}

# The folders of returns, lowest first.
returns_order=(results declarations rules facts record reconcile run fixes check year filing)

for part in disk ledger validation; do
  forbid "$part" "\"(returns|app|$(printf '%s\n' disk ledger validation | grep -vx "$part" | paste -sd'|'))/" \
    "$part is a leaf: it includes only itself"
done
forbid returns '"app/' "returns never includes the front ends"
for folder in returns/*/; do
  folder=${folder%/}
  name=${folder#returns/}
  higher=() seen=0
  for other in "${returns_order[@]}"; do
    [[ $seen == 1 ]] && higher+=("$other")
    [[ $other == "$name" ]] && seen=1
  done
  if [[ $seen == 0 ]]; then
    echo "$folder: a folder of returns that scripts/check-layering.sh does not place in the order"
    status=1
  elif ((${#higher[@]})); then
    forbid "$folder" "\"returns/($(IFS='|'; echo "${higher[*]}"))/" "returns/$name includes only the folders below it"
  fi
done
if compgen -G 'returns/*.h' >/dev/null || compgen -G 'returns/*.cpp' >/dev/null; then
  echo "returns/: every source lies in a folder of its job"
  status=1
fi
for part in disk ledger returns validation app/cli app/export app/shared; do
  forbid "$part" '<Q' "only the window links Qt"
done
for part in app/cli app/export app/shared; do
  forbid "$part" '"app/window/' "the window's files serve the window only"
done
# Every project header is named by its part.
for part in app disk ledger returns validation; do
  forbid "$part" '"[^/"]+\.h"' "include the header by its part, e.g. \"returns/rules/party.h\""
done
exit "$status"
