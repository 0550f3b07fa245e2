#ifndef GUITESTSUPPORT_H
#define GUITESTSUPPORT_H

// Shared pieces of the window and control tests: texts, boxes and log
// entries, pixels read back, and a frame window that records the commands
// and status-bar clicks it gets.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "MessageBoxCatcher.h"
#include "MessagePump.h"
#include "NError.h"
#include "NFrameWindow.h"
#include "NResources.h"
#include "TestFiles.h"

inline std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

// A box the library shows for misuse: caption "Fehler !", the error icon.
inline void expectErrorBox(const MessageBoxCatcher::Box& box, const std::string& text)
{
    EXPECT_EQ(box.title + "|" + box.text, "Fehler !|" + text);
    EXPECT_EQ(box.icon, static_cast<unsigned>(MB_ICONERROR));
}

// The error log holds exactly the entry addError makes of `text`; emptied after.
inline void expectLogged(const NString& text)
{
    NError expected;
    expected.addError(text);
    EXPECT_EQ(str(globalError.log), str(expected.log));
    globalError.log = "";
}

// The resource manager, searching the test program's folder.
inline void initResources()
{
    if (!globalResources.isInitialised()) {
        globalResources.setProgramFolder(programFolder().c_str());
        globalResources.init();
    }
}

// A rectangle of a device context, or of the screen (null), row by row.
inline std::vector<COLORREF> pixelsOf(HDC dc, int x, int y, int width, int height)
{
    HDC source = dc ? dc : GetDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> pixels(size_t(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const DWORD p = static_cast<const DWORD*>(bits)[i];
        pixels[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(section);
    if (!dc)
        ReleaseDC(nullptr, source);
    return pixels;
}

// Paints what is pending and reads one pixel of the window.
inline COLORREF paintedPixel(HWND hwnd, int x, int y)
{
    UpdateWindow(hwnd);
    pump();
    HDC dc = GetDC(hwnd);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return colour;
}

// Constructed before every test's windows, so the application's main window
// is one that is never created: closing a test window never ends a loop.
inline NWindow standInMainWindow;

class TestFrame : public NFrameWindow {
public:
    explicit TestFrame(const char* name = "TestFrame") : name(name)
    {
        initResources();
        showLogo = 0;
        rect = NRect(60, 60, 640, 480);
    }
    // Borderless: the client area is as large as `r`.
    TestFrame(const char* name, const NRect& r) : TestFrame(name)
    {
        style = WS_POPUP | WS_VISIBLE;
        rect = r;
    }
    ~TestFrame() override
    {
        if (isWindow())
            DestroyWindow(hwnd);
    }
    const char* getClassName() const override { return name; }
    void onCommand(int commandId, HWND control, int) override
    {
        commands.push_back(commandId);
        commandControl = control;
    }
    bool onStatusBarClick(int part) override { return record("click", part, true); }
    bool onStatusBarRClick(int part) override { return record("rclick", part, false); }
    bool onStatusBarDblClick(int part) override { return record("dblclick", part, false); }
    bool open()
    {
        if (!create())
            return false;
        show(SW_SHOWNORMAL);
        pump();
        return true;
    }

    const char* name;
    std::vector<int> commands;
    HWND commandControl = nullptr;
    std::vector<std::string> clicks;

private:
    bool record(const char* what, int part, bool handled)
    {
        clicks.push_back(what + std::string(" ") + std::to_string(part));
        return handled;
    }
};

#endif
