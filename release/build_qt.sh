#!/bin/sh
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Builds Qt 5's core module, static and release, for one target from the
# distribution's qtbase source package, and installs it into a cache folder
# outside the source tree, once. The release files and the Windows build of
# the program are then made against it.
#
#   release/build_qt.sh TARGET [CACHE_DIR]
#
# TARGET is one of
#   linux-x86_64     this machine's GCC (an x86-64 machine is assumed)
#   linux-arm64      cross, Qt's linux-aarch64-gnu-g++ with g++-aarch64-linux-gnu
#   windows-x86_64   cross, MinGW-w64's posix-threads compilers
#
# All three get one configuration: the core module and nothing else, without
# ICU, iconv, the non-Unicode codecs or QLibrary, with the bundled PCRE2,
# zlib and double-conversion, so that a program linked with it needs no
# library of the machine it runs on. CACHE_DIR defaults to
#   ${XDG_CACHE_HOME:-$HOME/.cache}/simulated_error/qt5-core-<qt version>-TARGET-<key>
# where the key is a digest of the configuration, so that a changed
# configuration builds anew beside the old. It holds work/ (the build,
# removed once installed unless SIMULATED_ERROR_KEEP_QT_WORK=1), install/
# (the Qt prefix), times (how long configure and make took) and the stamp
# file complete, written last. The source is unpacked once for every target,
# into qt5-source-<qt version> beside it. The prefix is the last line on
# standard output, everything else goes to standard error, so that a caller
# can write
#   qt=$(release/build_qt.sh windows-x86_64)
# Needs root (or sudo) for apt: it may add a deb-src entry and install
# dpkg-dev. Each target takes about 10 minutes on 2 cores (make -j2), printing
# a progress line every 20 seconds.
set -eu

progress_every=20
here=$(cd "$(dirname "$0")" && pwd)
started=$(date +%s)
jobs=$(nproc 2>/dev/null || echo 2)

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

# The options every target is configured with. Qt's own code is hardened as
# the program is, where the target's programs are: Linux's.
common_options="-static -release -opensource -confirm-license
    -no-pkg-config -no-gui -no-widgets -no-opengl -no-dbus -no-glib -no-icu -no-iconv -no-zstd
    -no-feature-codecs -no-feature-big_codecs -no-feature-library
    -no-feature-network -no-feature-sql -no-feature-xml
    -no-feature-testlib -no-feature-concurrent
    -qt-pcre -qt-zlib -qt-doubleconversion -nomake tests -nomake examples"
linux_hardening="-fstack-protector-strong -fstack-clash-protection -D_FORTIFY_SOURCE=2"

# Qt's configure takes one assignment for each flag: QMAKE_CFLAGS+=FLAG and
# the same for C++.
compile_flag_assignments() {
    for flag; do
        printf 'QMAKE_CFLAGS+=%s QMAKE_CXXFLAGS+=%s\n' "$flag" "$flag"
    done
}

# Sets target_options, the tools the target is checked for (cross_tools) and
# the extra make targets and their install targets.
choose_target() {
    extra_make=
    extra_install=
    case $1 in
    linux-x86_64)
        [ "$(uname -m)" = x86_64 ] || die "linux-x86_64 is built on an x86-64 machine only"
        # shellcheck disable=SC2086 # one flag a word
        target_options="-platform linux-g++ $(compile_flag_assignments $linux_hardening -fcf-protection)"
        cross_tools="g++"
        ;;
    linux-arm64)
        # shellcheck disable=SC2086 # one flag a word
        target_options="-xplatform linux-aarch64-gnu-g++ $(compile_flag_assignments $linux_hardening)"
        cross_tools="aarch64-linux-gnu-g++"
        ;;
    windows-x86_64)
        # -static-runtime has qmake link programs with -static, as the
        # CMake toolchain file does.
        target_options="-xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32-
            -static-runtime"
        cross_tools="x86_64-w64-mingw32-g++-posix"
        # qtmain, which Qt's CMake files for Windows name
        extra_make=sub-winmain
        extra_install=sub-winmain-install_subtargets
        ;;
    *)
        die "unknown target '$1' (linux-x86_64, linux-arm64 or windows-x86_64)"
        ;;
    esac
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

# What the cache's name keeps apart: the options and the steps that use them
# (all but the paths, which depend on where the cache is).
configuration_key() {
    {
        # shellcheck disable=SC2086 # one option a line
        printf '%s\n' $common_options $target_options
        sed -n '/^configure_qt()/,/^}/p; /^build_core()/,/^}/p' "$0"
    } | sha256sum | cut -c 1-10
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
            echo "# Added by simulated_error's release/build_qt.sh to fetch Qt's source."
            printf '%s\n' "$entries"
        } | as_root tee "$file" >/dev/null
        # REUSE-IgnoreEnd
    fi
    log "refreshing apt's package lists"
    "$here/apt_get.sh" update -qq >&2
}

install_dpkg_dev() {
    command -v dpkg-source >/dev/null && return 0
    log "installing dpkg-dev (apt-get source unpacks with it)"
    "$here/apt_get.sh" install -y -qq --no-install-recommends dpkg-dev >&2
}

# Unpacks the source into $sources once (dpkg-source applies Debian's
# patches as it does), under a lock, since every target reads it and two
# targets may be built at once; prints its folder.
fetch_source() {
    mkdir -p "$sources"
    exec 9>"$sources/lock"
    flock 9
    if [ ! -f "$sources/complete" ]; then
        ensure_source_entry
        install_dpkg_dev
        rm -rf "$sources/work"
        mkdir -p "$sources/work"
        log "fetching and unpacking Qt's source into $sources"
        # Under root's home the folder is out of reach of apt's unprivileged
        # download user, which apt would drop with a warning anyway.
        (cd "$sources/work" && apt-get -o APT::Sandbox::User=root source -q qtbase-opensource-src >&2)
        date -u '+%Y-%m-%dT%H:%M:%SZ' >"$sources/complete"
    fi
    exec 9>&-
    for dir in "$sources"/work/qtbase-opensource-src-*/; do
        [ -x "$dir/configure" ] && { printf '%s\n' "${dir%/}"; return 0; }
    done
    die "apt-get source left no qtbase source folder in $sources/work"
}

# The win32-g++ mkspec calls ${CROSS_COMPILE}gcc and g++; these links make
# them the posix-threads compilers whatever the alternatives currently
# select, so that QtCore is built with the compiler and C++ runtime
# (winpthreads threading) of the programs that link it.
posix_compiler_dir() {
    dir=$work/posix-compilers
    mkdir -p "$dir"
    ln -sf /usr/bin/x86_64-w64-mingw32-gcc-posix "$dir/x86_64-w64-mingw32-gcc"
    ln -sf /usr/bin/x86_64-w64-mingw32-g++-posix "$dir/x86_64-w64-mingw32-g++"
    printf '%s\n' "$dir"
}

object_count() {
    find "$build" -name '*.o' 2>/dev/null | wc -l
}

# Runs a command with its output in a log file, in the background, printing
# how far it got every $progress_every seconds; on failure prints the
# log's tail and stops the script. Appends the step's seconds to the times
# file.
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
        printf '%s %s\n' "$label" $(($(date +%s) - step_started)) >>"$work/times"
        return 0
    fi
    log "$label: failed after $(elapsed_since "$step_started"); the end of $logfile:"
    tail -n 40 "$logfile" >&2
    exit 1
}

# configure first builds qmake with make, one job at a time unless
# MAKEFLAGS says otherwise. No path of this machine reaches a program linked
# with Qt, so that the program's bytes do not depend on where the cache is:
# Qt installs into the cache (-extprefix) but keeps its default deployment
# prefix, which it would look up plugins under and the program never reads,
# and the file names that Qt's assertions hold are those of the source and
# the build as if in /qt5-source and /qt5-work.
configure_qt() {
    mkdir -p "$build"
    cd "$build"
    # shellcheck disable=SC2046,SC2086 # the option lists are split on purpose
    run_logged configure "$work/configure.log" env MAKEFLAGS="-j$jobs" "$source/configure" \
        -extprefix "$prefix" $common_options $target_options \
        $(compile_flag_assignments "-ffile-prefix-map=$sources/work=/qt5-source" "-ffile-prefix-map=$work=/qt5-work")
}

# Only QtCore and what it needs (the bundled PCRE2, the host tools moc,
# rcc and tracegen, and the bootstrap library under them; configure built
# qmake already), and the target's extra. The targets' dependencies come
# from the subdirs Makefile in src/, which qmake writes first.
build_core() {
    # shellcheck disable=SC2016 # expanded by the inner shell
    run_logged make "$work/make.log" sh -c '
        make -C "$1" sub-src-qmake_all &&
        make -j"$2" -C "$1/src" sub-corelib sub-rcc $3' \
        make "$build" "$jobs" "$extra_make"
}

# Installs the libraries, headers, CMake and qmake files of those, then
# qmake and the mkspecs from the top-level Makefile.
install_core() {
    # shellcheck disable=SC2016 # expanded by the inner shell
    run_logged install "$work/install.log" sh -c '
        make -C "$1/src" sub-3rdparty-pcre2-install_subtargets \
            sub-corelib-install_subtargets $2 \
            sub-moc-install_subtargets sub-rcc-install_subtargets \
            sub-tracegen-install_subtargets &&
        make -C "$1" sub-qmake-qmake-aux-pro-install_subtargets install_mkspecs' \
        install "$build" "$extra_install"
    [ -f "$prefix/lib/cmake/Qt5Core/Qt5CoreConfig.cmake" ] ||
        die "the install holds no Qt5CoreConfig.cmake"
    # configure builds qmake (a program of this machine) with debug
    # information, 24 of its 28 MB; the other tools are installed stripped.
    strip "$prefix/bin/qmake"
}

main() {
    [ $# -ge 1 ] || die "usage: $0 linux-x86_64|linux-arm64|windows-x86_64 [CACHE_DIR]"
    target=$1
    choose_target "$target"
    version=$(qt_version) || {
        ensure_source_entry
        version=$(qt_version) || die "apt knows no Qt 5 (libqt5core5a)"
    }
    root=${XDG_CACHE_HOME:-$HOME/.cache}/simulated_error
    if [ $# -ge 2 ]; then
        cache=$2
    else
        cache=$root/qt5-core-$version-$target-$(configuration_key)
    fi
    case $cache in /*) ;; *) cache=$(pwd)/$cache ;; esac
    sources=$root/qt5-source-$version
    prefix=$cache/install
    work=$cache/work
    build=$work/build
    if [ -f "$cache/complete" ]; then
        log "Qt for $target is already built in $prefix"
        printf '%s\n' "$prefix"
        return 0
    fi

    for tool in $cross_tools; do
        command -v "$tool" >/dev/null || die "$tool is missing"
    done
    # Only this script's own folders go: CACHE_DIR may hold other things.
    rm -rf "$work" "$prefix"
    mkdir -p "$work"
    source=$(fetch_source)
    log "building Qt $version for $target from $source"
    if [ "$target" = windows-x86_64 ]; then
        PATH=$(posix_compiler_dir):$PATH
        export PATH
    fi
    configure_qt
    build_core
    install_core

    cp "$work/times" "$cache/times"
    [ "${SIMULATED_ERROR_KEEP_QT_WORK:-0}" = 1 ] || rm -rf "$work"
    date -u '+%Y-%m-%dT%H:%M:%SZ' >"$cache/complete"
    log "built and installed in $(elapsed_since "$started"); installed size: $(du -sh "$prefix" | cut -f 1)"
    printf '%s\n' "$prefix"
}

main "$@"
