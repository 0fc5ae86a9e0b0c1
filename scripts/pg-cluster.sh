#!/usr/bin/env bash
# A private, throw-away PostgreSQL cluster for the tests: `pg-cluster.sh start DIR PORT` prints the URL
# to use (the first free port from PORT on); `pg-cluster.sh stop DIR`. PostgreSQL refuses to run as root, so as root the cluster belongs to
# the postgres user.
#
# `pg-cluster.sh standby DIR PORT PRIMARY_URL` makes DIR a streaming hot standby of the cluster at
# PRIMARY_URL (a base backup that writes standby.signal and primary_conninfo, WAL streamed while it is
# taken), starts it on the first free port from PORT and prints its URL. A cluster of `start` accepts it as
# it is: wal_level=replica, wal senders and trusted replication from 127.0.0.1 are initdb's defaults.
#
# `pg-cluster.sh stop DIR [fast|immediate]` stops it as an administrator would (fast: sessions are ended
# and told so; immediate: the server goes down at once, as in a crash); `pg-cluster.sh resume DIR PORT`
# starts a stopped cluster again (on the first free port from PORT) and prints its URL.
set -euo pipefail
cmd="${1:-}"; dir="${2:-}"; port="${3:-5433}"
BIN="$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)"
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
fresh_dir() {
  rm -rf "$dir"; mkdir -p "$dir"
  [ "$(id -u)" -eq 0 ] && chown postgres "$dir"
  return 0
}
# Starts the cluster of $dir/data and prints its URL. A port another server already holds (a developer's
# own cluster, a parallel run) is skipped.
serve() {
  for try_port in $(seq "$port" $((port + 19))); do
    if as_owner "$BIN/pg_ctl" -D "$dir/data" -o "-p $try_port -k $dir -c listen_addresses=127.0.0.1 -c fsync=off" \
         -l "$dir/log" -w start >/dev/null 2>&1; then
      echo "postgresql://postgres@127.0.0.1:$try_port/postgres"
      exit 0
    fi
  done
  echo "pg-cluster.sh: no se pudo iniciar PostgreSQL en los puertos $port a $((port + 19)); vea $dir/log" >&2
  exit 1
}
case "$cmd" in
  start)
    fresh_dir
    as_owner "$BIN/initdb" -D "$dir/data" -A trust -U postgres -E UTF8 --locale=C.UTF-8 >/dev/null
    serve
    ;;
  standby)
    primary="${4:?uso: pg-cluster.sh standby DIR PUERTO URL_PRIMARIO}"
    fresh_dir
    if ! as_owner "$BIN/pg_basebackup" -D "$dir/data" -R -X stream -c fast -d "$primary" >"$dir/basebackup.log" 2>&1; then
      echo "pg-cluster.sh: no se pudo copiar el servidor primario $primary; vea $dir/basebackup.log" >&2
      exit 1
    fi
    serve
    ;;
  resume)
    serve
    ;;
  stop)
    mode="${3:-fast}"
    [ -d "$dir/data" ] && as_owner "$BIN/pg_ctl" -D "$dir/data" -m "$mode" -w stop >/dev/null 2>&1 || true
    ;;
  *) echo "uso: pg-cluster.sh start|resume DIR [PUERTO] | stop DIR [fast|immediate] | standby DIR PUERTO URL_PRIMARIO" >&2
     exit 2 ;;
esac
