#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

"""Installs the npm packages the way users do, with npm, pnpm and yarn, from a
registry of our own that holds nothing but them, and checks what each install
gives: binaryPath() from require and from import, the program it names, the
command the package manager links (where it links one) and expected().

    npm_installs.py DIST_DIR TOOLS_DIR SCRATCH_DIR

DIST_DIR holds the tarballs simulated-error-*.tgz; TOOLS_DIR/node_modules
holds verdaccio, pnpm and @yarnpkg/cli-dist (npm install --prefix TOOLS_DIR);
SCRATCH_DIR/npm_installs is made anew and left for a look after a failure.
Exit status 0: passed, 1: failed, 77: a tool is missing."""

import base64
import json
import os
import platform
import shutil
import signal
import socket
import subprocess
import sys
import time
import urllib.error
import urllib.request
from pathlib import Path

INSTALL_TIMEOUT = 180  # seconds; an install takes a few
RUN_TIMEOUT = 30
REGISTRY_START_TIMEOUT = 30  # it starts in a second or two
HEARTBEAT = 15  # a command still running is reported this often

# The README's worked example: printf 'hello\nnot read\n' | PROGRAM one '' 'a;b'
INPUT = b"hello\nnot read\n"
ARGUMENTS = ["one", "", "a;b"]
ERROR_LINE = b"this is a simulated error\n"

# Run in each project with node; prints, as JSON, binaryPath() (or the error it
# throws) from require and from import, and expected() for the worked example
# with each name given on its command line.
PROBE = r"""
import { createRequire } from "node:module";
const require = createRequire(import.meta.url);
const outcome = (module) => {
    try { return { path: module.binaryPath() }; }
    catch (error) { return { error: String(error.message), code: error.code ?? null }; }
};
const required = require("simulated-error");
let imported;
try { imported = await import("simulated-error"); }
catch (error) { imported = { binaryPath() { throw new Error(`import failed: ${error.message}`); } }; }
const encode = ({ stdout, stderr, status }) =>
    ({ stdout: stdout.toString("base64"), stderr: stderr.toString("base64"), status });
const expected = Object.fromEntries(process.argv.slice(2).map((name) =>
    [name, encode(required.expected([name, "one", "", "a;b"], "hello\nnot read\n"))]));
console.log(JSON.stringify({ require: outcome(required), import: outcome(imported), expected }));
"""

# The package with the program for this machine.
PLATFORM_PACKAGE = "@simulated-error/linux-" + {"aarch64": "arm64"}.get(platform.machine(), "x64")

# How users install, each in a fresh project. "node" starts node inside the
# project (yarn's Plug'n'Play needs its own). "commands" are the ways the
# package manager gives to start the program as a command, each with the name
# the program then sees as its element 0:
# - npm links the bins of every package at the top of node_modules, the
#   hoisted platform package's included, into node_modules/.bin.
# - pnpm links only the bins of the project's own dependencies into
#   node_modules/.bin, and the program's package is a dependency of
#   simulated-error: pnpm exec simulated_error finds no command.
# - yarn runs only the bins of the project's own dependencies too: yarn run
#   and yarn exec find none.
# npm and pnpm make a package's bins executable as they install it, yarn
# keeps the mode of the tarball: only yarn's row sees a program that lost it.
# "program" is False where the platform package is left out on purpose.
INSTALL_WAYS = [
    {"name": "npm install", "install": ["{npm}", "install", "simulated-error"],
     "node": ["node"], "program": True,
     "commands": [(["./node_modules/.bin/simulated_error"], "./node_modules/.bin/simulated_error"),
                  (["{npm}", "exec", "--", "simulated_error"], "simulated_error")]},
    {"name": "pnpm add", "install": ["{pnpm}", "add", "simulated-error"],
     "node": ["node"], "program": True, "commands": []},
    # Under Plug'n'Play, import finds packages only through yarn's ESM loader,
    # which yarn turns on only where the project or a package it installs is
    # "type": "module" (in a CommonJS project no .mjs file can import any
    # package): the project is one, as an ESM user's is.
    {"name": "yarn add (Plug'n'Play)", "install": ["{yarn}", "add", "simulated-error"],
     "node": ["{yarn}", "node"], "program": True, "commands": [], "type": "module"},
    {"name": "npm install --omit=optional",
     "install": ["{npm}", "install", "--omit=optional", "simulated-error"],
     "node": ["node"], "program": False, "commands": []},
]


class Failed(Exception):
    pass


def say(text):
    print(f"[{time.strftime('%H:%M:%S')}] {text}", flush=True)


def shown(argv):
    return " ".join(repr(a) if not a or set(a) & set(" ;'\"") else a.strip("{}") for a in argv)


def written(stdout, stderr):
    text = lambda data: data.decode("utf-8", "backslashreplace")
    return f"--- standard output:\n{text(stdout)}\n--- standard error:\n{text(stderr)}\n---"


def run(argv, cwd, env, input=b"", timeout=RUN_TIMEOUT):
    """Runs argv to its end: (status, stdout, stderr). Says every HEARTBEAT
    seconds that it still runs; at the deadline kills its whole process group
    (a package manager's children too)."""
    started = time.monotonic()
    try:
        process = subprocess.Popen(argv, cwd=cwd, env=env, stdin=subprocess.PIPE,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                   start_new_session=True)
    except OSError as error:  # not there, not executable, not for this processor
        raise Failed(f"{shown(argv)} could not be started: {error}")
    try:
        while True:
            try:
                stdout, stderr = process.communicate(input, timeout=HEARTBEAT)
                return process.returncode, stdout, stderr
            except subprocess.TimeoutExpired:
                input = None  # sent already
                elapsed = time.monotonic() - started
                if elapsed > timeout:
                    os.killpg(process.pid, signal.SIGKILL)
                    stdout, stderr = process.communicate()
                    raise Failed(f"{shown(argv)} did not end in {timeout} s\n" + written(stdout, stderr))
                say(f"  still running after {elapsed:.0f} s: {shown(argv)}")
    except BaseException:
        if process.returncode is None:  # stopped from outside: leave nothing running
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
        raise


def run_ok(argv, cwd, env, timeout=RUN_TIMEOUT):
    status, stdout, stderr = run(argv, cwd, env, timeout=timeout)
    if status != 0:
        raise Failed(f"{shown(argv)} ended with status {status}\n" + written(stdout, stderr))
    return stdout


def worked_example(name):
    """(stdout, stderr, status) of the worked example for the program started
    as name (bytes): each byte of an element is one Latin-1 character in UTF-8."""
    elements = [name, *map(os.fsencode, ARGUMENTS)]
    echo = b"".join(element.decode("latin-1").encode() + b";" for element in elements)
    return (echo + b"hello\n", ERROR_LINE, 10)


def check_same(what, got, want):
    if got != want:
        raise Failed(f"{what}:\n  got  {got!r}\n  want {want!r}")


# The registry.

def free_port():
    # Another program could take it before verdaccio does; then verdaccio
    # fails to listen, and says so.
    with socket.socket() as listener:
        listener.bind(("127.0.0.1", 0))
        return listener.getsockname()[1]


def registry_config(folder, port):
    # No uplinks and no proxy: a name that is not ours is not found, so an
    # install that works got everything from the tarballs.
    return f"""storage: {folder}/storage
auth:
  htpasswd:
    file: {folder}/htpasswd
uplinks: {{}}
packages:
  '**':
    access: $all
    publish: $authenticated
listen: 127.0.0.1:{port}
web:
  enable: false
middlewares:
  audit:
    enabled: false
log: {{type: stdout, format: pretty, level: warn}}
"""


def start_registry(tools, folder, env):
    folder.mkdir(parents=True)
    port = free_port()
    config = folder / "config.yaml"
    config.write_text(registry_config(folder, port))
    with open(folder / "log", "wb") as log:
        process = subprocess.Popen(
            ["node", str(tools / "node_modules/verdaccio/bin/verdaccio"), "--config", str(config)],
            cwd=folder, env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=log,
            start_new_session=True)
    return process, f"http://127.0.0.1:{port}/"


def wait_for_registry(process, url, log):
    deadline = time.monotonic() + REGISTRY_START_TIMEOUT
    while time.monotonic() < deadline:
        if process.poll() is not None:
            raise Failed(f"verdaccio ended with status {process.returncode}:\n{log.read_text()}")
        try:
            with urllib.request.urlopen(url + "-/ping", timeout=2):
                return
        except OSError:
            time.sleep(0.2)
    raise Failed(f"verdaccio did not answer on {url} in {REGISTRY_START_TIMEOUT} s:\n{log.read_text()}")


def stop_registry(process):
    """Stops verdaccio and everything it started; False if any of it was
    still there after it ended."""
    try:
        os.killpg(process.pid, signal.SIGTERM)
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait(timeout=10)
    except ProcessLookupError:
        pass
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except ProcessLookupError:
        say("registry stopped")
        return True
    say("FAILED: a process of the registry's group outlived it (killed now)")
    return False


def registry_token(url):
    """The token of a user made through the registry's own API: npm publishes
    only with credentials."""
    body = json.dumps({"name": "publisher", "password": "publisher-password"}).encode()
    request = urllib.request.Request(url + "-/user/org.couchdb.user:publisher", data=body,
                                     method="PUT", headers={"Content-Type": "application/json"})
    try:
        with urllib.request.urlopen(request, timeout=10) as answer:
            return json.load(answer)["token"]
    except (OSError, ValueError, KeyError) as error:
        raise Failed(f"no user could be made on the registry: {error}")


def check_nothing_but_ours(url):
    """With no uplinks, a name that is not ours is unknown to the registry:
    an install can take nothing but our tarballs."""
    try:
        urllib.request.urlopen(url + "left-pad", timeout=10).close()
    except urllib.error.HTTPError as error:
        if error.code == 404:
            return
    raise Failed(f"the registry on {url} does not answer 404 for left-pad: it reaches another registry")


def publish(dist, npm, env, work):
    tarballs = sorted(dist.glob("simulated-error-*.tgz"))
    if not tarballs:
        raise Failed(f"no simulated-error-*.tgz in {dist}")
    for tarball in tarballs:
        say(f"publishing {tarball.name}")
        run_ok(npm + ["publish", "--access", "public", str(tarball)], work, env)


# Package managers.

def private_environment(work):
    """The environment of every tool: a home, configurations and caches under
    work, so that the user's own (~/.npmrc, ~/.npm, ~/.yarnrc.yml, pnpm's
    store) are neither read nor written, and nothing inherited that would
    change what the tools do (CI makes yarn's and pnpm's installs immutable,
    say)."""
    env = {k: v for k, v in os.environ.items()
           if not k.lower().startswith(("npm_", "yarn_", "pnpm_"))
           and k not in ("CI", "NODE_OPTIONS", "NODE_PATH")}
    home = work / "home"
    for folder in ("config", "cache", "data", "state"):
        (home / folder).mkdir(parents=True, exist_ok=True)
        env[f"XDG_{folder.upper()}_HOME"] = str(home / folder)
    (work / "npmrc").write_text("")  # the registry and its token come once it runs
    (work / "npmrc-global").write_text("")
    env.update(HOME=str(home), npm_config_userconfig=str(work / "npmrc"),
               npm_config_globalconfig=str(work / "npmrc-global"),
               npm_config_cache=str(work / "npm-cache"), npm_config_audit="false",
               npm_config_fund="false", npm_config_update_notifier="false")
    return env


def tool_prefixes(tools, work, url):
    """What {npm}, {pnpm} and {yarn} stand for in INSTALL_WAYS: npm and pnpm
    are told the local registry (and pnpm its private store) each time; yarn
    takes them from the project's .yarnrc.yml."""
    return {"{npm}": ["npm", "--registry", url],
            "{pnpm}": ["node", str(tools / "node_modules/pnpm/bin/pnpm.cjs"), "--registry", url,
                       "--store-dir", str(work / "pnpm-store"), "--cache-dir", str(work / "pnpm-cache")],
            "{yarn}": ["node", str(tools / "node_modules/@yarnpkg/cli-dist/bin/yarn.js")]}


def expand(argv, prefixes):
    return [part for word in argv for part in prefixes.get(word, [word])]


def yarnrc(work, url):
    # Yarn 4 takes no version younger than a day by default (its "age
    # gate"), and ours were published a moment ago.
    return "\n".join(["npmMinimalAgeGate: 0", f'npmRegistryServer: "{url.rstrip("/")}"',
                      'unsafeHttpWhitelist: ["127.0.0.1"]',
                      f'cacheFolder: "{work / "yarn-cache"}"', f'globalFolder: "{work / "yarn-global"}"',
                      "enableGlobalCache: false", "enableTelemetry: false",
                      "enableImmutableInstalls: false", ""])


def new_project(folder, way, work, url):
    """An empty project; its yarn.lock makes it the root of a yarn project
    whatever the folders above hold."""
    folder.mkdir(parents=True)
    fields = {"name": f"try-{folder.name}", "version": "1.0.0", "private": True}
    if "type" in way:
        fields["type"] = way["type"]
    (folder / "package.json").write_text(json.dumps(fields) + "\n")
    (folder / "yarn.lock").write_text("")
    (folder / ".yarnrc.yml").write_text(yarnrc(work, url))
    (folder / "probe.mjs").write_text(PROBE)


# The checks.

def probe(argv, cwd, env):
    output = run_ok(argv, cwd, env)
    try:
        return json.loads(output)
    except ValueError:
        raise Failed(f"{shown(argv)} wrote no JSON:\n{output!r}")


def check_program(path, cwd, env):
    if not (os.path.isfile(path) and os.access(path, os.X_OK)):
        raise Failed(f"binaryPath() gave {path!r}, which is no executable file")
    status, stdout, stderr = run([path, *ARGUMENTS], cwd, env, input=INPUT)
    check_same(f"the program {path} for the worked example",
               (stdout, stderr, status), worked_example(os.fsencode(path)))


def check_expected(found, name):
    result = found["expected"][name]
    got = (base64.b64decode(result["stdout"]), base64.b64decode(result["stderr"]), result["status"])
    check_same(f"expected() for the worked example named {name!r}", got, worked_example(os.fsencode(name)))


def check_command(argv, name, cwd, env):
    status, stdout, stderr = run(argv + ARGUMENTS, cwd, env, input=INPUT)
    check_same(f"the command {shown(argv)} for the worked example",
               (stdout, stderr, status), worked_example(os.fsencode(name)))


def check_no_program(found):
    for way in ("require", "import"):
        outcome = found[way]
        if "path" in outcome:
            raise Failed(f"binaryPath() from {way} gave {outcome['path']!r} with no program installed")
        check_same(f"the error's code from {way}", outcome["code"], "SIMULATED_ERROR_NO_PROGRAM")
        for part in (PLATFORM_PACKAGE, "--omit=optional"):
            if part not in outcome["error"]:
                raise Failed(f"the error from {way} does not name {part}: {outcome['error']}")
    say(f"  the error, as a user sees it:\n    {found['require']['error']}")


def try_install_way(way, project, prefixes, env):
    run_ok(expand(way["install"], prefixes), project, env, timeout=INSTALL_TIMEOUT)
    node = expand(way["node"], prefixes) + ["probe.mjs"]
    found = probe(node, project, env)
    if not way["program"]:
        return check_no_program(found)
    path = found["require"].get("path")
    if path is None:
        raise Failed(f"binaryPath() from require threw: {found['require']}")
    check_same("binaryPath() from import", found["import"], found["require"])
    check_program(path, project, env)
    names = [path] + [name for _, name in way["commands"]]
    found = probe(node + names, project, env)
    for name in names:
        check_expected(found, name)
    for argv, name in way["commands"]:
        check_command(expand(argv, prefixes), name, project, env)
    say(f"  binaryPath(): {path}")
    say(f"  commands: {', '.join(shown(argv) for argv, _ in way['commands']) or 'none'}")


def try_install_ways(tools, work, url, env):
    """Each row of INSTALL_WAYS, printed as it starts and ends; (passed, failed)."""
    prefixes = tool_prefixes(tools, work, url)
    # A folder name with a non-ASCII byte, so that the echo of each path
    # checks the Latin-1 rule.
    projects = work / "projects-é"
    passed = 0
    for number, way in enumerate(INSTALL_WAYS, 1):
        started = time.monotonic()
        say(f"{way['name']}: started")
        try:
            project = projects / f"{number}-{way['install'][0].strip('{}')}"
            new_project(project, way, work, url)
            try_install_way(way, project, prefixes, env)
            passed, verdict = passed + 1, "passed"
        except Failed as failure:
            verdict = f"FAILED\n{failure}\n"
        say(f"{way['name']}: {verdict} ({time.monotonic() - started:.1f} s)")
    return passed, len(INSTALL_WAYS) - passed


def try_with_registry(dist, tools, work, env):
    say("starting the registry")
    registry, url = start_registry(tools, work / "registry", env)
    try:
        wait_for_registry(registry, url, work / "registry" / "log")
        check_nothing_but_ours(url)
        say(f"registry: verdaccio on {url}, no uplinks")
        (work / "npmrc").write_text(f"registry={url}\n//{url.split('//')[1]}:_authToken={registry_token(url)}\n")
        publish(dist, ["npm", "--registry", url], env, work)
        result = try_install_ways(tools, work, url, env)
    finally:
        stopped = stop_registry(registry)
    if not stopped:
        raise Failed("the registry left a process behind")
    return result


def missing_tool(tools):
    for command in ("node", "npm"):
        if shutil.which(command) is None:
            return f"no {command} on PATH"
    for script in ("verdaccio/bin/verdaccio", "pnpm/bin/pnpm.cjs", "@yarnpkg/cli-dist/bin/yarn.js"):
        if not (tools / "node_modules" / script).is_file():
            return f"no {script} under {tools}/node_modules"
    return None


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    dist, tools, scratch = (Path(a).resolve() for a in sys.argv[1:])
    reason = missing_tool(tools)
    if not list(dist.glob("simulated-error-*.tgz")):
        reason = f"no simulated-error-*.tgz in {dist} (./setup.sh release)"
    if reason:
        print(f"skipped: {reason}")
        return 77
    # A SIGTERM (a test runner giving up) ends through the finally clauses,
    # which stop the registry.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped by SIGTERM"))
    work = scratch / "npm_installs"
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    started = time.monotonic()
    try:
        passed, failed = try_with_registry(dist, tools, work, private_environment(work))
    except Failed as failure:
        say(f"FAILED:\n{failure}")
        passed, failed = 0, 1
    say(f"{time.monotonic() - started:.0f} s in all")
    print(f"{passed} passed, {failed} failed", flush=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
