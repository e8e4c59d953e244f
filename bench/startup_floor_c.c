// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// The floor for the start-up of a self-contained file: a static C program
// that writes the bytes simulated_error writes for ASCII input (each argument
// byte as one Latin-1 character in UTF-8, one write per element; the first
// line; the error line) and exits with status 10. It reads the line ahead
// and, from a file, moves back to just after it; it skips the rules for NUL
// bytes and invalid UTF-8, which the benchmark's input does not need.
#include <string.h>
#include <unistd.h>

enum { lineCapacity = 65536 };

static void writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written <= 0)
            return;
        data += written;
        size -= (size_t)written;
    }
}

static void echoElement(const char *element)
{
    char echo[2 * 4096 + 1];
    size_t size = 0;
    for (const unsigned char *at = (const unsigned char *)element; *at; ++at) {
        if (size + 3 > sizeof echo) {
            writeAll(STDOUT_FILENO, echo, size);
            size = 0;
        }
        if (*at < 0x80) {
            echo[size++] = (char)*at;
        } else {
            echo[size++] = (char)(0xC0 | (*at >> 6));
            echo[size++] = (char)(0x80 | (*at & 0x3F));
        }
    }
    echo[size++] = ';';
    writeAll(STDOUT_FILENO, echo, size);
}

static void echoLine(void)
{
    static char line[lineCapacity];
    size_t size = 0;
    ssize_t got = 0;
    while (size < sizeof line && (got = read(STDIN_FILENO, line + size, sizeof line - size)) > 0) {
        const char *end = memchr(line + size, '\n', (size_t)got);
        size += (size_t)got;
        if (end) {
            const size_t used = (size_t)(end - line) + 1;
            lseek(STDIN_FILENO, (off_t)used - (off_t)size, SEEK_CUR);
            size = used;
            break;
        }
    }
    writeAll(STDOUT_FILENO, line, size);
}

int main(int argc, char **argv)
{
    static const char errorLine[] = "this is a simulated error\n";
    if (argc >= 2) {
        for (int i = 0; i < argc; ++i)
            echoElement(argv[i]);
        echoLine();
    }
    writeAll(STDERR_FILENO, errorLine, sizeof errorLine - 1);
    return 10;
}
