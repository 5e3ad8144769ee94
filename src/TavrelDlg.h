// The main dialog. It is never shown: its initialisation hides it, runs the
// driver selection once with the program's command-line text, and ends it.
#pragma once

#include "EnumNimoTVTuner.h"
#include "Platform.h"
#include "afx/CDialog.h"
#include "resource.h"

class CTavrelDlg : public CDialog {
  public:
    enum { IDD = IDD_TAVREL_DIALOG };

    // The driver-selection object works on `platform`.
    explicit CTavrelDlg(Platform& platform, CWnd* pParent = nullptr);

    const AfxMessageMap* GetMessageMap() const override;

    CEnumNimoTVTuner m_Tuner;
    HICON m_hIcon;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnButton1();
};
