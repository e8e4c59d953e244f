// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// simulated_error: a command that fails the same way every time. binaryPath()
// gives the program, which comes in a package for this system;
// expected() says what it writes for given arguments and input, without
// running it.

"use strict";

// The program's error line; the one exported is a copy, which a caller may change.
const errorLine = Buffer.from("this is a simulated error\n");
const STATUS = 10;

// The package that carries the program for each system Node runs on. Windows
// on arm64 runs the x64 program.
const platformPackages = {
    "linux x64": "@simulated-error/linux-x64",
    "linux arm64": "@simulated-error/linux-arm64",
    "win32 x64": "@simulated-error/win32-x64",
    "win32 arm64": "@simulated-error/win32-x64",
};

function missingProgram(packageName, cause) {
    const system = `${process.platform} on ${process.arch}`;
    const why = packageName
        ? `it looked for the package ${packageName}, which carries the program for ${system}, ` +
          "and found none. It is an optional dependency of simulated-error, so it is missing " +
          "where optional dependencies were left out (npm install --omit=optional, or the " +
          "older --no-optional) or where the lock file or node_modules was made on another " +
          "system (a container image built on macOS, say): install again on this system, " +
          "with optional dependencies."
        : `there is no package of the program for ${system}: it comes for Linux on x64 and ` +
          "arm64 and for Windows (x64, and arm64 through emulation).";
    const error = new Error(
        `simulated-error: no program for this system: ${why} Elsewhere (macOS, FreeBSD, ...) ` +
        "build it from source (a C++ compiler, CMake and Qt's core module) and start the " +
        "program it builds by its path.", cause ? { cause } : undefined);
    error.code = "SIMULATED_ERROR_NO_PROGRAM";
    return error;
}

// The path of the program, for child_process (spawn, execFile, ...) with your
// own arguments and input. Throws, saying why, where it is not installed.
function binaryPath() {
    const packageName = platformPackages[`${process.platform} ${process.arch}`];
    if (!packageName)
        throw missingProgram(null);
    const file = process.platform === "win32" ? "simulated_error.exe" : "simulated_error";
    try {
        return require.resolve(`${packageName}/bin/${file}`);
    } catch (cause) {
        throw missingProgram(packageName, cause);
    }
}

// The bytes the program receives for one element, as child_process hands it
// over: its text in UTF-8. A string's lone surrogate becomes U+FFFD (as on
// Windows too), and a Buffer is passed as its UTF-8 text, each malformed
// sequence as U+FFFD: Node passes no raw bytes.
function elementBytes(element) {
    return Buffer.from(String(element), "utf8");
}

// The bytes of the input: a string in UTF-8, and a Buffer, typed array or
// DataView as it is, as spawnSync writes them.
function inputBytes(input) {
    if (typeof input === "string")
        return Buffer.from(input, "utf8");
    if (ArrayBuffer.isView(input))
        return Buffer.from(input.buffer, input.byteOffset, input.byteLength);
    throw new TypeError("simulated-error: expected()'s input is a string, a Buffer, a typed array or a DataView");
}

// Each byte of an element written as one Latin-1 character in UTF-8.
function echoOf(element) {
    return Buffer.from(elementBytes(element).toString("latin1"), "utf8");
}

const REPLACEMENT = Buffer.from([0xef, 0xbf, 0xbd]);

// How many bytes the well-formed UTF-8 sequence at bytes[at] takes, 0 where
// none starts there (the bounds of each following byte are those of
// Unicode's table of well-formed sequences: no overlong forms, no surrogates,
// nothing above U+10FFFF).
function sequenceLength(bytes, at, end) {
    const lead = bytes[at];
    if (lead < 0x80)
        return 1;
    let length, low = 0x80, high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf)
        length = 2;
    else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        if (lead === 0xe0) low = 0xa0;
        if (lead === 0xed) high = 0x9f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        if (lead === 0xf0) low = 0x90;
        if (lead === 0xf4) high = 0x8f;
    } else
        return 0;
    if (at + length > end)
        return 0;
    for (let i = 1; i < length; ++i, low = 0x80, high = 0xbf) {
        if (bytes[at + i] < low || bytes[at + i] > high)
            return 0;
    }
    return length;
}

// A piece of the line as the program writes it, copied into out at at: each
// byte that is not part of a well-formed UTF-8 sequence becomes one U+FFFD
// (EF BF BD), and a byte-order mark at its start goes. Returns where the
// piece ends in out.
function decodePiece(bytes, start, end, out, at) {
    let from = start;
    if (end - from >= 3 && bytes[from] === 0xef && bytes[from + 1] === 0xbb && bytes[from + 2] === 0xbf)
        from += 3;
    while (from < end) {
        const length = sequenceLength(bytes, from, end);
        if (length === 0) {
            at += REPLACEMENT.copy(out, at);
            ++from;
            continue;
        }
        for (const stop = from + length; from < stop; )
            out[at++] = bytes[from++];
    }
    return at;
}

// The first line the program collects from data, as it writes it. A NUL
// drops the rest of its line, line feed included, and the next line is
// joined on, decoded on its own.
function lineOf(data) {
    const out = Buffer.allocUnsafe(3 * data.length); // U+FFFD takes three bytes for one
    let at = 0;
    let start = 0;
    while (start < data.length) {
        const lineFeed = data.indexOf(0x0a, start);
        const end = lineFeed < 0 ? data.length : lineFeed + 1;
        const nul = data.indexOf(0x00, start);
        const cut = nul >= 0 && nul < end ? nul : end;
        at = decodePiece(data, start, cut, out, at);
        if (cut === end)
            break;
        start = end;
    }
    return Buffer.from(out.subarray(0, at));
}

// What the program gives when started with the argument vector args (element
// 0, the program as the caller names it, included; strings, or Buffers taken
// as their UTF-8 text, as child_process takes them) and input on its standard
// input (a string, taken as UTF-8, or a Buffer, typed array or DataView;
// undefined: no input): { stdout, stderr, status }.
function expected(args, input) {
    if (typeof args === "string" || args === null || typeof args?.[Symbol.iterator] !== "function")
        throw new TypeError("simulated-error: expected()'s args is an array of the elements, element 0 first");
    const elements = Array.from(args);
    const stderr = Buffer.from(errorLine);
    if (elements.length < 2)
        return { stdout: Buffer.alloc(0), stderr, status: STATUS };
    const data = input === undefined || input === null ? Buffer.alloc(0) : inputBytes(input);
    const echo = elements.map((element) => Buffer.concat([echoOf(element), Buffer.from(";")]));
    return { stdout: Buffer.concat([...echo, lineOf(data)]), stderr, status: STATUS };
}

// The default export too, for TypeScript's default import without
// esModuleInterop.
module.exports = { binaryPath, expected, ERROR_LINE: Buffer.from(errorLine), STATUS };
module.exports.default = module.exports;
