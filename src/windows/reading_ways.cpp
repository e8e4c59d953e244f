// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// The ways of reading each kind of handle on Windows, best first, and their
// readers.

#include "input/reading_ways.h"

#include "byte_reader.h"
#include "console_reader.h"
#include "handle.h"
#include "input/seek_back_reader.h"
#include "input_probe.h"
#include "pipe_peek_reader.h"

// Each named after the reader that takes it, and the reader's mode.
enum class ReadingWay : unsigned char {
    pipePeek,
    seekBack,
    console,
    byteEmptyReadEnds,
    byteEmptyReadSkipped,
};

namespace {

using Kind = InputTraits::Kind;
using Way = ReadingWay;

} // namespace

// A pipe of messages is read one byte at a time, which reads messages in
// part, since a look sees no empty message. A console is read as the text
// typed. A pipe that cannot be looked into (under Wine, a pipe that a Linux
// parent made), or a console that cannot be read as text, is read one byte at
// a time, and so are the NUL device (whose first read ends the input at once)
// and anything else.
ReadingWays readingWaysFor(int fd)
{
    switch (probeInput(handleOf(fd)).kind) {
    case Kind::notOpen:
        return {};
    case Kind::pipe:
        return {Way::pipePeek, Way::byteEmptyReadEnds};
    case Kind::messagePipe:
        return {Way::byteEmptyReadSkipped};
    case Kind::disk:
        return {Way::seekBack};
    case Kind::console:
        return {Way::console, Way::byteEmptyReadEnds};
    default:
        return {Way::byteEmptyReadEnds};
    }
}

std::unique_ptr<InputReader> makeReader(ReadingWay way, int fd)
{
    const HANDLE handle = handleOf(fd);
    switch (way) {
    case Way::pipePeek:
        return std::make_unique<PipePeekReader>(handle);
    case Way::seekBack:
        return std::make_unique<SeekBackReader>(fd);
    case Way::console:
        return std::make_unique<ConsoleReader>(handle);
    case Way::byteEmptyReadEnds:
        return std::make_unique<ByteReader>(handle, ByteReader::EmptyRead::ends);
    case Way::byteEmptyReadSkipped:
        return std::make_unique<ByteReader>(handle, ByteReader::EmptyRead::skipped);
    }
    return nullptr;
}
