#include <gtest/gtest.h>

#include <string>

#include "FakePlatform.h"
#include "PATH.h"
#include "PathSplit.h"

namespace {

TEST(SplitPathTest, SplitsByTheRuntimeRules) {
    struct Case {
        const char* path;
        const char* drive;
        const char* dir;
        const char* name;
        const char* ext;
    };
    const Case cases[] = {
        {"C:\\Setup\\prog.exe", "C:", "\\Setup\\", "prog", ".exe"},
        {"\\\\server\\share\\dir\\prog.exe", "", "\\\\server\\share\\dir\\", "prog", ".exe"},
        {"C:\\a.b.exe", "C:", "\\", "a.b", ".exe"},
        {"C:\\a.b\\prog", "C:", "\\a.b\\", "prog", ""},
        {"/opt/kit/tavrel", "", "/opt/kit/", "tavrel", ""},
        {"C:prog.exe", "C:", "", "prog", ".exe"},
        {"prog", "", "", "prog", ""},
        {"", "", "", "", ""},
        {"C:\\dir\\.hidden", "C:", "\\dir\\", "", ".hidden"},
        {"C:\\dir/mixed\\x.", "C:", "\\dir/mixed\\", "x", "."},
    };
    for (const Case& c : cases) {
        const SplitPathParts parts = SplitPath(c.path, CodePage(CodePage::kWestern));
        EXPECT_EQ(parts.drive, c.drive) << c.path;
        EXPECT_EQ(parts.directory, c.dir) << c.path;
        EXPECT_EQ(parts.fileName, c.name) << c.path;
        EXPECT_EQ(parts.extension, c.ext) << c.path;
    }
}

TEST(SplitPathTest, ATrailByteIsNeverASeparatorOrADot) {
    // "\x95\x5C" is one Shift_JIS character whose second byte is a backslash;
    // "\x82\x2E" would be a lead byte and a dot, but 0x2E is no trail byte
    // in a path the system gives, so only the backslash case matters here.
    const std::string path = "C:\\\x95\x5C\\x\x95\x5C.exe";
    const SplitPathParts sjis = SplitPath(path, CodePage(CodePage::kShiftJis));
    EXPECT_EQ(sjis.directory, "\\\x95\x5C\\");
    EXPECT_EQ(sjis.fileName, "x\x95\x5C");
    EXPECT_EQ(sjis.extension, ".exe");
    // Read as 1252 the same bytes split at every 0x5C.
    const SplitPathParts western = SplitPath(path, CodePage(CodePage::kWestern));
    EXPECT_EQ(western.directory, "\\\x95\\\\x\x95\\");
    EXPECT_EQ(western.fileName, "");
}

TEST(SplitPathTest, NoPartIsCut) {
    const std::string dir = "C:\\" + std::string(300, 'd') + "\\";
    const std::string name(300, 'n');
    const SplitPathParts parts = SplitPath(dir + name + ".exe", CodePage(CodePage::kWestern));
    EXPECT_EQ(parts.directory, dir.substr(2));
    EXPECT_EQ(parts.fileName, name);
}

TEST(CPATHTest, FetchesAndSplitsTheProgramPath) {
    FakePlatform platform;
    platform.modulePath = "C:\\Setup\\prog.exe";
    CPATH path(platform);
    EXPECT_EQ(path.GetFullPath(), "C:\\Setup\\prog.exe");
    EXPECT_EQ(path.GetDrive() + path.GetDir(), "C:\\Setup\\");
    EXPECT_EQ(path.GetFileName(), "prog");
    EXPECT_EQ(path.GetExt(), ".exe");
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(path.GetVersion(), "v1.0.0.0 (2003/12/08)");
    EXPECT_EQ(path.GetVersion(), path.GetVersion());
}

TEST(CPATHTest, APathLongerThan512BytesIsReadWhole) {
    FakePlatform platform;
    const std::string dir = "C:\\" + std::string(600, 'k') + "\\sub dir.v2\\";
    platform.modulePath = dir + "Tavrel.exe";
    CPATH path(platform);
    EXPECT_EQ(path.GetFullPath().Str(), *platform.modulePath);
    EXPECT_EQ((path.GetDrive() + path.GetDir()).Str(), dir);
    EXPECT_EQ(path.GetFileName(), "Tavrel");
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST(CPATHTest, NoPathShowsTheErrorBoxAndLeavesEmptyParts) {
    FakePlatform platform;
    platform.modulePath.reset();
    CPATH path(platform);
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].text, "Error in CPATH::Run()");
    EXPECT_EQ(platform.messageBoxes[0].caption, "Error");
    EXPECT_EQ(platform.messageBoxes[0].type, MB_OK);
    EXPECT_EQ(path.GetDrive() + path.GetDir(), "");
    EXPECT_FALSE(path.Run());
}

}  // namespace
