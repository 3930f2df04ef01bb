#!/usr/bin/env bash
# Everything from a fresh Debian 12 machine to a full test run: installs what
# is missing, configures and builds both presets, runs the Windows tests under
# Wine, the native tests under AddressSanitizer and UBSan, and the fuzzers.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc)
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"

ctest --preset windows
ctest --preset native

# Fuzz the file reader for a while with a seed corpus made from the fixtures.
fuzz_seconds=${QUORLA_FUZZ_SECONDS:-60}
if [ "$fuzz_seconds" -gt 0 ]; then
  for fuzzer in build/native/bin/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    corpus=build/native/fuzz/$name/corpus
    mkdir -p "$corpus"
    seeds=build/native/fuzz/$name/seeds
    echo "== $name for ${fuzz_seconds}s"
    "$fuzzer" -max_total_time="$fuzz_seconds" -print_final_stats=1 -timeout=10 \
      -rss_limit_mb=4096 -artifact_prefix=build/native/fuzz/$name/ "$corpus" \
      $( [ -d "$seeds" ] && echo "$seeds" ) 2>&1 | tail -n 15
  done
fi
echo "all tests passed"
