// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// The reading table of Windows: which way of reading suits each kind of
// handle, which way takes over from a refused one, and their readers.

#include "input/reading_table.h"

#include "byte_reader.h"
#include "console_reader.h"
#include "handle.h"
#include "input/seek_back_reader.h"
#include "input_probe.h"
#include "pipe_peek_reader.h"

namespace {

using Kind = InputTraits::Kind;

class WindowsReadingTable final : public ReadingTable
{
public:
    explicit WindowsReadingTable(int fd) : m_fd(fd), m_handle(handleOf(fd)), m_input(probeInput(m_handle)) {}

    ReadingWay suitedWay() const override;
    ReadingWay wayAfterRefusal(ReadingWay refused) const override;
    std::unique_ptr<InputReader> makeReader(ReadingWay way) const override;

private:
    int m_fd;
    HANDLE m_handle;
    InputTraits m_input;
};

// The first row that fits the input chooses. A pipe of messages is read one
// byte at a time, which reads messages in part, since a look sees no empty
// message. A console is read as the text typed. The NUL device and anything
// else are read one byte at a time; the NUL device's first read ends the
// input at once.
ReadingWay WindowsReadingTable::suitedWay() const
{
    switch (m_input.kind) {
    case Kind::notOpen:
        return ReadingWay::none;
    case Kind::pipe:
        return ReadingWay::peekIntoPipe;
    case Kind::messagePipe:
        return ReadingWay::messagesByteByByte;
    case Kind::disk:
        return ReadingWay::seekBack;
    case Kind::console:
        return ReadingWay::consoleText;
    default:
        return ReadingWay::byteByByte;
    }
}

// A pipe that cannot be looked into (under Wine, a pipe that a Linux parent
// made), or a console that cannot be read as text, is read one byte at a
// time.
ReadingWay WindowsReadingTable::wayAfterRefusal(ReadingWay refused) const
{
    const bool readAsBytes = refused == ReadingWay::peekIntoPipe || refused == ReadingWay::consoleText;
    return readAsBytes ? ReadingWay::byteByByte : ReadingWay::none;
}

std::unique_ptr<InputReader> WindowsReadingTable::makeReader(ReadingWay way) const
{
    switch (way) {
    case ReadingWay::peekIntoPipe:
        return std::make_unique<PipePeekReader>(m_handle);
    case ReadingWay::seekBack:
        return std::make_unique<SeekBackReader>(m_fd);
    case ReadingWay::consoleText:
        return std::make_unique<ConsoleReader>(m_handle);
    case ReadingWay::byteByByte:
        return std::make_unique<ByteReader>(m_handle, ByteReader::EmptyRead::ends);
    case ReadingWay::messagesByteByByte:
        return std::make_unique<ByteReader>(m_handle, ByteReader::EmptyRead::skipped);
    default:
        return nullptr; // the ways of other systems
    }
}

} // namespace

std::unique_ptr<ReadingTable> readingTableFor(int fd)
{
    return std::make_unique<WindowsReadingTable>(fd);
}
