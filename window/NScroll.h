#ifndef NEK_NSCROLL_H
#define NEK_NSCROLL_H

#include "NString.h"

class NWindow;
struct HWND__;
typedef struct HWND__* HWND;

// NScroll: the scroll state of a window whose content is larger than its
// client area. It drives the window's own scroll bars or attached scroll
// bar controls, moves the window's device origin and tells the window with
// WM_HSCROLL / WM_VSCROLL (wParam 0); inert until a content size is set.
class NScroll {
public:
    NScroll();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NScroll();

    void setOwner(NWindow* window) { owner = window; }
    // 0 switches scrolling in that direction off.
    void setContentWidth(int width);
    void setContentHeight(int height);
    int getContentWidth() const { return contentWidth; }
    int getContentHeight() const { return contentHeight; }
    // Scroll-bar controls (windows of the system class "SCROLLBAR") instead
    // of the owner's own bars; null keeps the own bar of that direction.
    void attachBars(NWindow* horizontal, NWindow* vertical);
    // Bars not needed are hidden instead of disabled.
    void setHideUnneeded(bool on) { hideUnneeded = on ? 1 : 0; }
    // Pixels per line; percent of the visible page per page step.
    void setSteps(int linePixels, int pagePercent);
    // The thumb is followed while it is dragged (else only where it is dropped).
    void setTrackThumb(bool on) { trackThumb = on; }
    // A WM_HSCROLL / WM_VSCROLL request (the message's wParam).
    void horizontal(unsigned int request);
    void vertical(unsigned int request);
    // Ranges and pages again for the owner's client size (on every WM_SIZE).
    void update();
    void showBarHor(bool show);
    void showBarVert(bool show);
    int getPositionX() const { return positionX; }
    int getPositionY() const { return positionY; }
    void setPosition(int x, int y);

private:
    NScroll(const NScroll&) = delete;
    NScroll& operator=(const NScroll&) = delete;

    // across: the horizontal direction, else the vertical one.
    void request(bool across, unsigned int request);
    void scrollTo(bool across, int position);
    // The visible extent in that direction.
    int pageSize(bool across);
    // The window that carries the bar and its bar code (SB_CTL for a control).
    HWND barWindow(bool across, int& bar);
    void sendRange(bool across);
    void showBar(bool across, bool show);

    NWindow* owner;
    // 0: bars not needed are disabled; 1: hidden.
    int hideUnneeded;
    // Negative: pixels per line (-10) and percent of the page per page step (-90).
    int lineStep;
    int pageStep;
    NWindow* verticalBar;
    NWindow* horizontalBar;
    // True while the owner is told about a change; its own request is ignored.
    bool notifying;
    bool trackThumb;
    int contentHeight;
    int contentWidth;
    int positionX;
    int positionY;
};

#endif
