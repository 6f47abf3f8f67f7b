#!/usr/bin/env bash
# A throwaway PostgreSQL 15 server on 127.0.0.1 holding the books the program reads.
#   start    create the cluster on first use, then start it (already running is fine)
#   stop     stop it (not running is fine)
#   status   say whether it runs, where and on which port
#   env      print export lines for psql and for the ODBC data source "edb", and the folder of
#            the server's socket, where the superuser postgres is trusted (for tests)
#   destroy  stop it and delete its data folder
# VAT_PG_PORT (default 54329), VAT_PG_DIR (default .run/pg) and VAT_ODBC_DIR choose the instance.
set -euo pipefail
# shellcheck source=scripts/cluster-settings.sh
source "$(dirname "${BASH_SOURCE[0]}")/cluster-settings.sh"

usage() {
  echo "usage: $0 start|stop|status|env|destroy" >&2
  exit 2
}

# The server's user must reach the data folder, and its socket path must stay short; a project
# under a private home folder or a deep path gets a folder under /tmp instead.
resolve_data_dir() {
  local parent fallback
  parent=$(dirname "$VAT_PG_DIR")
  fallback=/tmp/vat-efile-pg-$(printf '%s' "$VAT_PG_DIR" | cksum | cut -d' ' -f1)
  if ((${#VAT_PG_DIR} > 80)); then
    data_dir_note="the path $VAT_PG_DIR is too long for the server's socket"
  elif [[ -d $parent ]] && ! as_cluster_user test -x "$parent"; then
    data_dir_note="user $VAT_PG_OS_USER cannot reach $parent"
  else
    data_dir=$VAT_PG_DIR
    return
  fi
  data_dir=$fallback
}

pg_ctl() { as_cluster_user "$VAT_PG_BIN/pg_ctl" -D "$data_dir" "$@"; }

is_running() { pg_ctl status >/dev/null 2>&1; }

admin_psql() {
  as_cluster_user env PGOPTIONS="-c client_min_messages=warning" "$VAT_PG_BIN/psql" -X -q \
    -v ON_ERROR_STOP=1 -h "$data_dir" -p "$VAT_PG_PORT" -U postgres -d template1 "$@"
}

create_data_dir() {
  if [[ $data_dir == "$VAT_PG_DIR" ]]; then
    mkdir -p "$data_dir"
    [[ $(id -u) -ne 0 ]] || chown "$VAT_PG_OS_USER:" "$data_dir"
  else
    as_cluster_user mkdir -p "$data_dir"
  fi
  as_cluster_user chmod 700 "$data_dir"
}

init_cluster() {
  echo "Creating a PostgreSQL cluster in $data_dir"
  as_cluster_user "$VAT_PG_BIN/initdb" -D "$data_dir" -U postgres --encoding=UTF8 --locale=C \
    --auth-local=trust --auth-host=scram-sha-256 --no-sync >/dev/null
  # The socket lives inside the private data folder, so trusting it admits only the server's
  # own user; everyone else logs in over TCP with a password.
  as_cluster_user tee "$data_dir/pg_hba.conf" >/dev/null <<'EOF'
local all all                trust
host  all all 127.0.0.1/32   scram-sha-256
EOF
  echo "include 'vat-cluster.conf'" | as_cluster_user tee -a "$data_dir/postgresql.conf" >/dev/null
}

# Rewritten on every start so that VAT_PG_PORT always wins. Durability is worthless here and
# switching it off makes loading a year of books several times faster.
write_server_settings() {
  as_cluster_user tee "$data_dir/vat-cluster.conf" >/dev/null <<EOF
listen_addresses = '127.0.0.1'
port = $VAT_PG_PORT
unix_socket_directories = '$data_dir'
fsync = off
synchronous_commit = off
full_page_writes = off
max_wal_size = 4GB
# Lets the tests count the statements a run sends.
shared_preload_libraries = 'pg_stat_statements'
EOF
}

# Idempotent, so a start interrupted halfway is completed by the next one. Databases are
# created from template1, so each gets the statement statistics view.
create_books_login_and_databases() {
  admin_psql <<EOF
create extension if not exists pg_stat_statements;
select 'create role "$VAT_PG_USER" login createdb password ''$VAT_PG_PASSWORD'''
  where not exists (select from pg_roles where rolname = '$VAT_PG_USER') \gexec
select format('create database %I owner "$VAT_PG_USER"', name)
  from unnest(array['edb', 'mgmtsvr', 'company_template']) as name
  where not exists (select from pg_database where datname = name) \gexec
-- A real template, as template0 and template1 are: hidden by its mark, not by its name.
alter database company_template is_template true;
EOF
  # The default database would otherwise head the catalogue and be offered as a data file.
  admin_psql -c 'drop database if exists postgres'
  # Frees the dropped row's slot now, so databases created later list in creation order.
  admin_psql -c 'vacuum pg_database'
}

start() {
  mkdir -p "$(dirname "$VAT_PG_DIR")"
  resolve_data_dir
  [[ -z ${data_dir_note:-} ]] || echo "Note: $data_dir_note; the cluster lives in $data_dir instead"
  if is_running; then
    echo "PostgreSQL already running in $data_dir"
    return
  fi
  if [[ ! -x $VAT_PG_BIN/initdb ]]; then
    echo "PostgreSQL 15 is not installed: run scripts/install-deps.sh" >&2
    exit 1
  fi
  create_data_dir
  [[ -f $data_dir/PG_VERSION ]] || init_cluster
  write_server_settings
  if ! pg_ctl start -w -t 60 -l "$data_dir/server.log" >/dev/null; then
    echo "PostgreSQL did not start; the end of $data_dir/server.log:" >&2
    tail -n 20 "$data_dir/server.log" >&2
    exit 1
  fi
  create_books_login_and_databases
  echo "PostgreSQL running on 127.0.0.1:$VAT_PG_PORT (data in $data_dir)"
}

stop() {
  resolve_data_dir
  if is_running; then
    pg_ctl stop -m fast -w >/dev/null
    echo "PostgreSQL stopped ($data_dir)"
  else
    echo "PostgreSQL not running ($data_dir)"
  fi
}

status() {
  resolve_data_dir
  if is_running; then
    echo "PostgreSQL running on 127.0.0.1:$VAT_PG_PORT (data in $data_dir)"
  else
    echo "PostgreSQL not running (data in $data_dir)"
    return 3
  fi
}

print_env() {
  resolve_data_dir
  cat <<EOF
export PGHOST=127.0.0.1
export PGPORT=$VAT_PG_PORT
export PGUSER=$VAT_PG_USER
export PGPASSWORD=$VAT_PG_PASSWORD
export PGDATABASE=edb
export ODBCSYSINI=$VAT_ODBC_DIR
export ODBCINI=$VAT_ODBC_DIR/odbc.ini
export VAT_PG_SOCKET_DIR=$data_dir
EOF
}

destroy() {
  stop
  rm -rf "$data_dir"
  echo "Deleted $data_dir"
}

(($# == 1)) || usage
case $1 in
  start) start ;;
  stop) stop ;;
  status) status ;;
  env) print_env ;;
  destroy) destroy ;;
  *) usage ;;
esac
