#include "NScroll.h"

#include <windows.h>

#include <cstdlib>

#include "NError.h"
#include "NWindow.h"

NScroll::NScroll()
    : owner(nullptr),
      hideUnneeded(0),
      lineStep(-10),
      pageStep(-90),
      verticalBar(nullptr),
      horizontalBar(nullptr),
      notifying(false),
      trackThumb(true),
      contentHeight(0),
      contentWidth(0),
      positionX(0),
      positionY(0)
{
}

NScroll::~NScroll() {}

const char* NScroll::getName() const { return getClassName(); }
const char* NScroll::getClassName() const { return "NScroll"; }

void NScroll::setSteps(int linePixels, int pagePercent)
{
    lineStep = -std::abs(linePixels);
    pageStep = -std::abs(pagePercent);
}

void NScroll::attachBars(NWindow* horizontal, NWindow* vertical)
{
    horizontalBar = horizontal;
    verticalBar = vertical;
}

void NScroll::setContentWidth(int width)
{
    contentWidth = width > 0 ? width : 0;
    sendRange(true);
}

void NScroll::setContentHeight(int height)
{
    contentHeight = height > 0 ? height : 0;
    sendRange(false);
}

HWND NScroll::barWindow(bool across, int& bar)
{
    NWindow* control = across ? horizontalBar : verticalBar;
    if (control) {
        bar = SB_CTL;
        return control->hwnd;
    }
    bar = across ? SB_HORZ : SB_VERT;
    return owner ? owner->hwnd : nullptr;
}

int NScroll::pageSize(bool across)
{
    const NRect free = owner->getFreeClientRect();
    const int size = across ? owner->device.toLogicalX(free.width)
                                    : owner->device.toLogicalY(free.height);
    return std::abs(size);
}

void NScroll::sendRange(bool across)
{
    if (!owner || !owner->isWindow())
        return;
    int bar = 0;
    const HWND window = barWindow(across, bar);
    const int content = across ? contentWidth : contentHeight;
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    // A direction without content loses its bar whatever the mode.
    if (content > 0 && !hideUnneeded)
        info.fMask |= SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = content > 0 ? content - 1 : 0;
    info.nPage = content > 0 ? static_cast<UINT>(pageSize(across)) : 0;
    SetScrollInfo(window, bar, &info, TRUE);
    // A larger page may leave the position beyond the new end.
    scrollTo(across, across ? positionX : positionY);
}

void NScroll::update()
{
    if (contentWidth == 0 && contentHeight == 0)
        return;
    if (contentWidth > 0)
        sendRange(true);
    if (contentHeight > 0)
        sendRange(false);
}

void NScroll::horizontal(unsigned int requestCode) { request(true, requestCode); }
void NScroll::vertical(unsigned int requestCode) { request(false, requestCode); }

void NScroll::request(bool across, unsigned int requestCode)
{
    const int content = across ? contentWidth : contentHeight;
    if (notifying || content <= 0 || !owner || !owner->isWindow())
        return;
    const int page = pageSize(across);
    const int line = std::abs(lineStep);
    int pageStepPixels = pageStep < 0 ? page * -pageStep / 100 : pageStep;
    if (pageStepPixels < 1)
        pageStepPixels = 1;
    int position = across ? positionX : positionY;
    switch (LOWORD(requestCode)) {
    case SB_LINEUP:
        position -= line;
        break;
    case SB_LINEDOWN:
        position += line;
        break;
    case SB_PAGEUP:
        position -= pageStepPixels;
        break;
    case SB_PAGEDOWN:
        position += pageStepPixels;
        break;
    case SB_THUMBTRACK:
        if (!trackThumb)
            return;
        // fall through
    case SB_THUMBPOSITION: {
        // The 32-bit track position; the message carries only 16 bits.
        int bar = 0;
        const HWND window = barWindow(across, bar);
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        if (!GetScrollInfo(window, bar, &info))
            return;
        position = info.nTrackPos;
        break;
    }
    case SB_TOP:
        position = 0;
        break;
    case SB_BOTTOM:
        position = content;
        break;
    default:
        return;
    }
    scrollTo(across, position);
}

void NScroll::scrollTo(bool across, int position)
{
    if (!owner || !owner->isWindow())
        return;
    const int content = across ? contentWidth : contentHeight;
    const int last = content - pageSize(across);
    if (position > last)
        position = last;
    if (position < 0)
        position = 0;
    int& current = across ? positionX : positionY;
    if (position == current)
        return;
    current = position;

    int bar = 0;
    const HWND window = barWindow(across, bar);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = position;
    SetScrollInfo(window, bar, &info, TRUE);

    owner->device.setOffset(positionX, positionY);
    owner->invalidate();
    notifying = true;
    owner->sendMessage(across ? WM_HSCROLL : WM_VSCROLL, 0, 0);
    notifying = false;
}

void NScroll::setPosition(int x, int y)
{
    scrollTo(true, x);
    scrollTo(false, y);
}

void NScroll::showBarHor(bool show) { showBar(true, show); }
void NScroll::showBarVert(bool show) { showBar(false, show); }

void NScroll::showBar(bool across, bool show)
{
    if (!owner || !owner->isWindow()) {
        globalError.messageBox(NString("NScroll::showBar") + (across ? "Hor" : "Vert") +
                                   "(..) kann nur auf ein existierendes Fenster angewendet "
                                   "werden.\r\nBitte f\xFChren Sie zuerst create(...) aus.",
                               0, "Fehler !", MB_ICONERROR);
        return;
    }
    NWindow* control = across ? horizontalBar : verticalBar;
    if (control)
        control->show(show ? SW_SHOW : SW_HIDE);
    else
        ShowScrollBar(owner->hwnd, across ? SB_HORZ : SB_VERT, show);
}
