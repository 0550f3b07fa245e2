#ifndef CTLTESTSUPPORT_H
#define CTLTESTSUPPORT_H

// Shared pieces of the control tests: a parent window that passes owner
// drawing, colour requests and resizes on to its controls as the frame
// window does, resources with a style file of the tests, and pixel reads.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../window/WindowTestSupport.h"
#include "NResources.h"

// The resource manager, initialised once with the tests' style file: a
// static text style and hover colours that differ from the pressed ones.
void useTestResources();
// Colours of the tests' style file.
const COLORREF staticTextColour = RGB(0x10, 0x20, 0x30);
const COLORREF hoverFill = RGB(0xC0, 0xFF, 0xC0);

// A 600 x 400 popup (client area = window) that forwards WM_DRAWITEM and
// WM_CTLCOLOR* to the control concerned, re-applies every child's anchor on
// resize and records the commands it receives.
class ControlParent : public NWindow {
public:
    ControlParent()
    {
        style = WS_POPUP | WS_VISIBLE;
        rect = NRect(30, 30, 600, 400);
        title = "Steuerelemente";
    }
    const char* getClassName() const override { return "CtlTestParent"; }
    LRESULT onMessage(HWND messageWindow, UINT message, WPARAM wParam, LPARAM lParam,
                      bool handled, LRESULT result) override
    {
        if (messageWindow == hwnd) {
            if (message == WM_DRAWITEM) {
                const HWND item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
                SendMessageA(item, NEK_MSG_DRAWITEM, wParam, lParam);
                return TRUE;
            }
            if (message >= WM_CTLCOLOREDIT && message <= WM_CTLCOLORSTATIC &&
                message != WM_CTLCOLORDLG) {
                const LRESULT brush =
                    SendMessageA(reinterpret_cast<HWND>(lParam), NEK_MSG_CTLCOLOR, wParam, lParam);
                if (brush)
                    return brush;
            }
        }
        return NWindow::onMessage(messageWindow, message, wParam, lParam, handled, result);
    }
    void onSize(int, int, int) override
    {
        for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (NWindow* window = globalApplication.findWindow(child))
                window->onParentSize(getClientSize());
    }
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

// The position and size of a control in its parent's client area.
inline NRect placeOf(NWindow& control) { return control.getWindowRect(false); }

inline COLORREF pixelAt(HWND hwnd, int x, int y)
{
    HDC dc = GetDC(hwnd);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return colour;
}

// Paints what is pending and reads one pixel of the window.
inline COLORREF paintedPixel(NWindow& window, int x, int y)
{
    UpdateWindow(window.hwnd);
    pump();
    return pixelAt(window.hwnd, x, y);
}

// The screen as the X server shows it: x, y, width, height in screen
// coordinates, one COLORREF per pixel, row by row.
struct ScreenShot {
    int x, y, width, height;
    std::vector<COLORREF> pixels;
    COLORREF at(int screenX, int screenY) const
    {
        return pixels[size_t(screenY - y) * width + (screenX - x)];
    }
};
ScreenShot takeScreenShot(int x, int y, int width, int height);

#endif
