// The device inventory and the registry view on Linux.
//
// Every path below starts with /sys and is opened through the C library, so
// under a sysfs redirection (umockdev) the inventory, the driver lookup and
// the rescan all see the same tree libudev sees.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <libudev.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "DeviceSet.h"
#include "linux/LinuxPlatform.h"

namespace {

constexpr DEVINST kRootNode = 1;
const char kClassKey[] = "SYSTEM\\CurrentControlSet\\Control\\class\\";
const char* const kBuses[] = {"pci", "usb"};

// Every access right that would change a key. The view is read only, so
// asking for any of them is refused as Windows refuses a user without rights.
constexpr REGSAM kWriteAccess = 0x0002 /* KEY_SET_VALUE */ | 0x0004 /* KEY_CREATE_SUB_KEY */ |
                                0x0020 /* KEY_CREATE_LINK */ | 0x00010000 /* DELETE */ |
                                0x00040000 /* WRITE_DAC */ | 0x00080000 /* WRITE_OWNER */;

bool StartsWithNoCase(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix) {
        if (*text == '\0') return false;
        unsigned char a = static_cast<unsigned char>(*text);
        unsigned char b = static_cast<unsigned char>(*prefix);
        if (a >= 'a' && a <= 'z') a = static_cast<unsigned char>(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z') b = static_cast<unsigned char>(b - 'a' + 'A');
        if (a != b) return false;
    }
    return true;
}

bool EqualNoCase(const char* a, const char* b) {
    return std::strlen(a) == std::strlen(b) && StartsWithNoCase(a, b);
}

// sysfs numbers come as "0x1d9a", "1d9a" or "1D9A"; false for anything else.
bool ParseHex(const char* text, unsigned long* value) {
    if (text == nullptr) return false;
    while (*text == ' ') ++text;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text += 2;
    if (*text == '\0') return false;
    char* end = nullptr;
    errno = 0;
    unsigned long v = std::strtoul(text, &end, 16);
    if (errno != 0 || end == text) return false;
    while (*end == '\n' || *end == ' ') ++end;
    if (*end != '\0') return false;
    *value = v;
    return true;
}

// Upper-case hex of exactly `width` digits, as Windows writes IDs.
std::string Hex(unsigned long value, int width) {
    char text[32];
    std::snprintf(text, sizeof(text), "%0*lX", width, value);
    std::string s(text);
    return s.size() > static_cast<std::size_t>(width) ? s.substr(s.size() - width) : s;
}

// A pair "aaaa:bbbb" as the kernel writes it in uevent (PCI_ID, PCI_SUBSYS_ID).
bool ParsePair(const char* text, char separator, unsigned long* first, unsigned long* second) {
    if (text == nullptr) return false;
    const char* mid = std::strchr(text, separator);
    if (mid == nullptr) return false;
    return ParseHex(std::string(text, mid).c_str(), first) && ParseHex(mid + 1, second);
}

// The number from the uevent property, else from the attribute.
bool ReadNumber(udev_device* dev, const char* attribute, unsigned long* value) {
    return ParseHex(udev_device_get_sysattr_value(dev, attribute), value);
}

// The revision lives in its own attribute on current kernels; older ones
// have it only at offset 8 of the configuration space.
bool PciRevision(udev_device* dev, unsigned long* revision) {
    if (ReadNumber(dev, "revision", revision)) return true;
    std::string config = std::string(udev_device_get_syspath(dev)) + "/config";
    int fd = ::open(config.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    unsigned char byte = 0;
    ssize_t n = ::pread(fd, &byte, 1, 8);
    ::close(fd);
    if (n != 1) return false;
    *revision = byte;
    return true;
}

void FillPci(udev_device* dev, DeviceRecord& record) {
    unsigned long vendor = 0, device = 0, subVendor = 0, subDevice = 0, cls = 0, rev = 0;
    // uevent holds most of it in one read; attributes are the fallback.
    if (!ParsePair(udev_device_get_property_value(dev, "PCI_ID"), ':', &vendor, &device) &&
        !(ReadNumber(dev, "vendor", &vendor) && ReadNumber(dev, "device", &device))) {
        return;  // no hardware ID: SetupAPI cannot read the property
    }
    if (!ParsePair(udev_device_get_property_value(dev, "PCI_SUBSYS_ID"), ':', &subVendor,
                   &subDevice)) {
        ReadNumber(dev, "subsystem_vendor", &subVendor);
        ReadNumber(dev, "subsystem_device", &subDevice);
    }
    if (!ParseHex(udev_device_get_property_value(dev, "PCI_CLASS"), &cls)) {
        ReadNumber(dev, "class", &cls);
    }
    PciRevision(dev, &rev);

    const std::string base = "PCI\\VEN_" + Hex(vendor, 4) + "&DEV_" + Hex(device, 4);
    const std::string subsys = base + "&SUBSYS_" + Hex(subDevice, 4) + Hex(subVendor, 4);
    record.hardwareIds = {subsys + "&REV_" + Hex(rev, 2), subsys, base + "&CC_" + Hex(cls, 6),
                          base};
    record.instanceId = subsys + "\\" + udev_device_get_sysname(dev);
}

// "vvvv/pppp/rrrr" from the PRODUCT property that USB devices and their
// interfaces both carry.
bool UsbProduct(udev_device* dev, unsigned long* vid, unsigned long* pid, unsigned long* rev) {
    const char* product = udev_device_get_property_value(dev, "PRODUCT");
    if (product != nullptr) {
        const char* a = std::strchr(product, '/');
        const char* b = a != nullptr ? std::strchr(a + 1, '/') : nullptr;
        if (b != nullptr && ParseHex(std::string(product, a).c_str(), vid) &&
            ParseHex(std::string(a + 1, b).c_str(), pid) && ParseHex(b + 1, rev)) {
            return true;
        }
    }
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(dev, "usb", "usb_device");
    if (usb == nullptr) return false;
    return ReadNumber(usb, "idVendor", vid) && ReadNumber(usb, "idProduct", pid) &&
           ReadNumber(usb, "bcdDevice", rev);
}

void FillUsb(udev_device* dev, bool isInterface, DeviceRecord& record) {
    unsigned long vid = 0, pid = 0, rev = 0, number = 0;
    if (!UsbProduct(dev, &vid, &pid, &rev)) return;
    if (isInterface && !ReadNumber(dev, "bInterfaceNumber", &number)) return;
    const std::string ids = "USB\\VID_" + Hex(vid, 4) + "&PID_" + Hex(pid, 4);
    const std::string revision = "&REV_" + Hex(rev, 4);
    const std::string function = isInterface ? "&MI_" + Hex(number, 2) : std::string();
    record.hardwareIds = {ids + revision + function, ids + function};
    record.instanceId = ids + function + "\\" + udev_device_get_sysname(dev);
}

std::optional<std::string> FriendlyName(udev_device* dev, bool isUsbDevice) {
    if (isUsbDevice) {
        const char* maker = udev_device_get_sysattr_value(dev, "manufacturer");
        const char* product = udev_device_get_sysattr_value(dev, "product");
        if (maker != nullptr && product != nullptr) return std::string(maker) + " " + product;
        if (maker != nullptr) return std::string(maker);
        if (product != nullptr) return std::string(product);
    }
    if (const char* model = udev_device_get_property_value(dev, "ID_MODEL_FROM_DATABASE")) {
        return std::string(model);
    }
    return std::nullopt;
}

struct Listed {
    std::string syspath;
    DeviceRecord record;
};

// The PCI functions and the USB devices and interfaces, sorted by sysfs path;
// false when udev cannot be used at all.
bool ListDevices(std::vector<DeviceRecord>& devices) {
    udev* u = udev_new();
    if (u == nullptr) return false;
    udev_enumerate* e = udev_enumerate_new(u);
    if (e == nullptr) {
        udev_unref(u);
        return false;
    }
    // Subsystem matches only: a scan of every device would read each one's
    // uevent, and some devices take seconds to answer.
    for (const char* bus : kBuses) udev_enumerate_add_match_subsystem(e, bus);
    std::vector<Listed> listed;
    if (udev_enumerate_scan_devices(e) >= 0) {
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(e)) {
            const char* syspath = udev_list_entry_get_name(entry);
            udev_device* dev = udev_device_new_from_syspath(u, syspath);
            if (dev == nullptr) continue;  // gone since the scan
            const char* subsystem = udev_device_get_subsystem(dev);
            const char* devtype = udev_device_get_devtype(dev);
            Listed item{syspath, {}};
            bool keep = true;
            bool usbDevice = false;
            if (subsystem != nullptr && std::strcmp(subsystem, "pci") == 0) {
                FillPci(dev, item.record);
            } else if (devtype != nullptr && std::strcmp(devtype, "usb_device") == 0) {
                usbDevice = true;
                FillUsb(dev, false, item.record);
            } else if (devtype != nullptr && std::strcmp(devtype, "usb_interface") == 0) {
                FillUsb(dev, true, item.record);
            } else {
                keep = false;  // USB ports and the like are no devices of their own
            }
            if (keep) {
                if (item.record.instanceId.empty()) {
                    item.record.instanceId = std::string(subsystem != nullptr ? subsystem : "") +
                                             "\\" + udev_device_get_sysname(dev);
                    for (char& c : item.record.instanceId) {
                        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
                    }
                }
                item.record.friendlyName = FriendlyName(dev, usbDevice);
                if (const char* driver = udev_device_get_driver(dev)) {
                    item.record.driver = std::string(driver);
                }
                listed.push_back(std::move(item));
            }
            udev_device_unref(dev);
        }
    }
    udev_enumerate_unref(e);
    udev_unref(u);

    std::sort(listed.begin(), listed.end(),
              [](const Listed& a, const Listed& b) { return a.syspath < b.syspath; });
    devices.reserve(listed.size());
    for (Listed& item : listed) devices.push_back(std::move(item.record));
    return true;
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The directory of the bus driver named `name` (case ignored) and its own
// spelling, or false when no bus has such a driver.
bool FindDriver(const std::string& name, std::string& directory, std::string& spelling) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
        return false;
    }
    for (const char* bus : kBuses) {
        const std::string drivers = std::string("/sys/bus/") + bus + "/drivers/";
        if (IsDirectory(drivers + name)) {
            directory = drivers + name;
            spelling = name;
            return true;
        }
    }
    // The program passes back what it was given, so the exact name nearly
    // always hits; a listing is the fallback for another spelling.
    for (const char* bus : kBuses) {
        const std::string drivers = std::string("/sys/bus/") + bus + "/drivers/";
        DIR* dir = ::opendir(drivers.c_str());
        if (dir == nullptr) continue;
        bool found = false;
        while (dirent* entry = ::readdir(dir)) {
            if (entry->d_name[0] != '.' && EqualNoCase(entry->d_name, name.c_str())) {
                directory = drivers + entry->d_name;
                spelling = entry->d_name;
                found = true;
                break;
            }
        }
        ::closedir(dir);
        if (found) return true;
    }
    return false;
}

bool ReadLine(const std::string& path, std::string& text) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buffer[256];
    ssize_t n = ::read(fd, buffer, sizeof(buffer));
    ::close(fd);
    if (n <= 0) return false;
    text.assign(buffer, static_cast<std::size_t>(n));
    const std::size_t end = text.find_first_of("\n\r");
    if (end != std::string::npos) text.resize(end);
    return !text.empty();
}

// The version a driver's module declares. A driver names its module by a
// link; built-in drivers have none, and their module directory is the
// driver's name with dashes made underscores, as the kernel names modules.
bool DriverVersion(const std::string& directory, const std::string& driver, std::string& version) {
    std::string module;
    char target[512];
    ssize_t n = ::readlink((directory + "/module").c_str(), target, sizeof(target) - 1);
    if (n > 0) {
        target[n] = '\0';
        const char* slash = std::strrchr(target, '/');
        module = slash != nullptr ? slash + 1 : target;
    } else {
        module = driver;
        std::replace(module.begin(), module.end(), '-', '_');
    }
    return ReadLine("/sys/module/" + module + "/version", version);
}

CONFIGRET RescanResult(int error) {
    return error == EACCES || error == EPERM || error == EROFS ? CR_ACCESS_DENIED : CR_FAILURE;
}

}  // namespace

// The Configuration Manager reports through its result. The last error is
// set as well, so that a report of the failure names its cause.
CONFIGRET LinuxPlatform::CM_Locate_DevNodeA(PDEVINST pdnDevInst, DEVINSTID_A pDeviceID,
                                            ULONG ulFlags) {
    if (pdnDevInst == nullptr) return CR_INVALID_POINTER;
    *pdnDevInst = 0;
    (void)ulFlags;
    // Only the root of the tree is known by an ID here.
    if (pDeviceID != nullptr && pDeviceID[0] != '\0') {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return CR_NO_SUCH_DEVNODE;
    }
    if (!IsDirectory("/sys/devices")) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return CR_NO_SUCH_DEVNODE;
    }
    *pdnDevInst = kRootNode;
    return CR_SUCCESS;
}

CONFIGRET LinuxPlatform::CM_Reenumerate_DevNode(DEVINST dnDevInst, ULONG) {
    if (dnDevInst != kRootNode) return CR_INVALID_DEVNODE;
    int fd = ::open("/sys/bus/pci/rescan", O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        SetLastError(error == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
        return RescanResult(error);
    }
    ssize_t n;
    do {
        n = ::write(fd, "1", 1);
    } while (n < 0 && errno == EINTR);
    const int error = errno;
    ::close(fd);
    if (n != 1) {
        SetLastError(ERROR_ACCESS_DENIED);
        return RescanResult(error);
    }
    return CR_SUCCESS;
}

HDEVINFO LinuxPlatform::SetupDiGetClassDevsExA(const GUID* ClassGuid, PCSTR Enumerator, HWND,
                                               DWORD Flags, HDEVINFO DeviceInfoSet,
                                               PCSTR MachineName, PVOID Reserved) {
    // One class or all of them; no merging into a set and no remote machine.
    if ((ClassGuid == nullptr && (Flags & DIGCF_ALLCLASSES) == 0) || DeviceInfoSet != nullptr ||
        (MachineName != nullptr && MachineName[0] != '\0') || Reserved != nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::vector<DeviceRecord> devices;
    if (!ListDevices(devices)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    // Setup classes are a Windows notion: a class asked for by GUID lists
    // nothing here.
    if ((Flags & DIGCF_ALLCLASSES) == 0) devices.clear();
    if (Enumerator != nullptr && Enumerator[0] != '\0') {
        const std::string prefix = std::string(Enumerator) + "\\";
        devices.erase(std::remove_if(devices.begin(), devices.end(),
                                     [&](const DeviceRecord& d) {
                                         return !StartsWithNoCase(d.instanceId.c_str(),
                                                                  prefix.c_str());
                                     }),
                      devices.end());
    }
    return memsetup::CreateDeviceSet(std::move(devices));
}

BOOL LinuxPlatform::SetupDiEnumDeviceInfo(HDEVINFO DeviceInfoSet, DWORD MemberIndex,
                                          PSP_DEVINFO_DATA DeviceInfoData) {
    DWORD error = GetLastError();
    BOOL ok = memsetup::EnumDeviceInfo(DeviceInfoSet, MemberIndex, DeviceInfoData, &error);
    SetLastError(error);
    return ok;
}

BOOL LinuxPlatform::SetupDiGetDeviceRegistryPropertyA(HDEVINFO DeviceInfoSet,
                                                      PSP_DEVINFO_DATA DeviceInfoData,
                                                      DWORD Property, PDWORD PropertyRegDataType,
                                                      PBYTE PropertyBuffer,
                                                      DWORD PropertyBufferSize,
                                                      PDWORD RequiredSize) {
    DWORD error = GetLastError();
    BOOL ok = memsetup::GetDeviceRegistryProperty(DeviceInfoSet, DeviceInfoData, Property,
                                                  PropertyRegDataType, PropertyBuffer,
                                                  PropertyBufferSize, RequiredSize, &error);
    SetLastError(error);
    return ok;
}

BOOL LinuxPlatform::SetupDiGetDeviceInstanceIdA(HDEVINFO DeviceInfoSet,
                                                PSP_DEVINFO_DATA DeviceInfoData,
                                                PSTR DeviceInstanceId, DWORD DeviceInstanceIdSize,
                                                PDWORD RequiredSize) {
    DWORD error = GetLastError();
    BOOL ok = memsetup::GetDeviceInstanceId(DeviceInfoSet, DeviceInfoData, DeviceInstanceId,
                                            DeviceInstanceIdSize, RequiredSize, &error);
    SetLastError(error);
    return ok;
}

BOOL LinuxPlatform::SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet) {
    DWORD error = GetLastError();
    BOOL ok = memsetup::DestroyDeviceSet(DeviceInfoSet, &error);
    SetLastError(error);
    return ok;
}

LSTATUS LinuxPlatform::RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired,
                                     PHKEY phkResult) {
    if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    if (hKey != HKEY_LOCAL_MACHINE) return ERROR_INVALID_HANDLE;
    if ((samDesired & kWriteAccess) != 0) return ERROR_ACCESS_DENIED;
    if (lpSubKey == nullptr || !StartsWithNoCase(lpSubKey, kClassKey)) return ERROR_FILE_NOT_FOUND;
    std::string directory, driver;
    if (!FindDriver(lpSubKey + std::strlen(kClassKey), directory, driver)) {
        return ERROR_FILE_NOT_FOUND;
    }
    memsetup::RegistryValues values{{"DriverDesc", driver}};
    std::string version;
    if (DriverVersion(directory, driver, version)) values.emplace_back("DriverVersion", version);
    *phkResult = memsetup::OpenKey(std::move(values));
    return ERROR_SUCCESS;
}

LSTATUS LinuxPlatform::RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved,
                                        LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    return memsetup::QueryValue(hKey, lpValueName, lpReserved, lpType, lpData, lpcbData);
}

LSTATUS LinuxPlatform::RegCloseKey(HKEY hKey) {
    // Closing a predefined key succeeds on Windows and changes nothing.
    if (hKey == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
    return memsetup::CloseKey(hKey);
}
