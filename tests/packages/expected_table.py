#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

"""Checks expected() of both packages against the program itself: a table of
generated cases (random argument bytes, element 0 among them, and random
input with NULs, carriage returns, malformed and overlong UTF-8, surrogates,
byte-order marks, input ending before its line feed or absent), each run
through this machine's file from its wheel and compared, byte for byte and
with its status, with the Python package's expected(); then the Node
package's expected() is checked against the same runs. A sample also runs the
arm64 wheel's file under qemu-aarch64.

Usage: expected_table.py DIST PACKAGES_DIR NODE SCRATCH [CASES [ARM64_CASES]]

Exits 77, saying why, where the wheels, Node or qemu-aarch64 are missing."""

import json
import os
import random
import shutil
import stat
import subprocess
import sys
import time
import zipfile

dist, packages, node, scratch = sys.argv[1:5]
case_count = int(sys.argv[5]) if len(sys.argv) > 5 else 6000
arm64_count = int(sys.argv[6]) if len(sys.argv) > 6 else 300
sys.path.insert(0, os.path.join(packages, "python"))
import simulated_error  # noqa: E402 (the package's source, as the wheels carry it)

# Pieces a line is made of: text, the bytes that decoding and collection
# treat specially, and every kind of ill-formed UTF-8.
PIECES = [
    b"a", b"hello", b" ", b";", b"\r", b"\r\n", b"\n", b"\0", b"\0\n", b"\xef\xbb\xbf",
    "é€😀".encode(), b"\xc3\xa9", b"\xe2\x82\xac", b"\xf0\x9f\x98\x80",
    b"\x80", b"\xbf", b"\xc0\x80", b"\xc1\xbf", b"\xe0\x80\x80", b"\xf0\x80\x80\x80",  # overlong
    b"\xed\xa0\x80", b"\xed\xbf\xbf", b"\xed\xa0\xbd\xed\xb8\x80",  # surrogates
    b"\xf4\x90\x80\x80", b"\xf5", b"\xfe", b"\xff",  # beyond U+10FFFF
    b"\xc3", b"\xe2\x82", b"\xf0\x9f\x98",  # cut short
    b"\xe2\x82\xe2\x82\xac", b"\xc3\x00\xa9",
]


def random_bytes(rng, size):
    return bytes(rng.randrange(256) for _ in range(size))


def random_input(rng):
    """Input for one case: None (none at all) or bytes of pieces and noise."""
    kind = rng.random()
    if kind < 0.05:
        return None
    if kind < 0.15:
        return random_bytes(rng, rng.randrange(0, 200))
    data = b"".join(rng.choice(PIECES) for _ in range(rng.randrange(0, 40)))
    if rng.random() < 0.6:
        data += b"\n" + b"".join(rng.choice(PIECES) for _ in range(rng.randrange(0, 8)))
    return data


def random_element(rng):
    """An element: random bytes with no NUL (the kernel takes none)."""
    size = rng.choice([0, 1, 2, 3, 5, 8, 20])
    if rng.random() < 0.5:
        return bytes(rng.randrange(1, 256) for _ in range(size))
    return b"".join(rng.choice([b"x", b"-", b"\xc3\xa9", b"\xe2\x82\xac", b";", b" ", b"\xff"])
                    for _ in range(size))


def random_case(rng):
    # Element 0 is the program as the caller names it: any bytes but empty.
    name = rng.choice([b"simulated_error", b"/opt/caf\xc3\xa9/simulated_error", b"./s",
                       random_element(rng) or b"n"])
    arguments = [random_element(rng) for _ in range(rng.choice([0, 0, 1, 1, 2, 3, 5]))]
    return [name] + arguments, random_input(rng)


def as_given(rng, element):
    """The element as a caller may hand it over: bytes, or str where the
    bytes are UTF-8 (which subprocess encodes back to the same bytes)."""
    try:
        return element.decode("utf-8") if rng.random() < 0.5 else element
    except UnicodeDecodeError:
        return element


def run_program(command, vector, data):
    """Runs the program (command: the file, or qemu-aarch64 and the file)
    with exactly the argument vector given; its three results."""
    if len(command) == 1:
        argv, executable = vector, command[0]
    else:  # qemu-aarch64 gives the program its element 0 from -0
        argv, executable = command[:1] + [b"-0", vector[0]] + command[1:] + vector[1:], None
    given = {"stdin": subprocess.DEVNULL} if data is None else {"input": data}
    result = subprocess.run(argv, executable=executable, capture_output=True, timeout=60, **given)
    return result.stdout, result.stderr, result.returncode


def program_from_wheel(suffix, name):
    """The file the wheel for suffix carries, extracted with its mode."""
    wheels = [n for n in os.listdir(dist) if n.endswith(suffix)] if os.path.isdir(dist) else []
    if not wheels:
        return None
    path = os.path.join(scratch, name)
    with zipfile.ZipFile(os.path.join(dist, wheels[0])) as wheel, open(path, "wb") as file:
        file.write(wheel.read("simulated_error/bin/simulated_error"))
    os.chmod(path, stat.S_IRWXU)
    return path


def check(label, command, cases, rng, runs):
    """Runs each case, compares with the Python package, keeps the run for Node."""
    differences = 0
    last_report = time.monotonic()
    for index, (vector, data) in enumerate(cases):
        given = [as_given(rng, element) for element in vector]
        got = run_program(command, vector, data)
        want = tuple(simulated_error.expected(given, data))
        if got != want:
            differences += 1
            if differences <= 5:
                print(f"{label}: case {index}: vector {vector!r}, input {data!r}:\n"
                      f"  program {got!r}\n  expected {want!r}", flush=True)
        runs.append({"args": [e.hex() for e in vector],
                     "echo": sum(len(e.decode("latin-1").encode()) + 1 for e in vector),
                     "strings": [isinstance(e, str) for e in given],
                     "input": None if data is None else data.hex(),
                     "stdout": got[0].hex(), "stderr": got[1].hex(), "status": got[2]})
        if time.monotonic() - last_report > 20:
            print(f"{label}: {index + 1} of {len(cases)} cases", flush=True)
            last_report = time.monotonic()
    print(f"{label}: {len(cases)} cases, {differences} differences from Python's expected()", flush=True)
    return differences


def check_node(runs, program):
    """The Node package's expected() on every run; the number of differences."""
    path = os.path.join(scratch, "runs.json")
    with open(path, "w") as file:
        json.dump(runs, file)
    checker = os.path.join(os.path.dirname(os.path.abspath(__file__)), "expected_check.js")
    result = subprocess.run([node, checker, os.path.join(packages, "node", "simulated-error"), path, program],
                            capture_output=True, text=True, timeout=600)
    print(result.stdout + result.stderr, end="", flush=True)
    return 0 if result.returncode == 0 else 1


def main():
    if not shutil.which(node):
        print(f"no {node} to run the Node package's expected()")
        sys.exit(77)
    os.makedirs(scratch, exist_ok=True)
    host = program_from_wheel("musllinux_1_1_x86_64.whl", "simulated_error_x86_64")
    if not host:
        print(f"no x86-64 wheel in {dist} (./setup.sh release)")
        sys.exit(77)
    rng = random.Random(20261210)
    cases = [random_case(rng) for _ in range(case_count)]
    runs = []
    differences = check("x86-64 file", [host], cases, rng, runs)
    arm64 = program_from_wheel("musllinux_1_1_aarch64.whl", "simulated_error_arm64")
    qemu = shutil.which("qemu-aarch64")
    if arm64 and qemu:
        differences += check("arm64 file under qemu-aarch64", [qemu, arm64],
                             rng.sample(cases, min(arm64_count, len(cases))), rng, runs)
    else:
        print("the arm64 file is not checked: " + ("no qemu-aarch64" if arm64 else "no arm64 wheel"))
    differences += check_node(runs, host)
    sys.exit(1 if differences else 0)


main()
