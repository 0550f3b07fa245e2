#include "NButtonCtrl.h"

namespace {

// The system procedure of the "BUTTON" class, taken by the first button.
WNDPROC buttonProcedure = nullptr;

}  // namespace

NButtonCtrl::NButtonCtrl()
{
    className = "BUTTON";
    // Owner-drawn buttons paint their whole face; the system erase would
    // only flicker under it.
    eraseSkipStyles = 0xB;
}

NButtonCtrl::~NButtonCtrl() {}

const char* NButtonCtrl::getName() const { return getClassName(); }
const char* NButtonCtrl::getClassName() const { return "NButtonCtrl"; }

LRESULT NButtonCtrl::onMessage(HWND messageWindow, UINT message, WPARAM wParam, LPARAM lParam,
                               bool handled, LRESULT result)
{
    if (message == NEK_MSG_CLICK_BUTTON && hwnd && messageWindow == hwnd) {
        const DWORD current = getStyle();
        const bool addressed =
            lParam == controlId || (lParam == 0 && LOWORD(current) == BS_DEFPUSHBUTTON);
        if (addressed && (current & WS_VISIBLE) && !(current & WS_DISABLED))
            click();
    }
    return NControlPredefined::onMessage(messageWindow, message, wParam, lParam, handled, result);
}

LRESULT NButtonCtrl::onReflect(int code, NMHDR*)
{
    if (code == BN_CLICKED)
        onClicked();
    return 0;
}

void NButtonCtrl::afterCreate() { subclass(buttonProcedure); }

void NButtonCtrl::onClicked() {}

void NButtonCtrl::click()
{
    if (parent && parent->isWindow())
        SendMessageA(parent->hwnd, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), 0);
}
