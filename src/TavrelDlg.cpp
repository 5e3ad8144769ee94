#include "TavrelDlg.h"

#include "afx/CWinApp.h"

CTavrelDlg::CTavrelDlg(Platform& platform, CWnd* pParent)
    : CDialog(CTavrelDlg::IDD, pParent), m_Tuner(platform) {
    CWinApp* app = AfxGetApp();
    m_hIcon = app != nullptr ? app->LoadIcon(IDR_MAINFRAME) : nullptr;
}

const AfxMessageMap* CTavrelDlg::GetMessageMap() const {
    static const AfxMessageEntry entries[] = {
        AfxOnMessage(WM_PAINT, &CTavrelDlg::OnPaint),
        AfxOnQuery(WM_QUERYDRAGICON, &CTavrelDlg::OnQueryDragIcon),
        AfxOnCommand(BN_CLICKED, IDC_BUTTON1, &CTavrelDlg::OnButton1),
        AfxEndOfMap(),
    };
    static const AfxMessageMap map = {CDialog::GetMessageMap(), entries};
    return &map;
}

void CTavrelDlg::DoDataExchange(CDataExchange* pDX) { CDialog::DoDataExchange(pDX); }

BOOL CTavrelDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    ShowWindow(SW_HIDE);
    if (CWnd* button = GetDlgItem(IDC_BUTTON1)) button->ShowWindow(SW_HIDE);

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    CWinApp* app = AfxGetApp();
    const CString commandLine(app != nullptr ? app->m_lpCmdLine : nullptr);
    if (!m_Tuner.Execute(commandLine)) {
        m_Tuner.ReportError("Get device function fail", __LINE__, __FILE__);
    }

    OnCancel();
    return TRUE;
}

void CTavrelDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);

    const int cxIcon = AfxGetSystemMetrics(SM_CXICON);
    const int cyIcon = AfxGetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const int x = (rect.right - rect.left - cxIcon + 1) / 2;
    const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CTavrelDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CTavrelDlg::OnButton1() { OnCancel(); }
