// The headless back end's model of a window: no window system, no pixels,
// just the state a window would have, so that dialog code runs unchanged
// and tests can see what it did to its window.
//
// A headless dialog has no template, so every control identifier names a
// child, made (visible) the first time it is asked for. The client area is
// empty until a test gives it a size; the icon metrics are Windows' default,
// 32 by 32.
#pragma once

#include <memory>
#include <vector>

#include "afx/CWnd.h"

struct HeadlessWindow {
    struct Message {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    struct Drawing {
        HDC dc;
        int x;
        int y;
        HICON icon;
    };

    CWnd* object = nullptr;  // receives the window's messages; null for a control
    HeadlessWindow* parent = nullptr;
    int id = 0;
    bool visible = false;
    bool everShown = false;  // visible at any time since it was made
    bool iconic = false;
    RECT client{0, 0, 0, 0};
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    std::vector<Message> sent;      // in the order sent
    std::vector<Drawing> drawings;  // DrawIcon calls on its device contexts
    int openPaints = 0;             // CPaintDC objects alive now
    std::vector<std::unique_ptr<HeadlessWindow>> children;

    HWND Handle() { return reinterpret_cast<HWND>(this); }
    HeadlessWindow* Child(int nID);  // null when there is none yet
};

// The model behind a handle of this back end; null for a null handle.
HeadlessWindow* HeadlessWindowOf(HWND hWnd);
