# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

"""python -m simulated_error ARGUMENT...: runs the program with these arguments,
its name the path of the file. On POSIX the program takes this process's
place, so that nothing stands between it and the caller."""

import os
import subprocess
import sys

from simulated_error import binary_path


def main():
    program = binary_path()
    arguments = [program] + sys.argv[1:]
    if os.name == "nt":
        return subprocess.call(arguments)
    sys.stdout.flush()
    sys.stderr.flush()
    os.execv(program, arguments)
    return 127


if __name__ == "__main__":
    sys.exit(main())
