#ifndef PAINTTESTSUPPORT_H
#define PAINTTESTSUPPORT_H

// Pixel read-back for the drawing tests.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "NError.h"

inline std::string text(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

// The log text addError makes of `entry`, to compare whole logs.
inline std::string logged(const NString& entry)
{
    NError log;
    log.addError(entry);
    return text(log.log);
}

// Pixels as colour references, row by row from the top.
struct Pixels {
    int width = 0;
    std::vector<uint32_t> bits;
    COLORREF at(int x, int y) const
    {
        const uint32_t p = bits[size_t(y) * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // Around every pixel that is not `background`; right <= left when none is.
    RECT inkBox(COLORREF background) const
    {
        RECT box = {width, LONG(bits.size()), 0, 0};
        for (size_t i = 0; i < bits.size(); ++i) {
            const LONG x = LONG(i % width), y = LONG(i / width);
            if (at(x, y) != background)
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                       std::max(box.bottom, y + 1)};
        }
        return box;
    }
};

// A memory canvas of 32-bit pixels, filled with one colour.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill) : width(width), height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
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
    Pixels pixels() const
    {
        GdiFlush();
        Pixels p{width, std::vector<uint32_t>(size_t(width) * height)};
        memcpy(p.bits.data(), bits, p.bits.size() * 4);
        return p;
    }
    HDC dc;

private:
    int width, height;
    HBITMAP section;
    HGDIOBJ old;
    void* bits;
};

// width x height pixels at (x, y) of `source`; a null window is the screen.
inline Pixels capture(HWND window, int x, int y, int width, int height)
{
    Canvas copy(width, height, 0);
    HDC source = GetDC(window);
    BitBlt(copy.dc, 0, 0, width, height, source, x, y, SRCCOPY);
    ReleaseDC(window, source);
    return copy.pixels();
}

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
