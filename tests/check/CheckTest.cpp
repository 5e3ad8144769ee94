// The pieces of tavrel-check that the end-to-end runs cannot reach byte by
// byte: the device list format, the option rules, and the replay platform
// under the program's own selection run.
#include <gtest/gtest.h>

#include "CheckPlatform.h"
#include "DeviceListFile.h"
#include "DryRun.h"
#include "EnumNimoTVTuner.h"
#include "FakePlatform.h"
#include "Options.h"

TEST(DeviceListFile, EveryByteOfEveryFieldRoundTrips) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    DeviceListEntry entry;
    entry.device.instanceId = "#" + all;  // a leading '#' must not read as a comment
    entry.device.hardwareIds = {all, "PCI\\VEN_F00D&DEV_0001"};
    entry.device.friendlyName = "";  // empty, not absent
    entry.device.driver = "{0000}\\0001\t\n\r\\";
    entry.driverDesc = all;
    DeviceListEntry bare;  // nothing but an instance ID: no IDs, nothing present
    bare.device.instanceId = "ROOT\\NONE\\0000";

    const std::string text = FormatDeviceList({entry, bare});
    std::vector<DeviceListEntry> back;
    std::string error;
    ASSERT_TRUE(ParseDeviceList(text, back, error)) << error;
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].device.instanceId, entry.device.instanceId);
    EXPECT_EQ(back[0].device.hardwareIds, entry.device.hardwareIds);
    EXPECT_EQ(back[0].device.friendlyName, entry.device.friendlyName);
    EXPECT_EQ(back[0].device.driver, entry.device.driver);
    EXPECT_EQ(back[0].driverDesc, entry.driverDesc);
    EXPECT_FALSE(back[0].driverVersion.has_value());
    EXPECT_TRUE(back[1].device.hardwareIds.empty());
    EXPECT_FALSE(back[1].device.friendlyName.has_value());
    EXPECT_FALSE(back[1].device.driver.has_value());
    // One line per device, whatever the bytes.
    EXPECT_EQ(FormatDeviceList({entry, bare}), FormatDeviceList(back));
}

TEST(DeviceListFile, MalformedLinesAreRefusedWithTheirNumber) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"# c\nID\tdrv\tdesc\tver\n", "line 2: fewer than five fields"},
        {"ID\\q\tdrv\tdesc\tver\tname\n", "line 1: bad escape"},
        {"ID\\\tdrv\tdesc\tver\tname\n", "line 1: bad escape"},
        {"ID\\x00\tdrv\tdesc\tver\tname\n", "line 1: bad escape"},
        {"ID\\x4\tdrv\tdesc\tver\tname\n", "line 1: bad escape"},
        {"ID\t\\-\t\\-\t\\-\t\\-\tPCI\\\\X\t\n", "line 1: empty hardware ID"},
    };
    for (const Case& c : cases) {
        std::vector<DeviceListEntry> devices;
        std::string error;
        EXPECT_FALSE(ParseDeviceList(c.text, devices, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
    std::vector<DeviceListEntry> devices;
    std::string error;
    EXPECT_TRUE(ParseDeviceList("\r\n# only comments\r\n", devices, error));
    EXPECT_TRUE(devices.empty());
}

TEST(CheckOptions, AcceptsTheDocumentedForms) {
    CheckOptions options;
    std::string error;
    ASSERT_TRUE(
        ParseOptions({"--json", "kit", "--params", "", "--devices", "m.devices"}, options, error))
        << error;
    EXPECT_EQ(options.kitDir, "kit");
    EXPECT_EQ(options.params, "");
    EXPECT_EQ(options.devicesFile, "m.devices");
    EXPECT_TRUE(options.json);
    // A parameter text may itself look like an option.
    CheckOptions other;
    ASSERT_TRUE(ParseOptions({"--params", "--json /S"}, other, error));
    EXPECT_EQ(other.params, "--json /S");
    EXPECT_FALSE(other.json);
    EXPECT_EQ(other.kitDir, ".");
}

TEST(CheckOptions, RefusesUsageErrors) {
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},
        {"-x"},
        {"--params"},
        {"--devices"},
        {"--devices", ""},
        {"a", "b"},
        {"--devices", "x", "--save-devices", "y"},
        {"--save-devices", ""},
    };
    for (const auto& args : cases) {
        CheckOptions options;
        std::string error;
        EXPECT_FALSE(ParseOptions(args, options, error)) << args[0];
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

// The replay answers the program's inventory and registry calls from the
// list and leaves the host's device tree alone; launches are only recorded.
TEST(CheckPlatform, ReplaysAListUnderTheRealRun) {
    FakePlatform host;
    host.locateResult = CR_FAILURE;  // would be reported if it were asked
    host.devices = {{{"PCI\\VEN_BEEF&DEV_0001"}, std::nullopt, std::nullopt, "HOST\\0"}};
    host.files["C:\\Kit\\Models.ini"] =
        "[Model_List]\n1=Card,ven_f00d&dev_7a31,Setup.exe\n2=Other,VID_3EC1,Other.exe\n";
    CheckPlatform platform(host, "C:\\Kit\\Tavrel.exe");

    DeviceListEntry tuner;
    tuner.device = {{"PCI\\VEN_F00D&DEV_7A31&REV_01"}, "Tuner", "{cafe}\\0002", "PCI\\T\\1"};
    tuner.driverDesc = "Sample Tuner";
    tuner.driverVersion = "3.1";
    platform.Replay({tuner});

    const DryRun run = RunDry(platform, "C:\\Kit\\", "/S");
    ASSERT_EQ(run.devices.size(), 1u);
    EXPECT_EQ(run.devices[0].hardwareId, "PCI\\VEN_F00D&DEV_7A31&REV_01");
    EXPECT_EQ(run.devices[0].driverDesc, "Sample Tuner");
    EXPECT_EQ(run.devices[0].driverVersion, "3.1");
    EXPECT_EQ(run.devices[0].friendlyName, "Tuner");
    ASSERT_EQ(run.entries.size(), 2u);
    EXPECT_EQ(run.entries[0].key, "1");
    EXPECT_EQ(run.entries[0].pattern, "VEN_F00D&DEV_7A31");  // as read, not as matched
    EXPECT_EQ(run.entries[0].matchedDevice, 0);
    EXPECT_EQ(run.entries[1].key, "2");
    EXPECT_EQ(run.entries[1].matchedDevice, -1);
    ASSERT_EQ(run.launches.size(), 1u);
    EXPECT_EQ(run.launches[0].file, "C:\\Kit\\Setup.exe");
    EXPECT_EQ(run.launches[0].parameters, "/S");
    EXPECT_EQ(run.launches[0].showCommand, SW_HIDE);
    EXPECT_FALSE(run.fallback);
    // 48 missing keys, and no report of the host's failing locate.
    EXPECT_EQ(run.diagnostics.size(), 48u);
    EXPECT_TRUE(host.launches.empty());
    EXPECT_TRUE(host.sleeps.empty());
    EXPECT_TRUE(host.debugOutput.empty());
    EXPECT_EQ(host.openKeys, 0);
}

// Without a list every call but the launch, the pause and the debugger
// output reaches the host.
TEST(CheckPlatform, PassesTheMachineThrough) {
    FakePlatform host;
    host.locateResult = CR_FAILURE;
    host.devices = {{{"USB\\VID_1D9A&PID_0001"}, std::nullopt, std::nullopt, "USB\\1"}};
    host.files["/kit/Models.ini"] = "[Model_List]\n1=A,NOPE,a.sh\n";
    CheckPlatform platform(host, "/kit/tavrel");
    const DryRun run = RunDry(platform, "/kit/", "");
    ASSERT_EQ(run.devices.size(), 1u);
    EXPECT_EQ(run.devices[0].instanceId, "USB\\1");
    EXPECT_TRUE(run.fallback);
    ASSERT_EQ(run.launches.size(), 1u);
    EXPECT_EQ(run.launches[0].file, "/kit/a.sh");
    ASSERT_FALSE(run.diagnostics.empty());
    EXPECT_EQ(run.diagnostics[0].rfind("Error: Fail to Locate DeviceNode\n", 0), 0u);
    EXPECT_TRUE(host.launches.empty());
    EXPECT_TRUE(host.sleeps.empty());
    EXPECT_TRUE(host.debugOutput.empty());
}
