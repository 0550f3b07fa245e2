#ifndef WINDOWTESTSUPPORT_H
#define WINDOWTESTSUPPORT_H

// Shared pieces of the window tests: message pumping, a window that records
// which handlers ran, and a guard that keeps the application's main window
// out of the tests' way.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "MessageBoxCatcher.h"
#include "MessagePump.h"
#include "NApplication.h"
#include "NError.h"
#include "NWindow.h"

inline std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

// The log text addError makes of `text`.
inline std::string logged(const NString& text)
{
    NError log;
    log.addError(text);
    return str(log.log);
}

// A box the library shows for misuse: caption "Fehler !", the error icon.
inline void expectErrorBox(const MessageBoxCatcher::Box& box, const std::string& text)
{
    EXPECT_EQ(box.title, "Fehler !");
    EXPECT_EQ(box.icon, static_cast<unsigned>(MB_ICONERROR));
    EXPECT_EQ(box.text, text);
}

// Removes a quit message that a destroyed main window posted.
inline bool takeQuit(WPARAM* code = nullptr)
{
    MSG message;
    if (!PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return false;
    if (code)
        *code = message.wParam;
    return true;
}

// While it lives, `window` is the application's main window; afterwards the
// old one is back, the error log is empty and no quit message is left.
class MainWindowSwap {
public:
    explicit MainWindowSwap(NWindow* window) : previous(globalApplication.mainWindow)
    {
        globalApplication.mainWindow = window;
    }
    ~MainWindowSwap()
    {
        globalApplication.mainWindow = previous;
        globalError.log = "";
        takeQuit();
    }
    MainWindowSwap(const MainWindowSwap&) = delete;
    MainWindowSwap& operator=(const MainWindowSwap&) = delete;

private:
    NWindow* previous;
};

// A window that writes the name of each handler it sees into `calls`.
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
    // Every call goes to `calls` and, when set, to a log shared by several windows.
    void record(const std::string& call)
    {
        calls.push_back(call);
        if (shared)
            shared->push_back(std::string(title.getBuffer()) + ": " + call);
    }
    void onPreCreateWindow() override { record("preCreate"); }
    void onCreate(CREATESTRUCTA*) override
    {
        record("create");
        hwndAtCreate = hwnd;
    }
    void onFirstShow() override { record("firstShow"); }
    void onShow() override { record("show"); }
    void onHide() override { record("hide"); }
    void onSize(int, int, int) override { record("size"); }
    bool onClose() override
    {
        if (std::find(calls.begin(), calls.end(), "close") == calls.end()) {
            parentEnabledAtClose = parent && IsWindowEnabled(parent->hwnd);
            parentVisibleAtClose = parent && IsWindowVisible(parent->hwnd);
        }
        record("close");
        return mayClose;
    }
    void onCommand(int commandId, HWND, int code) override
    {
        if (throwsOnCommand)
            throw std::runtime_error("kaputt");
        record("command " + std::to_string(commandId) + " " + std::to_string(code));
    }
    bool onKeyDown(wchar_t character, signed char, int, bool) override
    {
        record(std::string("keyDown ") + static_cast<char>(character));
        return handlesKeys;
    }
    bool onChar(wchar_t character, signed char, int, bool) override
    {
        record(std::string("char ") + static_cast<char>(character));
        return true;
    }
    void onTimer(LPARAM) override { ++ticks; }
    bool onAccelerator(HWND, UINT message, WPARAM wParam, LPARAM) override
    {
        return message == WM_KEYDOWN && static_cast<int>(wParam) == acceleratorKey;
    }
    void onWatchedMessage(HWND watched, UINT message, WPARAM wParam, LPARAM lParam,
                          LPARAM userValue) override
    {
        watchedSeen.push_back({watched, message, wParam, lParam, userValue});
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
            if (!messageWindow && destroysOnBroadcast)
                DestroyWindow(hwnd);
        }
        return NWindow::onMessage(messageWindow, message, wParam, lParam, handled, result);
    }

    std::vector<std::string> calls;
    std::vector<std::string>* shared = nullptr;
    HWND hwndAtCreate = nullptr;
    bool mayClose = true;
    bool handlesKeys = false;
    bool parentEnabledAtClose = false;
    bool parentVisibleAtClose = false;
    bool throwsOnCommand = false;
    bool destroysOnBroadcast = false;
    int acceleratorKey = -1;
    int ticks = 0;
    std::vector<NWatchedMessage> watchedSeen;
};

#endif
