# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

"""simulated_error: a command that fails the same way every time.

It echoes its argument vector and the first line of its standard input to
standard output, writes "this is a simulated error" to standard error and
exits with status 10. binary_path() gives the program this package carries;
expected() says what it writes for given arguments and input, without
running it.
"""

import collections
import os
import re

__all__ = ["ERROR_LINE", "STATUS", "Result", "binary_path", "expected"]

ERROR_LINE = b"this is a simulated error\n"
STATUS = 10

Result = collections.namedtuple("Result", ["stdout", "stderr", "status"])
Result.__doc__ = "What the program gives: its standard output and error (bytes) and its exit status."

_NAME = "simulated_error.exe" if os.name == "nt" else "simulated_error"


def binary_path():
    """The path of the program, as str: start it with your own arguments and input."""
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "bin", _NAME)
    if not os.path.isfile(path):
        raise FileNotFoundError(
            f"simulated_error: {path} is missing: the package was installed without the program "
            "for this system (wheels are made for Linux on x86-64 and arm64 and for 64-bit "
            "Windows); build it from source on others")
    return path


def _element_bytes(element):
    """The bytes the program receives for one element, as Python's subprocess
    hands it over (which takes str, bytes and path-like elements, without NUL)."""
    element = os.fspath(element)
    if ("\0" if isinstance(element, str) else b"\0") in element:
        raise ValueError(f"simulated_error.expected(): an element holds a NUL, which no process receives: {element!r}")
    if os.name != "nt":
        return os.fsencode(element)
    # Windows passes text: bytes are decoded as the file system's encoding,
    # and the program takes each element's UTF-8, a lone surrogate as U+FFFD.
    if isinstance(element, bytes):
        element = os.fsdecode(element)
    return element.encode("utf-16-le", "surrogatepass").decode("utf-16-le", "replace").encode()


def _echo_of(element):
    """Each byte of an element written as one Latin-1 character in UTF-8."""
    return _element_bytes(element).decode("latin-1").encode()


# Undecodable bytes, each of which the program writes as one U+FFFD.
_UNDECODABLE = re.compile("[\udc80-\udcff]")


def _decoded(piece):
    """A piece of the line decoded as the program decodes it: each byte that is
    not part of a well-formed UTF-8 sequence becomes one U+FFFD, and a
    byte-order mark at its start goes."""
    text = _UNDECODABLE.sub("\ufffd", piece.decode("utf-8", "surrogateescape"))
    return text[1:] if text.startswith("\ufeff") else text


def _line(data):
    """The first line the program collects from data, written as it writes it."""
    line = []
    start = 0
    while start < len(data):
        end = data.find(b"\n", start) + 1 or len(data)
        # A NUL drops the rest of its line, line feed included, and the next
        # line is joined on, decoded on its own.
        kept, nul, _ = data[start:end].partition(b"\0")
        line.append(_decoded(kept))
        if not nul:
            break
        start = end
    return "".join(line).encode()


def expected(args, input=None):
    """What the program gives when started with the argument vector args (element 0,
    the program as the caller names it, included; str, bytes or path-like elements,
    as handed to subprocess) and the bytes input on its standard input (None: no
    input). Returns Result(stdout, stderr, status)."""
    if isinstance(args, (str, bytes, os.PathLike)):
        raise TypeError("simulated_error.expected(): args is a sequence of elements, element 0 first, "
                        "not one string")
    args = list(args)
    data = b"" if input is None else memoryview(input).tobytes()
    if len(args) < 2:
        return Result(b"", ERROR_LINE, STATUS)
    echo = b"".join(_echo_of(element) + b";" for element in args)
    return Result(echo + _line(data), ERROR_LINE, STATUS)
