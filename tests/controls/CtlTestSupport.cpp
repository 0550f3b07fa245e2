#include "CtlTestSupport.h"

#include <cstdint>

#include "NResources.h"
#include "TestFiles.h"

namespace {

// Built before every test's windows, so it is the application's main window
// for the whole run and closing a test window never ends a message loop.
NWindow standInMainWindow;

// The style file must be there when the resource manager starts, whichever
// test of the program comes first.
class StyleEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        static TestFolder styles;  // searched for the whole run
        // Style files come last, so these hold whatever the program's
        // resource folder says.
        writeBytes(styles.file("controls.sty"),
                   "[style_controls]\r\nNStatic-normal=12, #102030, Courier New, 700\r\n"
                   "NButton-form=0,0\r\nNButton-normal=#f0f0ff,#a0a0ff,#a0a0ff,#5050ff\r\n"
                   "NButton-selected=#d0d0ff,#a0a0ff,#a0a0ff,#5050ff\r\n"
                   "NButton-mouseover=#c0ffc0,#008000,#008000,#000000\r\n"
                   "NButton-disabled=#f0f0f0,#a0a0a0,#f0f0f0,#a0a0a0\r\n");
        globalResources.addFolder(styles.path().c_str(), true);
        globalResources.setProgramFolder(programFolder().c_str());
        globalResources.init();
    }
};
testing::Environment* const styleEnvironment =
    testing::AddGlobalTestEnvironment(new StyleEnvironment);

}  // namespace

COLORREF paintedPixel(NWindow& window, int x, int y)
{
    UpdateWindow(window.hwnd);
    pump();
    HDC dc = GetDC(window.hwnd);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window.hwnd, dc);
    return colour;
}

std::vector<COLORREF> screenPixels(int x, int y, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr), screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> pixels(size_t(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t p = static_cast<const uint32_t*>(bits)[i];
        pixels[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    ReleaseDC(nullptr, screen);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(section);
    return pixels;
}
