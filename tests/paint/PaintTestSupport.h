#ifndef PAINTTESTSUPPORT_H
#define PAINTTESTSUPPORT_H

// Shared pieces of the drawing tests and a plain window to paint on.
#include "../window/WindowTestSupport.h"
#include "NResources.h"
#include "ScreenPixels.h"
#include "TestFiles.h"

// A visible popup window of a plain class (DefWindowProc, no background brush).
struct PlainWindow {
    PlainWindow(int width, int height)
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "NekPaintTest";
        RegisterClassA(&windowClass);
        hwnd = CreateWindowExA(0, "NekPaintTest", "", WS_POPUP | WS_VISIBLE, 20, 20, width, height,
                               nullptr, nullptr, nullptr, nullptr);
        UpdateWindow(hwnd);
    }
    ~PlainWindow() { DestroyWindow(hwnd); }
    HWND hwnd;
};

#endif
