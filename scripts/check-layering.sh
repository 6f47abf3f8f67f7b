#!/usr/bin/env bash
# The parts include only downward: app -> returns -> ledger, validation. The core (ledger,
# returns, validation) includes no Qt, and ledger and validation know nothing of each other's
# callers. Prints every include that breaks the rule and fails when there is one.
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

forbid ledger '"(returns|validation|app)/' "ledger includes only itself"
forbid validation '"(returns|ledger|app)/' "validation includes only itself"
forbid returns '"app/' "returns never includes the front ends"
for part in ledger returns validation; do
  forbid "$part" '<Q' "the core links no Qt"
done
forbid app/export '<Q' "the exports serve the command-line tool too, without Qt"
# Every project header is named by its part.
for part in app ledger returns validation; do
  forbid "$part" '"[^/"]+\.h"' "include the header by its part, e.g. \"returns/party.h\""
done
exit "$status"
