#!/usr/bin/env bash
# Renders the whole shared SVG suite 300 pixels wide with vuplora-svg batch, resvg
# (@resvg/resvg-js, installed for this run only into a scratch folder) and librsvg
# (rsvg-convert), and prints the times and their ratios. Build vuplora-svg without
# sanitizers first, e.g.
#   cmake -S . -B build/svg-render/release -G Ninja -DCMAKE_BUILD_TYPE=Release
#   cmake --build build/svg-render/release --target vuplora-svg -j2
# usage: [RUNS=5] bench/svg_peers/run.sh [path/to/vuplora-svg] [area]
# With an area (a first word of scope.txt, e.g. filters) only its cases are rendered.
# PLAIN=1 leaves out the documents with text or images: for each of them resvg-js reads
# every font file again or sets up its resources (half a second a document on a loaded
# machine), most of its time there, while vuplora-svg sets its fonts up once.
# resvg-js aborts on a few documents (a panic in the library takes node down): a first
# pass finds and lists them, and both renderers are then timed on the cases resvg draws.
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
TOOL="${1:-$ROOT/build/svg-render/release/tools/vuplora-svg/vuplora-svg}"
AREA="${2:-}"
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
  [ -z "$AREA" ] || [ "$area" = "$AREA" ] || continue
  for svg in "$SUITE_ROOT/tests/$folder"/*.svg; do
    [ -e "$svg" ] || continue
    printf '%s\t%s\n' "$svg" "$(echo "$folder" | tr / _)_$(basename "$svg" .svg).png"
  done
done < "$SUITE_ROOT/scope.txt" > "$LIST"
if [ "${PLAIN:-0}" = 1 ]; then
  while IFS=$'\t' read -r svg png; do
    grep -qE '<text|<tref|<image' "$svg" || printf '%s\t%s\n' "$svg" "$png"
  done < "$LIST" > "$LIST.plain"
  mv "$LIST.plain" "$LIST"
fi

# The cases resvg-js cannot draw without aborting: run it until it gets through, each
# time from the case after the one it died on.
mkdir -p "$WORK/probe"
SKIPPED="$WORK/skipped.txt"
: > "$SKIPPED"
TODO="$WORK/todo.txt"
cp "$LIST" "$TODO"
while [ -s "$TODO" ]; do
  : > "$WORK/progress.txt"
  if (RESVG_PREFIX="$RESVG_PREFIX" RESVG_PROGRESS="$WORK/progress.txt" \
      node "$HERE/resvg_batch.mjs" "$TODO" "$WORK/probe" 300 "$SUITE_ROOT/fonts" || exit 1) >/dev/null 2>&1; then
    break
  fi
  LAST=$(tail -n 1 "$WORK/progress.txt")
  [ -n "$LAST" ] || { echo "resvg-js fails before its first document" >&2; exit 1; }
  printf '%s\n' "$LAST" >> "$SKIPPED"
  awk -v last="$LAST" 'found {print} $0 == last {found = 1}' "$TODO" > "$TODO.next"
  mv "$TODO.next" "$TODO"
done
grep -vxF -f "$SKIPPED" "$LIST" > "$LIST.both" || true
mv "$LIST.both" "$LIST"
COUNT=$(wc -l < "$LIST")

now() { date +%s.%N; }
mkdir -p "$WORK/vuplora" "$WORK/resvg" "$WORK/rsvg"

# RUNS (default 1) times each of the two batch renderers, one after the other; the
# medians are reported with the spread of the runs and make the ratios.
for _ in $(seq "${RUNS:-1}"); do
  t0=$(now)
  "$TOOL" --fonts "$SUITE_ROOT/fonts" --default-family "Noto Sans" --family "serif=Noto Serif" \
    --family "sans-serif=Noto Sans" --family "monospace=Noto Mono" --language en \
    batch "$LIST" "$WORK/vuplora" 300 2>/dev/null > "$WORK/v_printed" || true
  awk '/^render_seconds/ {print $2}' "$WORK/v_printed" >> "$WORK/v_render"
  awk '/^render_cpu_seconds/ {print $2}' "$WORK/v_printed" >> "$WORK/v_cpu"
  echo "$(now) - $t0" | bc -l >> "$WORK/v_wall"

  t0=$(now)
  RESVG_PREFIX="$RESVG_PREFIX" node "$HERE/resvg_batch.mjs" "$LIST" "$WORK/resvg" 300 "$SUITE_ROOT/fonts" \
    2>/dev/null > "$WORK/r_printed" || true
  awk '/^render_seconds/ {print $2}' "$WORK/r_printed" >> "$WORK/r_render"
  awk '/^render_cpu_seconds/ {print $2}' "$WORK/r_printed" >> "$WORK/r_cpu"
  echo "$(now) - $t0" | bc -l >> "$WORK/r_wall"
done
median() { sort -g "$1" | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
spread() { sort -g "$1" | awk 'NR == 1 {lo = $1} {hi = $1} END {printf "%.3f-%.3f", lo, hi}'; }
V_RENDER=$(median "$WORK/v_render"); V_WALL=$(median "$WORK/v_wall")
R_RENDER=$(median "$WORK/r_render"); R_WALL=$(median "$WORK/r_wall")

# librsvg has no batch mode: one process per document (start-up and PNG encoding included).
t0=$(now)
while IFS=$'\t' read -r svg png; do
  rsvg-convert -w 300 "$svg" -o "$WORK/rsvg/$png" 2>/dev/null || true
done < "$LIST"
L_WALL=$(echo "$(now) - $t0" | bc -l)

printf 'cases: %d (300 pixels wide)%s%s\n' "$COUNT" "${AREA:+, area $AREA}" \
  "$([ "${PLAIN:-0}" = 1 ] && echo ', documents with text or images left out')"
if [ -s "$SKIPPED" ]; then
  printf 'left out, resvg-js aborts on them: %d\n' "$(wc -l < "$SKIPPED")"
  cut -f1 "$SKIPPED" | sed "s#^$SUITE_ROOT/tests/#  #"
fi
printf 'runs: %d (medians, the spread of the runs in brackets)\n' "${RUNS:-1}"
printf 'vuplora-svg: render %.3f s (%s), wall %.3f s (%s)\n' "$V_RENDER" "$(spread "$WORK/v_render")" \
  "$V_WALL" "$(spread "$WORK/v_wall")"
# Its pictures are encoded on other threads meanwhile, which take turns with the drawing
# on a small machine; the drawing thread's processor time leaves their turns out.
printf 'vuplora-svg: render, processor time of the drawing thread %.3f s (%s)\n' "$(median "$WORK/v_cpu")" \
  "$(spread "$WORK/v_cpu")"
printf 'resvg-js:    render %.3f s (%s), wall %.3f s (%s)\n' "$R_RENDER" "$(spread "$WORK/r_render")" \
  "$R_WALL" "$(spread "$WORK/r_wall")"
printf 'resvg-js:    render, processor time of the process %.3f s (%s)\n' "$(median "$WORK/r_cpu")" \
  "$(spread "$WORK/r_cpu")"
printf 'rsvg-convert:               wall %.3f s (one process per document)\n' "$L_WALL"
printf 'ratio render vuplora/resvg: %.2f\n' "$(echo "$V_RENDER / $R_RENDER" | bc -l)"
# Processor times leave out the turns other programs take on a loaded machine.
printf 'ratio render vuplora/resvg, processor time: %.2f\n' \
  "$(echo "$(median "$WORK/v_cpu") / $(median "$WORK/r_cpu")" | bc -l)"
printf 'ratio wall vuplora/resvg: %.2f\n' "$(echo "$V_WALL / $R_WALL" | bc -l)"
printf 'ratio wall vuplora/rsvg-convert: %.2f\n' "$(echo "$V_WALL / $L_WALL" | bc -l)"
