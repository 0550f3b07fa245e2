#include "NScrollBar.h"

#include <commctrl.h>

namespace {
WNDPROC scrollBarSystemProcedure = nullptr;
}

NScrollBar::NScrollBar(bool vertical) : vertical(vertical)
{
    className = "SCROLLBAR";
    style = WS_CHILD | WS_CLIPSIBLINGS | (vertical ? SBS_VERT : 0);
    exStyle = WS_EX_TOPMOST;
    commonControlClasses = ICC_BAR_CLASSES;
    barData = 3;
    positionable = 0;
}

const char* NScrollBar::getName() const { return getClassName(); }
const char* NScrollBar::getClassName() const { return "NScrollBar"; }
NScrollBar::~NScrollBar() {}

void NScrollBar::afterCreate()
{
    subclass(scrollBarSystemProcedure);
    if (!parent)
        return;
    const NRect bar = getWindowRect(false);
    if (vertical)
        parent->clientInsets.width += bar.width;
    else
        parent->clientInsets.height += bar.height;
}
