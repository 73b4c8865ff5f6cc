#!/usr/bin/env bash
# Renders the real-world SVG corpus (../shared/perf) 512 pixels wide with vuplora-svg batch
# and with the QtSvg program (which writes its pictures with Qt's PNG writer), as a user
# runs them: one process over the whole list in its natural (sorted) order. Each program
# runs five times with its outputs on disk (a folder under /tmp, or OUT_DIR) and five
# times with them on tmpfs (/dev/shm); for each it prints the median and the spread
# (lowest..highest) of the loading-and-drawing time the program reports, of the wall
# time of the whole command, and of their ratios, plus the sizes of the pictures.
# Both programs time loading and drawing alike, per document around the same steps, in
# two ways: wall time, and the processor time of the drawing thread. vuplora-svg encodes
# and writes its pictures on other threads meanwhile, which take turns with the drawing
# thread on a small machine and so lengthen its wall time; the processor time counts
# only the drawing, and is the figure the comparison goes by.
# resvg (@resvg/resvg-js, fonts off) renders once for the parity check (the suite's
# scoring rule), with the files that do not match.
# ORDERS=1 also runs the corpus in two other orders (reversed, shuffled with a fixed seed)
# and each kind of document (avatar, flag, icon, map) alone, and prints each order's time
# against the sum of the kinds alone (medians of five).
# Build vuplora-svg without sanitizers first:
#   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVUPLORA_TESTS=OFF
#   cmake --build build/release --target vuplora-svg -j2
# usage: bench/svg_corpus/run.sh [path/to/vuplora-svg]
# The corpus and resvg-js are installed once into $CORPUS_PREFIX (default
# /tmp/vuplora-perf-corpus) and reused; the QtSvg program is built there too.
# KEEP=1 keeps the pictures of the last run on disk (the folder is printed). RUNS=N
# changes the number of runs. Other programs loading the machine move every number:
# compare within one run of this script only.
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
TOOL="${1:-$ROOT/build/release/tools/vuplora-svg/vuplora-svg}"
PERF="${VUPLORA_SHARED:-$ROOT/../shared}/perf"
PREFIX="${CORPUS_PREFIX:-/tmp/vuplora-perf-corpus}"
RUNS="${RUNS:-5}"
WIDTH=512
WORK="$(mktemp -d "${OUT_DIR:-/tmp}/svg-corpus.XXXXXX")"
SHM="$(mktemp -d /dev/shm/svg-corpus.XXXXXX)"
cleanup() { rm -rf "$SHM"; [ "${KEEP:-0}" = 1 ] || rm -rf "$WORK"; }
trap cleanup EXIT

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
mkdir -p "$WORK/resvg"

# run NAME LIST OUTDIR PROGRAM...: runs the program on a list into a fresh OUTDIR and
# appends "NAME render_wall wall render_cpu" to $WORK/times.
run() {
  local name="$1" list="$2" out="$3"; shift 3
  rm -rf "$out"; mkdir -p "$out"
  local start end printed render cpu
  start=$(date +%s.%N)
  printed=$("$@" "$list" "$out" $WIDTH 2>"$WORK/$name.err") || true
  end=$(date +%s.%N)
  render=$(awk '/^render_seconds/ {print $2}' <<< "$printed")
  cpu=$(awk '/^render_cpu_seconds/ {print $2}' <<< "$printed")
  echo "$name ${render:-nan} $(echo "$end - $start" | bc -l) ${cpu:-nan}" >> "$WORK/times"
}

: > "$WORK/times"
for i in $(seq "$RUNS"); do
  # The programs take turns, so that a change in the machine's load falls on both.
  run "vuplora.disk" "$LIST" "$WORK/vuplora" "$TOOL" batch
  run "qtsvg.disk" "$LIST" "$WORK/qtsvg" "$QT_TOOL"
  run "vuplora.tmpfs" "$LIST" "$SHM/vuplora" "$TOOL" batch
  run "qtsvg.tmpfs" "$LIST" "$SHM/qtsvg" "$QT_TOOL"
  rm -rf "$SHM/vuplora" "$SHM/qtsvg"
done
if [ "${ORDERS:-0}" = 1 ]; then
  sort -r "$LIST" > "$WORK/reversed.txt"
  # A fixed shuffle, the same on every run.
  awk 'BEGIN {srand(26)} {print rand() "\t" $0}' "$LIST" | sort -n | cut -f2- > "$WORK/shuffled.txt"
  KINDS="avatar flag icon map"
  for kind in $KINDS; do grep -P "/$kind-[^/]*\t" "$LIST" > "$WORK/kind-$kind.txt"; done
  for i in $(seq "$RUNS"); do
    for order in sorted reversed shuffled; do
      l="$LIST"; [ $order = sorted ] || l="$WORK/$order.txt"
      run "order.$order" "$l" "$SHM/order" "$TOOL" batch
    done
    for kind in $KINDS; do run "kind.$kind" "$WORK/kind-$kind.txt" "$SHM/order" "$TOOL" batch; done
  done
  rm -rf "$SHM/order"
fi

R=$(RESVG_PREFIX="$PREFIX" node "$HERE/resvg_batch.mjs" "$LIST" "$WORK/resvg" $WIDTH 2>"$WORK/resvg.err" | awk '/^render_seconds/ {print $2}')

printf 'files: %d (%d pixels wide), %d runs of each; median [lowest..highest]\n' "$COUNT" $WIDTH "$RUNS"
echo "load and draw: per document, processor time of the drawing thread (cpu) and wall time (wall)"
echo "load average now: $(cut -d' ' -f1-3 /proc/loadavg)"
/usr/bin/python3 - "$WORK/times" "$R" "${ORDERS:-0}" <<'PY'
import sys, statistics
times = {}
for line in open(sys.argv[1]):
    name, render, wall, cpu = line.split()
    times.setdefault(name, []).append((float(render), float(wall), float(cpu)))
def show(label, values, unit=' s'):
    print(f'{label:44s} {statistics.median(values):7.3f}{unit} [{min(values):.3f}..{max(values):.3f}]')
for where in ('disk', 'tmpfs'):
    v, q = times[f'vuplora.{where}'], times[f'qtsvg.{where}']
    print(f'outputs on {where}:')
    show('  vuplora-svg batch: load and draw, cpu', [t[2] for t in v])
    show('  QtSvg:             load and draw, cpu', [t[2] for t in q])
    show('  ratio vuplora/QtSvg, load and draw, cpu', [a[2] / b[2] for a, b in zip(v, q)], '')
    show('  vuplora-svg batch: load and draw, wall', [t[0] for t in v])
    show('  QtSvg:             load and draw, wall', [t[0] for t in q])
    show('  ratio vuplora/QtSvg, load and draw, wall', [a[0] / b[0] for a, b in zip(v, q)], '')
    show('  vuplora-svg batch: whole command', [t[1] for t in v])
    show('  QtSvg (Qt\'s PNG writer): whole command', [t[1] for t in q])
    show('  ratio vuplora/QtSvg, whole command', [a[1] / b[1] for a, b in zip(v, q)], '')
resvg = float(sys.argv[2])
print(f'resvg-js: load and draw {resvg:.3f} s wall (one run); vuplora/resvg (wall) '
      f'{statistics.median(t[0] for t in times["vuplora.tmpfs"]) / resvg:.2f}')
if sys.argv[3] == '1':
    kinds = [n for n in times if n.startswith('kind.')]
    for index, how in ((2, 'cpu'), (0, 'wall')):
        alone = sum(statistics.median(t[index] for t in times[k]) for k in kinds)
        print(f'kinds alone (load and draw, {how}): ' + ', '.join(
            f'{k[5:]} {statistics.median(t[index] for t in times[k]):.3f} s' for k in kinds) + f'; sum {alone:.3f} s')
        for order in ('sorted', 'reversed', 'shuffled'):
            values = [t[index] for t in times[f'order.{order}']]
            show(f'  {order} order / sum of kinds alone, {how}', [x / alone for x in values], '')
PY
size() { du -cb "$1"/*.png | tail -1 | cut -f1; }
printf 'PNG bytes: vuplora-svg %d, QtSvg (Qt'"'"'s writer) %d, ratio %.3f\n' "$(size "$WORK/vuplora")" \
  "$(size "$WORK/qtsvg")" "$(echo "$(size "$WORK/vuplora") / $(size "$WORK/qtsvg")" | bc -l)"
[ -s "$WORK/vuplora.disk.err" ] && { echo "vuplora-svg errors:"; sed 's/^/  /' "$WORK/vuplora.disk.err"; }
/usr/bin/python3 "$HERE/parity.py" "$LIST" "$WORK/vuplora" "$WORK/resvg"
[ "${KEEP:-0}" = 1 ] && echo "pictures kept in $WORK"
exit 0
