#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan/UBSan) and runs each for a set time
# on a working copy of its seed corpus, then reports executions and findings.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]     (default 300)
# Crashing inputs land in build/fuzz/findings/<target>/; the exit status is 1
# when any target found one.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
build=build/fuzz
cmake -S tests/fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 >/dev/null

status=0
for target in decode_record package_walk command_line; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  cp -n tests/fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null || true
  log="$build/$target.log"
  if "$build/fuzz_$target" "$corpus" -max_total_time="$seconds" -print_final_stats=1 \
       -artifact_prefix="$findings/" -rss_limit_mb=2048 -timeout=25 >"$log" 2>&1; then
    result="no findings"
  else
    result="FINDING (see $log and $findings/)"
    status=1
  fi
  runs=$(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}')
  printf 'fuzz %-14s %6ss  %10s executions  %s\n' "$target" "$seconds" "${runs:-?}" "$result"
done
exit $status
