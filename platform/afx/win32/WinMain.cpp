// The entry point of the Windows program. The command-line text is taken
// from the process's own command line by the application rule (program name
// and the blanks after it dropped, the rest unchanged), not from the C
// runtime, whose rule for the program name differs.
#include "CommandLine.h"
#include "Platform.h"
#include "afx/CWinApp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return 1;
    app->SetStartup(HostPlatform(), hInstance, CommandLineTail(::GetCommandLineA()), nCmdShow);
    return AfxRunApp(*app);
}
