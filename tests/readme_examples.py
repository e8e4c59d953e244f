#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

"""Runs the examples of README.md and of the pages under doc/ as a reader
would, against this build installed under a prefix whose path holds a
non-ASCII byte.

Usage: readme_examples.py CHECKOUT BUILD_DIR SCRATCH_DIR CMAKE CTEST
       readme_examples.py --packages CHECKOUT DIST SCRATCH_DIR SYSTEM_PYTHON

Each example is a fenced block after a line <!-- example: FOLDER/FILE... -->,
written to each file named there; a folder may gather files from several
documents. A folder with a CMakeLists.txt is
configured against the installed package, built and run with CTest; one that
uses FetchContent clones, through git, a repository made here whose branch
main holds this checkout's files (only the example's address is replaced);
one that takes in third_party/simulated_error finds this checkout there. A .py
file runs with Python and a .js file with Node, each with only the installed
bin/ on PATH. The examples check the program themselves; this runs them and
reports what failed. The reference function python/expected_line.py is also
checked against the installed program on random input, and the shell
sessions the documents show are run beside the installed program and
compared with what they show: the README's worked example (a block after
<!-- run --> and its byte table), its one-line examples (`COMMAND` writes
`OUTPUT`) and the man page's EXAMPLES.

The examples in folders named packages-python and packages-node use the
packages for pip and npm instead, and run only with --packages: a test file
for pytest in a venv of the system's Python with this machine's wheel from
DIST installed, and one for node --test in a project with the npm tarballs
from DIST installed."""

import glob
import os
import random
import re
import runpy
import shutil
import subprocess
import sys

packages_mode = sys.argv[1:2] == ["--packages"]
if packages_mode:
    checkout, dist, scratch, system_python = sys.argv[2:6]
else:
    checkout, build, scratch, cmake, ctest = sys.argv[1:6]
checkout = os.path.abspath(checkout)
documents = [os.path.join(checkout, "README.md")] + sorted(
    glob.glob(os.path.join(checkout, "doc", "*.md")))
prefix = os.path.join(scratch, "café")
examples = os.path.join(scratch, "examples-é")


def run(command, **options):
    print("$", " ".join(command), flush=True)
    return subprocess.run(command, stdin=subprocess.DEVNULL, **options).returncode == 0


def extract():
    """Writes each example of the documents to its file; returns the
    folders, in order."""
    folders = []
    for document in documents:
        text = open(document, encoding="utf-8").read()
        found = re.findall(r"<!-- example: ([^>]+?) -->\n```[^\n]*\n(.*?)```", text, re.S)
        # A mark that no fenced block follows would leave its example unrun.
        if len(found) != len(re.findall(r"^<!-- example:", text, re.M)):
            sys.exit(f"{document}: an example mark is not followed by a fenced block")
        for names, body in found:
            for name in names.split():
                path = os.path.join(examples, name)
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "w", encoding="utf-8") as f:
                    f.write(body)
                folder = os.path.dirname(path)
                if folder not in folders:
                    folders.append(folder)
    return folders


def git(*arguments, **options):
    # The checkout may belong to another user, whose repository git would not
    # read; listing its files runs nothing of it.
    return subprocess.run(["git", "-c", "safe.directory=" + checkout, *arguments],
                          stdin=subprocess.DEVNULL, check=True, **options)


def project_repository():
    """A git repository whose branch main holds the files git tracks in this
    checkout, as they are in the working tree; its file:// address, or None
    where this is no git checkout."""
    try:
        listed = git("-C", checkout, "ls-files", "-z", capture_output=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return None
    repository = os.path.join(scratch, "repository")
    for name in os.fsdecode(listed).split("\0"):
        source = os.path.join(checkout, name)
        if name and os.path.lexists(source):
            target = os.path.join(repository, name)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            shutil.copy2(source, target, follow_symlinks=False)
    git("init", "--quiet", "--initial-branch=main", repository)
    git("-C", repository, "add", "--all")
    git("-C", repository, "-c", "user.name=readme_examples", "-c", "user.email=readme@example.org",
        "commit", "--quiet", "--no-gpg-sign", "--message=the checkout's files")
    return "file://" + repository


def take_in_by_git(lists, configure):
    """Points the FetchContent example at this checkout, through git where
    it can: only the address in the example changes."""
    address = project_repository()
    if address is None:
        print("not a git checkout: FetchContent takes the checkout as a source folder")
        configure.append("-DFETCHCONTENT_SOURCE_DIR_SIMULATEDERROR=" + checkout)
        return
    text = open(lists, encoding="utf-8").read()
    with open(lists, "w", encoding="utf-8") as f:
        f.write(re.sub(r"GIT_REPOSITORY \S+", "GIT_REPOSITORY " + address, text))


def run_example(folder):
    only_installed = {"PATH": os.path.join(prefix, "bin")}
    lists = os.path.join(folder, "CMakeLists.txt")
    if os.path.exists(lists):
        binary = os.path.join(folder, "build")
        configure = [cmake, "-S", folder, "-B", binary, "-DCMAKE_PREFIX_PATH=" + prefix]
        text = open(lists, encoding="utf-8").read()
        if "FetchContent" in text:
            take_in_by_git(lists, configure)
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


# Input made to meet every rule of the line: NULs that join lines, line feeds
# after them, carriage returns, byte-order marks, well-formed sequences of
# each length, sequences cut short, overlong forms, surrogates, values past
# U+10FFFF and stray bytes.
PIECES = [b"a", b"\n", b"\0", b"\r", b"\xef\xbb\xbf", "é".encode(), "€".encode(),
          "😀".encode(), b"\xe2\x82", b"\xf0\x9f\x98", b"\xc3", b"\xff", b"\x80",
          b"\xc0\xaf", b"\xed\xa0\x80", b"\xf4\x90\x80\x80"]


def random_inputs(count, seed=19):
    generator = random.Random(seed)
    for _ in range(count):
        size = generator.choice([0, 1, 3, 10, 100, 1000, 70_000])
        if generator.random() < 0.3:
            yield generator.randbytes(size)
        else:
            yield b"".join(generator.choices(PIECES, k=size))


def check_reference_function(count=300):
    """Compares the example expected_line with what the installed program
    echoes; returns whether they agree on every input."""
    path = os.path.join(examples, "python", "expected_line.py")
    if not os.path.exists(path):
        print("no document has the example python/expected_line.py")
        return False
    expected_line = runpy.run_path(path)["expected_line"]
    program = os.path.join(prefix, "bin", "simulated_error")
    echo = os.fsencode(program).decode("latin-1").encode() + b";x;"
    for number, data in enumerate(random_inputs(count)):
        result = subprocess.run([program, "x"], input=data, capture_output=True, timeout=60)
        if result.returncode != 10 or result.stdout != echo + expected_line(data):
            print(f"expected_line differs from the program on input {number}: {data[:200]!r}")
            return False
    print(f"expected_line agrees with the program on {count} random inputs")
    return True


def session_environment():
    """Where a shell session of the documents runs: beside the installed
    program, which is also the only one on PATH, under a UTF-8 locale."""
    bin_dir = os.path.join(prefix, "bin")
    return bin_dir, {"PATH": bin_dir + ":/usr/bin:/bin", "LC_ALL": "C.UTF-8"}


def unescaped(text):
    """Text as a document shows it: the \\n of a byte table, the escapes of roff."""
    for escape, character in (("\\(aq", "'"), ("\\en", "\\n"), ("\\-", "-"), ("\\e", "\\")):
        text = text.replace(escape, character)
    return text


def transcripts():
    """The shell sessions the documents show, as (where, commands, output):
    a block after <!-- run --> (its output in the lines that do not begin
    with "$ ", or, where a byte table follows it, in that table), and the
    man page's EXAMPLES."""
    found = []
    readme = open(os.path.join(checkout, "README.md"), encoding="utf-8").read()
    pattern = r"<!-- run -->\n```[^\n]*\n(.*?)```\n(?:\n\| \| bytes \|\n\|---\|---\|\n((?:\|[^\n]*\n)+))?"
    for block, table in re.findall(pattern, readme, re.S):
        found.append(("README.md", block, table))
    page = open(os.path.join(checkout, "doc", "simulated_error.1.in"), encoding="utf-8").read()
    examples = re.search(r"\.SH EXAMPLES\n\.EX\n(.*?)\.EE", page, re.S)
    if examples:
        found.append(("the man page's EXAMPLES", unescaped(examples.group(1)), ""))
    return found


def expected_from_table(table):
    """(standard output, standard error, status) from a byte table."""
    cells = dict(re.findall(r"^\| ([a-z ]+) \| `([^`]*)`", table, re.M))
    decode = lambda cell: unescaped(cell).encode().decode("unicode_escape").encode("latin-1")
    return decode(cells["standard output"]), decode(cells["standard error"]), int(cells["exit status"])


def check_transcripts():
    """Runs every session of the documents and compares what it writes; also
    each one-line example of the README's contract (`COMMAND` writes
    `OUTPUT`). Returns whether all agree."""
    bin_dir, environment = session_environment()
    ok = True
    sessions = transcripts()
    for where, block, table in sessions:
        commands = [line[2:] for line in block.splitlines() if line.startswith("$ ")]
        if table:
            result = subprocess.run(["sh", "-c", "\n".join(commands)], cwd=bin_dir, env=environment,
                                    capture_output=True, stdin=subprocess.DEVNULL, timeout=60)
            got = (result.stdout, result.stderr, result.returncode)
            want = expected_from_table(table)
        else:
            result = subprocess.run(["sh", "-c", "\n".join(commands) + "\n"], cwd=bin_dir, env=environment,
                                    stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                    stdin=subprocess.DEVNULL, timeout=60)
            got = result.stdout.decode(errors="replace")
            want = "".join(line + "\n" for line in block.splitlines() if not line.startswith("$ "))
        print(f"{where}: {commands}: {'as shown' if got == want else f'DIFFERS: {got!r}, shown {want!r}'}")
        ok = ok and got == want
    readme = open(os.path.join(checkout, "README.md"), encoding="utf-8").read()
    one_liners = re.findall(r"`([^`]*\| ?simulated_error [^`]*)` writes `([^`]*)`", readme)
    for command, output in one_liners:
        result = subprocess.run(["sh", "-c", command], cwd=bin_dir, env=environment, capture_output=True,
                                stdin=subprocess.DEVNULL, timeout=60)
        same = result.stdout.decode() == output and result.returncode == 10
        print(f"README.md: `{command}` {'writes' if same else 'DIFFERS: writes'} {result.stdout!r}")
        ok = ok and same
    if len(sessions) < 2 or not one_liners:
        print("the worked example, the man page's EXAMPLES or the one-line examples were not found")
        return False
    return ok


def uses_packages(folder):
    return os.path.basename(folder).startswith("packages-")


def skip(reason):
    print(reason)
    sys.exit(77)


def run_package_example(folder):
    """A packages-python folder's tests under pytest, with the wheel
    installed in a venv; a packages-node folder's under node --test, with the
    tarballs installed in its project. Both from DIST alone, no index."""
    machine = {"x86_64": "x86_64", "aarch64": "aarch64"}.get(os.uname().machine, "")
    if os.path.basename(folder) == "packages-python":
        wheels = glob.glob(os.path.join(dist, f"*musllinux_1_1_{machine}.whl"))
        venv = os.path.join(folder, "venv")
        return (bool(wheels)
                and run([system_python, "-m", "venv", "--system-site-packages", venv])
                and run([os.path.join(venv, "bin", "python"), "-m", "pip", "install", "--quiet",
                         "--no-index", wheels[0]])
                and run([os.path.join(venv, "bin", "python"), "-m", "pytest", "-q", "-p",
                         "no:cacheprovider", *sorted(glob.glob(os.path.join(folder, "*.py")))],
                        cwd=folder))
    arch = {"x86_64": "x64", "aarch64": "arm64"}.get(machine, "")
    tarballs = sorted(glob.glob(os.path.join(dist, "simulated-error-1*.tgz"))
                      + glob.glob(os.path.join(dist, f"simulated-error-linux-{arch}-*.tgz")))
    npm = {"npm_config_cache": os.path.join(scratch, "npm-cache"), "npm_config_update_notifier": "false"}
    tests = sorted(n for n in os.listdir(folder) if n.endswith(".js"))
    return (len(tarballs) == 2
            and run(["npm", "install", "--offline", "--no-audit", "--no-fund", *tarballs],
                    cwd=folder, env={**os.environ, **npm})
            and run([shutil.which("node") or "node", "--test", *tests], cwd=folder))


def check_package_examples():
    if not os.path.isfile(system_python) or not shutil.which("npm"):
        skip(f"{system_python} or npm is missing")
    if not glob.glob(os.path.join(dist, "*.whl")):
        skip(f"no packages in {dist} (./setup.sh release)")
    shutil.rmtree(scratch, ignore_errors=True)
    folders = [f for f in extract() if uses_packages(f)]
    if len(folders) != 2:
        sys.exit(f"expected the examples packages-python and packages-node, found {folders}")
    failed = [os.path.basename(f) for f in folders if not run_package_example(f)]
    print(f"{len(folders) - len(failed)} of {len(folders)} package examples passed", flush=True)
    sys.exit(f"failed: {', '.join(failed)}" if failed else 0)


if packages_mode:
    check_package_examples()
shutil.rmtree(scratch, ignore_errors=True)
if not run([cmake, "--install", build, "--prefix", prefix], stdout=subprocess.DEVNULL):
    sys.exit("the build did not install")
folders = [f for f in extract() if not uses_packages(f)]
if not folders:
    sys.exit(f"no examples found in {', '.join(documents)}")
failed = [os.path.basename(f) for f in folders if not run_example(f)]
print(f"{len(folders) - len(failed)} of {len(folders)} examples passed", flush=True)
if not check_reference_function():
    failed.append("expected_line")
if not check_transcripts():
    failed.append("the shell sessions")
sys.exit(f"failed: {', '.join(failed)}" if failed else 0)
