#ifndef PAINTTESTSUPPORT_H
#define PAINTTESTSUPPORT_H

// Pixel read-back for the drawing tests: a memory canvas, a plain top-level
// window, and copies of what a window or the screen shows.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "NError.h"
#include "NString.h"

inline std::string text(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

// The log text addError makes of `text`, to compare whole logs.
inline std::string logged(const NString& entry)
{
    NError log;
    log.addError(entry);
    return text(log.log);
}

// Pixels as colour references (0x00BBGGRR), row by row from the top.
class Pixels {
public:
    Pixels() : width(0), height(0) {}
    Pixels(int width, int height) : width(width), height(height), bits(size_t(width) * height) {}
    COLORREF at(int x, int y) const
    {
        const uint32_t p = bits[size_t(y) * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // The smallest rectangle around every pixel that differs from `background`;
    // empty (right <= left) when there is none.
    RECT inkBox(COLORREF background) const
    {
        RECT box = {width, height, 0, 0};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (at(x, y) != background) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box;
    }
    int width;
    int height;
    std::vector<uint32_t> bits;
};

// A memory canvas of 32-bit pixels, filled with one colour.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill) : width(width), height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, section);
        HBRUSH brush = CreateSolidBrush(fill);
        RECT all = {0, 0, width, height};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(section);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    Pixels pixels() const
    {
        GdiFlush();
        Pixels p(width, height);
        memcpy(p.bits.data(), bits, p.bits.size() * 4);
        return p;
    }

    HDC dc;
    int width;
    int height;

private:
    HBITMAP section;
    HGDIOBJ old;
    void* bits;
};

// Copies width x height pixels at (x, y) of `source` into 32-bit pixels.
inline Pixels capture(HDC source, int x, int y, int width, int height)
{
    Canvas copy(width, height, 0);
    BitBlt(copy.dc, 0, 0, width, height, source, x, y, SRCCOPY);
    return copy.pixels();
}

// What a window's client area shows now.
inline Pixels windowPixels(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    Pixels pixels = capture(dc, 0, 0, client.right, client.bottom);
    ReleaseDC(window, dc);
    return pixels;
}

// A visible top-level window of a plain class (DefWindowProc, no background
// brush) at a fixed place on the screen.
class PlainWindow {
public:
    PlainWindow(int width, int height, WNDPROC procedure = DefWindowProcA)
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = procedure == DefWindowProcA ? "NekPaintTest" : "NekPaintTestOwn";
        RegisterClassA(&windowClass);
        hwnd = CreateWindowExA(0, windowClass.lpszClassName, "Paint", WS_POPUP | WS_VISIBLE, 20, 20,
                               width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
        settle();
    }
    ~PlainWindow() { DestroyWindow(hwnd); }
    PlainWindow(const PlainWindow&) = delete;
    PlainWindow& operator=(const PlainWindow&) = delete;

    // Handles what is pending, the window's paints among them.
    void settle()
    {
        UpdateWindow(hwnd);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    HWND hwnd;
};

#endif
