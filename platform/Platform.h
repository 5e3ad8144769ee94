// The boundary between the program and the system it runs on.
//
// One virtual method per system call the program makes, with the Windows
// name, argument order, result convention and last-error behaviour. The
// Windows implementation passes each call straight through; the Linux one
// gives each call the same contract on Linux; tests program a fake.
#pragma once

#include "CodePage.h"
#include "Win32Types.h"

class Platform {
public:
    virtual ~Platform() = default;

    // The system's ANSI code page.
    virtual const CodePage& AnsiCodePage() = 0;

    // Kernel.
    virtual DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) = 0;
    virtual void OutputDebugStringA(LPCSTR lpOutputString) = 0;
    virtual DWORD GetLastError() = 0;
    virtual void SetLastError(DWORD dwErrCode) = 0;
    virtual void Sleep(DWORD dwMilliseconds) = 0;
    virtual DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                           LPSTR lpReturnedString, DWORD nSize,
                                           LPCSTR lpFileName) = 0;

    // User interface.
    virtual int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) = 0;

    // Configuration Manager.
    virtual CONFIGRET CM_Locate_DevNodeA(PDEVINST pdnDevInst, DEVINSTID_A pDeviceID,
                                         ULONG ulFlags) = 0;
    virtual CONFIGRET CM_Reenumerate_DevNode(DEVINST dnDevInst, ULONG ulFlags) = 0;

    // SetupAPI.
    virtual HDEVINFO SetupDiGetClassDevsExA(const GUID* ClassGuid, PCSTR Enumerator,
                                            HWND hwndParent, DWORD Flags, HDEVINFO DeviceInfoSet,
                                            PCSTR MachineName, PVOID Reserved) = 0;
    virtual BOOL SetupDiEnumDeviceInfo(HDEVINFO DeviceInfoSet, DWORD MemberIndex,
                                       PSP_DEVINFO_DATA DeviceInfoData) = 0;
    virtual BOOL SetupDiGetDeviceRegistryPropertyA(HDEVINFO DeviceInfoSet,
                                                   PSP_DEVINFO_DATA DeviceInfoData, DWORD Property,
                                                   PDWORD PropertyRegDataType,
                                                   PBYTE PropertyBuffer, DWORD PropertyBufferSize,
                                                   PDWORD RequiredSize) = 0;
    virtual BOOL SetupDiGetDeviceInstanceIdA(HDEVINFO DeviceInfoSet,
                                             PSP_DEVINFO_DATA DeviceInfoData, PSTR DeviceInstanceId,
                                             DWORD DeviceInstanceIdSize, PDWORD RequiredSize) = 0;
    virtual BOOL SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet) = 0;

    // Registry.
    virtual LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                                  PHKEY phkResult) = 0;
    virtual LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved,
                                     LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) = 0;
    virtual LSTATUS RegCloseKey(HKEY hKey) = 0;

    // Shell.
    virtual HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile,
                                    LPCSTR lpParameters, LPCSTR lpDirectory, INT nShowCmd) = 0;
};

// The platform of this build: Win32 on Windows, Linux elsewhere. Lives for
// the whole process.
Platform& HostPlatform();
