#ifndef PAINTTESTSUPPORT_H
#define PAINTTESTSUPPORT_H

#include "../window/WindowTestSupport.h"
#include "NResources.h"
#include "ScreenPixels.h"
#include "TestFiles.h"

// A visible popup window of a plain class (DefWindowProc, no background brush).
struct PlainWindow {
    PlainWindow(int width, int height)
    {
        const WNDCLASSA windowClass = {0, DefWindowProcA, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       "NekPaintTest"};
        RegisterClassA(&windowClass);
        hwnd = CreateWindowExA(0, "NekPaintTest", "", WS_POPUP | WS_VISIBLE, 20, 20, width, height, nullptr, nullptr,
                               nullptr, nullptr);
        UpdateWindow(hwnd);
    }
    ~PlainWindow() { DestroyWindow(hwnd); }
    HWND hwnd;
};

#endif
