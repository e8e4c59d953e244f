// Starts a program with exactly the argument vector a test asks for, which
// QProcess cannot do: a chosen program name, raw bytes, or no elements at all.
//
//   exec_as PROGRAM ELEMENT...        argument vector ELEMENT...
//   exec_as PROGRAM --hex HEX...      the same, each element written in hex
//   exec_as PROGRAM --empty           an empty argument vector

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

std::string fromHex(const char *hex)
{
    std::string bytes;
    for (std::size_t i = 0; hex[i] && hex[i + 1]; i += 2)
        bytes += char(std::stoi(std::string(hex + i, 2), nullptr, 16));
    return bytes;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fputs("usage: exec_as PROGRAM (--empty | [--hex] ELEMENT...)\n", stderr);
        return 2;
    }
    const char *program = argv[1];
    const bool hex = std::strcmp(argv[2], "--hex") == 0;
    const bool empty = std::strcmp(argv[2], "--empty") == 0;

    std::vector<std::string> elements;
    for (int i = (hex || empty) ? 3 : 2; i < argc; ++i)
        elements.push_back(hex ? fromHex(argv[i]) : std::string(argv[i]));
    std::vector<char *> vector;
    for (std::string &element : elements)
        vector.push_back(element.data());
    vector.push_back(nullptr);

    ::execv(program, vector.data());
    std::perror("exec_as: execv");
    return 127;
}
