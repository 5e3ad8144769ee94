// A dialog made from a template of the program's resources, run modally.
//
// DoModal creates the window and sends it its initialisation (OnInitDialog);
// a dialog that ends itself there (EndDialog, OnCancel) never enters the
// modal loop and is never shown when its template is not visible.
#pragma once

#include "afx/CWnd.h"

class CDialog : public CWnd {
  public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

    // The code given to EndDialog; -1 when the window could not be created
    // (the headless back end, having no user, also answers -1 for a dialog
    // that does not end itself during its initialisation).
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    // Exchanges the dialog's data with its controls, through DoDataExchange.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // TRUE: the system sets the focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    UINT TemplateId() const { return m_nIDTemplate; }

    const AfxMessageMap* GetMessageMap() const override;

  protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    // Set by EndDialog, read by the back end's DoModal.
    bool m_bEnded = false;
    int m_nModalResult = -1;
};
