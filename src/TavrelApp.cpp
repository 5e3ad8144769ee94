#include "TavrelApp.h"

#include "TavrelDlg.h"

namespace {
const AfxMessageEntry kEntries[] = {
    AfxOnCommand(0, ID_HELP, &CWinApp::OnHelp),
    AfxEndOfMap(),
};
}  // namespace

const AfxMessageMap* CTavrelApp::GetMessageMap() const {
    static const AfxMessageMap map = {CWinApp::GetMessageMap(), kEntries};
    return &map;
}

CTavrelApp theApp;

BOOL CTavrelApp::InitInstance() {
    Enable3dControlsStatic();

    CTavrelDlg dlg(HostPlatform());
    m_pMainWnd = &dlg;
    dlg.DoModal();

    // Destroying the dialog here destroys the driver-selection object with it.
    return FALSE;
}
