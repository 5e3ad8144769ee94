// Where the running program lies: its full path, split into drive,
// directory, file name and extension when the object is made.
#pragma once

#include "Platform.h"
#include "afx/CString.h"

class CPATH {
public:
    // Fetches and splits the program path at once; tells the user in a
    // message box when the path cannot be had.
    explicit CPATH(Platform& platform);
    virtual ~CPATH() = default;

    // Fetches the program path and splits it. FALSE when the system gave no
    // path; the split runs all the same.
    BOOL Run();

    CString GetFullPath() const { return m_strFullPath; }
    CString GetDrive() const { return m_strDrive; }
    CString GetDir() const { return m_strDir; }
    CString GetFileName() const { return m_strFileName; }
    CString GetExt() const { return m_strExt; }
    CString GetVersion() const { return "v1.0.0.0 (2003/12/08)"; }

private:
    Platform& m_platform;
    CString m_strFullPath;
    CString m_strDrive;
    CString m_strDir;
    CString m_strFileName;
    CString m_strExt;
};
