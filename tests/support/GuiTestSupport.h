#ifndef GUITESTSUPPORT_H
#define GUITESTSUPPORT_H

// Shared pieces of the tests with windows: texts, boxes and log entries, a pixel read back.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "MessageBoxCatcher.h"
#include "MessagePump.h"
#include "NError.h"
#include "NResources.h"
#include "TestFiles.h"

inline std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

inline void expectBox(const MessageBoxCatcher::Box& box, const std::string& title, const std::string& text, UINT icon)
{
    EXPECT_EQ(box.title + "|" + box.text, title + "|" + text);
    EXPECT_EQ(box.icon, icon);
}
// A box the library shows for misuse: caption "Fehler !", the error icon.
inline void expectErrorBox(const MessageBoxCatcher::Box& box, const std::string& text)
{
    expectBox(box, "Fehler !", text, MB_ICONERROR);
}

// The log text addError makes of `text`.
inline std::string logged(const NString& text)
{
    NError log;
    log.addError(text);
    return str(log.log);
}
// The error log holds exactly that entry; emptied after.
inline void expectLogged(const NString& text)
{
    EXPECT_EQ(str(globalError.log), logged(text));
    globalError.log = "";
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

#endif
