// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "input/reading_choice.h"

#include "aligned_file_reader.h"
#include "byte_reader.h"
#include "input/ended_input.h"
#include "message_reader.h"
#include "packet_mode_switch.h"
#include "record_reader.h"
#include "seek_back_reader.h"
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

// Where a way is refused: a pipe or stream socket that cannot be looked into
// is read one byte at a time; messages are sized without a peek; a read
// refused for its size or alignment is made in the form the input accepts:
// aligned for O_DIRECT, and otherwise whole records (input that refuses a
// read of one byte brings records that a read may take several of).
ReadingWay wayAfterRefusal(ReadingWay refused, const InputTraits &input)
{
    switch (refused) {
    case ReadingWay::teeFromPipe:
    case ReadingWay::peekAtSocket:
        return ReadingWay::byteByByte;
    case ReadingWay::messagesSizedByPeek:
        return ReadingWay::messagesSizedByQueue;
    case ReadingWay::seekBack:
    case ReadingWay::packetModeSwitch:
        return input.direct ? ReadingWay::alignedReads : ReadingWay::records;
    case ReadingWay::byteByByte:
        return input.direct ? ReadingWay::alignedReads : ReadingWay::recordsOneByOne;
    default:
        return ReadingWay::none;
    }
}

std::unique_ptr<InputReader> makeReader(ReadingWay way, int fd, const InputTraits &input)
{
    switch (way) {
    case ReadingWay::none:
        return std::make_unique<EndedInput>();
    case ReadingWay::teeFromPipe:
#if SIMULATED_ERROR_HAVE_TEE
        return TeePipeReader::create(fd);
#else
        return nullptr;
#endif
    case ReadingWay::peekAtSocket:
        return std::make_unique<SocketPeekReader>(fd, input.lowWaterMarkSet);
    case ReadingWay::seekBack:
        return std::make_unique<SeekBackReader>(fd);
    case ReadingWay::alignedReads:
        return std::make_unique<AlignedFileReader>(fd);
    case ReadingWay::messagesSizedByPeek:
        return std::make_unique<MessageReader>(fd, input.socketType, MessageReader::Sizing::byPeek);
    case ReadingWay::messagesSizedByQueue:
        return std::make_unique<MessageReader>(fd, input.socketType, MessageReader::Sizing::byQueue);
    case ReadingWay::records:
        return std::make_unique<RecordReader>(fd, RecordReader::FirstRead::large);
    case ReadingWay::recordsOneByOne:
        return std::make_unique<RecordReader>(fd, RecordReader::FirstRead::smallest);
    case ReadingWay::packetModeSwitch:
        return std::make_unique<PacketModeSwitch>(fd);
    case ReadingWay::byteByByte:
        return std::make_unique<ByteReader>(fd);
    }
    return nullptr;
}

// The reader for the way, or for the way after it where it cannot be had
// (no private pipe for tee).
Reading readingFor(ReadingWay way, int fd, const InputTraits &input)
{
    for (;;) {
        if (std::unique_ptr<InputReader> reader = makeReader(way, fd, input))
            return {way, std::move(reader)};
        way = wayAfterRefusal(way, input);
    }
}

} // namespace

// The first row that fits the input chooses.
ReadingWay chooseReadingWay(const InputTraits &input)
{
    if (input.kind == Kind::notOpen || input.listening)
        return ReadingWay::none;
    if (input.kind == Kind::pipe)
        return haveTee ? ReadingWay::teeFromPipe : ReadingWay::byteByByte;
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
        return ReadingWay::packetModeSwitch;
    return ReadingWay::byteByByte; // terminals, and anything else
}

Reading chooseReading(int fd)
{
    const InputTraits input = probeInput(fd);
    return readingFor(chooseReadingWay(input), fd, input);
}

Reading readingAfterRefusal(int fd, ReadingWay refused)
{
    const InputTraits input = probeInput(fd);
    return readingFor(wayAfterRefusal(refused, input), fd, input);
}
