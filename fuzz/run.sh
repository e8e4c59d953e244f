#!/bin/sh
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Builds the fuzz targets with clang and runs them side by side for a given
# time: one on the code this processor runs, one on the code that processors
# without the x86-64 block check run.
#   fuzz/run.sh [SECONDS]     default 60
# Prints executions, crashes and hangs; exits non-zero when either was found.
# New inputs go to build-fuzz/corpus; the seeds in fuzz/corpus stay as they are.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets="fuzz_line_collection fuzz_line_collection_portable"
# Without hardening: fortified calls would go around AddressSanitizer's checks.
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_TESTING=OFF -DSIMULATED_ERROR_BUILD_FUZZ=ON -DSIMULATED_ERROR_HARDEN=OFF >/dev/null
# shellcheck disable=SC2086
cmake --build build-fuzz --target $targets --parallel "$(nproc)"
pids=
for target in $targets; do
    mkdir -p "build-fuzz/corpus/$target" "build-fuzz/artifacts/$target"
    rm -f "build-fuzz/artifacts/$target"/*
    "build-fuzz/fuzz/$target" -max_total_time="$seconds" -max_len=200000 -timeout=2 \
        -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$target/" \
        "build-fuzz/corpus/$target" fuzz/corpus >"build-fuzz/$target.log" 2>&1 &
    pids="$pids $!"
done
# libFuzzer's own logs are long; every ten seconds a line says how far it is.
elapsed=0
for pid in $pids; do
    while kill -0 "$pid" 2>/dev/null; do
        sleep 1
        elapsed=$((elapsed + 1))
        [ $((elapsed % 10)) -eq 0 ] && echo "fuzzing: ${elapsed}s of ${seconds}s"
    done
    wait "$pid" || true
done
status=0
for target in $targets; do
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "build-fuzz/$target.log")
    crashes=$(find "build-fuzz/artifacts/$target" -name 'crash-*' | wc -l)
    hangs=$(find "build-fuzz/artifacts/$target" -name 'timeout-*' | wc -l)
    echo "$target: fuzzed for ${seconds}s: ${executions:-?} executions, $crashes crashes, $hangs hangs"
    [ "$crashes" -eq 0 ] && [ "$hangs" -eq 0 ] && [ -n "$executions" ] || {
        tail -30 "build-fuzz/$target.log"
        status=1
    }
done
exit $status
