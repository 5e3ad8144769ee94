#include "CheckPlatform.h"

#include <cstring>

#include "DeviceListFile.h"

namespace {

const char kClassKey[] = "SYSTEM\\CurrentControlSet\\Control\\Class\\";

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

CheckPlatform::CheckPlatform(Platform& host, std::string programPath)
    : m_host(host), m_programPath(std::move(programPath)) {}

void CheckPlatform::Replay(const std::vector<DeviceListEntry>& devices) {
    m_replay = true;
    m_devices.clear();
    m_driverKeys.clear();
    for (const DeviceListEntry& entry : devices) {
        m_devices.push_back(entry.device);
        if (!entry.device.driver) continue;
        memsetup::RegistryValues values;
        if (entry.driverDesc) values.emplace_back("DriverDesc", *entry.driverDesc);
        if (entry.driverVersion) values.emplace_back("DriverVersion", *entry.driverVersion);
        // Devices that share a driver key share its values; the first says them.
        bool known = false;
        for (const auto& key : m_driverKeys) {
            known = known || SameTextIgnoringCase(key.first, *entry.device.driver);
        }
        if (!known) m_driverKeys.emplace_back(*entry.device.driver, std::move(values));
    }
}

DWORD CheckPlatform::GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    if (hModule != nullptr) return m_host.GetModuleFileNameA(hModule, lpFilename, nSize);
    if (nSize == 0) {
        m_host.SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::size_t length = m_programPath.size();
    if (length < nSize) {
        std::memcpy(lpFilename, m_programPath.c_str(), length + 1);
        return static_cast<DWORD>(length);
    }
    // Cut as Windows cuts it: terminated, the full size returned.
    std::memcpy(lpFilename, m_programPath.data(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    m_host.SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
}

void CheckPlatform::OutputDebugStringA(LPCSTR lpOutputString) {
    debugRecords.emplace_back(lpOutputString != nullptr ? lpOutputString : "");
}

DWORD CheckPlatform::GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                              LPSTR lpReturnedString, DWORD nSize,
                                              LPCSTR lpFileName) {
    const DWORD result = m_host.GetPrivateProfileStringA(lpAppName, lpKeyName, lpDefault,
                                                         lpReturnedString, nSize, lpFileName);
    if (lpAppName != nullptr && lpKeyName != nullptr && nSize > 0 &&
        std::strcmp(lpAppName, "Model_List") == 0) {
        modelListReads.push_back(
            {lpKeyName, std::string(lpReturnedString, strnlen(lpReturnedString, nSize))});
    }
    return result;
}

// A replayed machine has no device tree to refresh: the request succeeds, as
// it would where the list was taken, and this machine is left alone.
CONFIGRET CheckPlatform::CM_Locate_DevNodeA(PDEVINST pdnDevInst, DEVINSTID_A pDeviceID,
                                            ULONG ulFlags) {
    if (!m_replay) return m_host.CM_Locate_DevNodeA(pdnDevInst, pDeviceID, ulFlags);
    if (pdnDevInst == nullptr) return CR_INVALID_POINTER;
    *pdnDevInst = 1;
    return CR_SUCCESS;
}

CONFIGRET CheckPlatform::CM_Reenumerate_DevNode(DEVINST dnDevInst, ULONG ulFlags) {
    if (!m_replay) return m_host.CM_Reenumerate_DevNode(dnDevInst, ulFlags);
    return dnDevInst == 1 ? CR_SUCCESS : CR_INVALID_DEVNODE;
}

HDEVINFO CheckPlatform::SetupDiGetClassDevsExA(const GUID* ClassGuid, PCSTR Enumerator,
                                               HWND hwndParent, DWORD Flags, HDEVINFO DeviceInfoSet,
                                               PCSTR MachineName, PVOID Reserved) {
    if (!m_replay) {
        return m_host.SetupDiGetClassDevsExA(ClassGuid, Enumerator, hwndParent, Flags,
                                             DeviceInfoSet, MachineName, Reserved);
    }
    return memsetup::CreateDeviceSet(m_devices);
}

BOOL CheckPlatform::SetupDiEnumDeviceInfo(HDEVINFO DeviceInfoSet, DWORD MemberIndex,
                                          PSP_DEVINFO_DATA DeviceInfoData) {
    if (!m_replay) return m_host.SetupDiEnumDeviceInfo(DeviceInfoSet, MemberIndex, DeviceInfoData);
    DWORD error = m_host.GetLastError();
    const BOOL result =
        memsetup::EnumDeviceInfo(DeviceInfoSet, MemberIndex, DeviceInfoData, &error);
    m_host.SetLastError(error);
    return result;
}

BOOL CheckPlatform::SetupDiGetDeviceRegistryPropertyA(HDEVINFO DeviceInfoSet,
                                                      PSP_DEVINFO_DATA DeviceInfoData,
                                                      DWORD Property, PDWORD PropertyRegDataType,
                                                      PBYTE PropertyBuffer,
                                                      DWORD PropertyBufferSize,
                                                      PDWORD RequiredSize) {
    if (!m_replay) {
        return m_host.SetupDiGetDeviceRegistryPropertyA(DeviceInfoSet, DeviceInfoData, Property,
                                                        PropertyRegDataType, PropertyBuffer,
                                                        PropertyBufferSize, RequiredSize);
    }
    DWORD error = m_host.GetLastError();
    const BOOL result = memsetup::GetDeviceRegistryProperty(
        DeviceInfoSet, DeviceInfoData, Property, PropertyRegDataType, PropertyBuffer,
        PropertyBufferSize, RequiredSize, &error);
    m_host.SetLastError(error);
    return result;
}

BOOL CheckPlatform::SetupDiGetDeviceInstanceIdA(HDEVINFO DeviceInfoSet,
                                                PSP_DEVINFO_DATA DeviceInfoData,
                                                PSTR DeviceInstanceId, DWORD DeviceInstanceIdSize,
                                                PDWORD RequiredSize) {
    if (!m_replay) {
        return m_host.SetupDiGetDeviceInstanceIdA(DeviceInfoSet, DeviceInfoData, DeviceInstanceId,
                                                  DeviceInstanceIdSize, RequiredSize);
    }
    DWORD error = m_host.GetLastError();
    const BOOL result =
        memsetup::GetDeviceInstanceId(DeviceInfoSet, DeviceInfoData, DeviceInstanceId,
                                      DeviceInstanceIdSize, RequiredSize, &error);
    m_host.SetLastError(error);
    return result;
}

BOOL CheckPlatform::SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet) {
    if (!m_replay) return m_host.SetupDiDestroyDeviceInfoList(DeviceInfoSet);
    DWORD error = m_host.GetLastError();
    const BOOL result = memsetup::DestroyDeviceSet(DeviceInfoSet, &error);
    m_host.SetLastError(error);
    return result;
}

LSTATUS CheckPlatform::RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                                     PHKEY phkResult) {
    if (!m_replay) return m_host.RegOpenKeyExA(hKey, lpSubKey, ulOptions, samDesired, phkResult);
    if (phkResult == nullptr) return static_cast<LSTATUS>(ERROR_INVALID_PARAMETER);
    const std::string path = lpSubKey != nullptr ? lpSubKey : "";
    const std::size_t prefix = sizeof(kClassKey) - 1;
    if (hKey == HKEY_LOCAL_MACHINE && path.size() > prefix &&
        SameTextIgnoringCase(path.substr(0, prefix), kClassKey)) {
        for (const auto& key : m_driverKeys) {
            if (SameTextIgnoringCase(key.first, path.substr(prefix))) {
                *phkResult = memsetup::OpenKey(key.second);
                return static_cast<LSTATUS>(ERROR_SUCCESS);
            }
        }
    }
    return static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND);
}

LSTATUS CheckPlatform::RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved,
                                        LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    if (!m_replay) {
        return m_host.RegQueryValueExA(hKey, lpValueName, lpReserved, lpType, lpData, lpcbData);
    }
    return memsetup::QueryValue(hKey, lpValueName, lpReserved, lpType, lpData, lpcbData);
}

LSTATUS CheckPlatform::RegCloseKey(HKEY hKey) {
    if (!m_replay) return m_host.RegCloseKey(hKey);
    return memsetup::CloseKey(hKey);
}

HINSTANCE CheckPlatform::ShellExecuteA(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                                       LPCSTR lpDirectory, INT nShowCmd) {
    launches.push_back({lpOperation != nullptr ? lpOperation : "", lpFile != nullptr ? lpFile : "",
                        lpParameters != nullptr ? lpParameters : "", lpDirectory != nullptr,
                        nShowCmd});
    // What the shell answers for a started program: above 32.
    return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(42));
}
