#!/usr/bin/env bash
# A private, throw-away PostgreSQL cluster for the tests: `pg-cluster.sh start DIR PORT` prints the URL
# to use (the first free port from PORT on); `pg-cluster.sh stop DIR`. PostgreSQL refuses to run as root, so as root the cluster belongs to
# the postgres user.
set -euo pipefail
cmd="$1"; dir="$2"; port="${3:-5433}"
BIN="$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)"
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
case "$cmd" in
  start)
    rm -rf "$dir"; mkdir -p "$dir"
    [ "$(id -u)" -eq 0 ] && chown postgres "$dir"
    as_owner "$BIN/initdb" -D "$dir/data" -A trust -U postgres -E UTF8 --locale=C.UTF-8 >/dev/null
    # A port another server already holds (a developer's own cluster, a parallel run) is skipped.
    for try_port in $(seq "$port" $((port + 19))); do
      if as_owner "$BIN/pg_ctl" -D "$dir/data" -o "-p $try_port -k $dir -c listen_addresses=127.0.0.1 -c fsync=off" \
           -l "$dir/log" -w start >/dev/null 2>&1; then
        echo "postgresql://postgres@127.0.0.1:$try_port/postgres"
        exit 0
      fi
    done
    echo "pg-cluster.sh: no se pudo iniciar PostgreSQL en los puertos $port a $((port + 19)); vea $dir/log" >&2
    exit 1
    ;;
  stop)
    [ -d "$dir/data" ] && as_owner "$BIN/pg_ctl" -D "$dir/data" -m fast stop >/dev/null 2>&1 || true
    ;;
  *) echo "uso: pg-cluster.sh start|stop DIR [PORT]" >&2; exit 2 ;;
esac
