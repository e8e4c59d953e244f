#!/bin/sh
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Builds Qt 5's core module (static, release) for 64-bit Windows with
# MinGW-w64, from the distribution's qtbase source package, and installs it
# into a cache folder outside the source tree, once. The Windows build of
# the program is then made against it with windows/mingw_w64_toolchain.cmake.
#
#   windows/build_qt.sh [CACHE_DIR]
#
# CACHE_DIR defaults to
#   ${XDG_CACHE_HOME:-$HOME/.cache}/simulated_error/qt5-mingw-w64-<qt version>
# and holds work/ (source and build, removed once installed unless
# SIMULATED_ERROR_KEEP_QT_WORK=1), install/ (the Qt prefix) and the stamp
# file complete, written last. The prefix is the last line on standard
# output, everything else goes to standard error, so that a caller can write
#   SIMULATED_ERROR_WINDOWS_QT=$(windows/build_qt.sh)
# Needs root (or sudo) for apt: it may add a deb-src entry and install
# dpkg-dev. Takes about 13 minutes on 2 cores (make -j2), printing a
# progress line every 20 seconds.
set -eu

cross=x86_64-w64-mingw32
progress_every=20
started=$(date +%s)

log() {
    printf 'build_qt: %s\n' "$*" >&2
}

die() {
    log "error: $*"
    exit 1
}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

elapsed_since() {
    seconds=$(($(date +%s) - $1))
    printf '%dm%02ds' $((seconds / 60)) $((seconds % 60))
}

# The upstream Qt version of the distribution's Qt 5, from the binary
# package's candidate (read-only, so that a finished cache is found without
# touching apt): 5.15.8+dfsg-11+deb12u3 gives 5.15.8.
qt_version() {
    version=$(apt-cache policy libqt5core5a 2>/dev/null | sed -n 's/^ *Candidate: *//p')
    case $version in
        '' | '(none)') return 1 ;;
    esac
    version=${version#*:}
    printf '%s\n' "${version%%[-+~]*}"
}

# deb-src entries mirroring every deb entry of the deb822 file $1: the
# source package then comes from the same suites as the binary packages
# (a security update included) and its version matches the cache's name.
deb822_sources_as_src() {
    awk '
        function flush() {
            if (is_deb && uris != "")
                printf "%sTypes: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n%s", \
                    (printed++ ? "\n" : ""), uris, suites, components, \
                    (signed != "" ? "Signed-By: " signed "\n" : "")
            is_deb = 0; uris = suites = components = signed = ""
        }
        /^[ \t]*#/ { next }
        /^[ \t]*$/ { flush(); next }
        { field = $1; sub(/^[^:]*:[ \t]*/, "") }
        field == "Types:" { is_deb = ($0 ~ /(^|[ \t])deb([ \t]|$)/) }
        field == "URIs:" { uris = $0 }
        field == "Suites:" { suites = $0 }
        field == "Components:" { components = $0 }
        field == "Signed-By:" { signed = $0 }
        END { flush() }
    ' "$1"
}

# Makes sure apt knows the qtbase source package: adds deb-src entries of
# its own when apt has none, and refreshes apt's lists only then (or when
# an entry exists but its list was never fetched).
ensure_source_entry() {
    apt-cache showsrc qtbase-opensource-src 2>/dev/null | grep -q '^Package:' && return 0
    if [ -z "$(apt-get indextargets 'Created-By: Sources' 2>/dev/null)" ]; then
        if [ -f /etc/apt/sources.list.d/debian.sources ]; then
            file=/etc/apt/sources.list.d/simulated-error-src.sources
            entries=$(deb822_sources_as_src /etc/apt/sources.list.d/debian.sources)
        else
            file=/etc/apt/sources.list.d/simulated-error-src.list
            entries=$(sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list 2>/dev/null)
        fi
        [ -n "$entries" ] || die "found no deb entry to mirror as deb-src"
        log "adding deb-src entries in $file"
        # The licensing check reads these lines as this script's own.
        # REUSE-IgnoreStart
        {
            echo "# SPDX-FileCopyrightText: 2026 simulated_error developers"
            echo "# SPDX-License-Identifier: MIT"
            echo "# Added by simulated_error's windows/build_qt.sh to fetch Qt's source."
            printf '%s\n' "$entries"
        } | as_root tee "$file" >/dev/null
        # REUSE-IgnoreEnd
    fi
    log "refreshing apt's package lists"
    as_root apt-get update -qq >&2
}

install_dpkg_dev() {
    command -v dpkg-source >/dev/null && return 0
    log "installing dpkg-dev (apt-get source unpacks with it)"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends dpkg-dev >&2
}

# Unpacks the source (dpkg-source applies Debian's patches as it does) and
# prints its folder.
fetch_source() {
    mkdir -p "$work"
    # Under root's home the folder is out of reach of apt's unprivileged
    # download user, which apt would drop with a warning anyway.
    (cd "$work" && apt-get -o APT::Sandbox::User=root source -q qtbase-opensource-src >&2)
    for dir in "$work"/qtbase-opensource-src-*/; do
        [ -x "$dir/configure" ] && { printf '%s\n' "${dir%/}"; return 0; }
    done
    die "apt-get source left no qtbase source folder in $work"
}

# The mkspec calls ${CROSS_COMPILE}gcc and g++; these links make them the
# posix-threads compilers whatever the alternatives currently select, so
# that QtCore is built with the compiler and C++ runtime (winpthreads
# threading) of the programs that link it.
posix_compiler_dir() {
    dir=$work/posix-compilers
    mkdir -p "$dir"
    ln -sf "/usr/bin/$cross-gcc-posix" "$dir/$cross-gcc"
    ln -sf "/usr/bin/$cross-g++-posix" "$dir/$cross-g++"
    printf '%s\n' "$dir"
}

object_count() {
    find "$build" -name '*.o' 2>/dev/null | wc -l
}

# Runs a command with its output in a log file, in the background, printing
# how far it got every $progress_every seconds; on failure prints the
# log's tail and stops the script.
run_logged() {
    label=$1 logfile=$2
    shift 2
    step_started=$(date +%s)
    log "$label: started, log in $logfile"
    "$@" >"$logfile" 2>&1 &
    pid=$!
    ticks=0
    while kill -0 "$pid" 2>/dev/null; do
        sleep 1
        ticks=$((ticks + 1))
        if [ "$ticks" -ge "$progress_every" ]; then
            ticks=0
            last=$(tail -n 1 "$logfile" | cut -c 1-120)
            log "$label: $(elapsed_since "$step_started"), $(object_count) object files; $last"
        fi
    done
    if wait "$pid"; then
        log "$label: done in $(elapsed_since "$step_started")"
        return 0
    fi
    log "$label: failed after $(elapsed_since "$step_started"); the end of $logfile:"
    tail -n 40 "$logfile" >&2
    exit 1
}

# configure first builds qmake with make, one job at a time unless
# MAKEFLAGS says otherwise. -static-runtime has qmake link programs with
# -static, as the CMake toolchain file does.
configure_qt() {
    mkdir -p "$build"
    cd "$build"
    run_logged configure "$work/configure.log" env MAKEFLAGS=-j2 "$source/configure" \
        -xplatform win32-g++ -device-option "CROSS_COMPILE=$cross-" \
        -prefix "$prefix" -static -static-runtime -release \
        -opensource -confirm-license \
        -no-gui -no-widgets -no-opengl -no-dbus -no-icu \
        -no-feature-network -no-feature-sql -no-feature-xml \
        -no-feature-testlib -no-feature-concurrent \
        -qt-pcre -qt-zlib -nomake tests -nomake examples
}

# Only QtCore and what it needs (the bundled PCRE2, the host tools moc,
# rcc and tracegen, and the bootstrap library under them; configure built
# qmake already), plus qtmain, which Qt's CMake files for Windows name.
# The targets' dependencies come from the subdirs Makefile in src/, which
# qmake writes first.
build_core() {
    # shellcheck disable=SC2016 # expanded by the inner shell
    run_logged make "$work/make.log" sh -c '
        make -C "$1" sub-src-qmake_all &&
        make -j2 -C "$1/src" sub-corelib sub-rcc sub-winmain' \
        make "$build"
}

# Installs the libraries, headers, CMake and qmake files of those, then
# qmake and the mkspecs from the top-level Makefile.
install_core() {
    # shellcheck disable=SC2016 # expanded by the inner shell
    run_logged install "$work/install.log" sh -c '
        make -C "$1/src" sub-3rdparty-pcre2-install_subtargets \
            sub-corelib-install_subtargets sub-winmain-install_subtargets \
            sub-moc-install_subtargets sub-rcc-install_subtargets \
            sub-tracegen-install_subtargets &&
        make -C "$1" sub-qmake-qmake-aux-pro-install_subtargets install_mkspecs' \
        install "$build"
    [ -f "$prefix/lib/cmake/Qt5Core/Qt5CoreConfig.cmake" ] ||
        die "the install holds no Qt5CoreConfig.cmake"
    # configure builds qmake (a Linux program) with debug information, 24
    # of its 28 MB; the other tools are installed stripped already.
    strip "$prefix/bin/qmake"
}

main() {
    if [ $# -gt 0 ]; then
        cache=$1
    else
        version=$(qt_version) || {
            ensure_source_entry
            version=$(qt_version) || die "apt knows no Qt 5 (libqt5core5a)"
        }
        cache=${XDG_CACHE_HOME:-$HOME/.cache}/simulated_error/qt5-mingw-w64-$version
    fi
    case $cache in /*) ;; *) cache=$(pwd)/$cache ;; esac
    prefix=$cache/install
    work=$cache/work
    build=$work/build
    if [ -f "$cache/complete" ]; then
        log "Qt is already built in $prefix"
        printf '%s\n' "$prefix"
        return 0
    fi

    command -v "$cross-g++-posix" >/dev/null ||
        die "$cross-g++-posix is missing (apt-get install g++-mingw-w64-x86-64-posix)"
    # Only this script's own folders go: CACHE_DIR may hold other things.
    rm -rf "$work" "$prefix"
    ensure_source_entry
    install_dpkg_dev
    source=$(fetch_source)
    log "source: $source"
    PATH=$(posix_compiler_dir):$PATH
    export PATH
    configure_qt
    build_core
    install_core

    [ "${SIMULATED_ERROR_KEEP_QT_WORK:-0}" = 1 ] || rm -rf "$work"
    date -u '+%Y-%m-%dT%H:%M:%SZ' >"$cache/complete"
    log "built and installed in $(elapsed_since "$started"); installed size: $(du -sh "$prefix" | cut -f 1)"
    printf '%s\n' "$prefix"
}

main "$@"
