#!/usr/bin/env python3
"""Measures simulated_error side by side with what it is compared against.

Usage: bench.py BUILD_DIR [--quick]
Prints medians over repeated runs, then whether each goal is met."""

import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

build = sys.argv[1]
quick = "--quick" in sys.argv
runs = 3 if quick else 7

program = os.path.join(build, "src", "simulated_error")
floor = os.path.join(build, "bench", "startup_floor")
straightforward = os.path.join(build, "bench", "straightforward_echo")
MiB = 1 << 20


def run_once(command, input_path=None):
    """Runs command with input_path fed through a pipe, as a caller's pipe
    would be; returns (seconds, peak resident KiB of command). The peak comes
    from GNU time: a child forked from this script would count the script's
    own memory as its peak."""
    feeder = None
    stdin = subprocess.DEVNULL
    if input_path:
        feeder = subprocess.Popen(["cat", input_path], stdout=subprocess.PIPE)
        stdin = feeder.stdout
    with tempfile.NamedTemporaryFile("r") as peak:
        start = time.perf_counter()
        process = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", peak.name] + command,
                                   stdin=stdin, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        if feeder:
            feeder.stdout.close()
        process.wait()
        seconds = time.perf_counter() - start
        kib = int(peak.read().split()[-1])
    if feeder:
        feeder.wait()
    return seconds, kib


def median_run(command, input_path=None, times=runs):
    results = [run_once(command, input_path) for _ in range(times)]
    return (statistics.median(r[0] for r in results),
            statistics.median(r[1] for r in results))


def instructions(command):
    output = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null"]
                            + command, stdin=subprocess.DEVNULL, capture_output=True,
                            text=True).stderr
    return int(re.search(r"Collected : (\d+)", output).group(1))


def write_input(directory, name, body):
    path = os.path.join(directory, name)
    with open(path, "wb") as f:
        f.write(body)
    return path


def mixed_utf8(size):
    unit = "é€😀a".encode()  # 2-, 3-, 4- and 1-byte characters
    return (unit * (size // len(unit) + 1))[:size - size % len(unit)]


rows = []
goals = []


def row(*cells):
    rows.append(cells)
    print(" | ".join(str(c) for c in cells), flush=True)


def goal(text, met):
    goals.append((text, met))


print(f"medians of {runs} runs; instruction counts from callgrind\n")
row("case", "command", "wall ms", "peak RSS MiB", "instructions")

# Start-up.
startup = {}
for name, command in [("simulated_error", [program]), ("Qt floor", [floor]),
                      ("/bin/true", ["/bin/true"])]:
    seconds, rss = median_run(command, times=runs * 5)
    count = statistics.median(instructions(command) for _ in range(3))
    startup[name] = count
    row("start-up, no argument", name, f"{seconds * 1000:.2f}", f"{rss / 1024:.1f}", f"{count:,.0f}")
ratio = startup["simulated_error"] / startup["Qt floor"]
goal(f"start-up instructions {ratio:.3f} x the Qt floor (goal <= 1.05)", ratio <= 1.05)

with tempfile.TemporaryDirectory() as scratch:
    # Long first lines, from a pipe.
    size = (16 if quick else 64) * MiB
    for label, body in [("ASCII", b"a" * size), ("mixed UTF-8", mixed_utf8(size))]:
        path = write_input(scratch, "line", body + b"\nsecond line\n")
        line_size = len(body)
        del body
        measured = {}
        for name, command in [("simulated_error", [program, "x"]),
                              ("head -n1", ["head", "-n1"]),
                              ("straightforward", [straightforward, "x"])]:
            seconds, rss = median_run(command, path)
            measured[name] = (seconds, rss)
            row(f"{size // MiB} MiB line, {label}", name, f"{seconds * 1000:.1f}",
                f"{rss / 1024:.1f}", "")
        time_ratio = measured["simulated_error"][0] / measured["head -n1"][0]
        memory_ratio = measured["simulated_error"][1] * 1024 / line_size
        goal(f"{label} line: {time_ratio:.2f} x the time of head -n1 (goal <= 3)", time_ratio <= 3)
        goal(f"{label} line: peak memory {memory_ratio:.2f} x the line (goal <= 2.5)",
             memory_ratio <= 2.5)

    # Lines joined at NUL bytes: the time must grow linearly with their number.
    joined = {}
    for count in (100_000, 400_000):
        path = write_input(scratch, "joined", b"ab\0cd\n" * count + b"plain\n")
        for name, command in [("simulated_error", [program, "x"]),
                              ("straightforward", [straightforward, "x"])]:
            if name == "straightforward" and count > 100_000 and quick:
                continue
            seconds, rss = median_run(command, path, times=3 if name == "straightforward" else runs)
            joined[(name, count)] = seconds
            row(f"{count:,} NUL-joined lines", name, f"{seconds * 1000:.1f}", f"{rss / 1024:.1f}", "")
    growth = joined[("simulated_error", 400_000)] / joined[("simulated_error", 100_000)]
    goal(f"NUL-joined lines: 4 x the lines took {growth:.2f} x the time (goal <= 5)", growth <= 5)

    # Many arguments.
    path = write_input(scratch, "short", b"x\n")
    arguments = ["a"] * 100_000
    for name, command in [("simulated_error", [program] + arguments),
                          ("straightforward", [straightforward] + arguments)]:
        seconds, rss = median_run(command, path)
        row("100,000 arguments", name, f"{seconds * 1000:.1f}", f"{rss / 1024:.1f}", "")

print()
for text, met in goals:
    print(("met     " if met else "MISSED  ") + text)
sys.exit(0 if all(met for _, met in goals) else 1)
