#!/usr/bin/env bash
# The report builders on both backends with the same data: the scale-N demo (seed 1) as a SQLite file under
# /tmp (reused when it is there) and loaded into a fresh database of a private PostgreSQL cluster, both
# loads timed, then bench/bench_builders for company 1 and 01/10/2026 - 31/12/2026 on each. Builds nothing:
# it expects build/release (or BUILD_DIR) built. The cluster is stopped and removed whatever happens.
#
#   scripts/bench-backends.sh [SCALE]      (100 if missing)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
SCALE="${1:-100}"
BUILD_DIR="${BUILD_DIR:-$ROOT/build/release}"
DEMO="$BUILD_DIR/apps/vnmrtgen-demo/vnmrtgen-demo"
BENCH="$BUILD_DIR/bench/bench_builders"
case "$SCALE" in ''|*[!0-9]*|0) echo "uso: bench-backends.sh [ESCALA]  (entero mayor que cero)" >&2; exit 2 ;; esac
for program in "$DEMO" "$BENCH"; do
  if [ ! -x "$program" ]; then
    echo "bench-backends.sh: falta $program; compile antes con scripts/build.sh" >&2
    exit 1
  fi
done
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
BIN="$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)"

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
seconds_since() { local ms=$(( $(now_ms) - $1 )); printf '%d.%d' $((ms / 1000)) $((ms % 1000 / 100)); }

DB="/tmp/demo$SCALE.sqlite"
if [ -f "$DB" ]; then
  echo "SQLite: se reutiliza $DB (su carga no se cronometra)"
else
  start=$(now_ms)
  "$DEMO" --sqlite "$DB" --scale "$SCALE" --seed 1 >/dev/null 2>"$DB.log" || { cat "$DB.log" >&2; exit 1; }
  rm -f "$DB.log"
  echo "SQLite: carga de la escala $SCALE en $DB: $(seconds_since "$start") s"
fi

PGDIR="$(mktemp -d /tmp/vnmrtgen-bench-pg.XXXXXX)"
chmod 755 "$PGDIR" # as root the cluster inside belongs to the postgres user
trap '"$ROOT/scripts/pg-cluster.sh" stop "$PGDIR/cluster"; rm -rf "$PGDIR"' EXIT
SERVER="$("$ROOT/scripts/pg-cluster.sh" start "$PGDIR/cluster" "${VNMRTGEN_BENCH_PG_PORT:-5450}")"
URL="${SERVER%/*}/nomina"
"$BIN/psql" -qX -v ON_ERROR_STOP=1 -d "$SERVER" -c "CREATE DATABASE nomina"
start=$(now_ms)
"$DEMO" --postgresql "$URL" --scale "$SCALE" --seed 1 >/dev/null 2>"$PGDIR/load.log" || { cat "$PGDIR/load.log" >&2; exit 1; }
echo "PostgreSQL: carga de la escala $SCALE en $URL: $(seconds_since "$start") s"

for database in "$DB" "$URL"; do
  echo
  echo "== bench_builders sobre $database"
  "$BENCH" "$database" 1 2026-10-01 2026-12-31
done
