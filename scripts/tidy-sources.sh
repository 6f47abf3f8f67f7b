#!/usr/bin/env bash
# Prints the sources clang-tidy checks: every .cpp of the parts, in every subfolder, tracked or
# new (not ignored), of the tree at ROOT (default: this checkout). scripts/check.sh tidy reads it.
set -euo pipefail
root=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
cd "$root"
git ls-files --cached --others --exclude-standard -- \
  'app/**.cpp' 'disk/**.cpp' 'ledger/**.cpp' 'returns/**.cpp' 'validation/**.cpp' |
  sort -u | sed "s|^|$root/|"
