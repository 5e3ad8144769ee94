#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EnumNimoTVTuner.h"
#include "FakePlatform.h"

namespace {

const char kIni[] = "C:\\Kit\\Models.ini";

DeviceRecord Device(std::string hardwareId, std::string instanceId, std::string driver = "") {
    DeviceRecord d;
    d.hardwareIds = {std::move(hardwareId), "GENERIC\\ID"};
    d.instanceId = std::move(instanceId);
    if (!driver.empty()) d.driver = std::move(driver);
    return d;
}

struct Scenario {
    const char* name;
    std::string ini;  // empty: no Models.ini
    std::vector<DeviceRecord> devices;
    bool noDeviceSet;
    std::vector<std::string> launched;  // installer files, in order, after "C:\Kit\"
};

std::vector<Scenario> Scenarios() {
    const std::vector<DeviceRecord> machine = {
        Device("PCI\\VEN_0ABD&DEV_1234&SUBSYS_00000000&REV_01", "PCI\\A\\1"),
        Device("pci\\ven_1d9a&dev_7a01&subsys_00011d9a&rev_02", "PCI\\B\\2"),
        Device("USB\\VID_F00D&PID_0042&REV_0100", "USB\\C\\3"),
        Device("PCI\\VEN_1D9A&DEV_7A01&SUBSYS_00021D9A&REV_03", "PCI\\D\\4"),
    };
    return {
        {"pattern in the middle of an ID", "[Model_List]\n1=a,DEV_7A01&SUBSYS,a.exe\n", machine,
         false, {"a.exe"}},
        {"lower case in the file", "[Model_List]\n1=a,vid_f00d&pid_0042,a.exe\n", machine, false,
         {"a.exe"}},
        {"two entries with one pattern", "[Model_List]\n1=a,VID_F00D,a.exe\n2=b,VID_F00D,b.exe\n",
         machine, false, {"a.exe", "b.exe"}},
        {"launches follow key order",
         "[Model_List]\n3=c,VID_F00D,c.exe\n1=a,VEN_0ABD,a.exe\n2=b,NOTHERE,b.exe\n", machine, false,
         {"a.exe", "c.exe"}},
        {"an entry launches once for several devices", "[Model_List]\n1=a,VEN_1D9A,a.exe\n", machine,
         false, {"a.exe"}},
        {"an empty pattern matches and suppresses the fallback",
         "[Model_List]\n1=a,NOTHERE,a.exe\n2=\n", machine, false, {""}},
        {"no match launches every installer in key order",
         "[Model_List]\n2=b,NOPE,b.exe\n1=a,NADA,a.exe\n5=e,QQ\n", machine, false, {"a.exe", "b.exe", ""}},
        {"no device information set falls back", "[Model_List]\n1=a,VEN_1D9A,a.exe\n", machine, true,
         {"a.exe"}},
        {"no devices falls back", "[Model_List]\n1=a,VEN_1D9A,a.exe\n", {}, false, {"a.exe"}},
        {"no model list launches nothing", "", machine, false, {}},
        {"only the first hardware ID is looked at", "[Model_List]\n1=a,GENERIC,a.exe\n2=b,ZZZ,b.exe\n",
         machine, false, {"a.exe", "b.exe"}},
    };
}

std::string Installer(const std::string& file) { return file.empty() ? "" : "C:\\Kit\\" + file; }

TEST(SelectionTest, MatchesAndLaunchesByTheRules) {
    for (const Scenario& s : Scenarios()) {
        FakePlatform platform;
        platform.modulePath = "C:\\Kit\\Tavrel.exe";
        if (!s.ini.empty()) platform.AddFile(kIni, s.ini);
        platform.devices = s.devices;
        platform.noDeviceSet = s.noDeviceSet;
        CEnumNimoTVTuner tuner(platform);
        EXPECT_TRUE(tuner.Execute("/S")) << s.name;
        std::vector<std::string> launched;
        for (const auto& call : platform.launches) {
            launched.push_back(call.file);
            EXPECT_FALSE(call.hasOwner) << s.name;
            EXPECT_EQ(call.operation, "open") << s.name;
            EXPECT_EQ(call.parameters, "/S") << s.name;
            EXPECT_FALSE(call.hasDirectory) << s.name;
            EXPECT_EQ(call.show, SW_HIDE) << s.name;
        }
        std::vector<std::string> expected;
        for (const std::string& file : s.launched) expected.push_back(Installer(file));
        EXPECT_EQ(launched, expected) << s.name;
    }
}

TEST(SelectionTest, TheMatchedEntryDescribesTheDevice) {
    FakePlatform platform;
    platform.modulePath = "C:\\Kit\\Tavrel.exe";
    platform.AddFile(kIni, "[Model_List]\n1=Tuner,ven_1d9a,a.exe\n2=Other,NOPE,b.exe\n");
    platform.devices = {Device("PCI\\VEN_0ABD&DEV_0001", "PCI\\X\\0", "{c1}\\0000"),
                        Device("pci\\ven_1d9a&dev_7a01", "PCI\\VEN_1D9A&DEV_7A01\\3&11&0", "{c2}\\0001")};
    platform.registry["SYSTEM\\CurrentControlSet\\Control\\class\\{c2}\\0001"] = {
        {"DriverDesc", "Made-up tuner driver"}, {"DriverVersion", "2.1.0.7"}};
    CEnumNimoTVTuner tuner(platform);
    tuner.Execute("");

    ASSERT_EQ(tuner.Matched().GetCount(), 1);
    POSITION pos = tuner.Matched().GetHeadPosition();
    const ModelInfo* matched = tuner.Matched().GetNext(pos);
    EXPECT_EQ(matched->strModel, "MADE-UP TUNER DRIVER");
    EXPECT_EQ(matched->strHardwareID, "PCI\\VEN_1D9A&DEV_7A01");
    EXPECT_EQ(matched->strInstanceID, "PCI\\VEN_1D9A&DEV_7A01\\3&11&0");
    EXPECT_EQ(matched->strInstaller, "C:\\Kit\\a.exe");
    // The matched entry is one of the run's own entries, kept in key order.
    ASSERT_EQ(tuner.Models().GetCount(), 2);
    POSITION first = tuner.Models().GetHeadPosition();
    EXPECT_EQ(tuner.Models().GetNext(first), matched);
    ASSERT_EQ(platform.launches.size(), 1u);
    EXPECT_EQ(platform.launches[0].parameters, "");
}

TEST(SelectionTest, ParametersReachEveryLaunchUnchanged) {
    const std::string parameters = "  /q \"C:\\Program Files\\x\" a\tb $HOME;|*  ";
    FakePlatform platform;
    platform.modulePath = "C:\\Kit\\Tavrel.exe";
    platform.AddFile(kIni, "[Model_List]\n1=a,NOPE,a.exe\n2=b,NADA,b.exe\n");
    CEnumNimoTVTuner tuner(platform);
    tuner.Execute(parameters.c_str());
    ASSERT_EQ(platform.launches.size(), 2u);
    for (const auto& call : platform.launches) EXPECT_EQ(call.parameters, parameters);
}

TEST(SelectionTest, ARunFollowsItsStepsInOrder) {
    FakePlatform platform;
    platform.modulePath = "C:\\Kit\\Tavrel.exe";
    platform.AddFile(kIni, "[Model_List]\n1=a,VEN_1D9A,a.exe\n");
    platform.devices = {Device("PCI\\VEN_1D9A", "PCI\\1")};
    platform.locateResult = CR_FAILURE;
    platform.locateError = 1167;
    CEnumNimoTVTuner tuner(platform);
    tuner.Execute("");
    // The locate failure is reported first, then the 49 missing keys.
    ASSERT_EQ(platform.debugOutput.size(), 50u);
    EXPECT_EQ(platform.debugOutput[0].substr(0, 32), "Error: Fail to Locate DeviceNode");
    EXPECT_EQ(platform.debugOutput[0].substr(platform.debugOutput[0].rfind('\n') + 1),
              "Code:   1167");
    EXPECT_EQ(platform.sleeps, std::vector<DWORD>{1000});
    EXPECT_EQ(platform.profileReads, 50);
    EXPECT_EQ(platform.openSets, 0);
    EXPECT_EQ(platform.launches.size(), 1u);
}

TEST(SelectionTest, ASecondRunReplacesTheFirstOnesEntries) {
    FakePlatform platform;
    platform.modulePath = "C:\\Kit\\Tavrel.exe";
    platform.AddFile(kIni, "[Model_List]\n1=a,VEN_1D9A,a.exe\n2=b,VEN_1D9A,b.exe\n");
    platform.devices = {Device("PCI\\VEN_1D9A", "PCI\\1")};
    CEnumNimoTVTuner tuner(platform);
    tuner.Execute("");
    tuner.Execute("");
    EXPECT_EQ(tuner.Models().GetCount(), 2);
    EXPECT_EQ(tuner.Matched().GetCount(), 2);
    EXPECT_EQ(tuner.Devices().GetCount(), 1);
    EXPECT_EQ(platform.launches.size(), 4u);
}

TEST(SelectionTest, DevicesReachedByAModelAreUpperCased) {
    FakePlatform platform;
    platform.modulePath = "C:\\Kit\\Tavrel.exe";
    platform.AddFile(kIni, "[Model_List]\n1=a,ven_1d9a,a.exe\n");
    platform.devices = {Device("pci\\ven_1d9a", "1"), Device("pci\\ven_ffff", "2")};
    CEnumNimoTVTuner tuner(platform);
    tuner.Execute("");
    POSITION pos = tuner.Devices().GetHeadPosition();
    EXPECT_EQ(tuner.Devices().GetNext(pos)->strHardwareID, "PCI\\VEN_1D9A");
    // The search for the only entry ended at the first device.
    EXPECT_EQ(tuner.Devices().GetNext(pos)->strHardwareID, "pci\\ven_ffff");
}

}  // namespace
