#include "CommandLine.h"

#include <cstddef>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Bytes compared as unsigned: a name or a byte above 127 is never a blank.
unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

}  // namespace

// No code page is consulted: in every double-byte page we support, a trail
// byte is at least 0x40, so it can be neither the closing quote nor a byte of
// value 32 or less, and a byte-wise scan finds the same end of the name.
const char* CommandLineTail(const char* commandLine) {
    if (commandLine == nullptr) return "";
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') ++p;
        // A name without its closing quote takes the whole line.
        if (*p == '"') ++p;
    } else {
        while (Byte(*p) > ' ') ++p;
    }
    while (*p != '\0' && Byte(*p) <= ' ') ++p;
    return p;
}

// The rules of the C runtime since Visual C++ 2008 (the Universal CRT keeps
// them): blanks and tabs outside quotes end an argument; n backslashes not
// followed by a quote are n backslashes; 2n backslashes and a quote give n
// backslashes and the quote opens or closes a quoted region; 2n+1 backslashes
// and a quote give n backslashes and a literal quote; inside a quoted region
// two quotes give one literal quote and the region goes on. (The older
// runtimes, and CommandLineToArgvW, closed the region after such a pair.)
//
// The text is read byte by byte. The runtime of a double-byte code page may
// keep a trail byte 0x5C from acting as a backslash; we do not, so that the
// split stays the exact inverse of JoinCommandLine for any bytes at all.
// The text ends at its first NUL, as the runtime's C string does.
std::vector<std::string> SplitCommandLine(const std::string& parameters) {
    std::vector<std::string> arguments;
    const char* p = parameters.c_str();
    for (;;) {
        while (IsBlank(*p)) ++p;
        if (*p == '\0') break;

        std::string argument;
        bool inQuotes = false;
        for (;;) {
            std::size_t backslashes = 0;
            while (*p == '\\') {
                ++p;
                ++backslashes;
            }
            if (*p == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument += '"';
                } else if (inQuotes && p[1] == '"') {
                    argument += '"';
                    ++p;
                } else {
                    inQuotes = !inQuotes;
                }
                ++p;
                continue;
            }
            argument.append(backslashes, '\\');
            if (*p == '\0' || (!inQuotes && IsBlank(*p))) break;
            argument += *p;
            ++p;
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

// Each argument that is empty or holds a blank or a tab is quoted; a quote is
// always escaped with a backslash, which needs no quoted region, so the pair
// rule inside quotes never comes into play. Backslashes are doubled only
// where a quote follows them: before an escaped quote and before the closing
// quote. Arguments are C strings: a NUL cannot be passed and ends one.
std::string JoinCommandLine(const std::vector<std::string>& arguments) {
    std::size_t size = 0;
    for (const std::string& argument : arguments) size += 2 * argument.size() + 3;
    std::string text;
    text.reserve(size);

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (i > 0) text += ' ';
        bool quote = argument.empty() || argument.find_first_of(" \t") != std::string::npos;
        if (quote) text += '"';
        std::size_t backslashes = 0;
        for (char c : argument) {
            if (c == '\0') break;
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            if (c == '"') {
                text.append(2 * backslashes + 1, '\\');
            } else {
                text.append(backslashes, '\\');
            }
            backslashes = 0;
            text += c;
        }
        text.append(quote ? 2 * backslashes : backslashes, '\\');
        if (quote) text += '"';
    }
    return text;
}
