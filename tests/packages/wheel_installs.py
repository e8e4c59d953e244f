#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

"""Installs this machine's wheel from DIST alone, with the system's pip and no
index, every way a Python developer does, and checks what each gives: the
file binary_path() names (the release file byte for byte, executable under a
umask of 077), the README's worked example through it, through the command
the installation puts on PATH and through python -m simulated_error, and
expected() of the installed package against each.

Usage: wheel_installs.py DIST SYSTEM_PYTHON SCRATCH

Exits 77, saying why, where the wheel or the system's pip or venv is missing."""

import ast
import collections
import hashlib
import os
import platform
import shutil
import subprocess
import sys
import time

dist, system_python, scratch = sys.argv[1:4]
WORKED_INPUT = b"hello\nnot read\n"
WORKED_ARGUMENTS = ["one", "", "a;b"]

# An install way: how to install (given the wheel and the way's folder), then
# the environment its Python runs with and where the command lands.
Way = collections.namedtuple("Way", "name install environment command")


def python_path_of(folder):
    return {"PYTHONPATH": folder}


def site_packages_under(root):
    for directory, _, files in os.walk(root):
        if "__init__.py" in files and os.path.basename(directory) == "simulated_error":
            return os.path.dirname(directory)
    return root


WAYS = [
    Way("a fresh venv",
        lambda wheel, home: [[system_python, "-m", "venv", home],
                             [f"{home}/bin/python", "-m", "pip", "install", "--no-index", wheel]],
        lambda home: {"PYTHON": f"{home}/bin/python"},
        lambda home: f"{home}/bin/simulated_error"),
    Way("pip install --target",
        lambda wheel, home: [[system_python, "-m", "pip", "install", "--no-index", "--target", home, wheel]],
        lambda home: {"PYTHON": system_python, **python_path_of(home)},
        lambda home: f"{home}/bin/simulated_error"),
    Way("pip install --user",
        lambda wheel, home: [[system_python, "-m", "pip", "install", "--no-index", "--user",
                              "--break-system-packages", wheel]],
        lambda home: {"PYTHON": system_python, "PYTHONUSERBASE": home},
        lambda home: f"{home}/bin/simulated_error"),
    # System-wide, staged under a root of its own as a distribution's
    # package is: the files land where they would under /.
    Way("system-wide, staged under --root",
        lambda wheel, home: [[system_python, "-m", "pip", "install", "--no-index", "--root", home,
                              "--break-system-packages", wheel]],
        lambda home: {"PYTHON": system_python, **python_path_of(site_packages_under(home))},
        lambda home: next((os.path.join(d, "simulated_error") for d, _, f in os.walk(home)
                           if "simulated_error" in f and d.endswith("/bin")), f"{home}/missing")),
]


# This machine's processor as the wheels' tags and the release files name it.
MACHINE_TAG = platform.machine()
RELEASE_ARCH = {"x86_64": "x86_64", "aarch64": "arm64"}.get(MACHINE_TAG, MACHINE_TAG)


def this_machines_wheel():
    names = [n for n in os.listdir(dist) if n.endswith(f"musllinux_1_1_{MACHINE_TAG}.whl")] if os.path.isdir(dist) else []
    return os.path.join(dist, names[0]) if names else None


def skip(reason):
    print(reason)
    sys.exit(77)


def run(command, environment=None, data=None):
    return subprocess.run(command, input=data, capture_output=True, timeout=120,
                          env={**os.environ, "PIP_NO_INPUT": "1", **(environment or {})})


def echo_of(path):
    """A path as the program writes it: each byte as one Latin-1 character."""
    return os.fsencode(path).decode("latin-1").encode()


def python_of(way, home):
    """The way's Python and its environment, which reads no user's site but the way's own."""
    environment = {"PYTHONNOUSERSITE": "1", **way.environment(home)}
    if "PYTHONUSERBASE" in environment:
        del environment["PYTHONNOUSERSITE"]
    return environment.pop("PYTHON"), environment


def ask_package(way, home, code):
    python, environment = python_of(way, home)
    result = run([python, "-c", code], environment)
    if result.returncode != 0:
        raise AssertionError(f"{code!r} failed: {result.stderr.decode(errors='replace')}")
    return result.stdout


def check_run(what, command, name, expected_of_package):
    """The worked example, run as command: the contract's bytes, and those the
    installed package's expected() gives for the same vector."""
    result = run(command + WORKED_ARGUMENTS, data=WORKED_INPUT)
    got = (result.stdout, result.stderr, result.returncode)
    contract = (echo_of(name) + b";one;;a;b;hello\n", b"this is a simulated error\n", 10)
    if got != contract:
        raise AssertionError(f"{what}: got {got}, the contract says {contract}")
    if list(got) != expected_of_package(name):
        raise AssertionError(f"{what}: the installed expected() says {expected_of_package(name)}")
    print(f"  {what}: {name} gives the worked example byte for byte")


def check_way(way, wheel, release_digest):
    home = os.path.join(scratch, way.name.split(",")[0].replace(" ", "_").replace("-", ""))
    _, environment = python_of(way, home)
    old_umask = os.umask(0o077)
    try:
        for command in way.install(wheel, home):
            result = run(command, environment)
            if result.returncode != 0:
                raise AssertionError(f"{' '.join(command)} failed:\n{result.stdout.decode()}{result.stderr.decode()}")
    finally:
        os.umask(old_umask)
    path = ask_package(way, home, "import simulated_error; print(simulated_error.binary_path())").decode().strip()
    if not path.startswith(home) or not os.access(path, os.X_OK):
        raise AssertionError(f"binary_path() gave {path!r}, not an executable file under {home}")
    with open(path, "rb") as file:
        if hashlib.sha256(file.read()).hexdigest() != release_digest:
            raise AssertionError(f"{path} is not the release file byte for byte")
    print(f"  binary_path(): {path} (mode {os.stat(path).st_mode & 0o777:o})")

    def expected_of_package(name):
        code = ("import sys, simulated_error as s; r = s.expected(sys.argv[1:], "
                f"{WORKED_INPUT!r}); sys.stdout.write(repr([r.stdout, r.stderr, r.status]))")
        python, environment = python_of(way, home)
        result = run([python, "-c", code, name] + WORKED_ARGUMENTS, environment)
        return ast.literal_eval(result.stdout.decode())

    check_run("binary_path()", [path], path, expected_of_package)
    command = way.command(home)
    if os.access(command, os.X_OK):
        check_run("the command pip installed", [command], command, expected_of_package)
    else:
        raise AssertionError(f"pip put no command at {command}")
    python, environment = python_of(way, home)
    module = run([python, "-m", "simulated_error"] + WORKED_ARGUMENTS, environment, WORKED_INPUT)
    contract = (echo_of(path) + b";one;;a;b;hello\n", b"this is a simulated error\n", 10)
    if (module.stdout, module.stderr, module.returncode) != contract:
        raise AssertionError(f"python -m simulated_error gave {module}")
    print("  python -m simulated_error gives the worked example, named by binary_path()")


def main():
    wheel = this_machines_wheel()
    if not wheel:
        skip(f"no wheel for {platform.machine()} in {dist} (./setup.sh release)")
    for module in ("venv", "pip"):
        if run([system_python, "-c", f"import {module}"]).returncode != 0:
            skip(f"{system_python} has no {module} (Debian's python3-{module})")
    release_name = f"simulated_error-{os.path.basename(wheel).split('-')[1]}-linux-{RELEASE_ARCH}"
    with open(os.path.join(dist, release_name), "rb") as file:
        release_digest = hashlib.sha256(file.read()).hexdigest()
    # Each way installs afresh: pip leaves an installed version as it is.
    shutil.rmtree(scratch, ignore_errors=True)
    failed = []
    for way in WAYS:
        started = time.monotonic()
        print(f"{way.name}: installing {os.path.basename(wheel)}", flush=True)
        try:
            check_way(way, wheel, release_digest)
            print(f"{way.name}: passed in {time.monotonic() - started:.1f} s", flush=True)
        except (AssertionError, subprocess.TimeoutExpired) as error:
            print(f"{way.name}: FAILED: {error}", flush=True)
            failed.append(way.name)
    if failed:
        sys.exit(f"failed: {', '.join(failed)}")
    print(f"all {len(WAYS)} ways of installing passed")


main()
