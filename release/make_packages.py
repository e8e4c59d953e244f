#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

"""Writes the release files into the packages that Python and Node developers
install: a wheel for each file, and npm tarballs (a main package and one per
system) made with npm pack.

    release/make_packages.py DIST VERSION

DIST holds the release files simulated_error-VERSION-TARGET[.exe]; the
packages are written beside them. Two runs give the same bytes: every entry's
time is SOURCE_DATE_EPOCH (the last commit's, from make_files.sh), its mode is
set here, never taken from the disk, and the entries are in a fixed order.
Needs only Python's standard library, and npm for the tarballs."""

import base64
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PYTHON_SOURCE = os.path.join(ROOT, "packages", "python", "simulated_error")
NODE_SOURCE = os.path.join(ROOT, "packages", "node", "simulated-error")
PYTHON_README = os.path.join(ROOT, "packages", "python", "README.md")
NODE_README = os.path.join(ROOT, "packages", "node", "README.md")
LICENSE = os.path.join(ROOT, "LICENSES", "MIT.txt")

SUMMARY = "A command that fails the same way every time, for testing programs that start other programs"

# Each release file: the wheel's tags (a static Linux file runs on glibc and
# musl systems alike, so it carries both families' tags), the npm package's
# system and processors (Windows on arm64 runs x64 programs), and the
# program's name in the packages.
TARGETS = {
    "linux-x86_64": {
        "wheel_tags": ["manylinux_2_17_x86_64", "manylinux2014_x86_64", "musllinux_1_1_x86_64"],
        "npm": "linux-x64", "os": ["linux"], "cpu": ["x64"], "program": "simulated_error",
    },
    "linux-arm64": {
        "wheel_tags": ["manylinux_2_17_aarch64", "manylinux2014_aarch64", "musllinux_1_1_aarch64"],
        "npm": "linux-arm64", "os": ["linux"], "cpu": ["arm64"], "program": "simulated_error",
    },
    "windows-x86_64": {
        "wheel_tags": ["win_amd64"],
        "npm": "win32-x64", "os": ["win32"], "cpu": ["x64", "arm64"], "program": "simulated_error.exe",
    },
}

# Zip's earliest time is 1980.
EPOCH = max(int(os.environ.get("SOURCE_DATE_EPOCH", "315532800")), 315532800)


def read(path):
    with open(path, "rb") as file:
        return file.read()


def release_file(dist, version, target):
    suffix = ".exe" if target.startswith("windows") else ""
    return os.path.join(dist, f"simulated_error-{version}-{target}{suffix}")


# The wheels.

def record_line(name, data):
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return f"{name},sha256={digest},{len(data)}\n"


def zip_entry(name, mode):
    info = zipfile.ZipInfo(name, date_time=time.gmtime(EPOCH)[:6])
    info.create_system = 3  # Unix, so that installers read the mode
    info.external_attr = (0o100000 | mode) << 16
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def write_wheel(dist, version, target, program):
    platform = TARGETS[target]
    tags = ".".join(platform["wheel_tags"])
    name = f"simulated_error-{version}-py3-none-{tags}.whl"
    info_dir = f"simulated_error-{version}.dist-info"
    # The program twice: as package data, where binary_path() finds it under
    # every installation scheme (--target, --user, a venv, system-wide), and
    # as a script, which installers put on PATH as it is: the command is the
    # program itself, with no interpreter started before it.
    files = sorted([
        ("simulated_error/__init__.py", read(os.path.join(PYTHON_SOURCE, "__init__.py")), 0o644),
        ("simulated_error/__main__.py", read(os.path.join(PYTHON_SOURCE, "__main__.py")), 0o644),
        (f"simulated_error/bin/{platform['program']}", program, 0o755),
        (f"simulated_error-{version}.data/scripts/{platform['program']}", program, 0o755),
    ])
    metadata = (f"Metadata-Version: 2.1\nName: simulated-error\nVersion: {version}\n"
                f"Summary: {SUMMARY}\nLicense: MIT\nRequires-Python: >=3.8\n"
                "Classifier: License :: OSI Approved :: MIT License\n"
                "Classifier: Topic :: Software Development :: Testing\n"
                "Description-Content-Type: text/markdown\n\n").encode() + read(PYTHON_README)
    wheel = ("Wheel-Version: 1.0\nGenerator: simulated_error release/make_packages.py\n"
             "Root-Is-Purelib: false\n"
             + "".join(f"Tag: py3-none-{tag}\n" for tag in platform["wheel_tags"])).encode()
    # The .dist-info last, its RECORD last of all.
    files += [(f"{info_dir}/LICENSE", read(LICENSE), 0o644),
              (f"{info_dir}/METADATA", metadata, 0o644),
              (f"{info_dir}/WHEEL", wheel, 0o644)]
    record = "".join(record_line(path, data) for path, data, _ in files) + f"{info_dir}/RECORD,,\n"
    files.append((f"{info_dir}/RECORD", record.encode(), 0o644))
    path = os.path.join(dist, name)
    with zipfile.ZipFile(path, "w") as archive:
        for entry, data, mode in files:
            archive.writestr(zip_entry(entry, mode), data, compresslevel=9)
    return path


# The npm packages.

def write_file(path, data, mode):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as file:
        file.write(data)
    os.chmod(path, mode)


def package_json(fields):
    return (json.dumps(fields, indent=2) + "\n").encode()


def common_fields(version):
    return {"version": version, "license": "MIT",
            "keywords": ["testing", "process", "subprocess", "child_process", "fixture", "exit code"]}


def platform_package(folder, version, target, program):
    platform = TARGETS[target]
    name = f"@simulated-error/{platform['npm']}"
    fields = {"name": name, **common_fields(version),
              "description": f"The simulated_error program for {platform['npm']}: installed by simulated-error",
              "os": platform["os"], "cpu": platform["cpu"], "preferUnplugged": True,
              "files": [f"bin/{platform['program']}"],
              # A command of its own on PATH where the package manager links
              # one: the program itself, no script before it.
              "bin": {"simulated_error": f"bin/{platform['program']}"}}
    write_file(os.path.join(folder, "package.json"), package_json(fields), 0o644)
    write_file(os.path.join(folder, "bin", platform["program"]), program, 0o755)
    write_file(os.path.join(folder, "LICENSE"), read(LICENSE), 0o644)
    write_file(os.path.join(folder, "README.md"), read(NODE_README), 0o644)
    return name


def main_package(folder, version, platform_names):
    sources = ["index.js", "index.mjs", "index.d.ts"]
    fields = {"name": "simulated-error", **common_fields(version),
              "description": SUMMARY,
              "main": "index.js", "types": "index.d.ts",
              "exports": {".": {"types": "./index.d.ts", "import": "./index.mjs",
                                "require": "./index.js"}},
              "files": sources,
              "engines": {"node": ">=14"},
              "optionalDependencies": {name: version for name in sorted(platform_names)}}
    write_file(os.path.join(folder, "package.json"), package_json(fields), 0o644)
    for source in sources:
        write_file(os.path.join(folder, source), read(os.path.join(NODE_SOURCE, source)), 0o644)
    write_file(os.path.join(folder, "LICENSE"), read(LICENSE), 0o644)
    write_file(os.path.join(folder, "README.md"), read(NODE_README), 0o644)


def npm_pack(folder, dist):
    """npm pack's tarball of folder, written into dist; its path."""
    output = subprocess.run(["npm", "pack", "--json", "--pack-destination", os.path.abspath(dist)],
                            cwd=folder, check=True, capture_output=True, text=True).stdout
    return os.path.join(dist, json.loads(output)[0]["filename"])


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    dist, version = sys.argv[1:]
    programs = {target: read(release_file(dist, version, target)) for target in TARGETS}
    written = [write_wheel(dist, version, target, program) for target, program in programs.items()]
    with tempfile.TemporaryDirectory() as scratch:
        # npm pack keeps each file's mode (and the file list) from the disk:
        # they are set above, under a umask of our own.
        os.umask(0o022)
        names = []
        for target, program in programs.items():
            folder = os.path.join(scratch, TARGETS[target]["npm"])
            names.append(platform_package(folder, version, target, program))
            written.append(npm_pack(folder, dist))
        main_folder = os.path.join(scratch, "simulated-error")
        main_package(main_folder, version, names)
        written.append(npm_pack(main_folder, dist))
    for path in written:
        print(path)


if __name__ == "__main__":
    main()
