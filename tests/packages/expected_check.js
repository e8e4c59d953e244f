// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Checks the Node package's expected() against runs of the program that
// expected_table.py recorded: for each, the argument vector (each element as
// a string where the run's caller gave one, else as a Buffer), the input and
// what the program wrote and how it ended.
//
//   node expected_check.js PACKAGE_DIR RUNS_JSON

"use strict";

const { expected } = require(require("node:path").resolve(process.argv[2]));
const runs = require(require("node:path").resolve(process.argv[3]));

let differences = 0;
runs.forEach((run, index) => {
    const args = run.args.map((hex, i) => {
        const bytes = Buffer.from(hex, "hex");
        return run.strings[i] ? bytes.toString("utf8") : bytes;
    });
    const input = run.input === null ? undefined : Buffer.from(run.input, "hex");
    const got = expected(args, input);
    const same = got.stdout.equals(Buffer.from(run.stdout, "hex")) &&
        got.stderr.equals(Buffer.from(run.stderr, "hex")) && got.status === run.status;
    if (!same && ++differences <= 5)
        console.log(`case ${index}: vector ${JSON.stringify(run.args)}, input ${run.input}:\n` +
            `  program ${run.stdout} ${run.stderr} ${run.status}\n` +
            `  expected ${got.stdout.toString("hex")} ${got.stderr.toString("hex")} ${got.status}`);
});
console.log(`Node: ${runs.length} runs, ${differences} differences from Node's expected()`);
process.exitCode = differences ? 1 : 0;
