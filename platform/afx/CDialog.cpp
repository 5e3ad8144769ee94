#include "afx/CDialog.h"

#include "afx/CWinApp.h"

namespace {
// The buttons every dialog understands, as in MFC: OK and Cancel, which the
// system also sends for Enter and Escape.
const AfxMessageEntry kDialogEntries[] = {
    AfxOnCommand(BN_CLICKED, IDOK, &CDialog::OnOK),
    AfxOnCommand(BN_CLICKED, IDCANCEL, &CDialog::OnCancel),
    AfxEndOfMap(),
};
const AfxMessageMap kDialogMap = {nullptr, kDialogEntries};
}  // namespace

const AfxMessageMap* CDialog::GetMessageMap() const { return &kDialogMap; }

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
