// Identifiers of the program's resources, shared by the resource script and
// the code.
#pragma once

#define IDD_TAVREL_DIALOG 102
// The icon the dialog asks for. The resources hold no icon with this
// identifier, so the dialog gets none; it is never shown.
#define IDR_MAINFRAME 128
#define IDI_TAVREL 130
#define IDC_BUTTON1 1000
