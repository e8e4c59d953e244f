#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

"""Builds the packages twice more from the release files in DIST, in folders
and under umasks that differ (022 and 077, a path with a non-ASCII byte),
and checks that every wheel and tarball is the same, byte for byte, in both
builds and in DIST. The time of the entries is read back from DIST's wheels.

Usage: reproducible.py CHECKOUT DIST SYSTEM_PYTHON SCRATCH

Exits 77, saying why, where DIST holds no packages."""

import calendar
import glob
import hashlib
import os
import shutil
import subprocess
import sys
import zipfile

checkout, dist, system_python, scratch = sys.argv[1:5]


def packages_in(folder):
    return sorted(os.path.basename(p) for p in glob.glob(os.path.join(folder, "*.whl"))
                  + glob.glob(os.path.join(folder, "*.tgz")))


def digest(path):
    with open(path, "rb") as file:
        return hashlib.sha256(file.read()).hexdigest()


def entry_time(wheel):
    """The time the wheel's entries carry, as SOURCE_DATE_EPOCH (UTC)."""
    with zipfile.ZipFile(wheel) as archive:
        stamp = archive.infolist()[0].date_time
    return str(calendar.timegm(stamp + (0, 0, 0)))


def build(folder, umask, version, epoch):
    os.makedirs(folder)
    for release in glob.glob(os.path.join(dist, f"simulated_error-{version}-*")):
        if not release.endswith((".whl", ".tgz")):
            shutil.copy(release, folder)
            os.chmod(os.path.join(folder, os.path.basename(release)), 0o777 & ~umask)
    previous = os.umask(umask)
    try:
        subprocess.run([system_python, os.path.join(checkout, "release", "make_packages.py"), folder, version],
                       check=True, stdout=subprocess.DEVNULL, timeout=300,
                       env={**os.environ, "SOURCE_DATE_EPOCH": epoch})
    finally:
        os.umask(previous)


def main():
    names = packages_in(dist)
    wheels = [n for n in names if n.endswith(".whl")]
    if not wheels:
        print(f"no packages in {dist} (./setup.sh release)")
        sys.exit(77)
    version = wheels[0].split("-")[1]
    epoch = entry_time(os.path.join(dist, wheels[0]))
    shutil.rmtree(scratch, ignore_errors=True)
    builds = {"first build": os.path.join(scratch, "a"), "second build": os.path.join(scratch, "b é")}
    for (label, folder), umask in zip(builds.items(), (0o022, 0o077)):
        build(folder, umask, version, epoch)
    differing = []
    for name in names:
        sums = {"dist": digest(os.path.join(dist, name))}
        for label, folder in builds.items():
            path = os.path.join(folder, name)
            sums[label] = digest(path) if os.path.exists(path) else "missing"
        same = len(set(sums.values())) == 1
        print(f"{sums['dist']}  {name}" + ("" if same else f"  DIFFERS: {sums}"))
        if not same:
            differing.append(name)
    for label, folder in builds.items():
        if packages_in(folder) != names:
            differing.append(f"{label} wrote {packages_in(folder)}")
    if differing:
        sys.exit(f"not the same bytes: {differing}")
    print(f"{len(names)} packages, the same bytes in two more builds")


main()
