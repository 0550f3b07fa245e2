#ifndef FRAMETESTSUPPORT_H
#define FRAMETESTSUPPORT_H

// The frame window of the frame, bar, menu and positioning tests: it finds
// its resources in the test program's folder and records the commands and
// status-bar clicks it gets.
#include <string>
#include <vector>

#include "MessagePump.h"
#include "NFrameWindow.h"
#include "NResources.h"
#include "TestFiles.h"

namespace frametest {

// Constructed before every test's windows, so the application's main window
// is one that is never created: closing a test window never ends a loop.
inline NWindow standInMainWindow;

inline std::string text(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

class TestFrame : public NFrameWindow {
public:
    explicit TestFrame(const char* name = "TestFrame") : name(name)
    {
        if (!globalResources.isInitialised()) {
            globalResources.setProgramFolder(programFolder().c_str());
            globalResources.init();
        }
        showLogo = 0;
        rect = NRect(60, 60, 640, 480);
    }
    ~TestFrame() override
    {
        if (isWindow())
            DestroyWindow(hwnd);
    }
    const char* getClassName() const override { return name; }
    void onCommand(int commandId, HWND, int) override { commands.push_back(commandId); }
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
    std::vector<std::string> clicks;

private:
    bool record(const char* what, int part, bool handled)
    {
        clicks.push_back(what + std::string(" ") + std::to_string(part));
        return handled;
    }
};

}  // namespace frametest

#endif
