#include "CtlTestSupport.h"

#include <cstdint>

#include "TestFiles.h"

namespace {

// Built before every test's windows, so it is the application's main window
// for the whole run and closing a test window never ends a message loop.
NWindow standInMainWindow;

// The style file must be there when the resource manager starts, whichever
// test of the program starts it.
class ResourcesEnvironment : public testing::Environment {
public:
    void SetUp() override { useTestResources(); }
};
testing::Environment* const resourcesEnvironment =
    testing::AddGlobalTestEnvironment(new ResourcesEnvironment);

}  // namespace

void useTestResources()
{
    if (globalResources.isInitialised())
        return;
    // Lives until the program ends: the resource manager searches it.
    static TestFolder styles;
    writeBytes(styles.file("controls.sty"),
               "[style_controls]\r\n"
               "NStatic-normal=12, #102030, Courier New, 700\r\n"
               "NButton-mouseover=#c0ffc0,#008000,#008000,#000000\r\n");
    globalResources.addFolder(styles.path().c_str(), true);
    globalResources.setProgramFolder(programFolder().c_str());
    globalResources.init();
}

ScreenShot takeScreenShot(int x, int y, int width, int height)
{
    ScreenShot shot{x, y, width, height, std::vector<COLORREF>(size_t(width) * height)};
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, section);
    HDC screen = GetDC(nullptr);
    BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    const uint32_t* row = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < shot.pixels.size(); ++i)
        shot.pixels[i] = RGB((row[i] >> 16) & 0xFF, (row[i] >> 8) & 0xFF, row[i] & 0xFF);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(section);
    return shot;
}
