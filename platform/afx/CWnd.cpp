#include "afx/CWnd.h"

#include "afx/CWinApp.h"

CWnd::~CWnd() = default;

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (CCmdTarget::OnWndMsg(message, wParam, lParam, result)) return TRUE;
    if (message != WM_COMMAND) return FALSE;
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->OnWndMsg(message, wParam, lParam, result);
}

CWnd* CWnd::GetDlgItem(int nID) {
    HWND child = AfxChildWindow(m_hWnd, nID);
    if (child == nullptr) return nullptr;
    std::unique_ptr<CWnd>& object = m_childObjects[child];
    if (!object) {
        object = std::make_unique<CWnd>();
        object->m_hWnd = child;
    }
    return object.get();
}

void CWnd::AfxDetachWindow() {
    m_hWnd = nullptr;
    m_childObjects.clear();
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
}
