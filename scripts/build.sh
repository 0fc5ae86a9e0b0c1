#!/usr/bin/env bash
# Configures and builds the whole tree in build/release (or the directory given as $BUILD_DIR). -O1: the
# tests and the main job run fast enough, and the build stays well inside a CI run on two cores.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build/release}"
"$ROOT/scripts/deps.sh"
cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
