#!/usr/bin/env bash
# Configures and builds the whole tree with the repository's "release" preset (Release at -O1: the tests and
# the main job run fast enough, and the build stays well inside a CI run on two cores), in build/release or
# the directory given as $BUILD_DIR. PRESET=asan builds with AddressSanitizer and UBSan instead.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
PRESET="${PRESET:-release}"
BUILD_DIR="${BUILD_DIR:-$ROOT/build/$PRESET}"
"$ROOT/scripts/deps.sh"
cd "$ROOT"
cmake --preset "$PRESET" -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
