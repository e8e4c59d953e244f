// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "input/reading_choice.h"

#include "byte_reader.h"
#include "file_seek_back_reader.h"
#include "handle.h"
#include "input/ended_input.h"
#include "pipe_peek_reader.h"

namespace {

using Kind = InputTraits::Kind;

// A pipe that cannot be looked into (under Wine, a pipe that a Linux parent
// made) is read one byte at a time.
ReadingWay wayAfterRefusal(ReadingWay refused)
{
    return refused == ReadingWay::peekIntoPipe ? ReadingWay::byteByByte : ReadingWay::none;
}

std::unique_ptr<InputReader> makeReader(ReadingWay way, HANDLE handle)
{
    switch (way) {
    case ReadingWay::none:
        return std::make_unique<EndedInput>();
    case ReadingWay::peekIntoPipe:
        return std::make_unique<PipePeekReader>(handle);
    case ReadingWay::seekBack:
        return std::make_unique<FileSeekBackReader>(handle);
    case ReadingWay::byteByByte:
        return std::make_unique<ByteReader>(handle, ByteReader::EmptyRead::ends);
    case ReadingWay::messagesByteByByte:
        return std::make_unique<ByteReader>(handle, ByteReader::EmptyRead::skipped);
    }
    return std::make_unique<EndedInput>();
}

} // namespace

// The first row that fits the input chooses. A pipe of messages is read one
// byte at a time, which reads messages in part, since a look sees no empty
// message. A console, the NUL device and anything else are read one byte at
// a time; the NUL device's first read ends the input at once.
ReadingWay chooseReadingWay(const InputTraits &input)
{
    if (input.kind == Kind::notOpen)
        return ReadingWay::none;
    if (input.kind == Kind::pipe)
        return ReadingWay::peekIntoPipe;
    if (input.kind == Kind::messagePipe)
        return ReadingWay::messagesByteByByte;
    if (input.kind == Kind::disk)
        return ReadingWay::seekBack;
    return ReadingWay::byteByByte;
}

Reading chooseReading(int fd)
{
    const HANDLE handle = handleOf(fd);
    const ReadingWay way = chooseReadingWay(probeInput(handle));
    return {way, makeReader(way, handle)};
}

Reading readingAfterRefusal(int fd, ReadingWay refused)
{
    const ReadingWay way = wayAfterRefusal(refused);
    return {way, makeReader(way, handleOf(fd))};
}
