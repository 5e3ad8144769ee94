// The Windows types and constants the platform boundary speaks in.
//
// On Windows they come from the system headers. Elsewhere they are declared
// here, from what the program needs: same names, same widths, same values, so
// that code written against the boundary reads and behaves the same on both.
#pragma once

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
// clang-format off
#include <windows.h>
#include <cfgmgr32.h>
#include <setupapi.h>
#include <shellapi.h>
// clang-format on

#else  // !_WIN32

#include <cstddef>
#include <cstdint>

using BOOL = int;
using BYTE = unsigned char;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using CHAR = char;
using ULONG_PTR = std::uintptr_t;
using LSTATUS = LONG;
using REGSAM = DWORD;
using CONFIGRET = DWORD;
using DEVINST = DWORD;

using PVOID = void*;
using LPVOID = void*;
using PBYTE = BYTE*;
using LPBYTE = BYTE*;
using PDWORD = DWORD*;
using LPDWORD = DWORD*;
using PDEVINST = DEVINST*;
using LPSTR = char*;
using PSTR = char*;
using LPCSTR = const char*;
using PCSTR = const char*;
using DEVINSTID_A = char*;

// Handles are distinct pointer types, as with STRICT on Windows.
struct HWND__;
struct HINSTANCE__;
struct HKEY__;
struct HICON__;
struct HDC__;
using HWND = HWND__*;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE__*;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using HICON = HICON__*;
using HDC = HDC__*;
using HANDLE = void*;
using HDEVINFO = void*;

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    unsigned char Data4[8];
};

struct SP_DEVINFO_DATA {
    DWORD cbSize;
    GUID ClassGuid;
    DWORD DevInst;
    ULONG_PTR Reserved;
};
using PSP_DEVINFO_DATA = SP_DEVINFO_DATA*;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u)))

// Last-error and registry result codes.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_BAD_FORMAT = 11;
constexpr DWORD ERROR_INVALID_DATA = 13;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_MORE_DATA = 234;
constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
constexpr DWORD ERROR_NO_ASSOCIATION = 1155;
constexpr DWORD ERROR_INVALID_USER_BUFFER = 1784;

// Registry.
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_MULTI_SZ = 7;

// Configuration Manager.
constexpr CONFIGRET CR_SUCCESS = 0x00;
constexpr CONFIGRET CR_INVALID_POINTER = 0x03;
constexpr CONFIGRET CR_INVALID_DEVNODE = 0x05;
constexpr CONFIGRET CR_NO_SUCH_DEVNODE = 0x0D;
constexpr CONFIGRET CR_FAILURE = 0x13;
constexpr CONFIGRET CR_ACCESS_DENIED = 0x33;
constexpr ULONG CM_LOCATE_DEVNODE_NORMAL = 0;
constexpr ULONG CM_REENUMERATE_NORMAL = 0;

// SetupAPI.
constexpr DWORD DIGCF_PRESENT = 0x02;
constexpr DWORD DIGCF_ALLCLASSES = 0x04;
constexpr DWORD SPDRP_HARDWAREID = 0x01;
constexpr DWORD SPDRP_DRIVER = 0x09;
constexpr DWORD SPDRP_FRIENDLYNAME = 0x0C;

// User interface.
constexpr UINT MB_OK = 0x00;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;

// Shell: ShellExecuteA's results of 32 or less.
constexpr int SE_ERR_FNF = 2;
constexpr int SE_ERR_PNF = 3;
constexpr int SE_ERR_ACCESSDENIED = 5;
constexpr int SE_ERR_OOM = 8;
constexpr int SE_ERR_SHARE = 26;
constexpr int SE_ERR_NOASSOC = 31;

#endif  // _WIN32
