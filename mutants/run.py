#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

"""Puts one-line faults (mutants) into the program's sources for this system,
one at a time, and runs the tables against each: a mutant that no table
notices is a fault the tables would let through, or code no behaviour needs.

Usage: mutants/run.py [COUNT [SEED [FILE...]]]
       mutants/run.py --again

Draws COUNT mutants (default 20) with SEED (default 1) from every line of
src/, src/input/ and src/unix/ (or of the FILEs given): comparisons turned,
logical operators swapped, negations dropped, constants changed, true and
false swapped, calls, break and continue deleted. Each is built into a copy
of the tree in build-mutants/ (incrementally, after one full build), and the
run-sequence, fault, collection and output tables run against it until one
fails. Prints a line for each mutant as it is done (at least every 30 s while
one runs), each survivor as a one-line diff, and the score: the share of the
mutants that built which a table killed. A mutant that builds into the
same program and tests (code this build leaves out, such as the other
system's branch) is counted apart, as unchanged. The last result stays in
build-mutants/last.txt; --again tries its survivors once more, after the
tables have grown, each on the line that reads as its line did (one that no
line reads as any more is reported gone). A draw that was stopped is taken
up where it stopped when the same draw is asked for again."""

import hashlib
import json
import os
import random
import re
import shutil
import subprocess
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(ROOT, "build-mutants")
TREE = os.path.join(WORK, "tree")
BUILD = os.path.join(WORK, "build")
TABLES = "run_sequence|faults|line_collection"
TARGETS = ["simulated_error", "tst_run_sequence", "tst_faults", "tst_line_collection", "exec_as"]
FOLDERS = ("src", "src/input", "src/unix")

# Each kind of fault: a pattern and what each match becomes. A match inside a
# string or a comment is never taken (both are blanked before matching).
KINDS = [
    ("comparison", r"(?<![=!<>])==(?!=)", lambda m: "!="),
    ("comparison", r"!=", lambda m: "=="),
    ("comparison", r"(?<=\s)<=(?=\s)", lambda m: "<"),
    ("comparison", r"(?<=\s)>=(?=\s)", lambda m: ">"),
    ("comparison", r"(?<=\s)<(?=\s)", lambda m: "<="),
    ("comparison", r"(?<=\s)>(?=\s)", lambda m: ">="),
    ("logical operator", r"&&", lambda m: "||"),
    ("logical operator", r"\|\|", lambda m: "&&"),
    ("negation dropped", r"!(?=[\w(:])", lambda m: ""),
    ("constant", r"(?<![\w.])\d+(?![\w.'])", lambda m: {"0": "1", "1": "0"}.get(m.group(), str(int(m.group()) + 1))),
    ("constant", r"\btrue\b", lambda m: "false"),
    ("constant", r"\bfalse\b", lambda m: "true"),
    ("arithmetic", r"(?<=\s)[+](?=\s)", lambda m: "-"),
    ("arithmetic", r"(?<=\s)-(?=\s)", lambda m: "+"),
]
# A whole statement deleted: a call standing alone, a break or a continue.
DELETED = re.compile(r"^(\s*)((?:::)?[A-Za-z_][\w:]*(?:(?:\.|->)[A-Za-z_]\w*)*\(.*\);|break;|continue;)\s*$")


def blanked(line):
    """The line with its comment, strings and characters blanked out, same length."""
    line = re.sub(r'"(?:\\.|[^"\\])*"', lambda m: " " * len(m.group()), line)
    line = re.sub(r"'(?:\\.|[^'\\])*'", lambda m: " " * len(m.group()), line)
    cut = line.find("//")
    return line if cut < 0 else line[:cut] + " " * (len(line) - cut)


def sites(path):
    """Every mutant of the file: (path, line number, kind, new line, old line)."""
    found = []
    in_comment = False
    with open(os.path.join(ROOT, path), encoding="utf-8") as file:
        lines = file.read().split("\n")
    for number, line in enumerate(lines, 1):
        stripped = line.strip()
        if in_comment or stripped.startswith("/*"):
            in_comment = "*/" not in stripped
            continue
        if not stripped or stripped.startswith(("#", "//", "static_assert")):
            continue
        text = blanked(line)
        for kind, pattern, replace in KINDS:
            for match in re.finditer(pattern, text):
                mutated = line[:match.start()] + replace(match) + line[match.end():]
                found.append((path, number, kind, mutated, line))
        deleted = DELETED.match(text)
        if deleted and not re.match(r"\s*(return|case|else|const|auto)\b", text):
            found.append((path, number, "statement deleted", deleted.group(1) + ";", line))
    return found


def sources(files):
    if files:
        return files
    listed = subprocess.run(["git", "-C", ROOT, "ls-files", *FOLDERS], capture_output=True,
                            text=True, check=True).stdout.split()
    return [f for f in listed if os.path.dirname(f) in FOLDERS and f.endswith((".cpp", ".h"))]


def copy_tree():
    """The checkout's tracked files, as they are in the working tree, into TREE."""
    listed = subprocess.run(["git", "-C", ROOT, "ls-files", "-z"], capture_output=True,
                            check=True).stdout.decode().split("\0")
    for name in filter(None, listed):
        source, target = os.path.join(ROOT, name), os.path.join(TREE, name)
        if not os.path.isfile(source):
            continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        if not os.path.exists(target) or open(source, "rb").read() != open(target, "rb").read():
            shutil.copy(source, target)  # a new time, so that make rebuilds what it built from the old


def run_with_heartbeat(command, what, timeout):
    """Runs command, saying every 30 s that it still runs; its status (or
    None where it outlasted timeout) and its output."""
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               stdin=subprocess.DEVNULL, start_new_session=True)
    output = []
    reader = threading.Thread(target=lambda: output.append(process.stdout.read()))
    reader.start()
    started = time.monotonic()
    while True:
        try:
            process.wait(timeout=30)
            break
        except subprocess.TimeoutExpired:
            if time.monotonic() - started > timeout:
                os.killpg(process.pid, 9)
                process.wait()
                reader.join()
                return None, b"".join(output)
            print(f"  ... {what}: {time.monotonic() - started:.0f} s", flush=True)
    reader.join()
    return process.returncode, b"".join(output)


def build(timeout=3600):
    status, output = run_with_heartbeat(["cmake", "--build", BUILD, "--target", *TARGETS, "--parallel",
                                         str(os.cpu_count() or 1)], "building", timeout)
    return status == 0, output


last_failure = [b""]  # the output of the last run of the tables that failed


def built_digest():
    """A digest of the program and the test programs as built."""
    digest = hashlib.sha256()
    for target in TARGETS:
        found = [os.path.join(d, f) for d, _, files in os.walk(BUILD) for f in files if f == target]
        for path in sorted(found):
            with open(path, "rb") as file:
                digest.update(file.read())
    return digest.hexdigest()


def run_tables():
    """The name of the first table that failed, or None where all passed."""
    # A mutant that hangs the program meets every row's bound; halved, they
    # still leave a correct run hundreds of times the time it needs. The
    # tables take about 10 s; one that runs for two minutes hangs (the
    # collection table runs in-process, with no bound of its own).
    status, output = run_with_heartbeat(
        ["env", "SIMULATED_ERROR_TIME_FACTOR=0.5", "ctest", "--test-dir", BUILD, "--tests-regex", f"^({TABLES})$",
         "--stop-on-failure", "--parallel", str(os.cpu_count() or 1), "--timeout", "120"], "tables", 1800)
    if status == 0:
        return None
    last_failure[0] = output
    failed = re.findall(rb"\d+ - (\w+) \(", output)
    return failed[0].decode() if failed else "a table (timed out)" if status is None else "a table"


def one_line_diff(site):
    path, number, _, mutated, original = site
    return f"{path}:{number}: -{original.strip()} +{mutated.strip()}"


def located(lines, site):
    """The index of the line that reads as the mutant's line did, nearest to
    where it was; None where no line does."""
    number, original = site[1], site[4].strip()
    matching = [i for i, line in enumerate(lines) if line.strip() == original]
    return min(matching, key=lambda i: abs(i - (number - 1))) if matching else None


def try_mutant(site, unchanged_digest):
    """'killed by TABLE', 'survived', 'unchanged', 'did not build' or 'gone'."""
    path, _, _, mutated, _ = site
    target = os.path.join(TREE, path)
    if not os.path.exists(target):
        return "gone"
    with open(target, encoding="utf-8") as file:
        original = file.read()
    lines = original.split("\n")
    at = located(lines, site)
    if at is None:
        return "gone"
    indent = lines[at][:len(lines[at]) - len(lines[at].lstrip())]
    lines[at] = indent + mutated.strip()
    try:
        with open(target, "w", encoding="utf-8") as file:
            file.write("\n".join(lines))
        built, _ = build(timeout=900)
        if not built:
            return "did not build"
        if built_digest() == unchanged_digest:
            return "unchanged"
        failed = run_tables()
        return f"killed by {failed}" if failed else "survived"
    finally:
        with open(target, "w", encoding="utf-8") as file:
            file.write(original)


def draw():
    """The mutants to try, and the seed they were drawn with."""
    if sys.argv[1:2] == ["--again"]:
        with open(os.path.join(WORK, "last.json"), encoding="utf-8") as file:
            last = json.load(file)
        print(f"the {len(last['survivors'])} survivors of the last draw (seed {last['seed']}) again", flush=True)
        return [tuple(site) for site in last["survivors"]], last["seed"]
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 20
    seed = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    candidates = [site for path in sources(sys.argv[3:]) for site in sites(path)]
    drawn = random.Random(seed).sample(candidates, min(count, len(candidates)))
    print(f"{len(drawn)} mutants drawn with seed {seed} from {len(candidates)} in "
          f"{len(sources(sys.argv[3:]))} files", flush=True)
    return drawn, seed


def taken_up(drawn, seed):
    """The results of this same draw where it was stopped before its end."""
    key = [seed, [list(site) for site in drawn]]
    try:
        with open(os.path.join(WORK, "progress.json"), encoding="utf-8") as file:
            progress = json.load(file)
    except (OSError, ValueError):
        return key, []
    return key, progress["results"] if progress.get("key") == key else []


def keep_progress(key, results):
    with open(os.path.join(WORK, "progress.json"), "w", encoding="utf-8") as file:
        json.dump({"key": key, "results": [[list(site), verdict] for site, verdict in results]}, file)


def main():
    drawn, seed = draw()
    os.makedirs(TREE, exist_ok=True)
    copy_tree()
    subprocess.run(["cmake", "-S", TREE, "-B", BUILD, "-DCMAKE_BUILD_TYPE=RelWithDebInfo"],
                   check=True, stdout=subprocess.DEVNULL)
    print("building the tree once, whole", flush=True)
    built, output = build()
    if not built:
        sys.exit(output.decode(errors="replace")[-4000:] + "\nthe tree does not build")
    failed = run_tables()
    if failed:
        sys.exit(f"{failed} fails without any mutant: nothing to measure")
    unchanged_digest = built_digest()
    started = time.monotonic()
    key, earlier = taken_up(drawn, seed)
    results = [(tuple(site), verdict) for site, verdict in earlier]
    if results:
        print(f"taking the draw up after mutant {len(results)}", flush=True)
    for index, site in enumerate(drawn[len(results):], len(results) + 1):
        begun = time.monotonic()
        verdict = try_mutant(site, unchanged_digest)
        results.append((site, verdict))
        keep_progress(key, results)
        print(f"mutant {index}/{len(drawn)} ({site[2]}) {site[0]}:{site[1]}: {verdict} "
              f"in {time.monotonic() - begun:.0f} s", flush=True)
    survived = [site for site, verdict in results if verdict == "survived"]
    count = {kind: sum(verdict.startswith(kind) for _, verdict in results)
             for kind in ("killed", "survived", "unchanged", "did not build", "gone")}
    measured = count["killed"] + count["survived"]
    summary = [f"seed {seed}, {len(drawn)} mutants: {count['killed']} killed, {count['survived']} survived, "
               f"{count['unchanged']} unchanged in this build, {count['did not build']} did not build, "
               f"{count['gone']} gone: "
               f"score {count['killed'] / measured if measured else 0:.2f} "
               f"({time.monotonic() - started:.0f} s)"] + [f"SURVIVED {one_line_diff(site)}" for site in survived]
    print("\n".join(summary), flush=True)
    with open(os.path.join(WORK, "last.txt"), "w", encoding="utf-8") as file:
        file.write("\n".join(summary) + "\n")
    with open(os.path.join(WORK, "last.json"), "w", encoding="utf-8") as file:
        json.dump({"seed": seed, "survivors": survived}, file)
    # Leave the tree as the checkout is, built, for the next draw.
    build()


main()
