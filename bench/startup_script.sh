#!/bin/dash
# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# What a caller writes in place of simulated_error when it has no such file:
# the argument vector and the first line to standard output, the error line
# to standard error, status 10. The benchmark times the program's start-up
# against it. It is exact for ASCII arguments and lines only.
if [ $# -gt 0 ]; then
    printf '%s;' "$0" "$@"
    IFS= read -r line && printf '%s\n' "$line" || printf '%s' "$line"
fi
echo 'this is a simulated error' >&2
exit 10
