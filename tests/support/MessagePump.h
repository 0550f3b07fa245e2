#ifndef MESSAGEPUMP_H
#define MESSAGEPUMP_H

#include <windows.h>

// Handles every message waiting for this thread.
inline void pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Handles messages for about `ms` milliseconds.
inline void pumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

#endif
