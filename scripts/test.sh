#!/usr/bin/env bash
# Builds everything and runs every test tier: installs missing packages, starts a private PostgreSQL
# cluster so that the server tests run against it (not skipped), and runs ctest; arguments go to ctest.
# PRESET=asan runs them on the AddressSanitizer and UBSan build (build/asan).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export PRESET="${PRESET:-release}"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build/$PRESET}"
"$ROOT/scripts/build.sh"

PGDIR="$(mktemp -d /tmp/vnmrtgen-pg.XXXXXX)"
trap '"$ROOT/scripts/pg-cluster.sh" stop "$PGDIR"; rm -rf "$PGDIR"' EXIT
export VNMRTGEN_PG_URL="$("$ROOT/scripts/pg-cluster.sh" start "$PGDIR" "${VNMRTGEN_PG_PORT:-5433}")"
export VNMRTGEN_REQUIRE_PG=1
export QT_QPA_PLATFORM=offscreen

cd "$BUILD_DIR"
ctest --output-on-failure -j2 "$@"
