// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// The reading table of POSIX systems: which way of reading suits each kind of
// descriptor, which way takes over from a refused one, and their readers.

#include "input/reading_table.h"

#include "aligned_file_reader.h"
#include "byte_reader.h"
#include "input/seek_back_reader.h"
#include "input_probe.h"
#include "message_reader.h"
#include "packet_mode_switch.h"
#include "record_reader.h"
#include "socket_peek_reader.h"

#if SIMULATED_ERROR_HAVE_TEE
#include "tee_pipe_reader.h"
#endif

#include <sys/socket.h>

namespace {

using Kind = InputTraits::Kind;

constexpr bool haveTee = SIMULATED_ERROR_HAVE_TEE;

bool deliversMessages(const InputTraits &input)
{
    return input.kind == Kind::socket && input.socketType != SOCK_STREAM && input.socketType != -1;
}

class UnixReadingTable final : public ReadingTable
{
public:
    explicit UnixReadingTable(int fd) : m_fd(fd), m_input(probeInput(fd)) {}

    ReadingWay suitedWay() const override;
    ReadingWay wayAfterRefusal(ReadingWay refused) const override;
    std::unique_ptr<InputReader> makeReader(ReadingWay way) const override;

private:
    int m_fd;
    InputTraits m_input;
};

// The first row that fits the input chooses.
ReadingWay UnixReadingTable::suitedWay() const
{
    const InputTraits &input = m_input;
    if (input.kind == Kind::notOpen || input.listening)
        return ReadingWay::none;
    if (input.kind == Kind::pipe)
        return haveTee ? ReadingWay::peekIntoPipe : ReadingWay::byteByByte;
    if (input.kind == Kind::socket && input.socketType == SOCK_STREAM && !input.peekOffsetSet)
        return ReadingWay::peekAtSocket;
    if (deliversMessages(input) && !input.peekOffsetSet)
        return ReadingWay::messagesSizedByPeek;
    if (deliversMessages(input))
        return ReadingWay::messagesSizedByQueue;
    if (input.kind == Kind::socket)
        return ReadingWay::byteByByte; // a peek offset, or no type told
    if (input.seekable && input.direct)
        return ReadingWay::alignedReads;
    if (input.seekable)
        return ReadingWay::seekBack;
    if (input.kind == Kind::characterDevice)
        return ReadingWay::records; // neither a terminal nor seekable
    if (input.terminalMaster)
        return ReadingWay::packetTerminal;
    return ReadingWay::byteByByte; // terminals, and anything else
}

// A pipe or stream socket that cannot be looked into is read one byte at a
// time; messages are sized without a peek; a read refused for its size or
// alignment is made in the form the input accepts: aligned for O_DIRECT, and
// otherwise whole records (input that refuses a read of one byte brings
// records that a read may take several of).
ReadingWay UnixReadingTable::wayAfterRefusal(ReadingWay refused) const
{
    switch (refused) {
    case ReadingWay::peekIntoPipe:
    case ReadingWay::peekAtSocket:
        return ReadingWay::byteByByte;
    case ReadingWay::messagesSizedByPeek:
        return ReadingWay::messagesSizedByQueue;
    case ReadingWay::seekBack:
    case ReadingWay::packetTerminal:
        return m_input.direct ? ReadingWay::alignedReads : ReadingWay::records;
    case ReadingWay::byteByByte:
        return m_input.direct ? ReadingWay::alignedReads : ReadingWay::recordsOneByOne;
    default:
        return ReadingWay::none;
    }
}

std::unique_ptr<InputReader> UnixReadingTable::makeReader(ReadingWay way) const
{
    const int fd = m_fd;
    switch (way) {
    case ReadingWay::peekIntoPipe:
#if SIMULATED_ERROR_HAVE_TEE
        return TeePipeReader::create(fd);
#else
        return nullptr;
#endif
    case ReadingWay::peekAtSocket:
        return std::make_unique<SocketPeekReader>(fd, m_input.lowWaterMarkSet);
    case ReadingWay::seekBack:
        return std::make_unique<SeekBackReader>(fd);
    case ReadingWay::alignedReads:
        return std::make_unique<AlignedFileReader>(fd);
    case ReadingWay::messagesSizedByPeek:
        return std::make_unique<MessageReader>(fd, m_input.socketType, MessageReader::Sizing::byPeek);
    case ReadingWay::messagesSizedByQueue:
        return std::make_unique<MessageReader>(fd, m_input.socketType, MessageReader::Sizing::byQueue);
    case ReadingWay::records:
        return std::make_unique<RecordReader>(fd, RecordReader::FirstRead::large);
    case ReadingWay::recordsOneByOne:
        return std::make_unique<RecordReader>(fd, RecordReader::FirstRead::smallest);
    case ReadingWay::packetTerminal:
        return std::make_unique<PacketModeSwitch>(fd, m_input.packetModeAskable);
    case ReadingWay::byteByByte:
        return std::make_unique<ByteReader>(fd);
    default:
        return nullptr; // the ways of other systems
    }
}

} // namespace

std::unique_ptr<ReadingTable> readingTableFor(int fd)
{
    return std::make_unique<UnixReadingTable>(fd);
}
