// Re-enumeration and the device list, against the fake platform.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EnumNimoTVTuner.h"
#include "FakePlatform.h"

namespace {

const std::string kClassKey = "SYSTEM\\CurrentControlSet\\Control\\class\\";

DeviceRecord Device(std::vector<std::string> ids, std::string instance,
                    std::optional<std::string> friendly = std::nullopt,
                    std::optional<std::string> driver = std::nullopt) {
    DeviceRecord d;
    d.hardwareIds = std::move(ids);
    d.instanceId = std::move(instance);
    d.friendlyName = std::move(friendly);
    d.driver = std::move(driver);
    return d;
}

std::vector<const DeviceInfo*> Listed(const CEnumNimoTVTuner& tuner) {
    std::vector<const DeviceInfo*> list;
    tuner.Devices().ForEach([&](DeviceInfo* d) { list.push_back(d); });
    return list;
}

class InventoryTest : public ::testing::Test {
  protected:
    FakePlatform platform;
};

TEST_F(InventoryTest, RecordsEveryFieldOfEachDeviceInOrder) {
    const std::string key = "{6bdd1fc6-810f-11d0-bec7-08002be2092f}\\0001";
    platform.devices = {
        Device({"PCI\\VEN_f00d&DEV_7a31&SUBSYS_00013EC1&REV_0A", "PCI\\VEN_F00D&DEV_7A31"},
               "PCI\\VEN_F00D&DEV_7A31&SUBSYS_00013EC1\\4&1A2B&0&00E0", "Test capture A", key),
        Device({"USB\\VID_1D9A&PID_0102&REV_0100"}, "USB\\VID_1D9A&PID_0102\\SN01"),
    };
    platform.registry[kClassKey + key] = {{"DriverDesc", "Test capture driver"},
                                          {"DriverVersion", "5.1.2.3"}};
    CEnumNimoTVTuner tuner(platform);
    EXPECT_EQ(tuner.EnumerateDevices(), 1);

    const auto list = Listed(tuner);
    ASSERT_EQ(list.size(), 2u);
    // The first ID only, in the case the system gave it.
    EXPECT_EQ(list[0]->strHardwareID, "PCI\\VEN_f00d&DEV_7a31&SUBSYS_00013EC1&REV_0A");
    EXPECT_EQ(list[0]->strFriendlyName, "Test capture A");
    EXPECT_EQ(list[0]->strDriverKey, key.c_str());
    EXPECT_EQ(list[0]->strDriverDesc, "Test capture driver");
    EXPECT_EQ(list[0]->strDriverVersion, "5.1.2.3");
    EXPECT_EQ(list[0]->strInstanceID, "PCI\\VEN_F00D&DEV_7A31&SUBSYS_00013EC1\\4&1A2B&0&00E0");
    EXPECT_EQ(list[1]->strHardwareID, "USB\\VID_1D9A&PID_0102&REV_0100");
    EXPECT_EQ(list[1]->strInstanceID, "USB\\VID_1D9A&PID_0102\\SN01");
    EXPECT_TRUE(list[1]->strFriendlyName.IsEmpty());

    // The one-second pause, and each value read through a key of its own,
    // opened for reading only.
    EXPECT_EQ(platform.sleeps, std::vector<DWORD>{1000});
    ASSERT_EQ(platform.registryOpens.size(), 2u);
    for (const auto& open : platform.registryOpens) {
        EXPECT_EQ(open.subKey, kClassKey + key);
        EXPECT_EQ(open.access, KEY_QUERY_VALUE);
    }
    EXPECT_EQ(platform.openKeys, 0);
    EXPECT_EQ(platform.openSets, 0);
    EXPECT_TRUE(platform.debugOutput.empty());
}

TEST_F(InventoryTest, DeviceWithoutHardwareIdIsSkippedAndTheNextKept) {
    platform.devices = {
        Device({}, "ROOT\\LEGACY\\0000", "Legacy thing", "{guid}\\0000"),
        Device({"PCI\\VEN_3EC1&DEV_0001"}, "PCI\\VEN_3EC1&DEV_0001\\1"),
        Device({}, "ROOT\\LEGACY\\0001"),
    };
    CEnumNimoTVTuner tuner(platform);
    EXPECT_EQ(tuner.EnumerateDevices(), 1);
    const auto list = Listed(tuner);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->strHardwareID, "PCI\\VEN_3EC1&DEV_0001");
    EXPECT_TRUE(platform.registryOpens.empty()) << "a skipped device reads nothing more";
    EXPECT_TRUE(platform.debugOutput.empty());
}

TEST_F(InventoryTest, DeviceWithoutDriverKeyMakesNoRegistryCall) {
    platform.devices = {Device({"USB\\VID_F00D&PID_0001"}, "USB\\VID_F00D&PID_0001\\1", "Dongle")};
    // A key that the empty driver key would name, were it read anyway.
    platform.registry[kClassKey] = {{"DriverDesc", "wrong"}, {"DriverVersion", "wrong"}};
    CEnumNimoTVTuner tuner(platform);
    EXPECT_EQ(tuner.EnumerateDevices(), 1);
    const auto list = Listed(tuner);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->strFriendlyName, "Dongle");
    EXPECT_TRUE(list[0]->strDriverKey.IsEmpty());
    EXPECT_TRUE(list[0]->strDriverDesc.IsEmpty());
    EXPECT_TRUE(list[0]->strDriverVersion.IsEmpty());
    EXPECT_TRUE(platform.registryOpens.empty());
}

TEST_F(InventoryTest, RegistryFailuresLeaveFieldsEmptyWithoutReport) {
    struct Case {
        const char* what;
        bool keyExists;
        memsetup::RegistryValues values;
        const char* desc;
        const char* version;
    };
    const std::string tooLong(259, 'v');  // with its terminator one byte over the 259 offered
    const std::string longest(258, 'v');
    const Case cases[] = {
        {"no key", false, {}, "", ""},
        {"no values", true, {}, "", ""},
        {"description only", true, {{"DriverDesc", "Only desc"}}, "Only desc", ""},
        {"version only", true, {{"DriverVersion", "1.0"}}, "", "1.0"},
        {"value larger than offered", true, {{"DriverDesc", tooLong}}, "", ""},
        {"largest value offered", true, {{"DriverDesc", longest}}, longest.c_str(), ""},
    };
    for (const Case& c : cases) {
        FakePlatform fake;
        fake.devices = {Device({"PCI\\VEN_F00D&DEV_0002"}, "PCI\\X\\1", std::nullopt, "drv\\0000")};
        if (c.keyExists) fake.registry[kClassKey + "drv\\0000"] = c.values;
        CEnumNimoTVTuner tuner(fake);
        EXPECT_EQ(tuner.EnumerateDevices(), 1) << c.what;
        const auto list = Listed(tuner);
        ASSERT_EQ(list.size(), 1u) << c.what;
        EXPECT_EQ(list[0]->strDriverKey, "drv\\0000") << c.what;
        EXPECT_EQ(list[0]->strDriverDesc, c.desc) << c.what;
        EXPECT_EQ(list[0]->strDriverVersion, c.version) << c.what;
        EXPECT_EQ(list[0]->strInstanceID, "PCI\\X\\1") << c.what;
        EXPECT_TRUE(fake.debugOutput.empty()) << c.what;
        EXPECT_EQ(fake.registryOpens.size(), 2u) << c.what;
        EXPECT_EQ(fake.openKeys, 0) << c.what;
    }
}

TEST_F(InventoryTest, ReadOnlyAccessSucceedsWhereFullAccessWouldBeRefused) {
    // A system that refuses every right but reading, as Windows does for a
    // user without administrator rights.
    struct UserPlatform : FakePlatform {
        LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR subKey, DWORD options, REGSAM sam,
                              PHKEY result) override {
            if ((sam & ~(KEY_QUERY_VALUE | 0x00020000 /* READ_CONTROL */)) != 0) {
                registryOpens.push_back({subKey, sam});
                return ERROR_ACCESS_DENIED;
            }
            return FakePlatform::RegOpenKeyExA(hKey, subKey, options, sam, result);
        }
    } user;
    user.devices = {Device({"PCI\\VEN_F00D&DEV_0003"}, "PCI\\Y\\1", std::nullopt, "k\\0001")};
    user.registry[kClassKey + "k\\0001"] = {{"DriverDesc", "Desc"}, {"DriverVersion", "9.9"}};
    CEnumNimoTVTuner tuner(user);
    tuner.EnumerateDevices();
    const auto list = Listed(tuner);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->strDriverDesc, "Desc");
    EXPECT_EQ(list[0]->strDriverVersion, "9.9");
}

TEST_F(InventoryTest, NothingIsDroppedOrCutForItsSize) {
    // A hardware-ID list of 20,000 bytes, well over the first 8192-byte
    // buffer; its first ID alone longer than that buffer; a 300-character
    // driver key, which no fixed key-path buffer of 128 bytes would hold.
    std::vector<std::string> manyIds;
    std::string first = "PCI\\VEN_F00D&DEV_0004&" + std::string(9000, 'A');
    manyIds.push_back(first);
    std::size_t total = first.size() + 1;
    while (total < 20000) {
        manyIds.push_back("PCI\\VEN_F00D&DEV_0004&N" + std::to_string(total));
        total += manyIds.back().size() + 1;
    }
    const std::string longKey = "{guid}\\" + std::string(300 - 7, 'k');
    const std::string longName(10000, 'n');
    const std::string longInstance = "PCI\\" + std::string(12000, 'i');
    platform.devices = {
        Device(manyIds, longInstance, longName, longKey),
        Device({"PCI\\VEN_F00D&DEV_0005"}, "PCI\\Z\\2"),
    };
    platform.registry[kClassKey + longKey] = {{"DriverDesc", "Long key driver"},
                                              {"DriverVersion", "3.0"}};
    CEnumNimoTVTuner tuner(platform);
    EXPECT_EQ(tuner.EnumerateDevices(), 1);
    const auto list = Listed(tuner);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->strHardwareID.Str(), first);
    EXPECT_EQ(list[0]->strFriendlyName.Str(), longName);
    EXPECT_EQ(list[0]->strDriverKey.Str(), longKey);
    EXPECT_EQ(list[0]->strDriverDesc, "Long key driver");
    EXPECT_EQ(list[0]->strDriverVersion, "3.0");
    EXPECT_EQ(list[0]->strInstanceID.Str(), longInstance);
    ASSERT_FALSE(platform.registryOpens.empty());
    EXPECT_EQ(platform.registryOpens[0].subKey, kClassKey + longKey);
    // The grown buffer serves the next device as well.
    EXPECT_EQ(list[1]->strHardwareID, "PCI\\VEN_F00D&DEV_0005");
    EXPECT_EQ(list[1]->strInstanceID, "PCI\\Z\\2");
}

TEST_F(InventoryTest, EmptyMachineGivesOneAndAnEmptyList) {
    CEnumNimoTVTuner tuner(platform);
    EXPECT_EQ(tuner.EnumerateDevices(), 1);
    EXPECT_TRUE(tuner.Devices().IsEmpty());
    EXPECT_EQ(platform.openSets, 0);
}

TEST_F(InventoryTest, NoDeviceSetGivesMinusOneAndAnEmptyList) {
    platform.devices = {Device({"PCI\\VEN_F00D&DEV_0006"}, "PCI\\A\\1")};
    CEnumNimoTVTuner tuner(platform);
    ASSERT_EQ(tuner.EnumerateDevices(), 1);
    ASSERT_EQ(tuner.Devices().GetCount(), 1);

    // The earlier list goes even when no new one can be made.
    platform.noDeviceSet = true;
    EXPECT_EQ(tuner.EnumerateDevices(), -1);
    EXPECT_TRUE(tuner.Devices().IsEmpty());
    EXPECT_EQ(platform.sleeps, (std::vector<DWORD>{1000, 1000}));
    EXPECT_TRUE(platform.debugOutput.empty());
}

TEST_F(InventoryTest, SecondCallReplacesTheFirstList) {
    platform.devices = {Device({"PCI\\VEN_F00D&DEV_0007"}, "PCI\\B\\1"),
                        Device({"PCI\\VEN_F00D&DEV_0008"}, "PCI\\B\\2")};
    CEnumNimoTVTuner tuner(platform);
    tuner.EnumerateDevices();
    ASSERT_EQ(tuner.Devices().GetCount(), 2);
    platform.devices = {Device({"USB\\VID_1D9A&PID_0009"}, "USB\\B\\3")};
    tuner.EnumerateDevices();
    const auto list = Listed(tuner);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->strHardwareID, "USB\\VID_1D9A&PID_0009");
    EXPECT_EQ(platform.openSets, 0);
    // The records of the first list are freed; a leak checker (ASan's) sees
    // any that are not.
}

TEST_F(InventoryTest, ReenumeratesFromTheRoot) {
    struct Case {
        const char* what;
        CONFIGRET locate;
        DWORD locateError;
        CONFIGRET reenumerate;
        DWORD reenumerateError;
        std::vector<std::string> reports;
    };
    const Case cases[] = {
        {"both succeed", CR_SUCCESS, 0, CR_SUCCESS, 0, {}},
        {"locate fails", CR_FAILURE, 1167, CR_SUCCESS, 0, {"Fail to Locate DeviceNode"}},
        {"re-enumeration refused",
         CR_SUCCESS,
         0,
         CR_ACCESS_DENIED,
         5,
         {"Fail to Reenumerate DeviceNode"}},
    };
    for (const Case& c : cases) {
        FakePlatform fake;
        fake.locateResult = c.locate;
        fake.locateError = c.locateError;
        fake.reenumerateResult = c.reenumerate;
        fake.reenumerateError = c.reenumerateError;
        CEnumNimoTVTuner tuner(fake);
        EXPECT_EQ(tuner.Reenumerate(), TRUE) << c.what;
        ASSERT_EQ(fake.debugOutput.size(), c.reports.size()) << c.what;
        for (std::size_t i = 0; i < c.reports.size(); ++i) {
            const std::string& record = fake.debugOutput[i];
            const std::string code =
                std::to_string(c.locate != CR_SUCCESS ? c.locateError : c.reenumerateError);
            EXPECT_EQ(record.rfind("Error: " + c.reports[i] + "\nLine:  ", 0), 0u) << record;
            EXPECT_NE(record.find("\nFile:  "), std::string::npos) << record;
            EXPECT_NE(record.find("EnumNimoTVTuner.cpp"), std::string::npos) << record;
            const std::string tail = "\nCode:   " + code;
            EXPECT_EQ(record.substr(record.size() - tail.size()), tail) << record;
        }
        EXPECT_TRUE(fake.sleeps.empty()) << c.what << ": the pause belongs to the enumeration";
    }
}

TEST_F(InventoryTest, NoRequestAfterAFailedLocate) {
    // Without a node there is nothing to ask for: the request is not made,
    // so only the locate is reported.
    struct CountingPlatform : FakePlatform {
        int requests = 0;
        CONFIGRET CM_Reenumerate_DevNode(DEVINST node, ULONG flags) override {
            ++requests;
            return FakePlatform::CM_Reenumerate_DevNode(node, flags);
        }
    } fake;
    fake.locateResult = CR_NO_SUCH_DEVNODE;
    fake.reenumerateResult = CR_INVALID_DEVNODE;
    CEnumNimoTVTuner tuner(fake);
    tuner.Reenumerate();
    EXPECT_EQ(fake.requests, 0);
    ASSERT_EQ(fake.debugOutput.size(), 1u);
    EXPECT_EQ(fake.debugOutput[0].rfind("Error: Fail to Locate DeviceNode\n", 0), 0u);
}

}  // namespace
