// The platform on Linux: each Windows call of the boundary given the same
// contract on Linux. Kernel and user-interface calls are in
// LinuxPlatform.cpp, the profile reader in LinuxProfile.cpp, the device
// inventory and the registry view in LinuxDevices.cpp, the shell in
// LinuxShell.cpp.
#pragma once

#include <string>

#include "Platform.h"

class LinuxPlatform : public Platform {
public:
    LinuxPlatform();

    const CodePage& AnsiCodePage() override { return m_codePage; }

    DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) override;
    void OutputDebugStringA(LPCSTR lpOutputString) override;
    DWORD GetLastError() override;
    void SetLastError(DWORD dwErrCode) override;
    void Sleep(DWORD dwMilliseconds) override;
    DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                   LPSTR lpReturnedString, DWORD nSize,
                                   LPCSTR lpFileName) override;

    int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) override;

    CONFIGRET CM_Locate_DevNodeA(PDEVINST pdnDevInst, DEVINSTID_A pDeviceID,
                                 ULONG ulFlags) override;
    CONFIGRET CM_Reenumerate_DevNode(DEVINST dnDevInst, ULONG ulFlags) override;

    HDEVINFO SetupDiGetClassDevsExA(const GUID* ClassGuid, PCSTR Enumerator, HWND hwndParent,
                                    DWORD Flags, HDEVINFO DeviceInfoSet, PCSTR MachineName,
                                    PVOID Reserved) override;
    BOOL SetupDiEnumDeviceInfo(HDEVINFO DeviceInfoSet, DWORD MemberIndex,
                               PSP_DEVINFO_DATA DeviceInfoData) override;
    BOOL SetupDiGetDeviceRegistryPropertyA(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                           DWORD Property, PDWORD PropertyRegDataType,
                                           PBYTE PropertyBuffer, DWORD PropertyBufferSize,
                                           PDWORD RequiredSize) override;
    BOOL SetupDiGetDeviceInstanceIdA(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                     PSTR DeviceInstanceId, DWORD DeviceInstanceIdSize,
                                     PDWORD RequiredSize) override;
    BOOL SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet) override;

    LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                          PHKEY phkResult) override;
    LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                             LPBYTE lpData, LPDWORD lpcbData) override;
    LSTATUS RegCloseKey(HKEY hKey) override;

    HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                            LPCSTR lpDirectory, INT nShowCmd) override;

private:
    CodePage m_codePage;
};

// A path the program names, with every backslash turned into a slash: off
// Windows a backslash in such a path is a separator.
std::string NativePath(const char* path);
