#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

"""Measures simulated_error side by side with the floors it is held to.

Usage: bench.py BUILD_DIR [--quick] [--program=PATH] [--qt=N] [--release-file=PATH]
                [--packages=DIST]
--program measures another build of simulated_error against the same floors;
--qt only names the Qt the build in BUILD_DIR uses; --release-file adds the
start-up of a self-contained file against a dash script and a static C
program that do the same job; --packages the start-up of the program as the
pip and npm packages in DIST give it (installed here from DIST) against the
same dash script.
Prints medians over repeated runs, then whether each goal is met. Every
command runs between the same pipes: a feeder writes its input (or it reads
a regular file), and its standard output goes to a pipe that is drained."""

import hashlib
import os
import re
import statistics
import subprocess
import sys
import tempfile
import threading
import time

build = sys.argv[1]
quick = "--quick" in sys.argv
runs = 3 if quick else 7
qt = next((a.split("=", 1)[1] for a in sys.argv if a.startswith("--qt=")), "5")

program = next((a.split("=", 1)[1] for a in sys.argv if a.startswith("--program=")),
               os.path.join(build, "src", "simulated_error"))
release_file = next((a.split("=", 1)[1] for a in sys.argv if a.startswith("--release-file=")), None)
packages = next((a.split("=", 1)[1] for a in sys.argv if a.startswith("--packages=")), None)
startup_script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "startup_script.sh")
startup_floor_c = os.path.join(build, "bench", "startup_floor_c")
startup_floor = os.path.join(build, "bench", "startup_floor")
one_write = os.path.join(build, "bench", "one_write_per_element")
read_and_keep = os.path.join(build, "bench", "read_and_keep")
MiB = 1 << 20
GiB = 1 << 30


def run_once(command, input_path=None, from_pipe=True):
    """Runs command once with input_path as its standard input (through a
    pipe from cat, or as the regular file itself) and its standard output
    into a drained pipe; returns (seconds, peak resident KiB). The peak comes
    from GNU time, so that it is the command's own."""
    with tempfile.NamedTemporaryFile("r") as peak, \
            open(input_path or os.devnull, "rb") as source:
        feeder = None
        stdin = source
        if input_path and from_pipe:
            feeder = subprocess.Popen(["cat"], stdin=source, stdout=subprocess.PIPE)
            stdin = feeder.stdout
        drain = subprocess.Popen(["cat"], stdin=subprocess.PIPE, stdout=subprocess.DEVNULL)
        start = time.perf_counter()
        process = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", peak.name] + command,
                                   stdin=stdin, stdout=drain.stdin, stderr=subprocess.DEVNULL)
        if feeder:
            feeder.stdout.close()
        drain.stdin.close()
        process.wait()
        drain.wait()
        seconds = time.perf_counter() - start
        kib = int(peak.read().split()[-1])
        if feeder:
            feeder.wait()
    return seconds, kib


def compare_rounds(commands, input_path=None, from_pipe=True, times=runs):
    """Runs the commands in turn, round after round, so that drift in the
    machine's speed touches all of them alike; returns name -> the (seconds,
    peak KiB) of each round."""
    results = {name: [] for name in commands}
    for _ in range(times):
        for name, command in commands.items():
            results[name].append(run_once(command, input_path, from_pipe))
    return results


def medians(results):
    return {name: (statistics.median(r[0] for r in rs), statistics.median(r[1] for r in rs))
            for name, rs in results.items()}


def compare(commands, input_path=None, from_pipe=True, times=runs):
    """The same; returns name -> medians."""
    return medians(compare_rounds(commands, input_path, from_pipe, times))


def time_ratio(results, name, floor):
    """The median of name's time over floor's time in the same round: a
    slower or faster spell of the machine then weighs on both sides alike."""
    return statistics.median(a[0] / b[0] for a, b in zip(results[name], results[floor]))


def instructions(command, input_path=os.devnull):
    with open(input_path, "rb") as source:
        output = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null"]
                                + command, stdin=source, capture_output=True, text=True).stderr
    return int(re.search(r"Collected : (\d+)", output).group(1))


def write_input(directory, name, body):
    path = os.path.join(directory, name)
    with open(path, "wb") as f:
        f.write(body)
    return path


MIXED_UNIT = "é€😀a".encode()  # 2-, 3-, 4- and 1-byte characters


def mixed_utf8(size):
    return MIXED_UNIT * (size // len(MIXED_UNIT))


goals = []


def row(case, name, seconds=None, kib=None, count=None, ratios=""):
    cells = [case, name,
             f"{seconds * 1000:.1f}" if seconds is not None else "",
             f"{kib / 1024:.1f}" if kib is not None else "",
             f"{count:,.0f}" if count is not None else "", ratios]
    print(" | ".join(cells), flush=True)


# Each goal is judged on the figure as it is printed, so that a ratio shown as
# 1.20 never misses a goal of 1.2.
def goal(text, met):
    goals.append((text, met))


def startup():
    counts = {}
    for name, command in [("simulated_error", [program]), ("Qt floor", [startup_floor]),
                          ("/bin/true", ["/bin/true"])]:
        counts[name] = statistics.median(instructions(command) for _ in range(3))
    walls = compare({"simulated_error": [program], "Qt floor": [startup_floor],
                     "/bin/true": ["/bin/true"]}, times=runs * 3)
    for name, count in counts.items():
        row("start-up, no argument", name, walls[name][0], walls[name][1], count)
    ratio = counts["simulated_error"] / counts["Qt floor"]
    goal(f"start-up: {ratio:.3f} x the instructions of the Qt floor (goal <= 1.03)",
         round(ratio, 3) <= 1.03)


def spawned_seconds(command, input_path):
    """One run of command, started with posix_spawn, its input the file and
    its output /dev/null: the seconds from the spawn to its end."""
    actions = [(os.POSIX_SPAWN_OPEN, 0, input_path, os.O_RDONLY, 0),
               (os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0),
               (os.POSIX_SPAWN_OPEN, 2, os.devnull, os.O_WRONLY, 0)]
    start = time.perf_counter_ns()
    pid = os.posix_spawn(command[0], command, os.environ, file_actions=actions)
    _, status = os.waitpid(pid, 0)
    seconds = (time.perf_counter_ns() - start) / 1e9
    if os.waitstatus_to_exitcode(status) != 10:
        sys.exit(f"{command[0]} ended with status {os.waitstatus_to_exitcode(status)}, not 10")
    return seconds


STARTUP_ARGUMENTS = ["one", "two"]
STARTUP_PAIRS = 500 if quick else 3000


def against_script(command, path, seconds):
    """command's wall time against the dash script's, in pairs one after the
    other, the first of each pair taking turns: the median of the ratios.
    Each run's seconds go into seconds[0] (command) and seconds[1] (script)."""
    commands = [command, [startup_script] + STARTUP_ARGUMENTS]
    ratios = []
    for turn in range(STARTUP_PAIRS):
        order = [1, 0] if turn % 2 else [0, 1]
        measured = {index: spawned_seconds(commands[index], path) for index in order}
        ratios.append(measured[0] / measured[1])
        for index, value in measured.items():
            seconds[index].append(value)
    return statistics.median(ratios)


def release_startup(scratch):
    """The self-contained file's start-up, the run a test suite makes of it
    (two arguments, a line and more), against a dash script that does the
    same job; and its instructions against the static C floor's."""
    path = write_input(scratch, "startup", b"hello\nnot read\n")
    arguments = STARTUP_ARGUMENTS
    commands = {"self-contained file": [release_file] + arguments,
                "dash script": [startup_script] + arguments,
                "static C floor": [startup_floor_c] + arguments}
    counts = {name: instructions(command, path) for name, command in commands.items()}
    pairs = STARTUP_PAIRS
    seconds = {name: [] for name in commands}
    wall_ratio = against_script(commands["self-contained file"], path,
                                [seconds["self-contained file"], seconds["dash script"]])
    for _ in range(pairs // 10):
        seconds["static C floor"].append(spawned_seconds(commands["static C floor"], path))
    count_ratio = counts["self-contained file"] / counts["static C floor"]
    for name in commands:
        row("start-up of the self-contained file, one two, a line", name,
            statistics.median(seconds[name]), count=counts[name],
            ratios=f"{wall_ratio:.2f} x the dash script" if name == "self-contained file" else "")
    goal(f"self-contained start-up: {wall_ratio:.2f} x the wall time of the dash script, median of "
         f"{pairs} pairs (goal <= 0.9)", round(wall_ratio, 2) <= 0.9)
    goal(f"self-contained start-up: {count_ratio:.2f} x the instructions of the static C floor "
         "(goal <= 2)", round(count_ratio, 2) <= 2)


def package_programs(scratch):
    """This machine's wheel installed in a venv and its npm tarballs in a
    project, from DIST alone: the programs each gives, by name."""
    machine = os.uname().machine
    wheel = next(f for f in os.listdir(packages) if f.endswith(f"musllinux_1_1_{machine}.whl"))
    arch = {"x86_64": "x64", "aarch64": "arm64"}[machine]
    tarballs = [os.path.abspath(os.path.join(packages, f)) for f in sorted(os.listdir(packages))
                if re.fullmatch(rf"simulated-error-(linux-{arch}-)?[0-9.]+\.tgz", f)]
    venv = os.path.join(scratch, "venv")
    project = os.path.join(scratch, "project")
    os.makedirs(project)
    quiet = {"check": True, "stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
    subprocess.run(["/usr/bin/python3", "-m", "venv", venv], **quiet)
    subprocess.run([f"{venv}/bin/python", "-m", "pip", "install", "--no-index",
                    os.path.join(packages, wheel)], **quiet)
    subprocess.run(["npm", "install", "--offline", "--no-audit", "--no-fund", *tarballs], cwd=project, **quiet)
    asked = {"binary_path()": ([f"{venv}/bin/python", "-c",
                                "import simulated_error; print(simulated_error.binary_path())"], None),
             "binaryPath()": (["node", "-e", "console.log(require('simulated-error').binaryPath())"], project)}
    programs = {name: subprocess.run(command, cwd=cwd, check=True, capture_output=True,
                                     text=True).stdout.strip() for name, (command, cwd) in asked.items()}
    programs["the venv's simulated_error"] = f"{venv}/bin/simulated_error"
    return programs


def package_startup(scratch):
    """The start-up of the program as each package gives it, against the
    dash script, as the release file's row measures it."""
    path = write_input(scratch, "startup", b"hello\nnot read\n")
    for name, program in package_programs(scratch).items():
        seconds = [[], []]
        ratio = against_script([program] + STARTUP_ARGUMENTS, path, seconds)
        row("start-up through the packages, one two, a line", name, statistics.median(seconds[0]),
            ratios=f"{ratio:.2f} x the dash script")
        goal(f"start-up through {name}: {ratio:.2f} x the wall time of the dash script, median of "
             f"{STARTUP_PAIRS} pairs (goal <= 0.9)", round(ratio, 2) <= 0.9)


def long_lines(scratch):
    # The goals are set for this size: a smaller line would weigh the fixed
    # cost of loading Qt as part of the line.
    size = 64 * MiB
    for label, body in [("ASCII", b"a" * size), ("mixed UTF-8", mixed_utf8(size))]:
        path = write_input(scratch, "line", body + b"\nsecond line\n")
        line_size = len(body)
        del body
        for source, from_pipe in [("pipe", True), ("file", False)]:
            case = f"{size // MiB} MiB line, {label}, from a {source}"
            rounds = compare_rounds({"simulated_error": [program, "x"], "cat": ["cat"],
                                     "head -n1": ["head", "-n1"], "read and keep": [read_and_keep]},
                                    path, from_pipe)
            for name, (seconds, kib) in medians(rounds).items():
                row(case, name, seconds, kib,
                    ratios=f"{time_ratio(rounds, name, 'cat'):.2f} x cat, "
                           f"{time_ratio(rounds, name, 'read and keep'):.2f} x read and keep")
            cat_ratio = time_ratio(rounds, "simulated_error", "cat")
            floor_ratio = time_ratio(rounds, "simulated_error", "read and keep")
            memory_ratio = medians(rounds)["simulated_error"][1] * 1024 / line_size
            goal(f"{label} line from a {source}: {cat_ratio:.2f} x the time of cat (goal <= 3)",
                 round(cat_ratio, 2) <= 3)
            goal(f"{label} line from a {source}: {floor_ratio:.2f} x the time of read and keep "
                 "(goal <= 1.2)", round(floor_ratio, 2) <= 1.2)
            goal(f"{label} line from a {source}: peak memory {memory_ratio:.2f} x the line "
                 "(goal <= 1.25)", round(memory_ratio, 2) <= 1.25)


def nul_joined_lines(scratch):
    seconds = {}
    for count in (100_000, 400_000):
        path = write_input(scratch, "joined", b"ab\0cd\n" * count + b"plain\n")
        seconds[count], kib = compare({"simulated_error": [program, "x"]}, path)["simulated_error"]
        row(f"{count:,} NUL-joined lines", "simulated_error", seconds[count], kib)
    growth = seconds[400_000] / seconds[100_000]
    goal(f"NUL-joined lines: 4 x the lines took {growth:.2f} x the time (goal <= 5)", round(growth, 2) <= 5)


def many_arguments(scratch):
    path = write_input(scratch, "short", b"x\n")
    arguments = ["a"] * 100_000
    measured = compare({"simulated_error": [program] + arguments,
                        "one write per element": [one_write] + arguments}, path)
    for name, (seconds, kib) in measured.items():
        row("100,000 arguments", name, seconds, kib)
    ratio = measured["simulated_error"][0] / measured["one write per element"][0]
    goal(f"100,000 arguments: {ratio:.2f} x the time of one write per element (goal <= 1.6)",
         round(ratio, 2) <= 1.6)


def chunks_of(unit, count):
    """unit repeated count times, in chunks of about a mebibyte."""
    per_chunk = max(1, MiB // len(unit))
    chunk = unit * per_chunk
    while count > 0:
        n = min(count, per_chunk)
        yield chunk if n == per_chunk else unit * n
        count -= n


def feed(stream, unit, count, tail):
    """Writes unit count times, then tail, in large writes, and closes."""
    try:
        for chunk in chunks_of(unit, count):
            stream.write(chunk)
        stream.write(tail)
    except BrokenPipeError:
        pass
    finally:
        stream.close()


def digest_of(unit, count, prefix, suffix):
    """The SHA-256 and length of prefix + unit * count + suffix."""
    digest = hashlib.sha256(prefix)
    for chunk in chunks_of(unit, count):
        digest.update(chunk)
    digest.update(suffix)
    return digest.hexdigest(), len(prefix) + len(unit) * count + len(suffix)


def huge_line(case, unit, count, echoed_unit):
    """Streams a line of count units to the program and checks that the echo
    is exactly the line with each unit turned into echoed_unit."""
    with tempfile.NamedTemporaryFile("r") as peak:
        start = time.perf_counter()
        process = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", peak.name, program, "x"],
                                   stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE)
        writer = threading.Thread(target=feed, args=(process.stdin, unit, count, b"\nnot read\n"))
        writer.start()
        digest = hashlib.sha256()
        length = 0
        while block := process.stdout.read(MiB):
            digest.update(block)
            length += len(block)
        error = process.stderr.read()
        writer.join()
        status = process.wait()
        seconds = time.perf_counter() - start
        kib = int(peak.read().split()[-1])
    # The program writes each byte of its name as one Latin-1 character.
    name = os.fsencode(program).decode("latin-1").encode()
    expected, expected_length = digest_of(echoed_unit, count, name + b";x;", b"\n")
    exact = (status == 10 and error == b"this is a simulated error\n"
             and digest.hexdigest() == expected and length == expected_length)
    row(case, "simulated_error", seconds, kib)
    goal(f"{case}: {length:,} bytes echoed {'exactly' if exact else 'WRONG'} "
         f"(status {status})", exact)


print(f"built with Qt {qt}; medians of {runs} runs; instruction counts from callgrind; "
      "wall times include the pipes\n")
print("case | command | wall ms | peak RSS MiB | instructions | time against the floors")
startup()
with tempfile.TemporaryDirectory() as scratch:
    if release_file:
        release_startup(scratch)
    if packages:
        package_startup(scratch)
    long_lines(scratch)
    nul_joined_lines(scratch)
    many_arguments(scratch)
if not quick:
    huge_line("3 GiB line, mixed UTF-8", MIXED_UNIT, 3 * GiB // len(MIXED_UNIT), MIXED_UNIT)
    huge_line("720,000,000 invalid bytes, each one U+FFFD", b"\xff", 720_000_000,
              b"\xef\xbf\xbd")

print()
for text, met in goals:
    print(("met     " if met else "MISSED  ") + text)
sys.exit(0 if all(met for _, met in goals) else 1)
