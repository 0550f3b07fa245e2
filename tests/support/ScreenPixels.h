#ifndef SCREENPIXELS_H
#define SCREENPIXELS_H

// Pixels read back from a memory canvas, a window or the screen, for the
// tests that prove drawing by its pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

// Pixels as colour references, row by row from the top.
struct Pixels {
    int width = 0;
    std::vector<uint32_t> bits;
    COLORREF at(int x, int y) const
    {
        const uint32_t p = bits[size_t(y) * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
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
        old = SelectObject(dc, section);
        HBRUSH brush = CreateSolidBrush(fill);
        const RECT all = {0, 0, width, height};
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
        Pixels p{width, std::vector<uint32_t>(size_t(width) * height)};
        memcpy(p.bits.data(), bits, p.bits.size() * 4);
        return p;
    }
    HDC dc = CreateCompatibleDC(nullptr);

private:
    int width, height;
    void* bits = nullptr;
    HBITMAP section;
    HGDIOBJ old;
};

// width x height pixels at (x, y) of `window`'s client area; a null window is the screen.
inline Pixels capture(HWND window, int x, int y, int width, int height)
{
    Canvas copy(width, height, 0);
    HDC source = GetDC(window);
    BitBlt(copy.dc, 0, 0, width, height, source, x, y, SRCCOPY);
    ReleaseDC(window, source);
    return copy.pixels();
}

// Each spot has its colour.
struct Spot {
    int x, y;
    COLORREF colour;
};
inline void expectSpots(const Pixels& p, std::initializer_list<Spot> spots)
{
    for (const Spot& s : spots) EXPECT_EQ(p.at(s.x, s.y), s.colour) << s.x << "," << s.y;
}

#endif
