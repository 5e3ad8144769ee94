// The platform of a dry run: every call goes to the host platform, except
// that launches are recorded instead of made, the one-second pause is
// skipped, debugger output is collected, and the program seems to lie in the
// kit directory. With a device list, the device tree, the inventory and the
// registry are answered from that list instead of the machine.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "DeviceSet.h"
#include "Platform.h"

struct DeviceListEntry;

struct RecordedLaunch {
    std::string operation;
    std::string file;
    std::string parameters;
    bool hasDirectory;
    int showCommand;
};

struct RecordedRead {
    std::string key;
    std::string value;  // as the reader returned it, the default included
};

class CheckPlatform : public Platform {
  public:
    // `programPath`: the full path GetModuleFileNameA answers, in the kit.
    CheckPlatform(Platform& host, std::string programPath);

    // From now on the device tree, the inventory and the driver keys are
    // those of `devices`, not the machine's.
    void Replay(const std::vector<DeviceListEntry>& devices);

    std::vector<RecordedLaunch> launches;
    std::vector<std::string> debugRecords;
    std::vector<RecordedRead> modelListReads;  // the Model_List reads, in call order

    const CodePage& AnsiCodePage() override { return m_host.AnsiCodePage(); }

    DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) override;
    void OutputDebugStringA(LPCSTR lpOutputString) override;
    DWORD GetLastError() override { return m_host.GetLastError(); }
    void SetLastError(DWORD dwErrCode) override { m_host.SetLastError(dwErrCode); }
    void Sleep(DWORD) override {}
    DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                   LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName) override;

    int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) override {
        return m_host.MessageBoxA(hWnd, lpText, lpCaption, uType);
    }

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
    Platform& m_host;
    std::string m_programPath;
    bool m_replay = false;
    std::vector<DeviceRecord> m_devices;
    // Driver key (below ...\Control\Class) and its values.
    std::vector<std::pair<std::string, memsetup::RegistryValues>> m_driverKeys;
};
