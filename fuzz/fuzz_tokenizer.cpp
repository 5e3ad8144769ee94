// The tokenizer over arbitrary text and delimiter. The first byte picks the
// code page and the delimiter's length (0 to 3 bytes), which follow; the rest
// is the text. Driven as the program drives it, HasMoreTokens first, the
// tokens joined by the delimiter's first byte give the text back whenever
// any token came out, and the misuse message never shows.
#include <cstdint>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "FuzzCheck.h"
#include "Tokenizer.h"

namespace {

const unsigned kCodePages[] = {CodePage::kWestern, CodePage::kShiftJis, CodePage::kUtf8,
                               CodePage::kGbk};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t delimiterLength = data[0] & 3;
    if (size < 1 + delimiterLength) return 0;
    FakePlatform platform;
    platform.codePage = CodePage(kCodePages[(data[0] >> 2) & 3]);
    const char* bytes = reinterpret_cast<const char*>(data);
    // Text reaches the tokenizer as C strings: both end at a NUL byte.
    std::string delimiter(bytes + 1, delimiterLength);
    delimiter.resize(delimiter.find('\0') == std::string::npos ? delimiter.size()
                                                               : delimiter.find('\0'));
    std::string text(bytes + 1 + delimiterLength, size - 1 - delimiterLength);
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));

    CTokenizer tokenizer(platform, CString(text));
    tokenizer.SetDelimiter(CString(delimiter));
    std::vector<std::string> tokens;
    // Every token consumes a byte, so more than one token per byte plus the
    // last is a loop that does not end.
    while (tokenizer.HasMoreTokens()) {
        tokens.push_back(tokenizer.NextToken().Str());
        FUZZ_CHECK(tokens.size() <= text.size() + 1);
    }
    FUZZ_CHECK(platform.messageBoxes.empty());
    if (!delimiter.empty() && !tokens.empty()) {
        std::string joined = tokens[0];
        for (std::size_t i = 1; i < tokens.size(); ++i) joined += delimiter[0] + tokens[i];
        FUZZ_CHECK(joined == text);
    }
    if (tokens.empty()) FUZZ_CHECK(CString(text).Find(CString(delimiter), platform.codePage) == -1);
    return 0;
}
