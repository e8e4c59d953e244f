// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

/// <reference types="node" />

/** The line the program writes to standard error: "this is a simulated error" and a line feed. */
export declare const ERROR_LINE: Buffer;
/** The program's exit status, on every run that ends normally. */
export declare const STATUS: 10;

/** What the program gives for an argument vector and an input. */
export interface Result {
    stdout: Buffer;
    stderr: Buffer;
    status: number;
}

/**
 * The path of the program for this system. Throws an error (code
 * "SIMULATED_ERROR_NO_PROGRAM") that says which package it looked for, and why
 * it may be missing, where that package is not installed.
 */
export declare function binaryPath(): string;

/**
 * What the program writes and how it ends when started with the whole
 * argument vector `args` (element 0, the program as you name it, included;
 * strings, or Buffers, which child_process hands over as their UTF-8 text)
 * and `input` on its standard input (a string is taken as UTF-8; undefined
 * is no input). The program is not run.
 */
export declare function expected(args: ReadonlyArray<string | Buffer>, input?: string | NodeJS.ArrayBufferView | null): Result;

declare const simulatedError: {
    binaryPath: typeof binaryPath;
    expected: typeof expected;
    ERROR_LINE: typeof ERROR_LINE;
    STATUS: typeof STATUS;
};
export default simulatedError;
