#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan/UBSan) and runs each on its seeds
# (committed, generated from the shared damaged packages, and the codec's
# reference vectors), which it replays first, then on what it finds.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]   long runs (default 300), as make fuzz
#   scripts/fuzz.sh --brief                make test: 8 s per target
# Crashing inputs land in build/fuzz/findings/<target>/; the exit status is 1
# when any target found one.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
if [ "$seconds" = --brief ]; then
  seconds=8
fi
build=build/fuzz
cmake -S tests/fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 >/dev/null
rm -rf "$build/seeds"
"$build/fuzz_seeds" "$build/seeds"

status=0
for target in decode_record package_walk command_line lzhuf_differential lzhuf_round_trip; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  seeds=()
  for dir in "tests/fuzz/corpus/$target" "$build/seeds/$target"; do
    if [ -d "$dir" ]; then seeds+=("$dir"); fi
  done
  # Longer inputs for the codec: deep code trees need many symbols, and the
  # seed that grows one past 16 levels is about 300 KB.
  max_len=4096
  case $target in lzhuf_round_trip) max_len=320000 ;; esac
  case $target in lzhuf_*) seeds+=(tests/data/lzhuf) ;; esac
  log="$build/$target.log"
  # New inputs go to the first folder only; the seed folders stay as they are.
  if "$build/fuzz_$target" "$corpus" "${seeds[@]}" -max_total_time="$seconds" -max_len=$max_len \
       -print_final_stats=1 -artifact_prefix="$findings/" -rss_limit_mb=2048 -timeout=25 >"$log" 2>&1; then
    result="no findings"
  else
    result="FINDING (see $log and $findings/)"
    status=1
  fi
  runs=$(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}')
  printf 'fuzz %-18s %6ss  %10s executions  %s\n' "$target" "$seconds" "${runs:-?}" "$result"
done
exit $status
