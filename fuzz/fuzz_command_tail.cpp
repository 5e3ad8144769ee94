// The command-line tail over arbitrary text: always a suffix of the command
// line, never starting with a byte of value 1 to 32, and what it leaves out
// is a program name and the blanks after it.
#include <cstdint>
#include <cstring>
#include <string>

#include "CommandLine.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A command line is a C string: it ends at the first NUL.
    const std::string line(reinterpret_cast<const char*>(data),
                           strnlen(reinterpret_cast<const char*>(data), size));
    const char* tail = CommandLineTail(line.c_str());
    FUZZ_CHECK(tail >= line.c_str() && tail <= line.c_str() + line.size());
    const std::size_t skipped = static_cast<std::size_t>(tail - line.c_str());
    const unsigned char first = static_cast<unsigned char>(*tail);
    FUZZ_CHECK(first == 0 || first > 32);
    // Nothing of the tail was cut: it runs to the end of the line.
    FUZZ_CHECK(std::strlen(tail) == line.size() - skipped);
    if (!line.empty() && line[0] != '"') {
        // An unquoted name ends at the first blank or control byte.
        std::size_t name = 0;
        while (name < line.size() && static_cast<unsigned char>(line[name]) > 32) ++name;
        FUZZ_CHECK(skipped >= name);
        for (std::size_t i = name; i < skipped; ++i)
            FUZZ_CHECK(static_cast<unsigned char>(line[i]) <= 32);
    }
    return 0;
}
