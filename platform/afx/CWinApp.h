// The application object. A program defines exactly one, as a global, so it
// is constructed during static initialisation; the entry point of the build's
// back end then fills in the start-up data and runs it (AfxRunApp).
#pragma once

#include "Platform.h"
#include "afx/CString.h"
#include "afx/CWnd.h"

class CWinApp : public CCmdTarget {
  public:
    // No name: the entry point takes it from the program file (AfxAppName).
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCSTR m_pszAppName = nullptr;
    HINSTANCE m_hInstance = nullptr;
    // The command-line text after the program name and the blanks that
    // follow it (see the back ends' entry points).
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOW;
    // The main window; cleared when that window is destroyed.
    CWnd* m_pMainWnd = nullptr;

    // FALSE ends the program without a message loop.
    virtual BOOL InitInstance() { return TRUE; }
    // The program's exit code. The default stores nothing and answers 0.
    virtual int ExitInstance() { return 0; }
    // The message loop, then ExitInstance.
    virtual int Run();

    // Kept for programs written for older systems, where it switched on
    // three-dimensional controls; they are always on now.
    BOOL Enable3dControlsStatic() { return TRUE; }

    // An icon of the application's resources; null when they hold none with
    // that identifier.
    HICON LoadIcon(UINT nIDResource) const;

    // The ID_HELP command. The program ships no help file, so it shows
    // nothing.
    void OnHelp() {}

    const AfxMessageMap* GetMessageMap() const override;

    // Start-up data, set by the entry point before AfxRunApp. The name is
    // taken from the program file unless the application gave one.
    void SetStartup(Platform& platform, HINSTANCE hInstance, const char* commandLine, int nCmdShow);

  private:
    CString m_strAppName;
    CString m_strCmdLine;
};

// The one application object; null before it is constructed.
CWinApp* AfxGetApp();

// InitInstance, then ExitInstance when it answers FALSE or the message loop
// when it answers TRUE. The result is the process's exit code.
int AfxRunApp(CWinApp& app);
