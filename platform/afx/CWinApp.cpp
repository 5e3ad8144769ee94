#include "afx/CWinApp.h"

#include "afx/Afx.h"

namespace {
CWinApp* g_app = nullptr;

const AfxMessageEntry kAppEntries[] = {
    AfxOnCommand(0, ID_HELP, &CWinApp::OnHelp),
    AfxEndOfMap(),
};
const AfxMessageMap kAppMap = {nullptr, kAppEntries};
}  // namespace

CWinApp::CWinApp(LPCSTR lpszAppName) {
    if (lpszAppName != nullptr) {
        m_strAppName = lpszAppName;
        m_pszAppName = m_strAppName;
    }
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

const AfxMessageMap* CWinApp::GetMessageMap() const { return &kAppMap; }

void CWinApp::SetStartup(Platform& platform, HINSTANCE hInstance, const char* commandLine,
                         int nCmdShow) {
    m_hInstance = hInstance;
    m_nCmdShow = nCmdShow;
    m_strCmdLine = commandLine != nullptr ? commandLine : "";
    // MFC hands out the command line as a non-const pointer; it is never
    // written through.
    m_lpCmdLine = const_cast<LPSTR>(m_strCmdLine.GetString());
    if (m_pszAppName == nullptr) {
        m_strAppName = AfxAppName(platform);
        m_pszAppName = m_strAppName;
    }
}

CWinApp* AfxGetApp() { return g_app; }

int AfxRunApp(CWinApp& app) {
    if (!app.InitInstance()) return app.ExitInstance();
    return app.Run();
}
