#!/usr/bin/env bash
# Runs every loader fuzzer of a fuzz build folder for a while, each from a copy of its corpus, and prints the
# executions per loader. Exits non-zero when any fuzzer found something (its input is kept in <build>/findings/).
# Usage: tests/fuzz/run.sh <fuzz build folder> <seconds per fuzzer>
set -uo pipefail
build="$1"
seconds="${2:-60}"
src="$(cd "$(dirname "$0")" && pwd)"
work="$build/fuzz-work"
findings="$build/findings"
mkdir -p "$work" "$findings"
failed=0
printf '%-12s %14s %10s  %s\n' loader executions exec/s result
while read -r name; do
  [ -n "$name" ] || continue
  corpus="$work/$name"
  mkdir -p "$corpus"
  cp -n "$src/corpus/$name/"* "$corpus/" 2>/dev/null || true
  log="$work/$name.log"
  # Inputs the fuzzer finds interesting grow the work copy, never the committed corpus.
  "$build/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$findings/$name-" "$corpus" >"$log" 2>&1
  rc=$?
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  speed=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  if [ "$rc" -eq 0 ]; then
    result=ok
  else
    result="FINDING (see $log and $findings/)"
    failed=1
  fi
  printf '%-12s %14s %10s  %s\n' "$name" "${execs:-?}" "${speed:-?}" "$result"
done <"$build/fuzzers.txt"
exit "$failed"
