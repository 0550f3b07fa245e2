#ifndef WINDOWTESTSUPPORT_H
#define WINDOWTESTSUPPORT_H

// Shared pieces of the window tests: a window that records which handlers
// ran, and the helper programs run as processes.
#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "NWindow.h"
#include "TestFiles.h"

typedef std::vector<std::string> Calls;

// A window that writes the name of each handler it sees into `calls`, and
// into `shared` with its title in front when that is set.
class RecordingWindow : public NWindow {
public:
    RecordingWindow()
    {
        style = WS_POPUP | WS_VISIBLE;
        rect = NRect(40, 40, 200, 120);
        title = "Aufzeichnung";
    }
    // As a visible 20 x 20 child of `parent` at x, 5.
    bool createChild(NWindow& parent, int x = 5)
    {
        style = WS_CHILD | WS_VISIBLE;
        rect = NRect(x, 5, 20, 20);
        return create(&parent);
    }
    bool record(const std::string& call)
    {
        calls.push_back(call);
        if (shared) shared->push_back(title.getBuffer() + (": " + call));
        return true;
    }
    void onPreCreateWindow() override { record("preCreate"); }
    void onCreate(CREATESTRUCTA*) override { record(hwnd ? "create" : "create without handle"); }
    void onFirstShow() override { record("firstShow"); }
    void onShow() override { record("show"); }
    void onHide() override { record("hide"); }
    void onSize(int, int, int) override { record("size"); }
    bool onClose() override
    {
        if (parent && closes++ == 0)
            parentStateAtClose = IsWindowEnabled(parent->hwnd) + 2 * IsWindowVisible(parent->hwnd);
        return mayClose;
    }
    void onCommand(int commandId, HWND, int code) override
    {
        if (throwsOnCommand) throw std::runtime_error("kaputt");
        record("command " + std::to_string(commandId) + " " + std::to_string(code));
    }
    bool onKeyDown(wchar_t c, signed char, int, bool) override
    {
        return record(std::string("keyDown ") + char(c)) && handlesKeys;
    }
    bool onChar(wchar_t c, signed char, int, bool) override { return record(std::string("char ") + char(c)); }
    void onTimer(LPARAM) override { ++ticks; }
    void onWatchedMessage(HWND watched, UINT message, WPARAM wParam, LPARAM lParam, LPARAM user) override
    {
        record("watched " + str(globalApplication.findWindow(watched)->title) + " " + std::to_string(message) +
               " " + std::to_string(wParam) + " " + std::to_string(lParam) + " " + std::to_string(user));
    }
    bool onAccelerator(HWND, UINT message, WPARAM wParam, LPARAM) override
    {
        return message == WM_KEYDOWN && static_cast<int>(wParam) == acceleratorKey;
    }
    // Also records the library's private messages and WM_APP + 1 ("app").
    LRESULT onMessage(HWND messageWindow, UINT message, WPARAM wParam, LPARAM lParam,
                      bool handled, LRESULT result) override
    {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (message == NEK_MSG_REFLECT)
            record("reflect " + std::to_string(wParam) + " " + std::to_string(header->idFrom) +
                   " " + std::to_string(header->code) + (header->hwndFrom == hwnd ? " self" : ""));
        else if (message == NEK_MSG_PARENT_MOUSEMOVE)
            record("parentMouseMove");
        else if (message == WM_APP + 1) {
            record(messageWindow ? "app" : "app broadcast");
            if (!messageWindow && destroysOnBroadcast) DestroyWindow(hwnd);
        }
        return NWindow::onMessage(messageWindow, message, wParam, lParam, handled, result);
    }

    Calls calls;
    Calls* shared = nullptr;
    bool mayClose = true, handlesKeys = false, throwsOnCommand = false, destroysOnBroadcast = false;
    int closes = 0, parentStateAtClose = -1;  // 1: enabled, 2: visible
    int acceleratorKey = -1, ticks = 0;
};

// Runs a helper program of the window tests: `use` gets its first visible top-level window of that class and
// must make it end. The exit code; -1 when the window never came or the program did not end within 10 s.
inline int runProgram(const char* name, const char* windowClass, const std::function<void(HWND)>& use)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string command = "\"" + programFolder() + name + "\"";
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    HWND window = nullptr;
    for (int i = 0; i < 1000 && !window; ++i, Sleep(window ? 0 : 10))
        for (HWND w = nullptr; !window && (w = FindWindowExA(nullptr, w, windowClass, nullptr));) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            window = owner == process.dwProcessId && IsWindowVisible(w) ? w : nullptr;
        }
    DWORD code = static_cast<DWORD>(-1);
    if (window) use(window);
    if (window && WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<int>(code);
}

#endif
