// A platform programmed by a test: it answers what the test set up and
// records what the program asked. Device sets, registry keys and profile
// files follow the Windows conventions through the same in-memory pieces the
// Linux platform uses.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "DeviceSet.h"
#include "Platform.h"

class FakePlatform : public Platform {
public:
    struct MessageBoxCall {
        std::string text;
        std::string caption;
        UINT type;
    };
    struct ShellExecuteCall {
        bool hasOwner;
        std::string operation;
        std::string file;
        std::string parameters;
        bool hasDirectory;
        INT show;
    };
    struct RegOpenCall {
        std::string subKey;
        REGSAM access;
    };

    // --- What the test sets up ---
    CodePage codePage{CodePage::kWestern};
    std::optional<std::string> modulePath = std::string("C:\\Kit\\Tavrel.exe");
    DWORD moduleError = ERROR_FILE_NOT_FOUND;  // last error when there is no module path
    std::map<std::string, std::string> files;  // profile files by exact path
    CONFIGRET locateResult = CR_SUCCESS;
    CONFIGRET reenumerateResult = CR_SUCCESS;
    DWORD locateError = ERROR_SUCCESS;      // last error a failed locate leaves behind
    DWORD reenumerateError = ERROR_SUCCESS;  // ... and a failed re-enumeration
    bool noDeviceSet = false;                // SetupDiGetClassDevsExA fails
    std::vector<DeviceRecord> devices;
    // Registry keys below HKEY_LOCAL_MACHINE, by path compared without case.
    std::map<std::string, memsetup::RegistryValues> registry;
    std::uintptr_t shellResult = 42;  // what ShellExecuteA returns

    // --- What the program asked ---
    std::vector<std::string> debugOutput;
    std::vector<MessageBoxCall> messageBoxes;
    std::vector<DWORD> sleeps;
    std::vector<ShellExecuteCall> launches;
    std::vector<RegOpenCall> registryOpens;
    int openKeys = 0;     // registry keys open now
    int openSets = 0;     // device information sets open now
    int profileReads = 0;

    // Adds `text` as the file at `path`.
    void AddFile(const std::string& path, const std::string& text) { files[path] = text; }

    const CodePage& AnsiCodePage() override { return codePage; }

    DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) override;
    void OutputDebugStringA(LPCSTR lpOutputString) override;
    DWORD GetLastError() override { return m_lastError; }
    void SetLastError(DWORD dwErrCode) override { m_lastError = dwErrCode; }
    void Sleep(DWORD dwMilliseconds) override { sleeps.push_back(dwMilliseconds); }
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
    DWORD m_lastError = ERROR_SUCCESS;
};
