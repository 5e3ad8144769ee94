// The path splitter over arbitrary bytes in the code pages that matter: the
// parts concatenate back to the input, and neither the end of the directory
// nor the dot of the extension is ever the trail byte of a double-byte
// character.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "PathSplit.h"

namespace {

void Check(std::string_view path, const CodePage& cp) {
    const SplitPathParts parts = SplitPath(path, cp);
    FUZZ_CHECK(parts.drive + parts.directory + parts.fileName + parts.extension == path);
    FUZZ_CHECK(parts.drive.empty() || parts.drive.size() == 2);

    // Which bytes start a character, walking from where the drive ends as
    // the splitter does.
    std::vector<bool> starts(path.size() + 1, false);
    for (std::size_t i = parts.drive.size(); i < path.size();) {
        starts[i] = true;
        i += cp.CharLength(path.data() + i, path.size() - i);
    }
    starts[path.size()] = true;
    if (!parts.directory.empty()) {
        const std::size_t last = parts.drive.size() + parts.directory.size() - 1;
        FUZZ_CHECK(starts[last]);
        FUZZ_CHECK(path[last] == '\\' || path[last] == '/');
    }
    if (!parts.extension.empty()) {
        const std::size_t dot = path.size() - parts.extension.size();
        FUZZ_CHECK(starts[dot]);
        FUZZ_CHECK(path[dot] == '.');
    }
    // No separator is left in the file part: the directory took the last.
    const std::string file = parts.fileName + parts.extension;
    const std::size_t fileStart = path.size() - file.size();
    for (std::size_t i = fileStart; i < path.size(); ++i) {
        if (starts[i] && cp.CharLength(path.data() + i, path.size() - i) == 1)
            FUZZ_CHECK(path[i] != '\\' && path[i] != '/');
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view path(reinterpret_cast<const char*>(data), size);
    static const CodePage western(CodePage::kWestern), utf8(CodePage::kUtf8),
        shiftJis(CodePage::kShiftJis);
    Check(path, western);
    Check(path, utf8);
    Check(path, shiftJis);
    return 0;
}
