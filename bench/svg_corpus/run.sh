#!/usr/bin/env bash
# Renders the real-world SVG corpus (../shared/perf) 512 pixels wide with vuplora-svg batch,
# resvg (@resvg/resvg-js, fonts off) and QtSvg in one run, and prints the times, their
# ratios and how many of our pictures match resvg's (the suite's scoring rule), with the
# files that do not. Build vuplora-svg without sanitizers first:
#   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVUPLORA_TESTS=OFF
#   cmake --build build/release --target vuplora-svg -j2
# usage: bench/svg_corpus/run.sh [path/to/vuplora-svg]
# The corpus and resvg-js are installed once into $CORPUS_PREFIX (default
# /tmp/vuplora-perf-corpus) and reused; the QtSvg program is built there too.
# KEEP=1 keeps the pictures (the folder is printed).
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
TOOL="${1:-$ROOT/build/release/tools/vuplora-svg/vuplora-svg}"
PERF="${VUPLORA_SHARED:-$ROOT/../shared}/perf"
PREFIX="${CORPUS_PREFIX:-/tmp/vuplora-perf-corpus}"
WIDTH=512
WORK="$(mktemp -d /tmp/svg-corpus.XXXXXX)"
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$WORK"' EXIT

[ -x "$TOOL" ] || { echo "vuplora-svg not found at $TOOL" >&2; exit 1; }
/usr/bin/python3 -c 'import numpy, PIL' 2>/dev/null || { echo "Debian python3-numpy and python3-pil are needed (/usr/bin/python3)" >&2; exit 1; }

if [ ! -f "$PREFIX/corpus/.complete" ]; then
  mkdir -p "$PREFIX"
  cp "$PERF/package.json" "$PREFIX/"
  (cd "$PREFIX" && npm install --no-audit --no-fund --silent)
  rm -rf "$PREFIX/corpus"
  node "$PERF/make_corpus.js" "$PREFIX/node_modules" "$PREFIX/corpus" >/dev/null
  touch "$PREFIX/corpus/.complete"
fi
QT_TOOL="$PREFIX/qtsvg-build/qtsvg_batch"
# A build folder made from another checkout cannot be reused for this one.
if ! grep -qs "^CMAKE_HOME_DIRECTORY:INTERNAL=$HERE/qtsvg_batch\$" "$PREFIX/qtsvg-build/CMakeCache.txt"; then
  rm -rf "$PREFIX/qtsvg-build"
fi
if [ ! -x "$QT_TOOL" ] || [ "$HERE/qtsvg_batch/main.cpp" -nt "$QT_TOOL" ]; then
  cmake -S "$HERE/qtsvg_batch" -B "$PREFIX/qtsvg-build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$PREFIX/qtsvg-build" -j2 >/dev/null
fi

LIST="$WORK/list.txt"
for svg in "$PREFIX"/corpus/*.svg; do
  printf '%s\t%s\n' "$svg" "$(basename "$svg" .svg).png"
done > "$LIST"
COUNT=$(wc -l < "$LIST")
mkdir -p "$WORK/vuplora" "$WORK/resvg" "$WORK/qtsvg"

seconds() { awk '/^render_seconds/ {print $2}'; }
V=$("$TOOL" batch "$LIST" "$WORK/vuplora" $WIDTH 2>"$WORK/vuplora.err" | seconds) || true
R=$(RESVG_PREFIX="$PREFIX" node "$HERE/resvg_batch.mjs" "$LIST" "$WORK/resvg" $WIDTH 2>"$WORK/resvg.err" | seconds)
Q=$("$QT_TOOL" "$LIST" "$WORK/qtsvg" $WIDTH 2>"$WORK/qtsvg.err" | seconds)

printf 'files: %d (%d pixels wide)\n' "$COUNT" $WIDTH
printf 'vuplora-svg: render %.3f s\n' "$V"
printf 'resvg-js:    render %.3f s\n' "$R"
printf 'QtSvg:       render %.3f s\n' "$Q"
printf 'ratio vuplora/QtSvg: %.2f\n' "$(echo "$V / $Q" | bc -l)"
printf 'ratio vuplora/resvg: %.2f\n' "$(echo "$V / $R" | bc -l)"
printf 'ratio QtSvg/resvg:   %.2f\n' "$(echo "$Q / $R" | bc -l)"
[ -s "$WORK/vuplora.err" ] && { echo "vuplora-svg errors:"; sed 's/^/  /' "$WORK/vuplora.err"; }
/usr/bin/python3 "$HERE/parity.py" "$LIST" "$WORK/vuplora" "$WORK/resvg"
[ "${KEEP:-0}" = 1 ] && echo "pictures kept in $WORK"
exit 0
