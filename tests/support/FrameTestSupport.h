#ifndef FRAMETESTSUPPORT_H
#define FRAMETESTSUPPORT_H

// Shared pieces of the frame window, bar, menu and positioning tests: the
// resource manager started on the test program's folder, and a frame window
// that records the commands and status-bar clicks it gets.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "MessagePump.h"
#include "NFrameWindow.h"
#include "NResources.h"
#include "TestFiles.h"

namespace frametest {

// Built before every test's windows, so it is the application's main window
// for the whole run. It is never created, so closing a test window never
// ends the message loop.
inline NWindow standInMainWindow;

inline std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

// The frame window finds its icons and logo through the resource manager.
inline void startResources()
{
    if (!globalResources.isInitialised()) {
        globalResources.setProgramFolder(programFolder().c_str());
        globalResources.init();
    }
}

class TestFrame : public NFrameWindow {
public:
    explicit TestFrame(const char* name = "TestFrame") : name(name)
    {
        showLogo = 0;
        rect = NRect(60, 60, 640, 480);
        title = "Testrahmen";
        startResources();
    }
    ~TestFrame() override { destroyNow(); }
    const char* getClassName() const override { return name; }
    void onCommand(int commandId, HWND, int) override { commands.push_back(commandId); }
    bool onStatusBarClick(int part) override
    {
        clicks.push_back("click " + std::to_string(part));
        return true;
    }
    bool onStatusBarRClick(int part) override
    {
        clicks.push_back("rclick " + std::to_string(part));
        return false;
    }
    bool onStatusBarDblClick(int part) override
    {
        clicks.push_back("dblclick " + std::to_string(part));
        return false;
    }
    // Created and shown, messages handled.
    bool open()
    {
        if (!create())
            return false;
        show(SW_SHOWNORMAL);
        pump();
        return true;
    }
    void destroyNow()
    {
        if (isWindow())
            DestroyWindow(hwnd);
    }

    const char* name;
    std::vector<int> commands;
    std::vector<std::string> clicks;
};

}  // namespace frametest

#endif
