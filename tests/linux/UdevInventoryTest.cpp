// The Linux inventory on a made-up sysfs (umockdev), and on this machine
// next to what lspci reports.
//
// The program re-runs itself under umockdev's preload unless it is already
// there, so every case can build its own tree with the testbed API. With
// --host it runs unwrapped, and only the cases that look at the real machine
// do anything.
//
// tests/fixtures/devices/tuner-machine.umockdev, listed out of sysfs order:
//   0000:00:1f.3  PCI, no driver, attributes only, revision only in config space
//   0000:00:02.0  PCI, driver tvcap (module tvcapmod, version 2.4.1), model name
//   0000:00:14.0  PCI, driver testhcd whose driver directory is missing
//   usb1, 1-2     USB devices with manufacturer and product strings
//   1-2:1.1       USB interface without a driver
//   1-2:1.0       USB interface, built-in driver tv-stick (version 0.9)
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "EnumNimoTVTuner.h"
#include "Platform.h"
// After our own headers: glib defines TRUE and FALSE as macros.
#include <umockdev.h>

namespace {

bool g_host = false;

struct Listed {
    std::vector<std::string> ids;
    std::string instance;
    std::string friendly;  // "-" when the device has none
    std::string driver;    // "-" likewise
};

// Every device of the host platform's set, through the SetupAPI calls alone.
std::vector<Listed> ListThroughSetupApi(Platform& p, const char* enumerator = nullptr) {
    std::vector<Listed> list;
    HDEVINFO set = p.SetupDiGetClassDevsExA(
        nullptr, enumerator, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES, nullptr, nullptr, nullptr);
    EXPECT_NE(set, INVALID_HANDLE_VALUE);
    if (set == INVALID_HANDLE_VALUE) return list;
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof(data);
    for (DWORD i = 0; p.SetupDiEnumDeviceInfo(set, i, &data); ++i) {
        Listed item;
        auto property = [&](DWORD which, DWORD expectedType) -> std::string {
            DWORD need = 0, type = 0;
            if (p.SetupDiGetDeviceRegistryPropertyA(set, &data, which, &type, nullptr, 0, &need) ||
                p.GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
                EXPECT_EQ(p.GetLastError(), ERROR_INVALID_DATA);
                return std::string();
            }
            std::string value(need, '\0');
            EXPECT_TRUE(p.SetupDiGetDeviceRegistryPropertyA(
                set, &data, which, &type, reinterpret_cast<BYTE*>(value.data()), need, &need));
            EXPECT_EQ(type, expectedType);
            return value;
        };
        const std::string multi = property(SPDRP_HARDWAREID, REG_MULTI_SZ);
        for (std::size_t at = 0; at < multi.size() && multi[at] != '\0';) {
            const std::size_t end = multi.find('\0', at);
            item.ids.push_back(multi.substr(at, end - at));
            at = end + 1;
        }
        const std::string friendly = property(SPDRP_FRIENDLYNAME, REG_SZ);
        item.friendly = friendly.empty() ? "-" : friendly.c_str();
        const std::string driver = property(SPDRP_DRIVER, REG_SZ);
        item.driver = driver.empty() ? "-" : driver.c_str();
        char instance[512];
        EXPECT_TRUE(p.SetupDiGetDeviceInstanceIdA(set, &data, instance, sizeof(instance), nullptr));
        item.instance = instance;
        list.push_back(item);
    }
    EXPECT_EQ(p.GetLastError(), ERROR_NO_MORE_ITEMS);
    EXPECT_TRUE(p.SetupDiDestroyDeviceInfoList(set));
    return list;
}

std::string Upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

// `lspci -D -nm`: slot "class" "vendor" "device" [-rRR] [-pPP] "subvendor" "subdevice",
// rendered as the IDs the inventory must give for that function.
std::map<std::string, std::vector<std::string>> LspciIds(bool* ran) {
    std::map<std::string, std::vector<std::string>> bySlot;
    FILE* pipe = ::popen("lspci -D -nm 2>/dev/null", "r");
    *ran = false;
    if (pipe == nullptr) return bySlot;
    std::string out;
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof(chunk), pipe)) > 0) out.append(chunk, n);
    *ran = ::pclose(pipe) == 0;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> quoted;
        std::string rev = "00", progIf = "00";
        std::istringstream fields(line);
        std::string slot;
        fields >> slot;
        for (std::size_t at = line.find(' '); at < line.size();) {
            while (at < line.size() && line[at] == ' ') ++at;
            if (at >= line.size()) break;
            if (line[at] == '"') {
                const std::size_t end = line.find('"', at + 1);
                quoted.push_back(line.substr(at + 1, end - at - 1));
                at = end + 1;
            } else {
                const std::size_t end = std::min(line.find(' ', at), line.size());
                const std::string option = line.substr(at, end - at);
                if (option.rfind("-r", 0) == 0) rev = option.substr(2);
                if (option.rfind("-p", 0) == 0) progIf = option.substr(2);
                at = end;
            }
        }
        if (quoted.size() < 3) continue;
        const std::string subVendor = quoted.size() > 3 && !quoted[3].empty() ? quoted[3] : "0000";
        const std::string subDevice = quoted.size() > 4 && !quoted[4].empty() ? quoted[4] : "0000";
        const std::string base = Upper("PCI\\VEN_" + quoted[1] + "&DEV_" + quoted[2]);
        const std::string subsys = base + Upper("&SUBSYS_" + subDevice + subVendor);
        bySlot[slot] = {subsys + Upper("&REV_" + rev), subsys,
                        base + Upper("&CC_" + quoted[0] + progIf), base};
    }
    return bySlot;
}

// The PCI functions of the inventory and of lspci are the same, with the same IDs.
void ExpectSameAsLspci(std::vector<std::string>* firstIds = nullptr) {
    bool ran = false;
    const auto expected = LspciIds(&ran);
    if (!ran) GTEST_SKIP() << "lspci cannot be run here";
    std::map<std::string, std::vector<std::string>> listed;
    for (const Listed& d : ListThroughSetupApi(HostPlatform(), "PCI")) {
        const std::size_t slash = d.instance.rfind('\\');
        ASSERT_NE(slash, std::string::npos) << d.instance;
        listed[d.instance.substr(slash + 1)] = d.ids;
        if (firstIds != nullptr && !d.ids.empty()) firstIds->push_back(d.ids[0]);
    }
    EXPECT_EQ(listed, expected);
}

class MockedMachine : public ::testing::Test {
  protected:
    void SetUp() override {
        if (g_host) GTEST_SKIP() << "needs the umockdev preload";
        testbed = umockdev_testbed_new();
        char* dir = umockdev_testbed_get_sys_dir(testbed);
        sys = dir;
        g_free(dir);
    }
    void TearDown() override {
        if (testbed != nullptr) g_object_unref(testbed);
    }
    void LoadTunerMachine() {
        GError* error = nullptr;
        ASSERT_TRUE(umockdev_testbed_add_from_file(
            testbed, TAVREL_SOURCE_DIR "/tests/fixtures/devices/tuner-machine.umockdev", &error))
            << (error != nullptr ? error->message : "");
        // The drivers' side of sysfs, which device descriptions do not carry.
        MakeDirectory("bus/pci/drivers/tvcap");
        ASSERT_EQ(::symlink("../../../../module/tvcapmod",
                            (sys + "/bus/pci/drivers/tvcap/module").c_str()),
                  0);
        WriteFile("module/tvcapmod/version", "2.4.1\n");
        MakeDirectory("bus/usb/drivers/usb");
        MakeDirectory("bus/usb/drivers/tv-stick");
        WriteFile("module/tv_stick/version", "0.9\n");
    }
    // Paths below the testbed's sysfs, made without the preload's help.
    void MakeDirectory(const std::string& relative) {
        std::string path = sys;
        std::istringstream parts(relative);
        std::string part;
        while (std::getline(parts, part, '/')) {
            path += "/" + part;
            ::mkdir(path.c_str(), 0755);
        }
    }
    void WriteFile(const std::string& relative, const std::string& text, mode_t mode = 0644) {
        const std::size_t slash = relative.rfind('/');
        if (slash != std::string::npos) MakeDirectory(relative.substr(0, slash));
        const std::string path = sys + "/" + relative;
        std::ofstream(path) << text;
        ::chmod(path.c_str(), mode);
    }
    std::string ReadFile(const std::string& relative) {
        std::ifstream in(sys + "/" + relative);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    UMockdevTestbed* testbed = nullptr;
    std::string sys;
};

TEST_F(MockedMachine, ListsPciAndUsbDevicesInSysfsOrder) {
    LoadTunerMachine();
    CEnumNimoTVTuner tuner(HostPlatform());
    EXPECT_EQ(tuner.EnumerateDevices(), 1);
    struct Row {
        const char* id;
        const char* friendly;
        const char* driver;
        const char* desc;
        const char* version;
        const char* instance;
    };
    const Row expected[] = {
        {"PCI\\VEN_F00D&DEV_7A31&SUBSYS_00013EC1&REV_0A", "Test capture function", "tvcap", "tvcap",
         "2.4.1", "PCI\\VEN_F00D&DEV_7A31&SUBSYS_00013EC1\\0000:00:02.0"},
        {"PCI\\VEN_0ABC&DEV_0001&SUBSYS_00100ABC&REV_03", "", "testhcd", "", "",
         "PCI\\VEN_0ABC&DEV_0001&SUBSYS_00100ABC\\0000:00:14.0"},
        {"USB\\VID_F00D&PID_0002&REV_0515", "Test Host Test root hub", "usb", "usb", "",
         "USB\\VID_F00D&PID_0002\\usb1"},
        {"USB\\VID_1D9A&PID_00C5&REV_0100", "Example Devices Test Tuner Stick", "usb", "usb", "",
         "USB\\VID_1D9A&PID_00C5\\1-2"},
        {"USB\\VID_1D9A&PID_00C5&REV_0100&MI_00", "", "tv-stick", "tv-stick", "0.9",
         "USB\\VID_1D9A&PID_00C5&MI_00\\1-2:1.0"},
        {"USB\\VID_1D9A&PID_00C5&REV_0100&MI_01", "", "", "", "",
         "USB\\VID_1D9A&PID_00C5&MI_01\\1-2:1.1"},
        {"PCI\\VEN_1D9A&DEV_00B1&SUBSYS_00000000&REV_02", "", "", "", "",
         "PCI\\VEN_1D9A&DEV_00B1&SUBSYS_00000000\\0000:00:1f.3"},
    };
    std::vector<const DeviceInfo*> list;
    tuner.Devices().ForEach([&](DeviceInfo* d) { list.push_back(d); });
    ASSERT_EQ(list.size(), std::size(expected));
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Row& row = expected[i];
        EXPECT_EQ(list[i]->strHardwareID, row.id) << i;
        EXPECT_EQ(list[i]->strFriendlyName, row.friendly) << row.id;
        EXPECT_EQ(list[i]->strDriverKey, row.driver) << row.id;
        EXPECT_EQ(list[i]->strDriverDesc, row.desc) << row.id;
        EXPECT_EQ(list[i]->strDriverVersion, row.version) << row.id;
        EXPECT_EQ(list[i]->strInstanceID, row.instance) << row.id;
    }
}

TEST_F(MockedMachine, GivesWholeHardwareIdListsInWindowsForm) {
    LoadTunerMachine();
    const auto list = ListThroughSetupApi(HostPlatform());
    ASSERT_EQ(list.size(), 7u);
    const std::vector<std::vector<std::string>> expected = {
        {"PCI\\VEN_F00D&DEV_7A31&SUBSYS_00013EC1&REV_0A", "PCI\\VEN_F00D&DEV_7A31&SUBSYS_00013EC1",
         "PCI\\VEN_F00D&DEV_7A31&CC_048000", "PCI\\VEN_F00D&DEV_7A31"},
        {"PCI\\VEN_0ABC&DEV_0001&SUBSYS_00100ABC&REV_03", "PCI\\VEN_0ABC&DEV_0001&SUBSYS_00100ABC",
         "PCI\\VEN_0ABC&DEV_0001&CC_0C0330", "PCI\\VEN_0ABC&DEV_0001"},
        {"USB\\VID_F00D&PID_0002&REV_0515", "USB\\VID_F00D&PID_0002"},
        {"USB\\VID_1D9A&PID_00C5&REV_0100", "USB\\VID_1D9A&PID_00C5"},
        {"USB\\VID_1D9A&PID_00C5&REV_0100&MI_00", "USB\\VID_1D9A&PID_00C5&MI_00"},
        {"USB\\VID_1D9A&PID_00C5&REV_0100&MI_01", "USB\\VID_1D9A&PID_00C5&MI_01"},
        {"PCI\\VEN_1D9A&DEV_00B1&SUBSYS_00000000&REV_02", "PCI\\VEN_1D9A&DEV_00B1&SUBSYS_00000000",
         "PCI\\VEN_1D9A&DEV_00B1&CC_040300", "PCI\\VEN_1D9A&DEV_00B1"},
    };
    for (std::size_t i = 0; i < list.size(); ++i) EXPECT_EQ(list[i].ids, expected[i]) << i;
    EXPECT_EQ(list[0].friendly, "Test capture function");
    EXPECT_EQ(list[6].friendly, "-");
    EXPECT_EQ(list[5].driver, "-");

    // An enumerator narrows the set to its own devices.
    const auto usb = ListThroughSetupApi(HostPlatform(), "usb");
    ASSERT_EQ(usb.size(), 4u);
    for (const Listed& d : usb) EXPECT_EQ(d.instance.rfind("USB\\", 0), 0u) << d.instance;
}

TEST_F(MockedMachine, PciIdsMatchLspciOnTheSameTree) {
    LoadTunerMachine();
    ExpectSameAsLspci();
}

TEST_F(MockedMachine, RegistryViewHoldsTheBusDrivers) {
    LoadTunerMachine();
    Platform& p = HostPlatform();
    struct Case {
        const char* path;
        REGSAM access;
        LSTATUS open;
        const char* desc;     // null: no such value
        const char* version;  // likewise
    };
    const Case cases[] = {
        {"SYSTEM\\CurrentControlSet\\Control\\class\\tvcap", KEY_QUERY_VALUE, ERROR_SUCCESS,
         "tvcap", "2.4.1"},
        {"system\\currentcontrolset\\CONTROL\\Class\\TVCAP", KEY_QUERY_VALUE, ERROR_SUCCESS,
         "tvcap", "2.4.1"},
        {"SYSTEM\\CurrentControlSet\\Control\\class\\tv-stick", KEY_QUERY_VALUE, ERROR_SUCCESS,
         "tv-stick", "0.9"},
        {"SYSTEM\\CurrentControlSet\\Control\\class\\usb", KEY_QUERY_VALUE, ERROR_SUCCESS, "usb",
         nullptr},
        {"SYSTEM\\CurrentControlSet\\Control\\class\\tvcap", KEY_ALL_ACCESS, ERROR_ACCESS_DENIED,
         nullptr, nullptr},
        {"SYSTEM\\CurrentControlSet\\Control\\class\\testhcd", KEY_QUERY_VALUE,
         ERROR_FILE_NOT_FOUND, nullptr, nullptr},
        {"SYSTEM\\CurrentControlSet\\Control\\class\\", KEY_QUERY_VALUE, ERROR_FILE_NOT_FOUND,
         nullptr, nullptr},
        {"SYSTEM\\CurrentControlSet\\Control\\class\\..", KEY_QUERY_VALUE, ERROR_FILE_NOT_FOUND,
         nullptr, nullptr},
        {"SYSTEM\\CurrentControlSet\\Control\\class\\tvcap/../usb", KEY_QUERY_VALUE,
         ERROR_FILE_NOT_FOUND, nullptr, nullptr},
        {"SYSTEM\\CurrentControlSet\\Control\\class\\tvcap\\0000", KEY_QUERY_VALUE,
         ERROR_FILE_NOT_FOUND, nullptr, nullptr},
        {"SOFTWARE\\Example", KEY_QUERY_VALUE, ERROR_FILE_NOT_FOUND, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        HKEY key = nullptr;
        ASSERT_EQ(p.RegOpenKeyExA(HKEY_LOCAL_MACHINE, c.path, 0, c.access, &key), c.open) << c.path;
        if (c.open != ERROR_SUCCESS) {
            EXPECT_EQ(key, nullptr) << c.path;
            continue;
        }
        auto query = [&](const char* name) -> std::string {
            char value[64] = {};
            DWORD size = sizeof(value), type = 0;
            LSTATUS status = p.RegQueryValueExA(key, name, nullptr, &type,
                                                reinterpret_cast<BYTE*>(value), &size);
            if (status == ERROR_FILE_NOT_FOUND) return "(none)";
            EXPECT_EQ(status, ERROR_SUCCESS) << c.path << " " << name;
            EXPECT_EQ(type, REG_SZ);
            return value;
        };
        EXPECT_EQ(query("DriverDesc"), c.desc != nullptr ? c.desc : "(none)") << c.path;
        EXPECT_EQ(query("driverversion"), c.version != nullptr ? c.version : "(none)") << c.path;
        EXPECT_EQ(query("ProviderName"), "(none)") << c.path;
        EXPECT_EQ(p.RegCloseKey(key), ERROR_SUCCESS);
    }
    HKEY key = nullptr;
    EXPECT_EQ(p.RegOpenKeyExA(reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u)),
                              "SYSTEM", 0, KEY_QUERY_VALUE, &key),
              ERROR_INVALID_HANDLE);
}

TEST_F(MockedMachine, EmptyMachineGivesOneAndAnEmptyList) {
    CEnumNimoTVTuner tuner(HostPlatform());
    EXPECT_EQ(tuner.EnumerateDevices(), 1);
    EXPECT_TRUE(tuner.Devices().IsEmpty());
}

TEST_F(MockedMachine, LocateSeesTheRedirectedTree) {
    // The real /sys/devices is there; the testbed's is made and removed here.
    Platform& p = HostPlatform();
    ::rmdir((sys + "/devices").c_str());
    DEVINST root = 99;
    EXPECT_EQ(p.CM_Locate_DevNodeA(&root, nullptr, CM_LOCATE_DEVNODE_NORMAL), CR_NO_SUCH_DEVNODE);
    EXPECT_EQ(root, 0u);
    MakeDirectory("devices");
    EXPECT_EQ(p.CM_Locate_DevNodeA(&root, nullptr, CM_LOCATE_DEVNODE_NORMAL), CR_SUCCESS);
    EXPECT_NE(root, 0u);
    char other[] = "PCI\\VEN_F00D&DEV_7A31\\0000:00:02.0";
    DEVINST node = 0;
    EXPECT_EQ(p.CM_Locate_DevNodeA(&node, other, CM_LOCATE_DEVNODE_NORMAL), CR_NO_SUCH_DEVNODE);
    EXPECT_EQ(p.CM_Locate_DevNodeA(nullptr, nullptr, CM_LOCATE_DEVNODE_NORMAL), CR_INVALID_POINTER);
}

TEST_F(MockedMachine, ReenumerationWritesThePciRescan) {
    Platform& p = HostPlatform();
    MakeDirectory("devices");
    DEVINST root = 0;
    ASSERT_EQ(p.CM_Locate_DevNodeA(&root, nullptr, CM_LOCATE_DEVNODE_NORMAL), CR_SUCCESS);

    // No PCI bus to rescan.
    EXPECT_EQ(p.CM_Reenumerate_DevNode(root, CM_REENUMERATE_NORMAL), CR_FAILURE);

    WriteFile("bus/pci/rescan", "", 0200);
    EXPECT_EQ(p.CM_Reenumerate_DevNode(root, CM_REENUMERATE_NORMAL), CR_SUCCESS);
    EXPECT_EQ(ReadFile("bus/pci/rescan"), "1");
    EXPECT_EQ(p.CM_Reenumerate_DevNode(root + 1, CM_REENUMERATE_NORMAL), CR_INVALID_DEVNODE);

    // Refused, as for a user who is not root: the file is root's and read only.
    ::chmod((sys + "/bus/pci/rescan").c_str(), 0444);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(200);
        Platform& cp = HostPlatform();
        const CONFIGRET result = cp.CM_Reenumerate_DevNode(root, CM_REENUMERATE_NORMAL);
        ::_exit(result == CR_ACCESS_DENIED && cp.GetLastError() == ERROR_ACCESS_DENIED
                    ? 0
                    : static_cast<int>(100 + result));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "100 + the result the child got";
}

TEST_F(MockedMachine, SetArgumentsAreChecked) {
    Platform& p = HostPlatform();
    EXPECT_EQ(p.SetupDiGetClassDevsExA(nullptr, nullptr, nullptr, DIGCF_PRESENT, nullptr, nullptr,
                                       nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(p.GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(p.SetupDiGetClassDevsExA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES, nullptr,
                                       "\\\\elsewhere", nullptr),
              INVALID_HANDLE_VALUE);
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof(data);
    EXPECT_FALSE(p.SetupDiEnumDeviceInfo(INVALID_HANDLE_VALUE, 0, &data));
    EXPECT_EQ(p.GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(p.SetupDiDestroyDeviceInfoList(INVALID_HANDLE_VALUE));
    EXPECT_EQ(p.GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(HostMachine, PciIdsMatchLspci) {
    if (!g_host) GTEST_SKIP() << "looks at the real machine only with --host";
    std::vector<std::string> firstIds;
    ExpectSameAsLspci(&firstIds);
    for (const std::string& id : firstIds) std::printf("inventory: %s\n", id.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (std::strcmp(*it, "--host") == 0) {
            g_host = true;
            args.erase(it);
            break;
        }
    }
    const char* preload = std::getenv("LD_PRELOAD");
    if (!g_host && (preload == nullptr || std::strstr(preload, "libumockdev-preload") == nullptr)) {
        // Start again under the preload, which must be there before libc's
        // first file access.
        char self[4096];
        const ssize_t n = ::readlink("/proc/self/exe", self, sizeof(self) - 1);
        if (n <= 0) return 127;
        self[n] = '\0';
        std::vector<char*> wrapped{const_cast<char*>("umockdev-wrapper"), self};
        wrapped.insert(wrapped.end(), args.begin() + 1, args.end());
        wrapped.push_back(nullptr);
        ::execvp("umockdev-wrapper", wrapped.data());
        std::perror("umockdev-wrapper");
        return 127;
    }
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    ::testing::InitGoogleTest(&count, args.data());
    return RUN_ALL_TESTS();
}
