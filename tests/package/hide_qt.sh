#!/bin/sh
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Runs a command where CMake finds none of the given major versions of Qt, as
# on a machine that has not installed them: in a private user and mount
# namespace, an empty file system is mounted over each of their CMake package
# folders. Nothing outside the namespace changes, and no root is needed
# where the kernel lets users make namespaces.
#   hide_qt.sh "MAJOR..." COMMAND [ARGUMENT]...
# Exits 77 where no such namespace can be made, for CTest to report a skip.
set -eu
majors=$1
shift

# The folders in which find_package looks for Qt's packages on a Debian
# system and under /usr/local.
folders=
for major in $majors; do
    for folder in /usr/lib/*/cmake/Qt"$major"* /usr/lib/cmake/Qt"$major"* \
        /usr/share/cmake/Qt"$major"* /usr/local/lib/*/cmake/Qt"$major"* \
        /usr/local/lib/cmake/Qt"$major"*; do
        [ -d "$folder" ] && folders="$folders $folder"
    done
done

if ! unshare --user --map-root-user --mount sh -c 'mount -t tmpfs none /tmp' 2>/dev/null; then
    echo "skipped: no private user and mount namespace can be made here to hide Qt $majors"
    exit 77
fi
# shellcheck disable=SC2016
exec unshare --user --map-root-user --mount sh -c '
    for folder in $1; do
        mount -t tmpfs none "$folder"
    done
    shift
    exec "$@"' sh "$folders" "$@"
