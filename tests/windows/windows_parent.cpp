// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Starts a Windows program with a Windows pipe (CreatePipe) as its standard
// input, as a Windows parent does, and this process's own standard output
// and error as its own. What this process reads on its standard input is
// written into the pipe as it arrives.
//
//   windows_parent [--then-rest] [--messages [--message-reads]] [--no-wait] PROGRAM [ARGUMENT]...
//
// With --then-rest, once the program has ended, the rest of the pipe (what
// the program left of the input) follows the program's output on standard
// output, as `{ PROGRAM; cat; }` gives it on one pipe. With --messages the
// pipe is a named pipe of messages: an empty message first, then each piece
// of input as it arrives, which its reading end reads as bytes (as a new
// client's end does) or, with --message-reads, as messages.
// With --no-wait the reading end is in non-blocking mode (PIPE_NOWAIT): a
// read of the empty pipe fails at once with ERROR_NO_DATA. Ends with the
// program's exit status.

#include <string>
#include <thread>

#include <windows.h>

namespace {

// An element of a command line, quoted so that CommandLineToArgvW and the C
// runtime give it back unchanged.
std::wstring quoted(const std::wstring &element)
{
    if (!element.empty() && element.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return element;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : element) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

// A pipe of messages, as its writing (server) and reading (client) ends,
// neither of them overlapped.
bool createMessagePipe(HANDLE *readEnd, HANDLE *writeEnd)
{
    const std::wstring name = L"\\\\.\\pipe\\windows_parent_" + std::to_wstring(::GetCurrentProcessId());
    *writeEnd = ::CreateNamedPipeW(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_MESSAGE | PIPE_WAIT, 1, 65536,
                                   65536, 0, nullptr);
    *readEnd = ::CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD written = 0;
    return *writeEnd != INVALID_HANDLE_VALUE && *readEnd != INVALID_HANDLE_VALUE
           && ::WriteFile(*writeEnd, "", 0, &written, nullptr);
}

// The reading end's modes.
bool setReadModes(HANDLE readEnd, bool messageReads, bool noWait)
{
    DWORD mode = (messageReads ? PIPE_READMODE_MESSAGE : PIPE_READMODE_BYTE) | (noWait ? PIPE_NOWAIT : PIPE_WAIT);
    return ::SetNamedPipeHandleState(readEnd, &mode, nullptr, nullptr);
}

bool writeAll(HANDLE to, const char *data, DWORD size)
{
    while (size > 0) {
        DWORD written = 0;
        if (!::WriteFile(to, data, size, &written, nullptr))
            return false;
        data += written;
        size -= written;
    }
    return true;
}

// Copies from one handle to the other until the input ends or the output
// fails. The feeder thread and the main thread relay at once, each with a
// buffer of its own.
void relay(HANDLE from, HANDLE to)
{
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(from, buffer, sizeof buffer, &got, nullptr) && got > 0 && writeAll(to, buffer, got)) {
    }
}

// Ends this process at once, whatever the feeder thread is doing (blocked in
// a read of an input that stays open, or ending by itself). Under Wine,
// ExitProcess ends the other threads, then this one, and only then runs the
// C library's exit in the Unix process, which waits for the dynamic loader's
// lock: the feeder, ended at the same moment, holds it while it loads the
// unwinder that ends a thread. Wine's server kills a process whose last
// thread ended half a second ago (SIGKILL), which a busy machine reaches,
// and the program's status is lost. TerminateProcess on this process ends
// it with _exit instead. Every write went straight to its handle: nothing is
// left to flush.
[[noreturn]] void endWith(DWORD status)
{
    ::TerminateProcess(::GetCurrentProcess(), status);
    ::ExitProcess(status);
}

// Ends this process with status 2, saying which step failed and why, so that
// a test can tell a failure of its own set-up from the program's.
[[noreturn]] void fail(const char *step)
{
    const DWORD error = ::GetLastError();
    char message[128];
    const int length = wsprintfA(message, "windows_parent: %s failed: error %lu\n", step, error);
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), message, DWORD(length), &written, nullptr);
    endWith(2);
}

HANDLE inheritable(HANDLE handle)
{
    HANDLE copy = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &copy, 0, TRUE,
                      DUPLICATE_SAME_ACCESS);
    return copy;
}

} // namespace

int wmain(int argc, wchar_t *argv[])
{
    int next = 1;
    const auto option = [&](const wchar_t *name) {
        const bool given = next < argc && std::wstring(argv[next]) == name;
        next += given;
        return given;
    };
    const bool thenRest = option(L"--then-rest");
    const bool messages = option(L"--messages");
    const bool messageReads = messages && option(L"--message-reads");
    const bool noWait = option(L"--no-wait");
    if (next >= argc)
        return 2;
    std::wstring commandLine;
    for (int i = next; i < argc; ++i)
        commandLine += (i > next ? L" " : L"") + quoted(argv[i]);

    // Only the reading end goes to the program: were the writing end
    // inherited too, the pipe would never end.
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (messages ? !createMessagePipe(&readEnd, &writeEnd) : !::CreatePipe(&readEnd, &writeEnd, nullptr, 0))
        fail("making the pipe");
    if ((messageReads || noWait) && !setReadModes(readEnd, messageReads, noWait))
        fail("setting the pipe's modes");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inheritable(readEnd);
    startup.hStdOutput = inheritable(::GetStdHandle(STD_OUTPUT_HANDLE));
    startup.hStdError = inheritable(::GetStdHandle(STD_ERROR_HANDLE));
    PROCESS_INFORMATION program{};
    if (!::CreateProcessW(argv[next], commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &program))
        fail("starting the program");
    ::CloseHandle(startup.hStdInput);

    std::thread([writeEnd] {
        relay(::GetStdHandle(STD_INPUT_HANDLE), writeEnd);
        ::CloseHandle(writeEnd);
    }).detach();
    ::WaitForSingleObject(program.hProcess, INFINITE);
    DWORD status = 0;
    if (!::GetExitCodeProcess(program.hProcess, &status))
        fail("asking the program's exit status");
    // The rest, as a next reader of the pipe takes it (waiting for it), until
    // this process's own input ends and the pipe with it.
    if (thenRest) {
        if (noWait)
            setReadModes(readEnd, messageReads, false);
        relay(readEnd, ::GetStdHandle(STD_OUTPUT_HANDLE));
    }
    endWith(status);
}
