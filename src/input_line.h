#ifndef SIMULATED_ERROR_INPUT_LINE_H
#define SIMULATED_ERROR_INPUT_LINE_H

#include <QString>

// Reads standard input up to and including its first line feed and returns
// that line decoded from UTF-8. A line that holds a NUL byte loses everything
// from the NUL through its line feed, and the next line is joined on.
// Blocks (without using CPU) while the input is open and has no complete line;
// returns what it has when the input ends or fails before a line feed.
// On a seekable input the position is left just after the line feed.
QString collectInputLine();

// The same on any descriptor, reading pieces of at most maxPieceSize bytes.
QString collectInputLine(int fd, qsizetype maxPieceSize);

#endif
