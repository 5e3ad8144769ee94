// Free functions of the class-library layer.
#pragma once

#include <string>

#include "Platform.h"
#include "afx/CString.h"

// The running program's full path, read with a buffer that grows until the
// path fits. *length is the system's last answer: 0 when it gave no path.
std::string AfxModulePath(Platform& platform, DWORD* length);

// The application's name: the program file's name without its extension.
CString AfxAppName(Platform& platform);

// A message box with the application's name as caption and no owner. When
// `type` names no icon, the exclamation icon is added for MB_OK boxes.
int AfxMessageBox(Platform& platform, LPCSTR text, UINT type = MB_OK, UINT helpContext = 0);
