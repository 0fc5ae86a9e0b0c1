#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang's libFuzzer (AddressSanitizer and UBSan on) and runs each
# for SECONDS (default 20) from its seed corpus (tests/fuzz/corpus/<target>; the dialect translator also
# takes the module's statements in data/sql), in a scratch copy so the checked-in corpus stays as it is.
# Fails when a target finds a crash, a leak, undefined behaviour, a hang or an input that breaks its
# checks; prints executions and coverage of each run.
#
#   scripts/fuzz.sh [SECONDS]       (FUZZ_BUILD_DIR: where to build, build/fuzz by default; FUZZ_TARGETS:
#                                    the targets to run, separated by blanks, all by default)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
SECONDS_EACH="${1:-20}"
case "$SECONDS_EACH" in ''|*[!0-9]*|0) echo "uso: fuzz.sh [SEGUNDOS]" >&2; exit 2 ;; esac
BUILD="${FUZZ_BUILD_DIR:-$ROOT/build/fuzz}"
if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: falta clang++ (scripts/deps.sh instala clang y libclang-rt-dev)" >&2
  exit 1
fi
CC=clang CXX=clang++ cmake -S "$ROOT/tests/fuzz" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$BUILD" -j2 >/dev/null
WORK="$(mktemp -d /tmp/vnmrtgen-fuzz.XXXXXX)"
trap 'rm -rf "$WORK"' EXIT
export QT_QPA_PLATFORM=offscreen
status=0
for corpus in "$ROOT"/tests/fuzz/corpus/*/; do
  target="$(basename "$corpus")"
  if [ -n "${FUZZ_TARGETS:-}" ] && [[ " $FUZZ_TARGETS " != *" $target "* ]]; then continue; fi
  mkdir -p "$WORK/$target"
  cp "$corpus"* "$WORK/$target/"
  # The translator is also seeded with every statement the module sends, as they stand in data/sql.
  [ "$target" = fuzz_sql_dialect ] && cp "$ROOT"/data/sql/*.sql "$WORK/$target/"
  log="$WORK/$target.log"
  if "$BUILD/$target" -max_total_time="$SECONDS_EACH" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$WORK/$target-" -print_final_stats=1 "$WORK/$target" >"$log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || echo '?')
    echo "$target: $runs ejecuciones, cobertura $cov, sin hallazgos"
  else
    echo "$target: HALLAZGO" >&2
    grep -E 'ERROR|SUMMARY|#[0-9]+ .* in ' "$log" | head -20 >&2 || true
    for artifact in "$WORK/$target"-*; do
      [ -e "$artifact" ] && cp "$artifact" "$ROOT/build/" && echo "  entrada: build/$(basename "$artifact")" >&2
    done
    status=1
  fi
done
exit $status
