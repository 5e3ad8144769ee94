// The main dialog over the fake platform and the headless back end: what its
// initialisation does, in which order, and the painting of its icon.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "TavrelDlg.h"
#include "afx/CWinApp.h"
#include "afx/headless/HeadlessWindow.h"

namespace {

// What the dialog's window and the platform looked like when the dialog
// ended itself: the moment OnInitDialog calls OnCancel.
struct AtCancel {
    bool called = false;
    bool windowVisible = true;
    bool windowEverShown = true;
    bool buttonVisible = true;
    std::vector<HeadlessWindow::Message> sent;
    std::size_t launches = 0;
};

class ObservedDialog : public CTavrelDlg {
  public:
    ObservedDialog(FakePlatform& fake, AtCancel& seen)
        : CTavrelDlg(fake), m_fake(fake), m_seen(seen) {}

    // Runs inside OnCancel while the window is still there.
    std::function<void(ObservedDialog&, HeadlessWindow&)> whileOpen;
    int cancels = 0;

    void OnCancel() override {
        ++cancels;
        if (cancels == 1) {
            HeadlessWindow* window = HeadlessWindowOf(m_hWnd);
            if (window != nullptr) {
                m_seen.called = true;
                m_seen.windowVisible = window->visible;
                m_seen.windowEverShown = window->everShown;
                HeadlessWindow* button = window->Child(IDC_BUTTON1);
                m_seen.buttonVisible = button == nullptr || button->visible;
                m_seen.sent = window->sent;
                m_seen.launches = m_fake.launches.size();
                if (whileOpen) whileOpen(*this, *window);
            }
        }
        CTavrelDlg::OnCancel();
    }

  private:
    FakePlatform& m_fake;
    AtCancel& m_seen;
};

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake.AddFile("C:\\Kit\\Models.ini",
                     "[Model_List]\n1=Alpha,VEN_1D9A&DEV_F00D,Driver\\Alpha.exe\n"
                     "2=Beta,VID_3EC1,Beta.exe\n");
        DeviceRecord device;
        device.hardwareIds = {"PCI\\VEN_1D9A&DEV_F00D&SUBSYS_00011D9A&REV_01"};
        device.instanceId = "PCI\\VEN_1D9A&DEV_F00D&SUBSYS_00011D9A\\3&1&0";
        fake.devices = {device};
    }

    FakePlatform fake;
    AtCancel seen;
};

TEST_F(DialogTest, InitialisationHidesRunsTheSelectionWithTheCommandLineAndCancels) {
    CWinApp app;
    const char commandLine[] = "/q \"C:\\Program Files\\x\" \t trailing  ";
    app.SetStartup(fake, nullptr, commandLine, SW_SHOW);
    ObservedDialog dlg(fake, seen);
    app.m_pMainWnd = &dlg;

    EXPECT_EQ(dlg.DoModal(), IDCANCEL);

    ASSERT_TRUE(seen.called);
    EXPECT_FALSE(seen.windowVisible);
    EXPECT_FALSE(seen.windowEverShown);
    EXPECT_FALSE(seen.buttonVisible);
    // The selection ran before the dialog ended, once, with the text as is.
    EXPECT_EQ(seen.launches, 1u);
    ASSERT_EQ(fake.launches.size(), 1u);
    EXPECT_EQ(fake.launches[0].file, "C:\\Kit\\Driver\\Alpha.exe");
    EXPECT_EQ(fake.launches[0].parameters, commandLine);
    EXPECT_EQ(fake.launches[0].show, SW_HIDE);
    EXPECT_EQ(fake.sleeps, std::vector<DWORD>{1000});
    EXPECT_EQ(dlg.cancels, 1);

    // WM_INITDIALOG, then the big and the small icon, both the empty one.
    ASSERT_EQ(seen.sent.size(), 3u);
    EXPECT_EQ(seen.sent[0].message, WM_INITDIALOG);
    EXPECT_EQ(seen.sent[1].message, WM_SETICON);
    EXPECT_EQ(seen.sent[1].wParam, static_cast<WPARAM>(ICON_BIG));
    EXPECT_EQ(seen.sent[2].message, WM_SETICON);
    EXPECT_EQ(seen.sent[2].wParam, static_cast<WPARAM>(ICON_SMALL));
    EXPECT_EQ(dlg.m_hIcon, nullptr);
    EXPECT_EQ(seen.sent[1].lParam, 0);
    EXPECT_EQ(seen.sent[2].lParam, 0);

    // The window is gone, and with it the application's reference to it.
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    // The pieces the selection reports (keys 3 to 50 missing) and nothing else.
    EXPECT_EQ(fake.debugOutput.size(), 48u);
    EXPECT_TRUE(fake.messageBoxes.empty());
}

TEST_F(DialogTest, WithoutArgumentsEveryInstallerGetsAnEmptyText) {
    fake.devices.clear();  // nothing matches: every installer, in key order
    CWinApp app;
    app.SetStartup(fake, nullptr, "", SW_SHOW);
    ObservedDialog dlg(fake, seen);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(fake.launches.size(), 2u);
    EXPECT_EQ(fake.launches[0].file, "C:\\Kit\\Driver\\Alpha.exe");
    EXPECT_EQ(fake.launches[1].file, "C:\\Kit\\Beta.exe");
    for (const auto& launch : fake.launches) EXPECT_EQ(launch.parameters, "");
}

TEST_F(DialogTest, TheApplicationTakesItsNameFromTheProgramFile) {
    fake.modulePath = "C:\\Kit\\Setup Helper.v2.exe";
    CWinApp app;
    app.SetStartup(fake, nullptr, "x", SW_SHOW);
    EXPECT_STREQ(app.m_pszAppName, "Setup Helper.v2");
    EXPECT_STREQ(app.m_lpCmdLine, "x");
    EXPECT_EQ(AfxGetApp(), &app);
}

TEST_F(DialogTest, MessageMapSendsEachMessageToItsHandler) {
    CWinApp app;
    ObservedDialog dlg(fake, seen);
    LRESULT result = -1;
    // BN_CLICKED from 1000 cancels; from any other control nothing happens.
    EXPECT_TRUE(dlg.OnWndMsg(WM_COMMAND, (BN_CLICKED << 16) | IDC_BUTTON1, 0, &result));
    EXPECT_EQ(dlg.cancels, 1);
    EXPECT_FALSE(dlg.OnWndMsg(WM_COMMAND, (BN_CLICKED << 16) | 1001, 0, &result));
    EXPECT_EQ(dlg.cancels, 1);
    // The drag icon is m_hIcon, which is empty.
    result = -1;
    EXPECT_TRUE(dlg.OnWndMsg(WM_QUERYDRAGICON, 0, 0, &result));
    EXPECT_EQ(result, 0);
    // Not minimised: painting is left to the default handling.
    EXPECT_FALSE(dlg.OnWndMsg(WM_PAINT, 0, 0, &result));
    // The help command is the application's.
    EXPECT_TRUE(dlg.OnWndMsg(WM_COMMAND, ID_HELP, 0, &result));
    EXPECT_FALSE(dlg.OnWndMsg(WM_SETICON, 0, 0, &result));
}

struct PaintCase {
    RECT client;
    int x;
    int y;
};

TEST_F(DialogTest, MinimisedPaintCentresTheIconWithTruncatingDivision) {
    // Icons are 32 by 32 on the headless back end.
    const PaintCase cases[] = {
        {{0, 0, 100, 80}, 34, 24},     {{0, 0, 33, 32}, 1, 0},   {{0, 0, 31, 30}, 0, 0},
        {{0, 0, 0, 0}, -15, -15},      {{0, 0, 1, 2}, -15, -14}, {{10, 20, 110, 101}, 34, 25},
        {{0, 0, 1025, 767}, 497, 368},
    };
    for (const PaintCase& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.client.right - c.client.left << "x" << c.client.bottom - c.client.top);
        FakePlatform local;
        AtCancel localSeen;
        CWinApp app;
        ObservedDialog dlg(local, localSeen);
        std::vector<HeadlessWindow::Drawing> drawings;
        std::vector<HeadlessWindow::Message> sent;
        int openPaints = -1;
        dlg.whileOpen = [&](ObservedDialog& d, HeadlessWindow& window) {
            window.iconic = true;
            window.client = c.client;
            window.sent.clear();
            d.SendMessage(WM_PAINT);
            drawings = window.drawings;
            sent = window.sent;
            openPaints = window.openPaints;
        };
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        ASSERT_EQ(drawings.size(), 1u);
        EXPECT_EQ(drawings[0].x, c.x);
        EXPECT_EQ(drawings[0].y, c.y);
        EXPECT_EQ(drawings[0].icon, dlg.m_hIcon);
        // The background is erased first, on the paint context.
        ASSERT_EQ(sent.size(), 2u);
        EXPECT_EQ(sent[0].message, WM_PAINT);
        EXPECT_EQ(sent[1].message, WM_ICONERASEBKGND);
        EXPECT_EQ(sent[1].wParam, reinterpret_cast<WPARAM>(drawings[0].dc));
        EXPECT_EQ(openPaints, 0);
    }
}

TEST_F(DialogTest, NotMinimisedPaintDrawsNothing) {
    CWinApp app;
    ObservedDialog dlg(fake, seen);
    std::size_t drawings = 99;
    dlg.whileOpen = [&](ObservedDialog& d, HeadlessWindow& window) {
        window.client = {0, 0, 100, 100};
        d.SendMessage(WM_PAINT);
        drawings = window.drawings.size();
    };
    dlg.DoModal();
    EXPECT_EQ(drawings, 0u);
}

}  // namespace
