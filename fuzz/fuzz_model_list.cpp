// ReadModelList over arbitrary model-list contents with the fake platform.
// The first byte picks the code page; the rest is the file. Every key from
// 1 to 50 gives either one entry or one report, no value is longer than the
// reader's buffer allows, and every installer lies in the program directory.
#include <cstdint>
#include <string>

#include "EnumNimoTVTuner.h"
#include "FakePlatform.h"
#include "FuzzCheck.h"

namespace {

const unsigned kCodePages[] = {CodePage::kWestern, CodePage::kShiftJis, CodePage::kUtf8,
                               CodePage::kKorean};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    FakePlatform platform;
    platform.codePage = CodePage(kCodePages[data[0] & 3]);
    platform.modulePath = std::string("C:\\Kit\\Tavrel.exe");
    platform.AddFile("C:\\Kit\\Models.ini",
                     std::string(reinterpret_cast<const char*>(data) + 1, size - 1));

    CEnumNimoTVTuner tuner(platform);
    CModelList list;
    tuner.ReadModelList(list);
    int entries = 0;
    list.ForEach([&](ModelInfo* model) {
        ++entries;
        FUZZ_CHECK(model != nullptr);
        FUZZ_CHECK(model->strModel.GetLength() <= 254);
        FUZZ_CHECK(model->strHardwareID.GetLength() <= 254);
        FUZZ_CHECK(model->strInstanceID.IsEmpty());
        FUZZ_CHECK(model->strInstaller.IsEmpty() ||
                   model->strInstaller.Str().rfind("C:\\Kit\\", 0) == 0);
        FUZZ_CHECK(model->strInstaller.GetLength() <= 254 + 7);
    });
    list.DeleteAll();
    FUZZ_CHECK(entries + static_cast<int>(platform.debugOutput.size()) == 50);
    FUZZ_CHECK(platform.profileReads == 50);
    FUZZ_CHECK(platform.messageBoxes.empty());
    return 0;
}
