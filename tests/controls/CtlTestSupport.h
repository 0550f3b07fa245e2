#ifndef CTLTESTSUPPORT_H
#define CTLTESTSUPPORT_H

// Shared pieces of the control tests: a frame window as the controls'
// parent (it passes owner drawing, colour requests and resizes on to them),
// the tests' style file and pixel reads.
#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include "../window/WindowTestSupport.h"
#include "NFrameWindow.h"

// Colours of the tests' style file: the static text, and a hover fill that
// differs from the pressed one. The other button states have the colours
// the library gives them by default.
const COLORREF staticTextColour = RGB(0x10, 0x20, 0x30);
const COLORREF hoverFill = RGB(0xC0, 0xFF, 0xC0);

// A borderless frame window, client area 600 x 400, that records its commands.
class ControlParent : public NFrameWindow {
public:
    ControlParent()
    {
        style = WS_POPUP | WS_VISIBLE;
        rect = NRect(30, 30, 600, 400);
        showLogo = 0;
    }
    const char* getClassName() const override { return "CtlTestParent"; }
    void onCommand(int commandId, HWND control, int code) override
    {
        commands.push_back({commandId, control, code});
    }
    struct Command {
        int id;
        HWND control;
        int code;
    };
    std::vector<Command> commands;
};

inline NRect placeOf(NWindow& control) { return control.getWindowRect(false); }

// Paints what is pending and reads one pixel of the window.
COLORREF paintedPixel(NWindow& window, int x, int y);
// The screen as the X server shows it, row by row.
std::vector<COLORREF> screenPixels(int x, int y, int width, int height);

#endif
