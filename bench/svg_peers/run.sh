#!/usr/bin/env bash
# Renders the whole shared SVG suite 300 pixels wide with vuplora-svg batch, resvg
# (@resvg/resvg-js, installed for this run only into a scratch folder) and librsvg
# (rsvg-convert), and prints the times and their ratios. Build vuplora-svg without
# sanitizers first, e.g.
#   cmake -S . -B build/svg-render/release -G Ninja -DCMAKE_BUILD_TYPE=Release
#   cmake --build build/svg-render/release --target vuplora-svg -j2
# usage: bench/svg_peers/run.sh [path/to/vuplora-svg]
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
TOOL="${1:-$ROOT/build/svg-render/release/tools/vuplora-svg/vuplora-svg}"
SUITE_ROOT="${VUPLORA_SHARED:-$ROOT/../shared}/svg-suite"
WORK="$(mktemp -d /tmp/svg-peers.XXXXXX)"
RESVG_PREFIX="${RESVG_PREFIX:-/tmp/svg-peers-resvg}"
trap 'rm -rf "$WORK"' EXIT

[ -x "$TOOL" ] || { echo "vuplora-svg not found at $TOOL" >&2; exit 1; }
command -v rsvg-convert >/dev/null || { echo "rsvg-convert missing (Debian librsvg2-bin)" >&2; exit 1; }
if [ ! -d "$RESVG_PREFIX/node_modules/@resvg/resvg-js" ]; then
  mkdir -p "$RESVG_PREFIX"
  (cd "$RESVG_PREFIX" && npm install --no-audit --no-fund --silent @resvg/resvg-js@2.6.2)
fi

# Every in-scope case, as score.py lists them.
LIST="$WORK/list.txt"
while read -r area folder; do
  case "$area" in ''|'#'*) continue ;; esac
  for svg in "$SUITE_ROOT/tests/$folder"/*.svg; do
    [ -e "$svg" ] || continue
    printf '%s\t%s\n' "$svg" "$(echo "$folder" | tr / _)_$(basename "$svg" .svg).png"
  done
done < "$SUITE_ROOT/scope.txt" > "$LIST"
COUNT=$(wc -l < "$LIST")

now() { date +%s.%N; }
mkdir -p "$WORK/vuplora" "$WORK/resvg" "$WORK/rsvg"

t0=$(now)
V_RENDER=$("$TOOL" --fonts "$SUITE_ROOT/fonts" --default-family "Noto Sans" --family "serif=Noto Serif" \
  --family "sans-serif=Noto Sans" --family "monospace=Noto Mono" --language en \
  batch "$LIST" "$WORK/vuplora" 300 2>/dev/null | awk '/^render_seconds/ {print $2}')
V_WALL=$(echo "$(now) - $t0" | bc -l)

t0=$(now)
R_RENDER=$(RESVG_PREFIX="$RESVG_PREFIX" node "$HERE/resvg_batch.mjs" "$LIST" "$WORK/resvg" 300 "$SUITE_ROOT/fonts" 2>/dev/null \
  | awk '/^render_seconds/ {print $2}')
R_WALL=$(echo "$(now) - $t0" | bc -l)

# librsvg has no batch mode: one process per document (start-up and PNG encoding included).
t0=$(now)
while IFS=$'\t' read -r svg png; do
  rsvg-convert -w 300 "$svg" -o "$WORK/rsvg/$png" 2>/dev/null || true
done < "$LIST"
L_WALL=$(echo "$(now) - $t0" | bc -l)

printf 'cases: %d (300 pixels wide)\n' "$COUNT"
printf 'vuplora-svg: render %.3f s, wall %.3f s\n' "$V_RENDER" "$V_WALL"
printf 'resvg-js:    render %.3f s, wall %.3f s\n' "$R_RENDER" "$R_WALL"
printf 'rsvg-convert:               wall %.3f s (one process per document)\n' "$L_WALL"
printf 'ratio render vuplora/resvg: %.2f\n' "$(echo "$V_RENDER / $R_RENDER" | bc -l)"
printf 'ratio wall vuplora/resvg: %.2f\n' "$(echo "$V_WALL / $R_WALL" | bc -l)"
printf 'ratio wall vuplora/rsvg-convert: %.2f\n' "$(echo "$V_WALL / $L_WALL" | bc -l)"
