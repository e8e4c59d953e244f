#!/bin/sh
# Builds the program and its comparison programs, then prints the benchmark.
#   bench/run.sh            the full run (a few minutes)
#   bench/run.sh --quick    smaller inputs, fewer repeats, no lines of gigabytes
#   bench/run.sh --program=PATH   another build of the program against the same floors
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
    -DSIMULATED_ERROR_BUILD_BENCH=ON >/dev/null
cmake --build build-bench --parallel "$(nproc)" >/dev/null
exec python3 bench/bench.py build-bench "$@"
