// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Checks the Node package's expected() against runs of the program that
// expected_table.py recorded: the argument vector, the input, the length of
// the echo of the vector, and what the program wrote and how it ended.
// Node hands over an element as its UTF-8 text, so a run whose vector holds
// malformed UTF-8 is one Node cannot make: of it, the line is checked (what
// follows the echo, against expected() of a plain vector).
//
// Then the vectors only Node makes (Buffers of malformed UTF-8, strings with
// lone surrogates) are run through PROGRAM by Node itself.
//
//   node expected_check.js PACKAGE_DIR RUNS_JSON PROGRAM

"use strict";

const path = require("node:path");
const { expected } = require(path.resolve(process.argv[2]));
const runs = require(path.resolve(process.argv[3]));
const program = process.argv[4];

const utf8 = new TextDecoder("utf-8", { fatal: true });

// The vector as a Node caller hands it over, each element a string or a
// Buffer where run.strings says so; null where Node cannot hand it over.
function vectorOf(run) {
    try {
        return run.args.map((hex, i) => {
            const bytes = Buffer.from(hex, "hex");
            utf8.decode(bytes);
            return run.strings[i] ? bytes.toString("utf8") : bytes;
        });
    } catch {
        return null;
    }
}

function same(got, stdout, run) {
    return got.stdout.equals(stdout) && got.stderr.equals(Buffer.from(run.stderr, "hex")) &&
        got.status === run.status;
}

let differences = 0;
let whole = 0;
runs.forEach((run, index) => {
    const input = run.input === null ? undefined : Buffer.from(run.input, "hex");
    const stdout = Buffer.from(run.stdout, "hex");
    const vector = vectorOf(run);
    let ok;
    if (vector) {
        ++whole;
        ok = same(expected(vector, input), stdout, run);
    } else {
        // Without an argument nothing is echoed, the line neither.
        const echoed = run.args.length >= 2;
        const plain = expected(echoed ? ["p", "x"] : ["p"], input);
        ok = same({ ...plain, stdout: plain.stdout.subarray(echoed ? 4 : 0) },
            stdout.subarray(echoed ? run.echo : 0), run);
    }
    if (!ok && ++differences <= 5)
        console.log(`case ${index}: vector ${JSON.stringify(run.args)}, input ${run.input}:\n` +
            `  program ${run.stdout} ${run.stderr} ${run.status}`);
});
// Vectors as only a Node caller hands them over, each run by spawnSync.
const nodeVectors = [
    [program, Buffer.from([0xc3, 0xa9]), Buffer.from([0xff, 0x41]), Buffer.from([0xe2, 0x82])],
    [program, "lone \ud800 surrogate", "pair \ud83d\ude00", Buffer.from("caf\u00e9")],
    [program, Buffer.from([0xed, 0xa0, 0x80]), new Uint8Array([0x61, 0xf0, 0x9f, 0x98]).subarray(1)],
];
for (const vector of nodeVectors) {
    const input = Buffer.from("h\xc3\xa9\0x\nline\r\nrest\n", "latin1");
    const run = require("node:child_process").spawnSync(vector[0], vector.slice(1), { input, timeout: 30000 });
    const want = expected(vector, input);
    if (!(want.stdout.equals(run.stdout) && want.stderr.equals(run.stderr) && want.status === run.status)) {
        ++differences;
        console.log(`spawnSync of ${JSON.stringify(vector.slice(1).map(String))}: program ` +
            `${run.stdout?.toString("hex")} ${run.status}, expected ${want.stdout.toString("hex")}`);
    }
}

console.log(`Node: ${runs.length} runs and ${nodeVectors.length} of its own (${whole} whole, the line alone of the others), ` +
    `${differences} differences from Node's expected()`);
process.exitCode = differences ? 1 : 0;
