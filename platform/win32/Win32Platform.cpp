// The platform on Windows: every call passed straight to the system.
#include "Platform.h"

namespace {

class Win32Platform : public Platform {
public:
    Win32Platform() : m_codePage(::GetACP()) {}

    const CodePage& AnsiCodePage() override { return m_codePage; }

    DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) override {
        return ::GetModuleFileNameA(hModule, lpFilename, nSize);
    }
    void OutputDebugStringA(LPCSTR lpOutputString) override {
        ::OutputDebugStringA(lpOutputString);
    }
    DWORD GetLastError() override { return ::GetLastError(); }
    void SetLastError(DWORD dwErrCode) override { ::SetLastError(dwErrCode); }
    void Sleep(DWORD dwMilliseconds) override { ::Sleep(dwMilliseconds); }
    DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                   LPSTR lpReturnedString, DWORD nSize,
                                   LPCSTR lpFileName) override {
        return ::GetPrivateProfileStringA(lpAppName, lpKeyName, lpDefault, lpReturnedString, nSize,
                                          lpFileName);
    }

    int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) override {
        return ::MessageBoxA(hWnd, lpText, lpCaption, uType);
    }

    CONFIGRET CM_Locate_DevNodeA(PDEVINST pdnDevInst, DEVINSTID_A pDeviceID,
                                 ULONG ulFlags) override {
        return ::CM_Locate_DevNodeA(pdnDevInst, pDeviceID, ulFlags);
    }
    CONFIGRET CM_Reenumerate_DevNode(DEVINST dnDevInst, ULONG ulFlags) override {
        return ::CM_Reenumerate_DevNode(dnDevInst, ulFlags);
    }

    HDEVINFO SetupDiGetClassDevsExA(const GUID* ClassGuid, PCSTR Enumerator, HWND hwndParent,
                                    DWORD Flags, HDEVINFO DeviceInfoSet, PCSTR MachineName,
                                    PVOID Reserved) override {
        return ::SetupDiGetClassDevsExA(ClassGuid, Enumerator, hwndParent, Flags, DeviceInfoSet,
                                        MachineName, Reserved);
    }
    BOOL SetupDiEnumDeviceInfo(HDEVINFO DeviceInfoSet, DWORD MemberIndex,
                               PSP_DEVINFO_DATA DeviceInfoData) override {
        return ::SetupDiEnumDeviceInfo(DeviceInfoSet, MemberIndex, DeviceInfoData);
    }
    BOOL SetupDiGetDeviceRegistryPropertyA(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                           DWORD Property, PDWORD PropertyRegDataType,
                                           PBYTE PropertyBuffer, DWORD PropertyBufferSize,
                                           PDWORD RequiredSize) override {
        return ::SetupDiGetDeviceRegistryPropertyA(DeviceInfoSet, DeviceInfoData, Property,
                                                   PropertyRegDataType, PropertyBuffer,
                                                   PropertyBufferSize, RequiredSize);
    }
    BOOL SetupDiGetDeviceInstanceIdA(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                     PSTR DeviceInstanceId, DWORD DeviceInstanceIdSize,
                                     PDWORD RequiredSize) override {
        return ::SetupDiGetDeviceInstanceIdA(DeviceInfoSet, DeviceInfoData, DeviceInstanceId,
                                             DeviceInstanceIdSize, RequiredSize);
    }
    BOOL SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet) override {
        return ::SetupDiDestroyDeviceInfoList(DeviceInfoSet);
    }

    LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                          PHKEY phkResult) override {
        return ::RegOpenKeyExA(hKey, lpSubKey, ulOptions, samDesired, phkResult);
    }
    LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                             LPBYTE lpData, LPDWORD lpcbData) override {
        return ::RegQueryValueExA(hKey, lpValueName, lpReserved, lpType, lpData, lpcbData);
    }
    LSTATUS RegCloseKey(HKEY hKey) override { return ::RegCloseKey(hKey); }

    HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                            LPCSTR lpDirectory, INT nShowCmd) override {
        return ::ShellExecuteA(hwnd, lpOperation, lpFile, lpParameters, lpDirectory, nShowCmd);
    }

private:
    CodePage m_codePage;
};

}  // namespace

Platform& HostPlatform() {
    static Win32Platform platform;
    return platform;
}
