// The entry point of programs built on the headless back end: the one
// application object is run with the program's arguments joined back into
// one command-line text, which the launcher splits again by the same rules,
// so every argument reaches an installer unchanged.
#include <string>
#include <vector>

#include "CommandLine.h"
#include "Platform.h"
#include "afx/CWinApp.h"

int main(int argc, char** argv) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return 1;
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    app->SetStartup(HostPlatform(), nullptr, JoinCommandLine(arguments).c_str(), SW_SHOW);
    return AfxRunApp(*app);
}
