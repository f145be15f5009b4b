#!/usr/bin/env bash
# Runs each fuzz target of a fuzz build (make fuzz) for SECONDS, starting from
# its seed corpus in fuzz/corpus/<target> plus what earlier runs found
# (kept in BUILD/fuzz/corpus/<target>), and prints how many inputs each ran.
# A crash, a hang, a leak or too much memory stops the run: the input is kept
# in BUILD/fuzz/findings/<target>/ and the script fails.
#
#   scripts/fuzz.sh [BUILD] [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build-asan}"
seconds="${2:-600}"
shift 2 || shift $#
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_investment_file fuzz_investment_write fuzz_portfolio fuzz_settings
           fuzz_import fuzz_import_schema)
fi

work="$(cd "$build" && pwd)/fuzz"
passed=0
failed=0
for target in "${targets[@]}"; do
  program="$build/bin/$target"
  if [ ! -x "$program" ]; then
    echo "fuzz: $program is missing; build it first (make fuzz)" >&2
    exit 2
  fi
  corpus="$work/corpus/$target"
  findings="$work/findings/$target"
  log="$work/$target.log"
  mkdir -p "$corpus" "$findings"
  if ASAN_OPTIONS="abort_on_error=1:detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
     "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$findings/" "$corpus" "$PWD/fuzz/corpus/$target" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    echo "fuzz: $target: ${runs:-?} runs in ${seconds} s, nothing found"
    passed=$((passed + 1))
  else
    echo "fuzz: $target FAILED; its input is in $findings/ and its log in $log:" >&2
    grep -v '^#' "$log" | tail -40 >&2
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
