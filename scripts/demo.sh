#!/usr/bin/env bash
# The main job on the embedded demo database: builds, creates out/demo.sqlite (deterministic, seed 1,
# scale 1) when it is not there, and runs every fixed statement of the module against it through the
# read-only application-server connection, for company 1 and the period 01/10/2026 - 31/12/2026.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build/release}"
"$ROOT/scripts/build.sh" >/dev/null
mkdir -p "$ROOT/out"
DB="$ROOT/out/demo.sqlite"
[ -f "$DB" ] || "$BUILD_DIR/apps/vnmrtgen-demo/vnmrtgen-demo" --sqlite "$DB" --seed 1 --scale 1
"$BUILD_DIR/apps/vnmrtgen-demo/vnmrtgen-demo" --check "$DB" --company 1 --from 2026-10-01 --to 2026-12-31
