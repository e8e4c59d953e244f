#!/bin/sh
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Sets up what the build needs, builds, then runs the program once (demo) or
# the test suite (test). Run as root or through sudo.
#
#   ./setup.sh demo       build and show one run
#   ./setup.sh test       check the licensing, build and run the everyday test suite
#                         (everything but the soak)
#   ./setup.sh soak       the long runs: thousands of starts and a 256 MiB line
#   ./setup.sh sanitize   the everyday suite and the long line on an AddressSanitizer/UBSan
#                         build made with clang
#   ./setup.sh memcheck   the everyday suite with every run of the program under valgrind
#   ./setup.sh qt6        the everyday suite on a build with Qt 6
#   ./setup.sh posix      build the program with POSIX calls alone and without the x86-64
#                         block check, run the tables against it, check that it calls
#                         none of Linux's own, and show one run
#   ./setup.sh windows    build Qt's core module for 64-bit Windows once (cached outside
#                         the tree), cross-build the program with MinGW-w64, and run the
#                         run-sequence, fault and next-command tables against it under Wine
#   ./setup.sh release    build Qt's core module statically for each target once (cached
#                         outside the tree), write the self-contained files for Linux on
#                         x86-64 and arm64 and for 64-bit Windows into dist/ with the
#                         packages for pip and npm that carry them, run the tables against
#                         the Linux files (the arm64 one under qemu-aarch64), and install
#                         and check the packages
#   ./setup.sh fuzz       a 30-second run of the fuzzer (clang's libFuzzer)
#   ./setup.sh mutants [COUNT [SEED [FILE...]]]
#                         COUNT one-line faults (20 by default) drawn with SEED put into the
#                         program's sources (or the FILEs) one at a time, each built and run
#                         against the tables: prints each one no table notices, and the
#                         score (about half a minute a mutant; not part of CI)
#
# The long stages print each test's output as it runs, so that they are never
# silent for long.
set -eu
cd "$(dirname "$0")"
mode=${1:-demo}
started=$(date +%s)

build_packages="g++ cmake make qtbase5-dev"
qt6_build_packages="g++ cmake make qt6-base-dev"
# clang's sanitizer and libFuzzer runtimes come in a package of their own,
# named for clang's major version (see install_clang).
clang_packages="clang"
# The Windows build: MinGW-w64's compilers with POSIX threads, Wine to run
# what they build, dpkg-dev for apt-get source, which fetches Qt's source, and
# tmux, a terminal for Wine's console.
windows_packages="g++-mingw-w64-x86-64-posix wine64 dpkg-dev tmux"
# The release files: the cross compilers and C library for arm64, MinGW-w64,
# dpkg-dev for Qt's source, binutils to strip and check what is built, and
# qemu-user to run the arm64 file.
release_packages="g++-aarch64-linux-gnu libc6-dev-arm64-cross g++-mingw-w64-x86-64-posix dpkg-dev binutils file qemu-user"
# The packages for pip and npm: the system's pip and venv install the wheels
# and pytest runs the README's Python example; the npm tools the package
# tests install with come from npm itself (install_node_tools).
package_packages="python3-venv python3-pip python3-pytest"
node_tools="verdaccio@6.8.0 pnpm@10.34.9 @yarnpkg/cli-dist@4.18.1"
node_tools_dir=${XDG_CACHE_HOME:-$HOME/.cache}/simulated_error/node-tools
# The tests also build, check (lintian) and unpack the Debian package, take
# the program into a parent project that uses Qt 6 and into parents that
# find no Qt (which get Qt 5, or Qt 6 where Qt 5 is hidden in a private
# namespace), render the man page, inject failures, run valgrind and run the
# README's Python and Node examples. git lists the project's files for the
# licensing check and serves the README's FetchContent example; reuse checks
# that every file states its copyright and license.
# The locale table makes a Latin-1 locale from the locales package's sources.
test_packages="dpkg-dev file git lintian locales man-db qtbase5-dev qt6-base-dev reuse strace valgrind python3 nodejs"

install_missing() {
    missing=
    for package in "$@"; do
        dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing="$missing $package"
    done
    [ -z "$missing" ] && return 0
    echo "installing:$missing"
    # One update serves every call of this script within the hour.
    [ -n "$(find /var/lib/apt/lists -maxdepth 1 -name '*_Packages*' -mmin -60 2>/dev/null)" ] ||
        release/apt_get.sh update -qq
    # shellcheck disable=SC2086
    release/apt_get.sh install -y --no-install-recommends $missing
}

# A package registry server of the tests' own, pnpm and yarn, at the versions
# above, from npm, once, into a folder outside the tree. npm comes with
# Node.js from NodeSource, and in a package of its own from Debian.
install_node_tools() {
    command -v npm >/dev/null || install_missing npm
    [ "$(cat "$node_tools_dir/installed" 2>/dev/null)" = "$node_tools" ] && return 0
    echo "installing $node_tools into $node_tools_dir"
    rm -rf "$node_tools_dir"
    # shellcheck disable=SC2086 # one package a word
    npm install --prefix "$node_tools_dir" --no-save --no-audit --no-fund --loglevel=error $node_tools
    echo "$node_tools" >"$node_tools_dir/installed"
}

# clang, then the runtimes of its own major version.
install_clang() {
    install_missing $clang_packages
    install_missing "libclang-rt-$(clang -dumpversion | cut -d. -f1)-dev"
}

# CI treats warnings as errors; a developer's newer compiler need not.
# CMake's own lines stay: they say which Qt and which of Linux's calls the
# build found.
configure() {
    dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DSIMULATED_ERROR_WARNINGS_AS_ERRORS="$([ -n "${CI:-}" ] && echo ON || echo OFF)" "$@"
}

configure_and_build() {
    configure "$@"
    cmake --build "$1" --parallel "$(nproc)"
}

# The licensing check reads the project's files: those git tracks, as they
# are in the working tree, and not what an editor or a tool left beside them
# untracked. Where git tracks none of them (an unpacked archive, even one
# inside another repository) it reads the whole tree but the build folders.
check_licensing() {
    root=$(mktemp -d)
    trap 'rm -rf "$root"' EXIT
    if git -c safe.directory="$PWD" ls-files --error-unmatch setup.sh >/dev/null 2>&1; then
        git -c safe.directory="$PWD" ls-files -z | xargs -0 sh -c '
            for file; do
                if [ -e "$file" ]; then cp -P --parents -- "$file" "$0"; fi
            done' "$root"
    else
        tar -c --exclude=./build --exclude='./build-*' --exclude=./dist . | tar -x -C "$root"
    fi
    reuse --root "$root" lint --quiet 2>/dev/null || { reuse --root "$root" lint; exit 1; }
}

# Shows one run of the program built in the folder given (build by default).
demo() {
    dir=${1:-build}
    echo "\$ printf \"hello\\\\nnot read\\\\n\" | $dir/src/simulated_error one two"
    set +e
    printf 'hello\nnot read\n' | "$dir/src/simulated_error" one two >"$dir/demo.out" 2>"$dir/demo.err"
    status=$?
    set -e
    echo "standard output: $(cat "$dir/demo.out")"
    echo "standard error:  $(cat "$dir/demo.err")"
    echo "exit status:     $status"
}

# wine64, where Debian installs it beside its libraries (off PATH unless the
# wine package adds its launcher) or on PATH, and the wineserver beside it.
find_wine() {
    wine64=/usr/lib/wine/wine64
    [ -x "$wine64" ] || wine64=$(command -v wine64) || { echo "found no wine64" >&2; exit 1; }
    wineserver=$(dirname "$wine64")/wineserver
    [ -x "$wineserver" ] || wineserver=$(command -v wineserver) || { echo "found no wineserver" >&2; exit 1; }
}

# Runs the Windows tests, from a test build of their own, under Wine in a
# prefix of the Windows build's own. One wineserver serves every run:
# started anew for each, it would take seconds, and the helpers it starts
# would hold each test's output pipes open.
windows_tests() {
    find_wine
    WINEPREFIX=$PWD/build-windows/wine WINEDEBUG=-all
    export WINEPREFIX WINEDEBUG
    trap '"$wineserver" -k 2>/dev/null || true' EXIT
    echo "preparing Wine's prefix in $WINEPREFIX"
    "$wineserver" -k 2>/dev/null || true
    # wineserver starts in the prefix's folder, which must exist.
    mkdir -p "$WINEPREFIX"
    "$wineserver" -p </dev/null >/dev/null 2>&1
    "$wine64" wineboot --init </dev/null >/dev/null 2>&1
    echo '$ printf "hello\\nrest\\n" | wine64 simulated_error.exe one \303\251'
    printf 'hello\nrest\n' | LC_ALL=C.UTF-8 "$wine64" build-windows/src/simulated_error.exe one "$(printf '\303\251')" |
        od -An -c
    ctest --test-dir build-windows-tests --output-on-failure --label-regex windows
}

case $mode in
demo)
    install_missing $build_packages
    # Only what the demonstration runs: the tests are built by "test".
    configure build
    cmake --build build --target simulated_error --parallel "$(nproc)"
    demo
    ;;
test)
    install_missing $build_packages $test_packages
    check_licensing
    configure_and_build build
    ctest --test-dir build --output-on-failure --label-exclude 'soak|windows|release|packages' --parallel "$(nproc)"
    ;;
soak)
    install_missing $build_packages $test_packages
    configure_and_build build
    ctest --test-dir build --verbose --label-regex soak
    ;;
sanitize)
    # Built with clang, so that one stage builds and tests the tree with the
    # compiler that is not the default.
    install_missing $build_packages $test_packages
    install_clang
    configure_and_build build-sanitize-clang -DCMAKE_CXX_COMPILER=clang++ -DSIMULATED_ERROR_SANITIZE=ON
    # Thousands of starts walk the paths the everyday suite walks once; under
    # the sanitizers they would take many minutes and find nothing more.
    ctest --test-dir build-sanitize-clang --verbose --exclude-regex '^soak_starts$' --label-exclude 'release|packages'
    ;;
memcheck)
    install_missing $build_packages $test_packages
    configure_and_build build
    logs=$PWD/build/memcheck
    rm -rf "$logs" && mkdir -p "$logs"
    status=0
    SIMULATED_ERROR_UNDER_VALGRIND=$logs ctest --test-dir build --verbose \
        --label-exclude 'soak|packaging|windows|release|packages' || status=$?
    # memcheck's reports, where it found anything (a run whose standard
    # streams were closed may also have left its own output there)
    grep -l '^==[0-9]*==' "$logs"/*.log 2>/dev/null | xargs -r cat
    [ "$status" -eq 0 ] || exit "$status"
    ;;
qt6)
    install_missing $qt6_build_packages $test_packages
    configure_and_build build-qt6 -DSIMULATED_ERROR_QT_MAJOR=6
    ctest --test-dir build-qt6 --output-on-failure --label-exclude 'soak|release|packages' --parallel "$(nproc)"
    ;;
posix)
    # The program with POSIX calls alone, and with the code of processors
    # without the x86-64 block check: the tables against it, and proof that
    # it calls none of Linux's own.
    install_missing $build_packages $test_packages
    configure_and_build build-posix -DSIMULATED_ERROR_POSIX_ONLY=ON -DSIMULATED_ERROR_BLOCK_CHECK=OFF
    ctest --test-dir build-posix --output-on-failure --tests-regex '^(run_sequence|faults|line_collection|posix_only_calls)$' \
        --parallel "$(nproc)"
    demo build-posix
    ;;
windows)
    install_missing $build_packages $test_packages $windows_packages
    qt=$(release/build_qt.sh windows-x86_64)
    configure build-windows -DCMAKE_TOOLCHAIN_FILE=windows/mingw_w64_toolchain.cmake \
        -DSIMULATED_ERROR_WINDOWS_QT="$qt" -DCMAKE_BUILD_TYPE=Release
    cmake --build build-windows --parallel "$(nproc)"
    # Only what the Windows tests run, in a folder of their own, so that the
    # everyday build keeps its configuration.
    configure build-windows-tests -DSIMULATED_ERROR_WINDOWS_BUILD="$PWD/build-windows"
    cmake --build build-windows-tests --target tst_run_sequence tst_faults exec_as --parallel "$(nproc)"
    windows_tests
    ;;
release)
    install_missing $build_packages $test_packages $release_packages $package_packages
    install_node_tools
    release/make_files.sh
    # The tables against the Linux files, from the everyday build's tests,
    # then the packages.
    configure build
    cmake --build build --target tst_run_sequence tst_faults tst_line_collection exec_as \
        --parallel "$(nproc)"
    SIMULATED_ERROR_NODE_TOOLS=$node_tools_dir \
        ctest --test-dir build --output-on-failure --label-regex 'release|packages'
    ;;
fuzz)
    install_missing $build_packages
    install_clang
    fuzz/run.sh 30
    ;;
mutants)
    install_missing $build_packages $test_packages
    shift
    python3 mutants/run.py "$@"
    ;;
*)
    echo "usage: $0 demo|test|soak|sanitize|memcheck|qt6|posix|windows|release|fuzz|mutants" >&2
    exit 2
    ;;
esac
echo "setup.sh $mode: done in $(($(date +%s) - started)) s"
