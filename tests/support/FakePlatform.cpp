#include "FakePlatform.h"

#include <strings.h>

#include <cstring>

#include "ProfileReader.h"

DWORD FakePlatform::GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    if (hModule != nullptr || !modulePath) {
        SetLastError(hModule != nullptr ? ERROR_INVALID_HANDLE : moduleError);
        return 0;
    }
    const std::string& path = *modulePath;
    if (nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() < nSize) {
        std::memcpy(lpFilename, path.c_str(), path.size() + 1);
        return static_cast<DWORD>(path.size());
    }
    std::memcpy(lpFilename, path.data(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
}

void FakePlatform::OutputDebugStringA(LPCSTR lpOutputString) {
    debugOutput.emplace_back(lpOutputString);
}

DWORD FakePlatform::GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                             LPSTR lpReturnedString, DWORD nSize,
                                             LPCSTR lpFileName) {
    ++profileReads;
    auto file = files.find(lpFileName != nullptr ? lpFileName : "");
    if (file == files.end()) {
        // As Windows: the default, cut to the buffer, and "file not found".
        DWORD result = ReadProfileString("", lpAppName, lpKeyName, lpDefault, lpReturnedString,
                                         nSize);
        SetLastError(ERROR_FILE_NOT_FOUND);
        return result;
    }
    DWORD result = ReadProfileString(file->second, lpAppName, lpKeyName, lpDefault,
                                     lpReturnedString, nSize);
    SetLastError(ERROR_SUCCESS);
    return result;
}

int FakePlatform::MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    messageBoxes.push_back({lpText != nullptr ? lpText : "", lpCaption != nullptr ? lpCaption : "",
                            uType});
    return IDOK;
}

CONFIGRET FakePlatform::CM_Locate_DevNodeA(PDEVINST pdnDevInst, DEVINSTID_A, ULONG) {
    if (locateResult != CR_SUCCESS) {
        SetLastError(locateError);
        return locateResult;
    }
    *pdnDevInst = 1;
    return CR_SUCCESS;
}

CONFIGRET FakePlatform::CM_Reenumerate_DevNode(DEVINST, ULONG) {
    if (reenumerateResult != CR_SUCCESS) SetLastError(reenumerateError);
    return reenumerateResult;
}

HDEVINFO FakePlatform::SetupDiGetClassDevsExA(const GUID*, PCSTR, HWND, DWORD, HDEVINFO, PCSTR,
                                              PVOID) {
    if (noDeviceSet) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    ++openSets;
    return memsetup::CreateDeviceSet(devices);
}

BOOL FakePlatform::SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA data) {
    return memsetup::EnumDeviceInfo(set, index, data, &m_lastError);
}

BOOL FakePlatform::SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, PSP_DEVINFO_DATA data,
                                                     DWORD property, PDWORD regType, PBYTE buffer,
                                                     DWORD size, PDWORD required) {
    return memsetup::GetDeviceRegistryProperty(set, data, property, regType, buffer, size,
                                               required, &m_lastError);
}

BOOL FakePlatform::SetupDiGetDeviceInstanceIdA(HDEVINFO set, PSP_DEVINFO_DATA data, PSTR buffer,
                                               DWORD size, PDWORD required) {
    return memsetup::GetDeviceInstanceId(set, data, buffer, size, required, &m_lastError);
}

BOOL FakePlatform::SetupDiDestroyDeviceInfoList(HDEVINFO set) {
    BOOL ok = memsetup::DestroyDeviceSet(set, &m_lastError);
    if (ok) --openSets;
    return ok;
}

LSTATUS FakePlatform::RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired,
                                    PHKEY phkResult) {
    registryOpens.push_back({lpSubKey != nullptr ? lpSubKey : "", samDesired});
    if (hKey != HKEY_LOCAL_MACHINE || lpSubKey == nullptr) return ERROR_INVALID_HANDLE;
    for (const auto& [path, values] : registry) {
        if (strcasecmp(path.c_str(), lpSubKey) == 0) {
            *phkResult = memsetup::OpenKey(values);
            ++openKeys;
            return ERROR_SUCCESS;
        }
    }
    return ERROR_FILE_NOT_FOUND;
}

LSTATUS FakePlatform::RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved,
                                       LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    return memsetup::QueryValue(hKey, lpValueName, lpReserved, lpType, lpData, lpcbData);
}

LSTATUS FakePlatform::RegCloseKey(HKEY hKey) {
    LSTATUS status = memsetup::CloseKey(hKey);
    if (status == ERROR_SUCCESS) --openKeys;
    return status;
}

HINSTANCE FakePlatform::ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile,
                                      LPCSTR lpParameters, LPCSTR lpDirectory, INT nShowCmd) {
    launches.push_back({hwnd != nullptr, lpOperation != nullptr ? lpOperation : "",
                        lpFile != nullptr ? lpFile : "", lpParameters != nullptr ? lpParameters : "",
                        lpDirectory != nullptr, nShowCmd});
    return reinterpret_cast<HINSTANCE>(shellResult);
}
