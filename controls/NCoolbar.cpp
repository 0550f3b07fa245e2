#include "NCoolbar.h"

#include "NToolbar.h"

namespace {
WNDPROC coolbarSystemProcedure = nullptr;
}

NCoolbar::NCoolbar() : band()
{
    className = REBARCLASSNAMEA;
    style = WS_CHILD | WS_VISIBLE | WS_BORDER | RBS_BANDBORDERS | RBS_VARHEIGHT | CCS_NODIVIDER |
            CCS_NOPARENTALIGN;
    exStyle = WS_EX_TOPMOST;
    commonControlClasses = ICC_COOL_CLASSES;
    rect.height = 40;
    barData = 3;
    // The bars are laid out by their frame, not by the layouter.
    positionable = 0;

    band.cbSize = sizeof band;
    band.fMask = RBBIM_STYLE | RBBIM_COLORS | RBBIM_TEXT | RBBIM_CHILD | RBBIM_CHILDSIZE;
    band.fStyle = RBBS_BREAK | RBBS_CHILDEDGE | RBBS_NOVERT | RBBS_FIXEDBMP | RBBS_NOGRIPPER;
    band.clrFore = 0xFFFFFF;
    band.clrBack = 0xEBB9B9;
    band.cxMinChild = 50;
    band.cyMinChild = 20;
    band.cx = 0;
}

const char* NCoolbar::getName() const { return getClassName(); }
const char* NCoolbar::getClassName() const { return "NCoolbar"; }
NCoolbar::~NCoolbar() {}

void NCoolbar::afterCreate() { subclass(coolbarSystemProcedure); }

bool NCoolbar::addBand(NWindow* control, const NString& text)
{
    if (!isWindow() || !control || !control->isWindow())
        return false;
    bandText = text;
    band.lpText = const_cast<char*>(bandText.getBuffer());
    band.hwndChild = control->hwnd;
    const NToolbar* bar = dynamic_cast<const NToolbar*>(control);
    band.cyMinChild = bar ? bar->getButtonHeight() : control->getWindowRect(false).height;
    const bool inserted =
        sendMessage(RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)) != 0;
    if (parent)
        parent->clientInsets.y = getWindowRect(false).height;
    return inserted;
}
