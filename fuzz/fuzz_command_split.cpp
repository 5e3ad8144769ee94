// The argument splitter and its inverse. Joining what a parameter text
// splits into and splitting again gives the same arguments; and for any
// vector of arguments (decoded from the input: NUL bytes separate them),
// joining then splitting is the identity.
#include <cstdint>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // A parameter text is a C string: up to the first NUL.
    const std::string text = bytes.substr(0, bytes.find('\0'));
    const std::vector<std::string> split = SplitCommandLine(text);
    FUZZ_CHECK(SplitCommandLine(JoinCommandLine(split)) == split);

    std::vector<std::string> arguments;
    if (!bytes.empty()) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = bytes.find('\0', start);
            arguments.push_back(bytes.substr(start, end - start));
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    const std::string joined = JoinCommandLine(arguments);
    FUZZ_CHECK(joined.find('\0') == std::string::npos);
    FUZZ_CHECK(SplitCommandLine(joined) == arguments);
    return 0;
}
