// The window-system types and constants the class-library layer speaks in.
//
// On Windows they come from the system headers (through Win32Types.h). Off
// Windows the few the layer needs are declared here, with the Windows names,
// widths and values, so that dialog code reads the same on both.
#pragma once

#include "Win32Types.h"

#ifndef _WIN32

#include <cstdint>

using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using INT_PTR = std::intptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using HCURSOR = HICON;

constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_ICONERASEBKGND = 0x0027;
constexpr UINT WM_QUERYDRAGICON = 0x0037;
constexpr UINT WM_SETICON = 0x0080;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;

constexpr UINT BN_CLICKED = 0;
constexpr WPARAM ICON_SMALL = 0;
constexpr WPARAM ICON_BIG = 1;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;

#endif  // !_WIN32

// Commands of the class library, not of Windows: the values MFC gives them.
constexpr UINT ID_HELP = 0xE146;
