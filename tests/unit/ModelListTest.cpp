#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "EnumNimoTVTuner.h"
#include "FakePlatform.h"

namespace {

const char kIni[] = "C:\\Kit\\Models.ini";

struct Entry {
    std::string model, hardwareId, instanceId, installer;
    bool operator==(const Entry& o) const {
        return model == o.model && hardwareId == o.hardwareId && instanceId == o.instanceId &&
               installer == o.installer;
    }
};

std::ostream& operator<<(std::ostream& os, const Entry& e) {
    return os << "{" << e.model << "|" << e.hardwareId << "|" << e.instanceId << "|" << e.installer
              << "}";
}

class ModelListTest : public ::testing::Test {
protected:
    ModelListTest() { platform.modulePath = "C:\\Kit\\Tavrel.exe"; }

    std::vector<Entry> Read(const std::string& contents) {
        platform.AddFile(kIni, contents);
        return Read();
    }
    std::vector<Entry> Read() {
        CEnumNimoTVTuner tuner(platform);
        CModelList list;
        tuner.ReadModelList(list);
        EXPECT_EQ(tuner.IniPath(), kIni);
        std::vector<Entry> entries;
        list.ForEach([&](ModelInfo* m) {
            entries.push_back({m->strModel.Str(), m->strHardwareID.Str(), m->strInstanceID.Str(),
                               m->strInstaller.Str()});
        });
        list.DeleteAll();
        return entries;
    }
    int Reports() const { return static_cast<int>(platform.debugOutput.size()); }

    FakePlatform platform;
};

TEST_F(ModelListTest, ReadsKeysOneToThreeAndReportsEveryOtherKey) {
    const auto entries = Read(
        "[Model_List]\r\n"
        "1=Tuner One,ven_1d9a&dev_0001,Driver\\Setup.exe\r\n"
        "2=two,USB\\VID_F00D&PID_0002,setup2.exe\r\n"
        "3=Three,3EC1,Three\\Sub Dir\\Install.EXE\r\n");
    const std::vector<Entry> expected = {
        {"TUNER ONE", "VEN_1D9A&DEV_0001", "", "C:\\Kit\\Driver\\Setup.exe"},
        {"TWO", "USB\\VID_F00D&PID_0002", "", "C:\\Kit\\setup2.exe"},
        {"THREE", "3EC1", "", "C:\\Kit\\Three\\Sub Dir\\Install.EXE"},
    };
    EXPECT_EQ(entries, expected);
    ASSERT_EQ(Reports(), 47);
    // Every report is one well-formed record naming this source file.
    const std::regex record(
        "Error: Read ini fail\nLine:  [0-9]+\nFile:  .*EnumNimoTVTuner\\.cpp\nCode:   0");
    for (const std::string& r : platform.debugOutput) EXPECT_TRUE(std::regex_match(r, record)) << r;
}

TEST_F(ModelListTest, FieldsFollowTheTokenRules) {
    const auto entries = Read(
        "[Model_List]\n"
        "1=\n"                       // empty value: a record with empty fields
        "2=NoCommaAtAll\n"           // no delimiter: no token at all
        "3=a,b\n"                    // two fields: no installer
        "4=a,b,\n"                   // trailing comma: the bare prefix
        "5=a,b,c,\n"                 // a fourth, empty token is dropped
        "6=m x, p q ,i n.exe,extra\n"  // blanks inside fields are kept
        "7=,,\n");
    const std::vector<Entry> expected = {
        {"", "", "", ""},
        {"", "", "", ""},
        {"A", "B", "", ""},
        {"A", "B", "", "C:\\Kit\\"},
        {"A", "B", "", "C:\\Kit\\c"},
        {"M X", " P Q ", "", "C:\\Kit\\i n.exe"},
        {"", "", "", "C:\\Kit\\"},
    };
    EXPECT_EQ(entries, expected);
    EXPECT_EQ(Reports(), 43);
}

TEST_F(ModelListTest, OnlyKeysOneToFiftyWrittenPlainlyAreRead) {
    std::string ini = "[Model_List]\n0=zero,Z,z\n51=fifty-one,Z,z\n01=lead,Z,z\n+2=sign,Z,z\n";
    for (int i = 3; i <= 60; ++i) ini += std::to_string(i) + "=m" + std::to_string(i) + ",p,f\n";
    const auto entries = Read(ini);
    ASSERT_EQ(entries.size(), 48u);
    EXPECT_EQ(entries.front().model, "M3");
    EXPECT_EQ(entries.back().model, "M50");
    EXPECT_EQ(Reports(), 2);  // keys 1 and 2
}

TEST_F(ModelListTest, AValueOfExactlyErrorCountsAsMissing) {
    const auto entries = Read("[Model_List]\n1=ERROR\n2=error,x,y\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].model, "ERROR");
    EXPECT_EQ(Reports(), 49);
}

TEST_F(ModelListTest, AValueIsCutAt254Bytes) {
    const std::string installer(400, 'i');
    const auto entries = Read("[Model_List]\n1=M,P," + installer + "\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].installer, "C:\\Kit\\" + installer.substr(0, 254 - 4));
}

TEST_F(ModelListTest, NoFileGivesFiftyReportsWithFileNotFound) {
    const auto entries = Read();
    EXPECT_TRUE(entries.empty());
    ASSERT_EQ(Reports(), 50);
    for (const std::string& r : platform.debugOutput) {
        EXPECT_EQ(r.substr(r.rfind('\n') + 1), "Code:   2");
    }
}

TEST_F(ModelListTest, UpperCasesByTheSystemCodePage) {
    platform.codePage = CodePage(CodePage::kShiftJis);
    // 0x82 0x61 is one character: its trail byte must not become 0x41.
    const auto entries = Read("[Model_List]\n1=a\x82\x61,b\x82\x61,\x82\x61.exe\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].model, "A\x82\x61");
    EXPECT_EQ(entries[0].hardwareId, "B\x82\x61");
    EXPECT_EQ(entries[0].installer, "C:\\Kit\\\x82\x61.exe");
}

}  // namespace
