// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_READING_WAY_H
#define SIMULATED_ERROR_READING_WAY_H

// The ways of reading an input so that exactly the bytes taken leave it, on
// every system: each system's reading table (reading_table.h) says which one
// suits an input, which takes over where one is refused, and makes their
// readers. A system makes only the ways it has.
enum class ReadingWay {
    none, // nothing can come: the input ends at once
    peekIntoPipe, // look into a pipe without taking, then take the bytes used
    peekAtSocket, // the same on a stream socket
    seekBack, // read a file ahead, then move its position back
    alignedReads, // the same in the aligned blocks that direct I/O demands
    messagesSizedByPeek, // whole messages, each sized by a peek first
    messagesSizedByQueue, // whole messages, sized by what the socket holds
    messagesByteByByte, // a pipe of messages, read in part; empty ones skipped
    records, // whole records of a device: large reads
    recordsOneByOne, // as many records as a read has room for: smallest reads
    packetTerminal, // a pseudo-terminal's master side, in packet mode or not
    consoleText, // the text typed into a console, as Unicode
    byteByByte, // one byte at a time: takes as it looks, exact on anything
};

#endif
