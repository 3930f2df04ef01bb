#!/usr/bin/env bash
# Reading-speed benchmark of the .3dm reader, side by side in one run:
#   ours natively (bench preset: optimised, no sanitizers), ours under Wine
#   (windows preset), and openNURBS as the rhino3dm npm package under Node.
# Prints seconds, MB/s and peak memory for each and the ratios against
# rhino3dm, with the targets. It never fails on a target.
#
#   tools/bench-reader/run.sh [WORK_DIR]        (default: build/bench-reader)
#
# WORK_DIR gets the two builds, a copy of the fixture generator with its npm
# packages, and the big generated files (fixtures/big/).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mkdir -p "${1:-$root/build/bench-reader}" && cd "${1:-$root/build/bench-reader}" && pwd)
shared=${QUORLA_SHARED_DIR:-$(cd "$root/../shared" && pwd)}
repeat=${BENCH_REPEAT:-3}
here="$root/tools/bench-reader"

echo "== building bench_reader (native bench preset and windows preset) in $work"
(cd "$root" && cmake --preset bench -B "$work/native" >/dev/null)
cmake --build "$work/native" -j2 --target bench_reader >/dev/null
(cd "$root" && cmake --preset windows -B "$work/windows" >/dev/null)
cmake --build "$work/windows" -j2 --target bench_reader >/dev/null

big="$work/fixtures/big"
if [ ! -f "$big/big-mesh.v8.3dm" ] || [ ! -f "$big/big-curves.v8.3dm" ]; then
  echo "== generating the big files with rhino3dm (npm ci, about 20 s)"
  rm -rf "$work/gen"
  cp -r "$shared/fixtures/gen" "$work/gen"
  chmod -R u+w "$work/gen"
  (cd "$work/gen" && npm ci --no-audit --no-fund >/dev/null &&
    node make-fixtures.mjs "$work/fixtures" --big --only=big-mesh,big-curves --versions=8 >/dev/null)
elif [ ! -d "$work/gen/node_modules/rhino3dm" ]; then
  rm -rf "$work/gen"
  cp -r "$shared/fixtures/gen" "$work/gen"
  chmod -R u+w "$work/gen"
  (cd "$work/gen" && npm ci --no-audit --no-fund >/dev/null)
fi

native() { "$work/native/bin/bench_reader" --repeat "$repeat" "$@"; }
wine() {
  local args=() f
  for f in "$@"; do args+=("Z:$f"); done
  QUORLA_NO_X=1 "$work/windows/wine-run" "$work/windows/bin/bench_reader.exe" --repeat "$repeat" "${args[@]}"
}
rhino() { node "$here/bench-rhino3dm.mjs" "$work/gen/node_modules" --repeat "$repeat" "$@"; }

# The "total" line of a run: seconds bytes peak_mb base_mb.
total() { awk '/^total/ {print $3, $5, $11, $13} /^FAILED/ {print > "/dev/stderr"}'; }

compare() {
  local title=$1
  shift
  echo
  echo "== $title ($# files, best of $repeat reads each)"
  local n w r
  n=$(native "$@" | total)
  w=$(wine "$@" | total)
  r=$(rhino "$@" | total)
  awk -v n="$n" -v w="$w" -v r="$r" 'BEGIN {
    split(n, N, " "); split(w, W, " "); split(r, R, " ")
    printf "%-22s %10s %10s %12s %14s\n", "reader", "seconds", "MB/s", "peak MB", "MB for reading"
    row("ours, native", N); row("ours, Wine", W); row("rhino3dm, Node", R)
    printf "speed vs rhino3dm:  native %.1fx, Wine %.1fx   (target: at least 5x)\n", R[1] / N[1], R[1] / W[1]
    printf "memory for reading vs rhino3dm:  native 1/%.1f, Wine 1/%.1f   (target: 1/4 or less)\n",
      (R[3] - R[4]) / max(N[3] - N[4], 0.1), (R[3] - R[4]) / max(W[3] - W[4], 0.1)
  }
  function max(a, b) { return a > b ? a : b }
  function row(name, X) {
    printf "%-22s %10.4f %10.1f %12.1f %14.1f\n", name, X[1], X[2] / 1048576 / X[1], X[3], X[3] - X[4]
  }'
}

compare "big mesh: 1,000,000 triangles" "$big/big-mesh.v8.3dm"
compare "big curves: 10,000 NURBS curves" "$big/big-curves.v8.3dm"
# Rhino 1 files are refused by our reader, so both read the same set: versions 2 to 8.
mapfile -t real < <(ls "$shared"/fixtures/real/V[2-8]__*.3dm)
compare "real files of archive versions 2 to 8, one process each way" "${real[@]}"
echo
echo "Peak memory is the process's peak resident size (peak working set under Wine);"
echo "\"MB for reading\" is that peak less the process's size before the first read."
