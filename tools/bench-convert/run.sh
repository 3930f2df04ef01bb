#!/usr/bin/env bash
# Mesh conversion benchmark under Wine: the 1,000,000-triangle mesh read by
# the reader and converted through the embedded host (journal off) to a solid
# and to sketch lines, progress off and on. Prints the times and the share of
# time spent in progress windows (target: under 5 %). It never fails on a
# target.
#
#   tools/bench-convert/run.sh [WORK_DIR]        (default: build/bench-convert)
#
# The big mesh: $BIG_MESH if set; else big-mesh.v8.3dm where the reader's
# benchmark keeps it (build/bench-reader/fixtures/big/, or WORK_DIR's);
# otherwise the reader's benchmark script is run once to generate it there.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mkdir -p "${1:-$root/build/bench-convert}" && cd "${1:-$root/build/bench-convert}" && pwd)
repeat=${BENCH_REPEAT:-3}

mesh=${BIG_MESH:-}
if [ -z "$mesh" ]; then
  for dir in "$work/fixtures/big" "$root/build/bench-reader/fixtures/big"; do
    if [ -f "$dir/big-mesh.v8.3dm" ]; then
      mesh="$dir/big-mesh.v8.3dm"
      break
    fi
  done
fi
if [ -z "$mesh" ]; then
  echo "== no big mesh yet: running the reader's benchmark, which generates it"
  "$root/tools/bench-reader/run.sh"
  mesh="$root/build/bench-reader/fixtures/big/big-mesh.v8.3dm"
fi

echo "== building bench_convert (windows preset) in $work/windows"
(cd "$root" && cmake --preset windows -B "$work/windows" >/dev/null)
cmake --build "$work/windows" -j2 --target bench_convert >/dev/null

echo "== converting $mesh"
"$work/windows/wine-run" "$work/windows/bin/bench_convert.exe" --repeat "$repeat" "Z:$mesh"
