#ifndef NEK_NSCROLL_H
#define NEK_NSCROLL_H

#include "NString.h"

class NWindow;
class NScrollBar;

// NScroll: the scroll state of a window whose content is larger than its
// client area. It drives the window's own scroll bars or attached scroll
// bar controls and moves the window's device origin; inert until a content
// size is set.
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
    // Separate scroll-bar controls instead of the window's own bars (null: own).
    void attachBars(NScrollBar* horizontalBar, NScrollBar* verticalBar);
    // A WM_HSCROLL / WM_VSCROLL request (the message's wParam).
    void horizontal(unsigned int request);
    void vertical(unsigned int request);
    // Ranges and pages again for the owner's client size (on every WM_SIZE).
    void update();
    void showBarHor(bool show);
    void showBarVert(bool show);
    int getPositionX();
    int getPositionY();
    void setPosition(int x, int y);

private:
    void scrollTo(bool horizontalBar, int position);

    NWindow* owner;
    int disableNoScroll;
    int lineStep;
    int pageStep;
    NScrollBar* verticalBar;
    NScrollBar* horizontalBar;
    bool flagA;
    bool flagB;
    int contentHeight;
    int contentWidth;
    int reserved1;
    int reserved2;
};

#endif
