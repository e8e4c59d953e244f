#!/bin/sh
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# apt-get, as root (through sudo where needed), as every script here runs
# it: where another install holds the package manager's lock (the automatic
# updates that run at boot, another set-up on the same machine), it waits
# for it up to five minutes, saying so, instead of failing.
#
#   release/apt_get.sh update
#   release/apt_get.sh install [OPTION]... PACKAGE...
set -u
wait_seconds=300
as_root=
[ "$(id -u)" -eq 0 ] || as_root=sudo

if [ "${1:-}" != update ]; then
    # install waits for dpkg's lock itself, with a line each second that
    # names the process holding it.
    exec $as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=$wait_seconds "$@"
fi

# update fails at once where its lists' lock is held: it is tried again.
waited=0
while :; do
    if output=$($as_root apt-get -o DPkg::Lock::Timeout=$wait_seconds update -qq 2>&1); then
        [ -z "$output" ] || printf '%s\n' "$output" >&2
        exit 0
    fi
    case $output in
    *"Could not get lock"*) [ "$waited" -lt "$wait_seconds" ] || break ;;
    *) break ;;
    esac
    printf 'apt_get: waiting for the package lists, which another install holds (%d s of %d s): %s\n' \
        "$waited" "$wait_seconds" "$(printf '%s' "$output" | head -n 1)" >&2
    sleep 5
    waited=$((waited + 5))
done
printf '%s\n' "$output" >&2
exit 1
