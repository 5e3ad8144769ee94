// The application: runs the hidden main dialog once and ends.
#pragma once

#include "afx/CWinApp.h"

class CTavrelApp : public CWinApp {
  public:
    CTavrelApp() = default;

    // Runs the main dialog, whose initialisation does the program's whole
    // job. Always FALSE: the program ends without a message loop.
    BOOL InitInstance() override;

    const AfxMessageMap* GetMessageMap() const override;
};

extern CTavrelApp theApp;
