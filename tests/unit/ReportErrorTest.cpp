#include <gtest/gtest.h>

#include <string>

#include "EnumNimoTVTuner.h"
#include "FakePlatform.h"

namespace {

TEST(ReportErrorTest, WritesOneFourLineRecordWithTheThreadsLastError) {
    struct Case {
        DWORD lastError;
        unsigned line;
        const char* expected;
    };
    const Case cases[] = {
        {0, 12, "Error: Read ini fail\nLine:  12\nFile:  C:\\src\\x.cpp\nCode:   0"},
        {2, 4294967295u,
         "Error: Read ini fail\nLine:  4294967295\nFile:  C:\\src\\x.cpp\nCode:   2"},
        {0xE0000203u, 1,
         "Error: Read ini fail\nLine:  1\nFile:  C:\\src\\x.cpp\nCode:   3758096899"},
    };
    for (const Case& c : cases) {
        FakePlatform platform;
        CEnumNimoTVTuner tuner(platform);
        platform.SetLastError(c.lastError);
        tuner.ReportError("Read ini fail", c.line, "C:\\src\\x.cpp");
        ASSERT_EQ(platform.debugOutput.size(), 1u);
        EXPECT_EQ(platform.debugOutput[0], c.expected);
        EXPECT_TRUE(platform.messageBoxes.empty());
    }
}

TEST(ReportErrorTest, TakesTheLastErrorBeforeAnythingElse) {
    // A platform whose debug output itself changes the last error, as a real
    // one may: the record must still carry the code from before.
    struct ClobberingPlatform : FakePlatform {
        void OutputDebugStringA(LPCSTR text) override {
            SetLastError(999);
            FakePlatform::OutputDebugStringA(text);
        }
    } platform;
    CEnumNimoTVTuner tuner(platform);
    platform.SetLastError(5);
    tuner.ReportError("m", 1, "f");
    ASSERT_EQ(platform.debugOutput.size(), 1u);
    EXPECT_EQ(platform.debugOutput[0], "Error: m\nLine:  1\nFile:  f\nCode:   5");
}

TEST(ReportErrorTest, ConstructionFetchesThePathAndReportsNothing) {
    FakePlatform platform;
    platform.modulePath = "D:\\Drivers\\Kit\\Tavrel.exe";
    CEnumNimoTVTuner tuner(platform);
    EXPECT_EQ(tuner.Path().GetDrive() + tuner.Path().GetDir(), "D:\\Drivers\\Kit\\");
    EXPECT_TRUE(tuner.IniPath().IsEmpty());
    EXPECT_TRUE(tuner.Devices().IsEmpty());
    EXPECT_TRUE(tuner.Matched().IsEmpty());
    EXPECT_TRUE(platform.debugOutput.empty());
}

}  // namespace
