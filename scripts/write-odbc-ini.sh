#!/usr/bin/env bash
# Writes the ODBC data source "edb" the program connects through, pointing at the cluster of
# scripts/pg-cluster.sh. The login and the database come from the program's connection string.
# Use with: eval "$(scripts/pg-cluster.sh env)" to set ODBCSYSINI and ODBCINI.
set -euo pipefail
# shellcheck source=scripts/cluster-settings.sh
source "$(dirname "${BASH_SOURCE[0]}")/cluster-settings.sh"

# The ANSI driver hands the books' bytes through unchanged; the Unicode one would convert them.
driver=$(dpkg -L odbc-postgresql 2>/dev/null | grep '/psqlodbca\.so$' | head -n 1 || true)
if [[ -z $driver ]]; then
  echo "The psqlODBC driver is not installed: run scripts/install-deps.sh" >&2
  exit 1
fi

mkdir -p "$VAT_ODBC_DIR"
cat >"$VAT_ODBC_DIR/odbc.ini" <<INI
[edb]
Description=Books of the companies, for the VAT e-filing tool
Driver=$driver
Servername=127.0.0.1
Port=$VAT_PG_PORT
Database=edb
INI
: >"$VAT_ODBC_DIR/odbcinst.ini"
echo "ODBC data source edb -> 127.0.0.1:$VAT_PG_PORT ($VAT_ODBC_DIR/odbc.ini)"
