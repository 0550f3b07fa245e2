#ifndef MESSAGEPUMP_H
#define MESSAGEPUMP_H

#include <windows.h>

#include "NApplication.h"
#include "NError.h"

// Handles every message waiting for this thread.
inline void pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Handles messages until `done` holds or `ms` milliseconds passed; whether it holds.
template <class Done>
bool pumpUntil(Done done, DWORD ms = 5000)
{
    for (const DWORD start = GetTickCount(); !done(); MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT)) {
        pump();
        if (GetTickCount() - start >= ms) return done();
    }
    return true;
}

// Handles messages for about `ms` milliseconds.
inline void pumpFor(DWORD ms) { pumpUntil([] { return false; }, ms); }

// Removes a quit message that a destroyed main window posted.
inline bool takeQuit(WPARAM* code = nullptr)
{
    MSG message;
    if (!PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
    if (code) *code = message.wParam;
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

#endif
