#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# in a build folder of their own and runs each one for the given number of seconds, all at
# once. The seeds in tests/fuzz-corpus/<target> are copied to a working corpus in the build
# folder, so the checked-in seeds stay small. Crashes, leaks, hangs and failed checks are
# kept in <build>/artifacts/<target>/ and make the script fail; each one belongs in a test.
#
#   fuzz/run.sh [seconds]      default 60; builds with the "fuzz" preset into build-fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-60}
build=build-fuzz
targets=(text_value_fuzzer keypad_load_fuzzer)

source scripts/lib/deps.sh
ensure_packages clang libclang-rt-14-dev

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

pids=()
for target in "${targets[@]}"; do
  seeds=$root/tests/fuzz-corpus/${target%_fuzzer}
  corpus=$build/corpus/$target
  artifacts=$build/artifacts/$target
  mkdir -p "$corpus" "$artifacts"
  cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true
  "$build/fuzz/$target" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=16384 -print_final_stats=1 -artifact_prefix="$artifacts/" \
    >"$build/$target.log" 2>&1 &
  pids+=($!)
done

status=0
for i in "${!targets[@]}"; do
  target=${targets[$i]}
  if wait "${pids[$i]}"; then result=ok; else result=FAILED; status=1; fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$target.log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$build/$target.log" | tail -n 1)
  echo "$target: $result, ${runs:-?} executions in ${seconds} s (${rate:-?}/s)," \
    "corpus $(ls "$build/corpus/$target" | wc -l) inputs"
  if [ "$result" = FAILED ]; then
    tail -n 40 "$build/$target.log"
    ls -l "$build/artifacts/$target"
  fi
done
exit $status
