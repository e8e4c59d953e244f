#!/bin/sh
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# apt-get, as root (through sudo where needed), as every script here runs
# it: where another install holds one of the package manager's locks (the
# automatic updates that run at boot, another set-up on the same machine), it
# waits for it up to five minutes, saying so, instead of failing.
#
#   release/apt_get.sh update [OPTION]...
#   release/apt_get.sh install [OPTION]... PACKAGE...
set -u
wait_seconds=300
as_root=
[ "$(id -u)" -eq 0 ] || as_root=sudo
log=$(mktemp)
trap 'rm -f "$log" "$log.status"' EXIT

# apt-get waits for dpkg's locks itself (DPkg::Lock::Timeout), saying each
# second what holds them; the lists' lock (update) and the downloads' lock
# (install) fail at once: the call is made again while one of them is held.
waited=0
while :; do
    { DEBIAN_FRONTEND=noninteractive $as_root apt-get -o DPkg::Lock::Timeout=$wait_seconds "$@" 2>&1
      echo $? >"$log.status"; } | tee "$log"
    status=$(cat "$log.status")
    [ "$status" -ne 0 ] && grep -q "Could not get lock" "$log" || exit "$status"
    if [ "$waited" -ge "$wait_seconds" ]; then
        echo "apt_get: gave up after $wait_seconds s: another install still holds the package manager's lock" >&2
        exit "$status"
    fi
    echo "apt_get: waiting for the package manager, whose lock another install holds ($waited s of $wait_seconds s)" >&2
    sleep 5
    waited=$((waited + 5))
done
