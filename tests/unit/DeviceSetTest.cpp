// The in-memory device sets and registry keys answer as SetupAPI and the
// registry do; the program's growing buffers rely on exactly these answers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "DeviceSet.h"

namespace {

constexpr DWORD kUntouched = 0xDEAD;

class DeviceSetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DeviceRecord full;
        full.hardwareIds = {"PCI\\VEN_F00D&DEV_7A31&REV_01", "PCI\\VEN_F00D&DEV_7A31"};
        full.friendlyName = "Test capture";
        full.driver = "{4d36e96c-e325-11ce-bfc1-08002be10318}\\0003";
        full.instanceId = "PCI\\VEN_F00D&DEV_7A31\\0000:03:00.0";
        DeviceRecord bare;
        bare.instanceId = "ROOT\\BARE\\0000";
        set = memsetup::CreateDeviceSet({full, bare});
        ASSERT_NE(set, INVALID_HANDLE_VALUE);
        ASSERT_NE(set, nullptr);
    }
    void TearDown() override {
        if (set != nullptr) {
            DWORD error = kUntouched;
            EXPECT_TRUE(memsetup::DestroyDeviceSet(set, &error));
            EXPECT_EQ(error, kUntouched);
        }
    }
    SP_DEVINFO_DATA Device(DWORD index) {
        SP_DEVINFO_DATA data{};
        data.cbSize = sizeof(data);
        DWORD error = kUntouched;
        EXPECT_TRUE(memsetup::EnumDeviceInfo(set, index, &data, &error));
        EXPECT_EQ(error, kUntouched);
        return data;
    }

    HDEVINFO set = nullptr;
};

TEST_F(DeviceSetTest, EnumerationChecksHandleSizeAndIndex) {
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof(data);
    DWORD error = kUntouched;
    EXPECT_TRUE(memsetup::EnumDeviceInfo(set, 1, &data, &error));
    EXPECT_EQ(error, kUntouched) << "success leaves the last error alone";

    struct Case {
        const char* what;
        HDEVINFO set;
        DWORD index;
        DWORD cbSize;
        bool nullData;
        DWORD expected;
    };
    int other = 0;
    const Case cases[] = {
        {"past the last device", set, 2, sizeof(SP_DEVINFO_DATA), false, ERROR_NO_MORE_ITEMS},
        {"far past the last", set, 0xFFFFFFFF, sizeof(SP_DEVINFO_DATA), false, ERROR_NO_MORE_ITEMS},
        {"size field too small", set, 0, sizeof(SP_DEVINFO_DATA) - 1, false,
         ERROR_INVALID_USER_BUFFER},
        {"size field zero", set, 0, 0, false, ERROR_INVALID_USER_BUFFER},
        {"no structure", set, 0, 0, true, ERROR_INVALID_PARAMETER},
        {"invalid handle value", INVALID_HANDLE_VALUE, 0, sizeof(SP_DEVINFO_DATA), false,
         ERROR_INVALID_HANDLE},
        {"null handle", nullptr, 0, sizeof(SP_DEVINFO_DATA), false, ERROR_INVALID_HANDLE},
        {"foreign pointer", &other, 0, sizeof(SP_DEVINFO_DATA), false, ERROR_INVALID_HANDLE},
    };
    for (const Case& c : cases) {
        SP_DEVINFO_DATA d{};
        d.cbSize = c.cbSize;
        DWORD e = kUntouched;
        EXPECT_FALSE(memsetup::EnumDeviceInfo(c.set, c.index, c.nullData ? nullptr : &d, &e))
            << c.what;
        EXPECT_EQ(e, c.expected) << c.what;
    }
}

TEST_F(DeviceSetTest, PropertiesFollowSetupApiSizeRules) {
    SP_DEVINFO_DATA full = Device(0);
    SP_DEVINFO_DATA bare = Device(1);
    const std::string multi("PCI\\VEN_F00D&DEV_7A31&REV_01\0PCI\\VEN_F00D&DEV_7A31\0\0", 52);
    const std::string friendly("Test capture", 13);
    const std::string driver("{4d36e96c-e325-11ce-bfc1-08002be10318}\\0003", 44);

    struct Case {
        const char* what;
        SP_DEVINFO_DATA* device;
        DWORD property;
        DWORD bufferSize;  // bytes offered; the buffer itself holds 256
        bool nullBuffer;
        BOOL ok;
        DWORD error;     // when it fails
        DWORD required;  // kUntouched: not stored
        DWORD type;      // kUntouched: not stored
        std::string value;
    };
    const Case cases[] = {
        {"hardware IDs fit", &full, SPDRP_HARDWAREID, 256, false, TRUE, 0, 52, REG_MULTI_SZ, multi},
        {"hardware IDs exactly fit", &full, SPDRP_HARDWAREID, 52, false, TRUE, 0, 52, REG_MULTI_SZ,
         multi},
        {"hardware IDs one byte short", &full, SPDRP_HARDWAREID, 51, false, FALSE,
         ERROR_INSUFFICIENT_BUFFER, 52, REG_MULTI_SZ, ""},
        {"size query", &full, SPDRP_HARDWAREID, 0, true, FALSE, ERROR_INSUFFICIENT_BUFFER, 52,
         REG_MULTI_SZ, ""},
        {"no buffer but a size", &full, SPDRP_HARDWAREID, 16, true, FALSE,
         ERROR_INVALID_USER_BUFFER, 52, REG_MULTI_SZ, ""},
        {"friendly name", &full, SPDRP_FRIENDLYNAME, 256, false, TRUE, 0, 13, REG_SZ, friendly},
        {"friendly name short", &full, SPDRP_FRIENDLYNAME, 12, false, FALSE,
         ERROR_INSUFFICIENT_BUFFER, 13, REG_SZ, ""},
        {"driver", &full, SPDRP_DRIVER, 256, false, TRUE, 0, 44, REG_SZ, driver},
        {"no hardware IDs", &bare, SPDRP_HARDWAREID, 256, false, FALSE, ERROR_INVALID_DATA,
         kUntouched, kUntouched, ""},
        {"no friendly name", &bare, SPDRP_FRIENDLYNAME, 256, false, FALSE, ERROR_INVALID_DATA,
         kUntouched, kUntouched, ""},
        {"no driver", &bare, SPDRP_DRIVER, 256, false, FALSE, ERROR_INVALID_DATA, kUntouched,
         kUntouched, ""},
        {"property not held", &full, 0x05 /* SPDRP_SERVICE */, 256, false, FALSE,
         ERROR_INVALID_DATA, kUntouched, kUntouched, ""},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> buffer(256, 0xCC);
        DWORD required = kUntouched, type = kUntouched, error = kUntouched;
        BOOL ok = memsetup::GetDeviceRegistryProperty(set, c.device, c.property, &type,
                                                      c.nullBuffer ? nullptr : buffer.data(),
                                                      c.bufferSize, &required, &error);
        EXPECT_EQ(ok, c.ok) << c.what;
        EXPECT_EQ(error, c.ok ? kUntouched : c.error) << c.what;
        EXPECT_EQ(required, c.required) << c.what;
        EXPECT_EQ(type, c.type) << c.what;
        if (c.ok) {
            EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.data()), c.value.size()), c.value)
                << c.what;
            EXPECT_EQ(buffer[c.value.size()], 0xCC) << c.what << ": wrote past the value";
        }
    }
    // Both out pointers are optional.
    BYTE small[256];
    DWORD error = kUntouched;
    EXPECT_TRUE(memsetup::GetDeviceRegistryProperty(set, &full, SPDRP_DRIVER, nullptr, small,
                                                    sizeof(small), nullptr, &error));
}

TEST_F(DeviceSetTest, InstanceIdFollowsTheSameSizeRules) {
    SP_DEVINFO_DATA full = Device(0);
    const std::string id = "PCI\\VEN_F00D&DEV_7A31\\0000:03:00.0";
    const DWORD need = static_cast<DWORD>(id.size() + 1);
    struct Case {
        DWORD size;
        bool nullBuffer;
        BOOL ok;
        DWORD error;
    };
    const Case cases[] = {{256, false, TRUE, kUntouched},
                          {need, false, TRUE, kUntouched},
                          {need - 1, false, FALSE, ERROR_INSUFFICIENT_BUFFER},
                          {0, true, FALSE, ERROR_INSUFFICIENT_BUFFER}};
    for (const Case& c : cases) {
        char buffer[256];
        std::memset(buffer, 'x', sizeof(buffer));
        DWORD required = kUntouched, error = kUntouched;
        EXPECT_EQ(memsetup::GetDeviceInstanceId(set, &full, c.nullBuffer ? nullptr : buffer, c.size,
                                                &required, &error),
                  c.ok)
            << c.size;
        EXPECT_EQ(error, c.error) << c.size;
        EXPECT_EQ(required, need) << c.size;
        if (c.ok) {
            EXPECT_STREQ(buffer, id.c_str());
        }
    }
}

TEST_F(DeviceSetTest, DeviceDataIsCheckedBeforeItIsUsed) {
    SP_DEVINFO_DATA good = Device(0);
    SP_DEVINFO_DATA wrongSize = good;
    wrongSize.cbSize = 4;
    SP_DEVINFO_DATA zeroed{};
    zeroed.cbSize = sizeof(zeroed);
    SP_DEVINFO_DATA outOfRange = good;
    outOfRange.Reserved = 99;
    BYTE buffer[64];
    struct Case {
        const char* what;
        HDEVINFO set;
        SP_DEVINFO_DATA* data;
        DWORD error;
    };
    const Case cases[] = {
        {"bad set", INVALID_HANDLE_VALUE, &good, ERROR_INVALID_HANDLE},
        {"no device data", set, nullptr, ERROR_INVALID_PARAMETER},
        {"wrong size", set, &wrongSize, ERROR_INVALID_USER_BUFFER},
        {"data from no enumeration", set, &zeroed, ERROR_INVALID_PARAMETER},
        {"data of no device", set, &outOfRange, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        DWORD error = kUntouched;
        EXPECT_FALSE(memsetup::GetDeviceRegistryProperty(c.set, c.data, SPDRP_HARDWAREID, nullptr,
                                                         buffer, sizeof(buffer), nullptr, &error))
            << c.what;
        EXPECT_EQ(error, c.error) << c.what;
        error = kUntouched;
        EXPECT_FALSE(memsetup::GetDeviceInstanceId(c.set, c.data, reinterpret_cast<char*>(buffer),
                                                   sizeof(buffer), nullptr, &error))
            << c.what;
        EXPECT_EQ(error, c.error) << c.what;
    }
}

TEST(DeviceSetLifetime, DestroyedSetIsAnInvalidHandle) {
    HDEVINFO set = memsetup::CreateDeviceSet({});
    ASSERT_NE(memsetup::DevicesOf(set), nullptr);
    EXPECT_TRUE(memsetup::DevicesOf(set)->empty());
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof(data);
    DWORD error = kUntouched;
    EXPECT_FALSE(memsetup::EnumDeviceInfo(set, 0, &data, &error));
    EXPECT_EQ(error, ERROR_NO_MORE_ITEMS) << "an empty set has no first device";

    EXPECT_TRUE(memsetup::DestroyDeviceSet(set, &error));
    EXPECT_EQ(memsetup::DevicesOf(set), nullptr);
    error = kUntouched;
    EXPECT_FALSE(memsetup::DestroyDeviceSet(set, &error)) << "destroyed twice";
    EXPECT_EQ(error, ERROR_INVALID_HANDLE);
    error = kUntouched;
    EXPECT_FALSE(memsetup::EnumDeviceInfo(set, 0, &data, &error));
    EXPECT_EQ(error, ERROR_INVALID_HANDLE);
    error = kUntouched;
    EXPECT_FALSE(memsetup::DestroyDeviceSet(INVALID_HANDLE_VALUE, &error));
    EXPECT_EQ(error, ERROR_INVALID_HANDLE);
}

TEST(RegistryKey, QueryFollowsRegistrySizeRules) {
    HKEY key = memsetup::OpenKey({{"DriverDesc", "Test capture driver"}, {"DriverVersion", "2.1"}});
    ASSERT_NE(key, nullptr);
    const DWORD need = 20;  // "Test capture driver" and its terminator
    struct Case {
        const char* what;
        const char* name;
        bool nullData;
        DWORD offered;
        LSTATUS status;
        DWORD size;  // *lpcbData afterwards
        const char* value;
    };
    const Case cases[] = {
        {"fits", "DriverDesc", false, 64, ERROR_SUCCESS, need, "Test capture driver"},
        {"exactly fits", "DriverDesc", false, need, ERROR_SUCCESS, need, "Test capture driver"},
        {"one byte short", "DriverDesc", false, need - 1, ERROR_MORE_DATA, need, nullptr},
        {"size asked", "DriverDesc", true, 0, ERROR_SUCCESS, need, nullptr},
        {"name without case", "DRIVERdesc", false, 64, ERROR_SUCCESS, need, "Test capture driver"},
        {"second value", "driverversion", false, 64, ERROR_SUCCESS, 4, "2.1"},
        {"missing value", "ProviderName", false, 64, ERROR_FILE_NOT_FOUND, 64, nullptr},
        {"default value not set", nullptr, false, 64, ERROR_FILE_NOT_FOUND, 64, nullptr},
    };
    for (const Case& c : cases) {
        char data[64];
        std::memset(data, 'x', sizeof(data));
        DWORD size = c.offered, type = kUntouched;
        EXPECT_EQ(memsetup::QueryValue(key, c.name, nullptr, &type,
                                       c.nullData ? nullptr : reinterpret_cast<BYTE*>(data), &size),
                  c.status)
            << c.what;
        EXPECT_EQ(size, c.size) << c.what;
        if (c.status != ERROR_FILE_NOT_FOUND) {
            EXPECT_EQ(type, REG_SZ) << c.what;
        }
        if (c.value != nullptr) {
            EXPECT_STREQ(data, c.value) << c.what;
        }
        if (c.status == ERROR_MORE_DATA) {
            EXPECT_EQ(data[0], 'x') << c.what << ": nothing is stored when it does not fit";
        }
    }
    DWORD reserved = 0, size = 64;
    char data[64];
    EXPECT_EQ(memsetup::QueryValue(key, "DriverDesc", &reserved, nullptr,
                                   reinterpret_cast<BYTE*>(data), &size),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(memsetup::QueryValue(key, "DriverDesc", nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(data), nullptr),
              ERROR_INVALID_PARAMETER);

    EXPECT_EQ(memsetup::CloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(memsetup::CloseKey(key), ERROR_INVALID_HANDLE);
    size = 64;
    EXPECT_EQ(memsetup::QueryValue(key, "DriverDesc", nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(data), &size),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(memsetup::CloseKey(nullptr), ERROR_INVALID_HANDLE);
}

}  // namespace
