#!/usr/bin/env bash
# Loads every fixtures/ledgers/NAME.sql into a data file NAME on the running cluster.
# The program lists data files in catalogue order, and the catalogue keeps creation order, so
# all of them are dropped first and then created in file-name order (shop2013 before shop2014).
set -euo pipefail
# shellcheck source=scripts/cluster-settings.sh
source "$(dirname "${BASH_SOURCE[0]}")/cluster-settings.sh"

shopt -s nullglob
export LC_ALL=C
ledgers=("$VAT_ROOT"/fixtures/ledgers/*.sql)

for file in "${ledgers[@]}"; do
  ledger_psql -d edb -c "drop database if exists \"$(basename "$file" .sql)\" with (force)"
done
for file in "${ledgers[@]}"; do
  name=$(basename "$file" .sql)
  "$VAT_ROOT/scripts/load-ledger.sh" "$name" "$file"
  echo "Loaded data file $name"
done
