// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// The ways of reading each kind of descriptor on POSIX systems, best first,
// and their readers.

#include "input/reading_ways.h"

#include "aligned_file_reader.h"
#include "byte_reader.h"
#include "input/seek_back_reader.h"
#include "input_probe.h"
#include "message_reader.h"
#include "packet_terminal_reader.h"
#include "record_reader.h"
#include "socket_peek_reader.h"

#if SIMULATED_ERROR_HAVE_TEE
#include "tee_pipe_reader.h"
#endif

#include <sys/socket.h>

// Each named after the reader that takes it, and the reader's mode.
enum class ReadingWay : unsigned char {
    teePipe,
    socketPeek,
    socketPeekPastLowWaterMark,
    seekBack,
    alignedFile,
    messagesSizedByPeek,
    messagesSizedByQueue,
    recordsLargeFirst,
    recordsSmallestFirst,
    packetTerminalModeAsked,
    packetTerminalModeTold,
    byte,
};

namespace {

using Kind = InputTraits::Kind;
using Way = ReadingWay;

constexpr bool haveTee = SIMULATED_ERROR_HAVE_TEE;

bool deliversMessages(const InputTraits &input)
{
    return input.kind == Kind::socket && input.socketType != SOCK_STREAM && input.socketType != -1;
}

} // namespace

// The first row that fits the input chooses. A pipe or stream socket that
// cannot be looked into is read one byte at a time; messages are sized
// without a peek where a peek is refused; a read refused for its size is made
// in the form the input accepts: whole records (input that refuses a read of
// one byte brings records that a read may take several of). O_DIRECT demands
// aligned reads from the first.
ReadingWays readingWaysFor(int fd)
{
    const InputTraits input = probeInput(fd);
    if (input.kind == Kind::notOpen || input.listening)
        return {};
    if (input.kind == Kind::pipe)
        return haveTee ? ReadingWays{Way::teePipe, Way::byte, Way::recordsSmallestFirst}
                       : ReadingWays{Way::byte, Way::recordsSmallestFirst};
    if (input.kind == Kind::socket && input.socketType == SOCK_STREAM && !input.peekOffsetSet)
        return {input.lowWaterMarkSet ? Way::socketPeekPastLowWaterMark : Way::socketPeek, Way::byte,
                Way::recordsSmallestFirst};
    if (deliversMessages(input) && !input.peekOffsetSet)
        return {Way::messagesSizedByPeek, Way::messagesSizedByQueue};
    if (deliversMessages(input))
        return {Way::messagesSizedByQueue};
    if (input.seekable && input.direct)
        return {Way::alignedFile};
    if (input.seekable)
        return {Way::seekBack, Way::recordsLargeFirst};
    if (input.kind == Kind::characterDevice)
        return {Way::recordsLargeFirst}; // neither a terminal nor seekable
    if (input.terminalMaster)
        return {input.packetModeAskable ? Way::packetTerminalModeAsked : Way::packetTerminalModeTold,
                Way::recordsLargeFirst};
    // Terminals, a socket with a peek offset or no type told, and anything
    // else, such as a file that cannot be read ahead (which O_DIRECT, if set,
    // lets read in aligned blocks alone).
    return {Way::byte, input.direct ? Way::alignedFile : Way::recordsSmallestFirst};
}

std::unique_ptr<InputReader> makeReader(ReadingWay way, int fd)
{
    switch (way) {
    case Way::teePipe:
#if SIMULATED_ERROR_HAVE_TEE
        return TeePipeReader::create(fd);
#else
        return nullptr;
#endif
    case Way::socketPeek:
        return std::make_unique<SocketPeekReader>(fd, SocketPeekReader::Wait::inPeek);
    case Way::socketPeekPastLowWaterMark:
        return std::make_unique<SocketPeekReader>(fd, SocketPeekReader::Wait::pastLowWaterMark);
    case Way::seekBack:
        return std::make_unique<SeekBackReader>(fd);
    case Way::alignedFile:
        return std::make_unique<AlignedFileReader>(fd);
    case Way::messagesSizedByPeek:
        return std::make_unique<MessageReader>(fd, MessageReader::Sizing::byPeek);
    case Way::messagesSizedByQueue:
        return std::make_unique<MessageReader>(fd, MessageReader::Sizing::byQueue);
    case Way::recordsLargeFirst:
        return std::make_unique<RecordReader>(fd, RecordReader::FirstRead::large);
    case Way::recordsSmallestFirst:
        return std::make_unique<RecordReader>(fd, RecordReader::FirstRead::smallest);
    case Way::packetTerminalModeAsked:
        return std::make_unique<PacketTerminalReader>(fd, PacketTerminalReader::Mode::asked);
    case Way::packetTerminalModeTold:
        return std::make_unique<PacketTerminalReader>(fd, PacketTerminalReader::Mode::told);
    case Way::byte:
        return std::make_unique<ByteReader>(fd);
    }
    return nullptr;
}
