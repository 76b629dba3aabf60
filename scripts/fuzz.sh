#!/usr/bin/env bash
# Builds the libFuzzer targets of the number texts with clang and the sanitizers (in build/fuzz) and
# runs each in turn for the given seconds (60 unless named) on a copy of its seed corpus, so that the
# committed corpus never grows. Fails when any target finds a crash, a timeout or a broken property.
#   scripts/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh [seconds]" >&2
  exit 2
fi

scripts/setup.sh
build=build/fuzz
targets=(fuzz_str_to_float fuzz_str_to_int fuzz_float_round_trip)
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTROVA_FUZZ=ON -DKESTROVA_GUI=OFF -DKESTROVA_BENCH=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for target in "${targets[@]}"; do
  corpus="$work/$target"
  mkdir -p "$corpus"
  cp tests/fuzz/corpus/"$target"/* "$corpus"/
  seeds=$(find "$corpus" -type f | wc -l)
  findings="$build/findings/$target"
  mkdir -p "$findings"
  log="$work/$target.log"
  echo "== $target: $seconds s from $seeds seeds"
  rc=0
  "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -dict=tests/fuzz/number_texts.dict -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1 || rc=$?
  stat() { awk -v key="stat::$1:" '$1 == key { print $2 }' "$log"; }
  echo "   executions: $(stat number_of_executed_units), new inputs: $(stat new_units_added)," \
    "corpus: $(find "$corpus" -type f | wc -l) files, peak memory: $(stat peak_rss_mb) MB"
  if ((rc != 0)); then
    status=1
    echo "   FINDING (exit $rc):"
    { grep -E -A2 '^BROKEN' "$log" || true
      grep -E 'runtime error|^==[0-9]+==ERROR: [A-Za-z]+Sanitizer|^SUMMARY|ALARM|out-of-memory' "$log" || true
    } | head -12 | sed 's/^/     /'
    grep -E -o 'Test unit written to .*' "$log" | sed 's/^/   /' || true
  else
    echo "   no findings"
  fi
done
exit $status
