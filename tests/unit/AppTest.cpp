// The application object's run: InitInstance, then ExitInstance or the
// message loop, and the exit code the process ends with.
#include <gtest/gtest.h>

#include "afx/CWinApp.h"

namespace {

class CountingApp : public CWinApp {
  public:
    explicit CountingApp(BOOL answer) : m_answer(answer) {}
    BOOL InitInstance() override {
        ++inits;
        return m_answer;
    }
    int ExitInstance() override {
        ++exits;
        return CWinApp::ExitInstance();
    }
    int inits = 0;
    int exits = 0;

  private:
    BOOL m_answer;
};

TEST(AppTest, FalseFromInitInstanceEndsWithExitInstanceAndCodeZero) {
    CountingApp app(FALSE);
    EXPECT_EQ(AfxRunApp(app), 0);
    EXPECT_EQ(app.inits, 1);
    EXPECT_EQ(app.exits, 1);
}

TEST(AppTest, OnlyTheNewestApplicationIsCurrentAndNoneAfterIt) {
    {
        CountingApp app(FALSE);
        EXPECT_EQ(AfxGetApp(), &app);
        EXPECT_EQ(app.m_pMainWnd, nullptr);
        EXPECT_EQ(app.m_lpCmdLine, nullptr);
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
}

TEST(AppTest, TheHelpCommandIsTakenAndOtherCommandsAreNot) {
    CWinApp app;
    LRESULT result = 0;
    EXPECT_TRUE(app.OnWndMsg(WM_COMMAND, ID_HELP, 0, &result));
    EXPECT_FALSE(app.OnWndMsg(WM_COMMAND, ID_HELP + 1, 0, &result));
    EXPECT_FALSE(app.OnWndMsg(WM_PAINT, 0, 0, &result));
}

}  // namespace
