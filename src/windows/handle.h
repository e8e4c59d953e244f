// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_HANDLE_H
#define SIMULATED_ERROR_HANDLE_H

// What the ways of reading and writing a Windows handle share.

#include <QtGlobal>

#include <windows.h>

// The handle behind a C runtime descriptor; INVALID_HANDLE_VALUE where there
// is none (a standard stream the parent did not give).
HANDLE handleOf(int fd);

// The most one ReadFile or WriteFile is asked to move.
constexpr DWORD largestTransfer = 1u << 30;

// ReadFile and WriteFile of size bytes at the handle's file pointer. Each
// returns whether the call succeeded, with the bytes it moved in done. A
// handle opened for overlapped I/O (FILE_FLAG_OVERLAPPED) refuses a call
// without an OVERLAPPED and moves no pointer of its own: the call is made
// again at the pointer's place, waited for, and the pointer moved past what
// it moved, as for any other handle. A read at the end moves nothing.
bool readFile(HANDLE handle, void *data, qsizetype size, DWORD *done);
bool writeFile(HANDLE handle, const void *data, qsizetype size, DWORD *done);

#endif
