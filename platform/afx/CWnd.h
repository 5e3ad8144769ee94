// Windows as the class library gives them: a C++ object attached to a window
// handle, and device contexts for painting.
//
// The calls are implemented by the build's back end: win32/ passes them to
// USER32; headless/ keeps a small in-process model of each window and never
// shows anything. Either way a CWnd with no window attached answers as
// Windows does for a null handle: nothing done, zero or FALSE returned.
#pragma once

#include <map>
#include <memory>

#include "afx/CCmdTarget.h"

class CWnd : public CCmdTarget {
  public:
    CWnd() = default;
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Returns whether the window was visible before.
    BOOL ShowWindow(int nCmdShow);
    // The child with identifier `nID`, or null. The object stays valid as
    // long as this window object and the child window do.
    CWnd* GetDlgItem(int nID);
    // Sends `message` to the window and returns its answer.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL IsIconic() const;
    void GetClientRect(RECT* lpRect) const;

    // Routes a command that no entry of this window takes on to the
    // application's map (ID_HELP is the application's).
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // For the back ends: the window has been destroyed. Detaches the handle
    // and the child objects, and clears the application's main-window
    // reference when it names this object.
    void AfxDetachWindow();

  protected:
    // From inside a handler: let the window system handle the message it is
    // handling, as if there were no handler.
    void Default() { m_bWantDefault = true; }

  private:
    std::map<HWND, std::unique_ptr<CWnd>> m_childObjects;
};

// The back end's child lookup: the child of `parent` with identifier `nID`.
HWND AfxChildWindow(HWND parent, int nID);

// The size of a system element (SM_CXICON, ...), from the window system.
int AfxGetSystemMetrics(int nIndex);

class CDC {
  public:
    CDC() = default;
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    HDC GetSafeHdc() const { return m_hDC; }

    BOOL DrawIcon(int x, int y, HICON hIcon);
};

// The device context of one WM_PAINT: begins painting the window on
// construction and ends it on destruction.
class CPaintDC : public CDC {
  public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

  private:
    HWND m_hWnd;
    // Room for the back end's paint record (PAINTSTRUCT on Windows).
    // Used by the Win32 back end only; clang warns of it in the headless one.
    [[maybe_unused]] alignas(8) unsigned char m_paint[128];
};

// What DoDataExchange is given: the dialog and the direction.
class CDataExchange {
  public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};
