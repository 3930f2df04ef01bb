#!/usr/bin/env bash
# quorla with standard error on a terminal (a pseudo-terminal made by
# script(1)): progress lines redrawn in place, then the summary; nothing of
# it with --no-progress.
#   terminal-progress.sh WINE_RUN QUORLA_EXE SAMPLE.3dm
set -u
wine_run=$1 exe=$2 sample=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
fail=0

run() { # name, options...: the terminal's bytes into $work/<name>
  local name=$1; shift
  local command="$wine_run $exe import $* $sample"
  script -q -e -c "$command" /dev/null >"$name" 2>&1 </dev/null
}

run on --progress || { echo "FAIL: quorla exited with $? on a terminal"; cat on; exit 1; }
grep -q $'\rCreating curves \[' on || { echo "FAIL: no progress line redrawn in place"; fail=1; }
grep -q 'Creating curves \[########################\] 100 %' on ||
  { echo "FAIL: the curve stage never reached 100 %"; fail=1; }
grep -q 'Creating solid' on || { echo "FAIL: no mesh progress"; fail=1; }
grep -q '1 file imported, 0 failed' on || { echo "FAIL: no summary"; fail=1; }

run off --no-progress || { echo "FAIL: quorla exited with $? on a terminal"; cat off; exit 1; }
if grep -q 'Creating' off; then echo "FAIL: progress shown with --no-progress"; fail=1; fi
grep -q '1 file imported, 0 failed' off || { echo "FAIL: no summary with --no-progress"; fail=1; }

[ $fail -eq 0 ] || { echo "--- with progress:"; cat -v on; exit 1; }
echo "terminal progress: ok"
