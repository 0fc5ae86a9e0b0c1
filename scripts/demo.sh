#!/usr/bin/env bash
# The main job on the embedded demo database: builds, creates out/demo.sqlite (deterministic, seed 1,
# scale 1) when it is not there, checks every fixed statement of the module against it through the
# read-only application-server connection, and produces the reports this version has for company 1 and the
# period 01/10/2026 - 31/12/2026 as PDF and spreadsheet files in out/.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build/release}"
"$ROOT/scripts/build.sh" >/dev/null
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
OUT="$ROOT/out"
mkdir -p "$OUT"
DB="$OUT/demo.sqlite"
[ -f "$DB" ] || "$BUILD_DIR/apps/vnmrtgen-demo/vnmrtgen-demo" --sqlite "$DB" --seed 1 --scale 1
"$BUILD_DIR/apps/vnmrtgen-demo/vnmrtgen-demo" --check "$DB" --company 1 --from 01/10/2026 --to 31/12/2026

REPORT=("$BUILD_DIR/apps/vnmrtgen-report/vnmrtgen-report" --db "$DB" --company 1 --user ADMIN
        --from 01/10/2026 --to 31/12/2026)
run() {
  local name="$1"; shift
  "${REPORT[@]}" "$@" --pdf "$OUT/$name.pdf" --xlsx "$OUT/$name.xlsx"
  echo "  $OUT/$name.pdf, $OUT/$name.xlsx"
}
echo "Informes:"
run valor-nomina-centro-costos --type 4
run ingresos-retiros --type 2 --classes 1,2,3,4
run requisicion-personal --type 1
run parafiscales --type 8
run comisiones-conductores --type 5 --prototypes 7
run factura-empresa-usuaria --type 6 --kinds N --prototypes 8
run temporales --type 7
run gestion-humana --type 10 --kinds NADCXPV
run consolidado-vacaciones --type 9
run conciliacion-nomina --type 0 --account 250505 --kinds NADCXPV --prototypes 9 --classes 1,2,3,4 \
    --observations "Conciliación del cuarto trimestre de 2026."
run conciliacion-novedades --type 3 --kinds NADCXPV --observations "Novedades del cuarto trimestre de 2026."
