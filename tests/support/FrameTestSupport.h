#ifndef FRAMETESTSUPPORT_H
#define FRAMETESTSUPPORT_H

// The frame window of the window and control tests: it records the commands and status-bar clicks it gets.
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "NFrameWindow.h"

// Constructed before every test's windows, so the application's main window
// is one that is never created: closing a test window never ends a loop.
inline NWindow standInMainWindow;

class TestFrame : public NFrameWindow {
public:
    explicit TestFrame(const char* name = "TestFrame") : name(name)
    {
        useProgramResources();
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
        if (isWindow()) DestroyWindow(hwnd);
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
        if (!create()) return false;
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
