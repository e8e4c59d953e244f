// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// The argument vector from the wide command line, in UTF-8.

#include "argument_vector.h"

#include <string>

#include <windows.h>

// The C runtime's own split of the wide command line, which its narrow one
// follows for main, declared by no header of MinGW-w64's.
struct StartupInfo
{
    int newMode;
};
extern "C" int __wgetmainargs(int *argc, wchar_t ***argv, wchar_t ***environment, int expandWildcards,
                              StartupInfo *startupInfo);

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

// The command line is split as the C runtime splits it for main, without
// expanding wildcards; its first element is the program as the caller wrote
// it. The converted elements are kept for the rest of the run.
ArgumentVector::ArgumentVector(int, char *[])
{
    static std::vector<std::string> converted;
    int count = 0;
    wchar_t **elements = nullptr;
    wchar_t **environment = nullptr;
    StartupInfo startupInfo{};
    if (__wgetmainargs(&count, &elements, &environment, 0, &startupInfo) < 0)
        count = 0;
    converted.clear();
    for (int i = 0; i < count; ++i)
        converted.push_back(toUtf8(elements[i]));
    for (const std::string &element : converted)
        m_elements.push_back(element.c_str());
}
