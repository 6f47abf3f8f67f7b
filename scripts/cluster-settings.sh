# shellcheck shell=bash
# Settings shared by the cluster, ODBC and loading scripts; sourced, never run.
# Override with VAT_PG_PORT, VAT_PG_DIR and VAT_ODBC_DIR to keep several clusters apart.

VAT_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VAT_PG_BIN=/usr/lib/postgresql/15/bin
VAT_PG_PORT=${VAT_PG_PORT:-54329}
VAT_PG_DIR=${VAT_PG_DIR:-$VAT_ROOT/.run/pg}
VAT_ODBC_DIR=${VAT_ODBC_DIR:-$VAT_ROOT/.run/odbc}
[[ $VAT_PG_DIR == /* ]] || VAT_PG_DIR=$PWD/$VAT_PG_DIR
[[ $VAT_ODBC_DIR == /* ]] || VAT_ODBC_DIR=$PWD/$VAT_ODBC_DIR

# The books' login, from the file the program's build takes it from.
VAT_PG_USER=$(sed -n 's/^user=//p' "$VAT_ROOT/ledger/login.conf")
VAT_PG_PASSWORD=$(sed -n 's/^password=//p' "$VAT_ROOT/ledger/login.conf")

# PostgreSQL refuses to run as root, so root hands the server to the packaged system user.
if [[ $(id -u) -eq 0 ]]; then
  VAT_PG_OS_USER=postgres
else
  VAT_PG_OS_USER=$(id -un)
fi

as_cluster_user() {
  if [[ $(id -u) -eq 0 ]]; then
    # From / because the server's user may not be allowed into the current folder.
    (cd / && runuser -u "$VAT_PG_OS_USER" -- "$@")
  else
    "$@"
  fi
}

# psql as the books' login over TCP, the way the program reaches the server.
ledger_psql() {
  PGPASSWORD=$VAT_PG_PASSWORD PGOPTIONS="-c client_min_messages=warning" \
    "$VAT_PG_BIN/psql" -X -q -v ON_ERROR_STOP=1 \
    -h 127.0.0.1 -p "$VAT_PG_PORT" -U "$VAT_PG_USER" "$@"
}
