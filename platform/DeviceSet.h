// Device information sets and registry keys held in memory, answered with
// the SetupAPI and registry calling conventions (results, required sizes,
// last-error codes). The Linux platform fills them from udev and sysfs, the
// test fake from what a test set up; both then behave as Windows does.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Win32Types.h"

// One device as a device information set lists it.
struct DeviceRecord {
    std::vector<std::string> hardwareIds;     // none: the property cannot be read
    std::optional<std::string> friendlyName;  // absent: ERROR_INVALID_DATA
    std::optional<std::string> driver;        // driver key below ...\Control\Class
    std::string instanceId;
};

namespace memsetup {

// A new set holding `devices` in order. Never INVALID_HANDLE_VALUE.
HDEVINFO CreateDeviceSet(std::vector<DeviceRecord> devices);

// The devices of a set made by CreateDeviceSet; null for another handle.
const std::vector<DeviceRecord>* DevicesOf(HDEVINFO set);

// The SetupAPI calls over such a set. Each returns the call's result and
// stores the thread's new last error in *lastError (untouched on success,
// as Windows leaves it).
BOOL EnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA data, DWORD* lastError);
BOOL GetDeviceRegistryProperty(HDEVINFO set, PSP_DEVINFO_DATA data, DWORD property,
                               PDWORD regType, PBYTE buffer, DWORD bufferSize,
                               PDWORD requiredSize, DWORD* lastError);
BOOL GetDeviceInstanceId(HDEVINFO set, PSP_DEVINFO_DATA data, PSTR buffer, DWORD bufferSize,
                         PDWORD requiredSize, DWORD* lastError);
BOOL DestroyDeviceSet(HDEVINFO set, DWORD* lastError);

// An open registry key holding REG_SZ values (names compared without case).
using RegistryValues = std::vector<std::pair<std::string, std::string>>;
HKEY OpenKey(RegistryValues values);
LSTATUS QueryValue(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                   LPDWORD dataSize);
LSTATUS CloseKey(HKEY key);

}  // namespace memsetup
