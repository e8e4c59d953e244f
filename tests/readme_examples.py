#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

"""Runs the examples of README.md as a reader would, against this build
installed under a prefix whose path holds a non-ASCII byte.

Usage: readme_examples.py README BUILD_DIR SCRATCH_DIR CMAKE CTEST

Each example is a fenced block after a line <!-- example: FOLDER/FILE... -->,
written to each file named there. A folder with a CMakeLists.txt is
configured against the installed package, built and run with CTest; one that
uses FetchContent gets this checkout as the content, one that takes in
third_party/simulated_error finds this checkout there. A .py file runs with
Python and a .js file with Node, each with only the installed bin/ on PATH.
The examples check the program themselves; this only runs them and reports
what failed."""

import os
import re
import shutil
import subprocess
import sys

readme, build, scratch, cmake, ctest = sys.argv[1:6]
checkout = os.path.dirname(os.path.abspath(readme))
prefix = os.path.join(scratch, "café")
examples = os.path.join(scratch, "examples-é")


def run(command, **options):
    print("$", " ".join(command), flush=True)
    return subprocess.run(command, stdin=subprocess.DEVNULL, **options).returncode == 0


def extract():
    """Writes each example to its file; returns the folders, in order."""
    text = open(readme, encoding="utf-8").read()
    folders = []
    for names, body in re.findall(r"<!-- example: ([^>]+?) -->\n```[^\n]*\n(.*?)```", text, re.S):
        for name in names.split():
            path = os.path.join(examples, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8") as f:
                f.write(body)
            folder = os.path.dirname(path)
            if folder not in folders:
                folders.append(folder)
    return folders


def run_example(folder):
    only_installed = {"PATH": os.path.join(prefix, "bin")}
    lists = os.path.join(folder, "CMakeLists.txt")
    if os.path.exists(lists):
        binary = os.path.join(folder, "build")
        configure = [cmake, "-S", folder, "-B", binary, "-DCMAKE_PREFIX_PATH=" + prefix]
        text = open(lists, encoding="utf-8").read()
        if "FetchContent" in text:
            configure.append("-DFETCHCONTENT_SOURCE_DIR_SIMULATEDERROR=" + checkout)
        if "third_party/simulated_error" in text:
            os.makedirs(os.path.join(folder, "third_party"), exist_ok=True)
            os.symlink(checkout, os.path.join(folder, "third_party", "simulated_error"))
        return (run(configure)
                and run([cmake, "--build", binary, "--parallel", str(os.cpu_count() or 1)])
                and run([ctest, "--test-dir", binary, "--output-on-failure"]))
    ok = True
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        if name.endswith(".py"):
            ok = run([sys.executable, path], env=only_installed) and ok
        elif name.endswith(".js"):
            node = shutil.which("node")
            if node:
                ok = run([node, path], env=only_installed) and ok
            else:
                print(f"node is not installed: {name} is skipped")
    return ok


shutil.rmtree(scratch, ignore_errors=True)
if not run([cmake, "--install", build, "--prefix", prefix], stdout=subprocess.DEVNULL):
    sys.exit("the build did not install")
folders = extract()
if not folders:
    sys.exit(f"no examples found in {readme}")
failed = [os.path.basename(f) for f in folders if not run_example(f)]
print(f"{len(folders) - len(failed)} of {len(folders)} examples passed", flush=True)
sys.exit(f"failed: {', '.join(failed)}" if failed else 0)
