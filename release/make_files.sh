#!/bin/sh
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Writes the release files into dist/: the program as one self-contained
# file for each target, stripped, and their SHA-256 sums.
#
#   release/make_files.sh [TARGET]...
#
# TARGET is linux-x86_64, linux-arm64 or windows-x86_64 (all three by
# default). Each is built against the static Qt that release/build_qt.sh
# builds for it (once, cached outside the tree), in build-release/TARGET,
# and written as dist/simulated_error-VERSION-TARGET (.exe for Windows). A
# Linux file is checked to need nothing of the machine it runs on: no
# dynamic section, no interpreter, RELRO and the stack protector kept.
# With all three, release/make_packages.py then writes the packages for pip
# and npm that carry them. SHA256SUMS lists every file in dist/ of this
# version.
set -eu
cd "$(dirname "$0")/.."

version=$(sed -n 's/^project(simulated_error VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "make_files: no version in CMakeLists.txt" >&2; exit 1; }

# The header of a Windows file holds a time, which strip sets anew from
# SOURCE_DATE_EPOCH where it is set: the last commit's time keeps the bytes
# the same from build to build.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -c safe.directory="$PWD" log -1 --format=%ct 2>/dev/null || echo 0)}
export SOURCE_DATE_EPOCH

die() {
    echo "make_files: $*" >&2
    exit 1
}

# A Linux file runs with nothing beside it: no library, no loader.
check_self_contained() {
    file=$1 unstripped=$2
    headers=$(readelf -lW "$file")
    case $headers in *INTERP*) die "$file names a program interpreter" ;; esac
    case $headers in *GNU_RELRO*) ;; *) die "$file has no RELRO segment" ;; esac
    readelf -d "$file" | grep -q 'There is no dynamic section' || die "$file has a dynamic section"
    nm "$unstripped" | grep -q ' __stack_chk_fail$' || die "$unstripped is built without the stack protector"
}

# Builds one target and writes its file into dist/.
make_file() {
    target=$1
    qt=$(release/build_qt.sh "$target")
    dir=build-release/$target
    name=simulated_error-$version-$target
    program=$dir/src/simulated_error
    case $target in
    linux-x86_64) set -- -DCMAKE_TOOLCHAIN_FILE=release/linux_static_toolchain.cmake -DCMAKE_PREFIX_PATH="$qt" ;;
    linux-arm64) set -- -DCMAKE_TOOLCHAIN_FILE=release/linux_arm64_toolchain.cmake -DSIMULATED_ERROR_ARM64_QT="$qt" ;;
    windows-x86_64)
        set -- -DCMAKE_TOOLCHAIN_FILE=windows/mingw_w64_toolchain.cmake -DSIMULATED_ERROR_WINDOWS_QT="$qt"
        name=$name.exe
        program=$program.exe
        ;;
    *) die "unknown target '$target' (linux-x86_64, linux-arm64 or windows-x86_64)" ;;
    esac
    echo "building $name in $dir"
    cmake -S . -B "$dir" --no-warn-unused-cli -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DSIMULATED_ERROR_INSTALL=OFF \
        -DSIMULATED_ERROR_WARNINGS_AS_ERRORS="$([ -n "${CI:-}" ] && echo ON || echo OFF)" "$@" >/dev/null
    cmake --build "$dir" --target simulated_error --parallel "$(nproc)"
    strip=$(sed -n 's/^CMAKE_STRIP:FILEPATH=//p' "$dir/CMakeCache.txt")
    mkdir -p dist
    "${strip:-strip}" -o "dist/$name" "$program"
    case $target in linux-*) check_self_contained "dist/$name" "$program" ;; esac
}

[ $# -gt 0 ] || set -- linux-x86_64 linux-arm64 windows-x86_64
for target; do
    make_file "$target"
done
files="simulated_error-$version-linux-x86_64 simulated_error-$version-linux-arm64 simulated_error-$version-windows-x86_64.exe"
if (cd dist && ls $files >/dev/null 2>&1); then
    echo "writing the packages for pip and npm"
    # Debian's Python, whatever python3 comes first on PATH.
    /usr/bin/python3 release/make_packages.py dist "$version" >/dev/null
fi
# Every file of this version, and only those: a sum that cannot be written
# fails the build rather than leave a partial list.
(cd dist && rm -f SHA256SUMS && sha256sum $(ls | grep -F -e "-$version-" -e "-$version." | sort) >SHA256SUMS.new &&
    mv SHA256SUMS.new SHA256SUMS)
echo
for file in $(cd dist && ls | grep -F -e "-$version-" -e "-$version." | sort); do
    printf '%9d  %s\n' "$(wc -c <"dist/$file")" "$(file -b "dist/$file" | cut -d, -f1-6)  (dist/$file)"
done
echo
cat dist/SHA256SUMS
