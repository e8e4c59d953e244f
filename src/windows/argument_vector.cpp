// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

#include "argument_vector.h"

#include <windows.h>

#include <shellapi.h>

namespace {

std::string toUtf8(const wchar_t *text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(size_t(size > 0 ? size : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    return utf8;
}

} // namespace

// The command line is split as the C runtime splits it for main; its first
// element is the program as the caller wrote it.
ArgumentVector::ArgumentVector(int, char *[])
{
    int count = 0;
    wchar_t **elements = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 0; elements && i < count; ++i)
        m_converted.push_back(toUtf8(elements[i]));
    ::LocalFree(elements);
    for (const std::string &element : m_converted)
        m_elements.push_back(element.c_str());
}
