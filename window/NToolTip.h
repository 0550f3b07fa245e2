#ifndef NEK_NTOOLTIP_H
#define NEK_NTOOLTIP_H

#include <windows.h>
#include <commctrl.h>

#include "NPoint.h"
#include "NRect.h"
#include "NString.h"

// NToolTip: one tooltip of the common-controls class for one window, with
// optional balloon form, title and icon. The tool's text is a callback: the
// owner answers TTN_GETDISPINFO with getText().
class NToolTip {
public:
    // Tool flags of a tracking tooltip (TTF_TRACK | TTF_ABSOLUTE).
    static const UINT trackingFlags = 0xA0;

    NToolTip();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NToolTip();

    bool create(HWND owner, bool balloon = false, UINT toolFlags = TTF_SUBCLASS);
    void setText(const NString& text, const NString& title = NString(), int icon = 0);
    const NString& getText() const { return text; }
    // Below 1: the system's default delays.
    void setDelay(int milliseconds);
    void setToolRect(const NRect& r);
    // Moves a tracking tooltip beside point (screen coordinates).
    void trackPosition(const NPoint& point);
    // Shows or hides a tracking tooltip.
    void activateTracking(bool on);
    LRESULT sendMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Sees the owner's WM_NOTIFY first; true when it was about this tooltip.
    bool onMessage(NMHDR* header);
    HWND getHwnd() const { return hwnd; }

private:
    NToolTip(const NToolTip&) = delete;
    NToolTip& operator=(const NToolTip&) = delete;

    HWND hwnd;
    TOOLINFOA tool;
    int trackOffsetX;
    int trackOffsetY;
    HWND owner;
    NString text;
};

#endif
