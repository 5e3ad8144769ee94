#include "PATH.h"

#include "PathSplit.h"
#include "afx/Afx.h"

CPATH::CPATH(Platform& platform) : m_platform(platform) {
    if (!Run()) m_platform.MessageBoxA(nullptr, "Error in CPATH::Run()", "Error", MB_OK);
}

BOOL CPATH::Run() {
    DWORD length = 0;
    m_strFullPath = CString(AfxModulePath(m_platform, &length));
    const SplitPathParts parts = SplitPath(m_strFullPath.Str(), m_platform.AnsiCodePage());
    m_strDrive = CString(parts.drive);
    m_strDir = CString(parts.directory);
    m_strFileName = CString(parts.fileName);
    m_strExt = CString(parts.extension);
    return length != 0 ? TRUE : FALSE;
}
