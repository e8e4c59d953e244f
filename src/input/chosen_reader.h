// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#ifndef SIMULATED_ERROR_CHOSEN_READER_H
#define SIMULATED_ERROR_CHOSEN_READER_H

#include "input_reader.h"
#include "reading_table.h"

// The chooser: reads an input the way that suits what it is, so that exactly
// the bytes a caller used leave it. The input is probed once, into its
// system's reading table; where the way chosen is refused before any byte has
// left the input, or cannot be had, the way the table names after it takes
// over. Its looks are never refused.
class ChosenReader final : public InputReader
{
public:
    explicit ChosenReader(int fd);

    qsizetype look(char *data, qsizetype size) override;
    void take(qsizetype count) override { m_reader->take(count); }

private:
    ReadingWay wayAfter(ReadingWay refused) const;
    void readWith(ReadingWay way);

    std::unique_ptr<ReadingTable> m_table;
    ReadingWay m_way = ReadingWay::none;
    std::unique_ptr<InputReader> m_reader;
};

#endif
