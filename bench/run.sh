#!/bin/sh
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Builds the program and its comparison programs, then prints the benchmark.
#   bench/run.sh            the full run: medians of 7 runs (the start-up's of 21), then
#                           a 3 GiB line and 720,000,000 invalid bytes, each streamed once
#   bench/run.sh --quick    medians of 3 runs (the start-up's of 9), no lines of gigabytes
#   bench/run.sh --qt=6     the build with Qt 6 (Qt 5 is the default)
#   bench/run.sh --program=PATH   another build of the program against the same floors
# With the Linux release file of this machine in dist/ (./setup.sh release),
# its start-up is measured too, against a dash script and a static C program,
# and with the packages for pip and npm there, the start-up of the program
# each gives, against the same script.
set -eu
cd "$(dirname "$0")/.."
qt=5
build=build-bench
for argument; do
    case $argument in
    --qt=*) qt=${argument#--qt=} && build=build-bench-qt$qt ;;
    esac
done
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
    -DSIMULATED_ERROR_BUILD_BENCH=ON -DSIMULATED_ERROR_QT_MAJOR="$qt" >/dev/null
cmake --build "$build" --parallel "$(nproc)" >/dev/null
arch=$(uname -m)
[ "$arch" = aarch64 ] && arch=arm64
for file in dist/simulated_error-*-linux-"$arch"; do
    [ -f "$file" ] && set -- "$@" --release-file="$file"
done
for file in dist/simulated_error-*-py3-none-*.whl; do
    [ -f "$file" ] && set -- "$@" --packages=dist && break
done
exec python3 bench/bench.py "$build" "$@"
