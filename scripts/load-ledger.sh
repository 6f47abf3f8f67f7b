#!/usr/bin/env bash
# Usage: load-ledger.sh NAME FILE...
# (Re)creates the data file NAME, owned by the books' login, on the running cluster and loads
# fixtures/schema.sql and then each FILE in order ("-" reads standard input). A recreated
# database moves to the end of the server's catalogue, which is the order the program lists
# data files in.
set -euo pipefail
# shellcheck source=scripts/cluster-settings.sh
source "$(dirname "${BASH_SOURCE[0]}")/cluster-settings.sh"

if (($# < 2)); then
  echo "usage: $0 NAME FILE..." >&2
  exit 2
fi
name=$1
shift
if [[ ! $name =~ ^[A-Za-z0-9_]+$ ]]; then
  echo "A data file name is letters, digits and underscores: $name" >&2
  exit 2
fi

ledger_psql -d edb -c "drop database if exists \"$name\" with (force)" \
  -c "create database \"$name\""
files=(-f "$VAT_ROOT/fixtures/schema.sql")
for file in "$@"; do files+=(-f "$file"); done
ledger_psql -d "$name" "${files[@]}"
