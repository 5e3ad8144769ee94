// The Win32 back end: the window calls of the class library passed to
// USER32, and modal dialogs from the program's dialog templates.
#include "afx/CDialog.h"
#include "afx/CWinApp.h"

namespace {

// Messages a dialog procedure answers by its result rather than through
// DWLP_MSGRESULT, of those the layer dispatches.
bool AnswersDirectly(UINT message) { return message == WM_QUERYDRAGICON; }

INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
        dialog->m_hWnd = hWnd;
        return dialog->OnInitDialog();
    }
    auto* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    if (dialog == nullptr) return FALSE;
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        dialog->AfxDetachWindow();
        return FALSE;
    }
    LRESULT result = 0;
    if (!dialog->OnWndMsg(message, wParam, lParam, &result)) return FALSE;
    if (AnswersDirectly(message)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

HINSTANCE ResourceModule() {
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_hInstance != nullptr) return app->m_hInstance;
    return ::GetModuleHandleA(nullptr);
}

}  // namespace

HWND AfxChildWindow(HWND parent, int nID) {
    return parent != nullptr ? ::GetDlgItem(parent, nID) : nullptr;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    return m_hWnd != nullptr ? ::ShowWindow(m_hWnd, nCmdShow) : FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return m_hWnd != nullptr ? ::SendMessageA(m_hWnd, message, wParam, lParam) : 0;
}

BOOL CWnd::IsIconic() const { return m_hWnd != nullptr ? ::IsIconic(m_hWnd) : FALSE; }

void CWnd::GetClientRect(LPRECT lpRect) const {
    if (m_hWnd == nullptr || !::GetClientRect(m_hWnd, lpRect)) *lpRect = RECT{0, 0, 0, 0};
}

int AfxGetSystemMetrics(int nIndex) { return ::GetSystemMetrics(nIndex); }

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()), m_paint{} {
    static_assert(sizeof(PAINTSTRUCT) <= sizeof(m_paint), "room for the paint record");
    if (m_hWnd != nullptr) m_hDC = ::BeginPaint(m_hWnd, reinterpret_cast<PAINTSTRUCT*>(m_paint));
}

CPaintDC::~CPaintDC() {
    if (m_hWnd != nullptr) ::EndPaint(m_hWnd, reinterpret_cast<PAINTSTRUCT*>(m_paint));
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return ::LoadIconA(ResourceModule(), MAKEINTRESOURCEA(nIDResource));
}

int CWinApp::Run() {
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return ExitInstance();
}

INT_PTR CDialog::DoModal() {
    m_bEnded = false;
    m_nModalResult = -1;
    HWND parent = m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : nullptr;
    return ::DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(m_nIDTemplate), parent, DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(int nResult) {
    m_bEnded = true;
    m_nModalResult = nResult;
    if (m_hWnd != nullptr) ::EndDialog(m_hWnd, nResult);
}
