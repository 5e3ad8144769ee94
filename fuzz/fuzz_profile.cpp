// The profile reader over arbitrary file contents. The first bytes choose
// the lookup: flags, buffer size, then a section and a key name, each ending
// at a NUL byte; what follows is the file.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "ProfileReader.h"

namespace {

std::string TakeName(std::string_view& rest) {
    const std::size_t end = rest.find('\0');
    std::string name(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const unsigned flags = data[0];
    // Sizes up to 1024 reach every cut; the 254-byte buffer of the model
    // list lies well inside.
    const DWORD bufferSize = static_cast<DWORD>((data[1] | (data[2] << 8)) % 1025);
    std::string_view rest(reinterpret_cast<const char*>(data) + 3, size - 3);
    const std::string section = TakeName(rest);
    const std::string key = TakeName(rest);
    const std::string defaultValue = (flags & 4) ? "ERROR" : "";
    const std::string_view text = rest;

    ParseProfile(text);

    // Exactly the buffer the caller offers, so that a byte written past it
    // is an overflow the address sanitizer reports.
    std::unique_ptr<char[]> out(new char[bufferSize == 0 ? 1 : bufferSize]);
    const bool listSections = flags & 1;
    const bool listKeys = !listSections && (flags & 2);
    const DWORD got = ReadProfileString(text, listSections ? nullptr : section.c_str(),
                                        listSections || listKeys ? nullptr : key.c_str(),
                                        (flags & 8) ? nullptr : defaultValue.c_str(),
                                        bufferSize == 0 ? nullptr : out.get(), bufferSize);
    if (bufferSize == 0) {
        FUZZ_CHECK(got == 0);
        return 0;
    }
    FUZZ_CHECK(got < bufferSize);
    FUZZ_CHECK(out[got] == '\0');
    if (!listSections && !listKeys) {
        // One value: terminated where the count says, no NUL inside.
        FUZZ_CHECK(std::strlen(out.get()) == got);
    }

    const DWORD failed = ProfileOpenFailed(listSections ? nullptr : section.c_str(),
                                           defaultValue.c_str(), out.get(), bufferSize);
    FUZZ_CHECK(failed < bufferSize);
    return 0;
}
