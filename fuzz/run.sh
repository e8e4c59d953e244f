#!/bin/sh
# Builds the fuzz target with clang and runs it for a given time.
#   fuzz/run.sh [SECONDS]     default 60
# Prints executions, crashes and hangs; exits non-zero when either was found.
# New inputs go to build-fuzz/corpus; the seeds in fuzz/corpus stay as they are.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_TESTING=OFF -DSIMULATED_ERROR_BUILD_FUZZ=ON >/dev/null
cmake --build build-fuzz --target fuzz_line_collection --parallel "$(nproc)"
mkdir -p build-fuzz/corpus build-fuzz/artifacts
rm -f build-fuzz/artifacts/*
build-fuzz/fuzz/fuzz_line_collection -max_total_time="$seconds" -max_len=200000 -timeout=2 \
    -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/ \
    build-fuzz/corpus fuzz/corpus >build-fuzz/fuzz.log 2>&1 &
fuzzer=$!
# libFuzzer's own log is long; every ten seconds a line says how far it is.
elapsed=0
while kill -0 "$fuzzer" 2>/dev/null; do
    sleep 1
    elapsed=$((elapsed + 1))
    [ $((elapsed % 10)) -eq 0 ] && echo "fuzzing: ${elapsed}s of ${seconds}s"
done
wait "$fuzzer" || true
executions=$(sed -n 's/^stat::number_of_executed_units: *//p' build-fuzz/fuzz.log)
crashes=$(find build-fuzz/artifacts -name 'crash-*' | wc -l)
hangs=$(find build-fuzz/artifacts -name 'timeout-*' | wc -l)
echo "fuzzed for ${seconds}s: ${executions:-?} executions, $crashes crashes, $hangs hangs"
[ "$crashes" -eq 0 ] && [ "$hangs" -eq 0 ] && [ -n "$executions" ] || {
    tail -30 build-fuzz/fuzz.log
    exit 1
}
