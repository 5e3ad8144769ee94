// The headless back end: the window calls of the class library on an
// in-process model of each window (HeadlessWindow.h). Nothing is ever shown.
#include "afx/headless/HeadlessWindow.h"

#include "afx/CDialog.h"
#include "afx/CWinApp.h"

namespace {
constexpr int kIconSize = 32;

HeadlessWindow* WindowOfDc(HDC hDC) { return reinterpret_cast<HeadlessWindow*>(hDC); }
}  // namespace

HeadlessWindow* HeadlessWindowOf(HWND hWnd) { return reinterpret_cast<HeadlessWindow*>(hWnd); }

HeadlessWindow* HeadlessWindow::Child(int nID) {
    for (auto& child : children) {
        if (child->id == nID) return child.get();
    }
    return nullptr;
}

HWND AfxChildWindow(HWND parent, int nID) {
    HeadlessWindow* window = HeadlessWindowOf(parent);
    if (window == nullptr) return nullptr;
    if (HeadlessWindow* child = window->Child(nID)) return child->Handle();
    auto child = std::make_unique<HeadlessWindow>();
    child->parent = window;
    child->id = nID;
    child->visible = true;
    child->everShown = true;
    window->children.push_back(std::move(child));
    return window->children.back()->Handle();
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    HeadlessWindow* window = HeadlessWindowOf(m_hWnd);
    if (window == nullptr) return FALSE;
    const BOOL wasVisible = window->visible ? TRUE : FALSE;
    window->visible = nCmdShow != SW_HIDE;
    window->everShown = window->everShown || window->visible;
    return wasVisible;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HeadlessWindow* window = HeadlessWindowOf(m_hWnd);
    if (window == nullptr) return 0;
    window->sent.push_back({message, wParam, lParam});
    LRESULT result = 0;
    if (window->object != nullptr && window->object->OnWndMsg(message, wParam, lParam, &result)) {
        return result;
    }
    // The default handling, for the messages that have one worth keeping.
    if (message == WM_SETICON) {
        HICON icon = reinterpret_cast<HICON>(lParam);
        HICON& slot = wParam == ICON_BIG ? window->bigIcon : window->smallIcon;
        HICON previous = slot;
        slot = icon;
        return reinterpret_cast<LRESULT>(previous);
    }
    return 0;
}

BOOL CWnd::IsIconic() const {
    HeadlessWindow* window = HeadlessWindowOf(m_hWnd);
    return window != nullptr && window->iconic ? TRUE : FALSE;
}

void CWnd::GetClientRect(RECT* lpRect) const {
    HeadlessWindow* window = HeadlessWindowOf(m_hWnd);
    *lpRect = window != nullptr ? window->client : RECT{0, 0, 0, 0};
}

int AfxGetSystemMetrics(int nIndex) {
    return nIndex == SM_CXICON || nIndex == SM_CYICON ? kIconSize : 0;
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) {
    HeadlessWindow* window = WindowOfDc(m_hDC);
    if (window == nullptr) return FALSE;
    window->drawings.push_back({m_hDC, x, y, hIcon});
    return TRUE;
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()), m_paint{} {
    HeadlessWindow* window = HeadlessWindowOf(m_hWnd);
    if (window == nullptr) return;
    ++window->openPaints;
    m_hDC = reinterpret_cast<HDC>(window);
}

CPaintDC::~CPaintDC() {
    HeadlessWindow* window = HeadlessWindowOf(m_hWnd);
    if (window != nullptr) --window->openPaints;
}

HICON CWinApp::LoadIcon(UINT) const {
    // Resources are compiled into Windows programs only.
    return nullptr;
}

int CWinApp::Run() {
    // Nothing can post a message to a window nobody sees: there is no loop
    // to run.
    return ExitInstance();
}

INT_PTR CDialog::DoModal() {
    // The window is made hidden, as a template without WS_VISIBLE makes it,
    // and lives only while DoModal runs.
    auto window = std::make_unique<HeadlessWindow>();
    window->object = this;
    window->parent =
        HeadlessWindowOf(m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : nullptr);
    m_bEnded = false;
    m_nModalResult = -1;
    m_hWnd = window->Handle();
    window->sent.push_back({WM_INITDIALOG, 0, 0});
    OnInitDialog();
    // A dialog still open after its initialisation would wait for a user
    // there is none of.
    const INT_PTR result = m_bEnded ? m_nModalResult : -1;
    AfxDetachWindow();
    return result;
}

void CDialog::EndDialog(int nResult) {
    m_bEnded = true;
    m_nModalResult = nResult;
}
