// What the field throws at the program, run over the fake platform: model
// lists that are not what they should be, machines with very many or very
// large devices, and parameters full of characters a shell would act on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EnumNimoTVTuner.h"
#include "FakePlatform.h"

using namespace std::string_literals;

namespace {

const char kIni[] = "C:\\Kit\\Models.ini";

struct ListRun {
    std::vector<std::string> models;  // model names of the entries read, in key order
    int reports = 0;
};

ListRun ReadList(FakePlatform& platform) {
    CEnumNimoTVTuner tuner(platform);
    CModelList list;
    tuner.ReadModelList(list);
    ListRun run;
    list.ForEach([&](ModelInfo* m) { run.models.push_back(m->strModel.Str()); });
    list.DeleteAll();
    run.reports = static_cast<int>(platform.debugOutput.size());
    return run;
}

TEST(BadInputTest, ModelListsOfOddBytesAreReadByTheProfileRules) {
    std::string garbage;
    unsigned state = 11;
    for (int i = 0; i < 50000; ++i) {
        state = state * 1103515245u + 12345u;
        char c = static_cast<char>((state >> 16) & 0xFF);
        // One line of garbage, no NUL to end a value early, no header.
        garbage += (c == '\r' || c == '\n' || c == '[' || c == '\0') ? 'x' : c;
    }
    struct Case {
        const char* what;
        std::string text;
        std::vector<std::string> models;
    };
    const Case cases[] = {
        {"only CR line ends", "[Model_List]\r1=a,P1,a.exe\r2=b,P2,b.exe\r", {"A", "B"}},
        {"NUL bytes cut the value", "[Model_List]\n1=a,P\0b,c\n2=c,P,d\n"s, {"A", "C"}},
        {"garbage around the section",
         garbage + "\n[Model_List]\n1=good,P,g.exe\n" + garbage + "\n2=" + garbage + "\n",
         {"GOOD", "(the garbage, cut)"}},
        {"binary garbage only", garbage, {}},
        {"empty file", "", {}},
    };
    for (const Case& c : cases) {
        FakePlatform platform;
        platform.AddFile(kIni, c.text);
        const ListRun run = ReadList(platform);
        EXPECT_EQ(run.models.size(), c.models.size()) << c.what;
        EXPECT_EQ(run.reports, 50 - static_cast<int>(run.models.size())) << c.what;
        if (!run.models.empty()) {
            EXPECT_EQ(run.models[0], c.models[0]) << c.what;
        }
        for (const std::string& m : run.models) EXPECT_LE(m.size(), 254u) << c.what;
        EXPECT_TRUE(platform.launches.empty()) << c.what;
    }
}

TEST(BadInputTest, TenThousandDevicesWithAHugeIdListAreListedWholeAndMatched) {
    FakePlatform platform;
    platform.AddFile(kIni, "[Model_List]\n1=Last,VEN_3EC1&DEV_9999,Driver\\Setup.exe\n");
    for (int i = 0; i < 10000; ++i) {
        DeviceRecord d;
        d.hardwareIds = {"PCI\\VEN_1D9A&DEV_" + std::to_string(i)};
        d.instanceId = "PCI\\I\\" + std::to_string(i);
        platform.devices.push_back(d);
    }
    // The last device: a hardware-ID list of about 100 KB, a driver key of
    // 1,000 characters; its first ID is the one that matches.
    DeviceRecord& last = platform.devices.back();
    last.hardwareIds = {"pci\\ven_3ec1&dev_9999"};
    while (last.hardwareIds.size() < 4000)
        last.hardwareIds.push_back("PCI\\VEN_3EC1&DEV_9999&SUBSYS_" + std::string(4, 'A'));
    last.driver = "{class}\\" + std::string(1000 - 8, 'k');
    platform.registry["SYSTEM\\CurrentControlSet\\Control\\Class\\" + *last.driver] = {
        {"DriverDesc", "Far tuner"}};

    CEnumNimoTVTuner tuner(platform);
    EXPECT_TRUE(tuner.Execute("/S"));
    EXPECT_EQ(tuner.Devices().GetCount(), 10000);
    ASSERT_EQ(platform.launches.size(), 1u);
    EXPECT_EQ(platform.launches[0].file, "C:\\Kit\\Driver\\Setup.exe");
    int matched = 0;
    tuner.Matched().ForEach([&](ModelInfo* m) {
        ++matched;
        EXPECT_EQ(m->strModel, "FAR TUNER");
        EXPECT_EQ(m->strHardwareID, "PCI\\VEN_3EC1&DEV_9999");
    });
    EXPECT_EQ(matched, 1);
    EXPECT_EQ(platform.openKeys, 0);
    EXPECT_EQ(platform.openSets, 0);
}

TEST(BadInputTest, HugeParametersReachEveryInstallerUnchanged) {
    std::string parameters;
    const std::string piece = "\"a b\" \\\\\"q\\ $HOME;|&<>*?`id`(x) %PATH% 'it' \t";
    while (parameters.size() < 32 * 1024) parameters += piece;
    FakePlatform platform;
    platform.AddFile(kIni, "[Model_List]\n1=a,NO_SUCH_ID,a.exe\n2=b,NOR_THIS,b.exe\n");
    CEnumNimoTVTuner tuner(platform);
    tuner.Execute(CString(parameters));
    ASSERT_EQ(platform.launches.size(), 2u);
    for (const auto& launch : platform.launches) EXPECT_EQ(launch.parameters, parameters);
}

}  // namespace
