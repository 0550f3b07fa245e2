#include "NControl.h"

#include "NApplication.h"

NControl::NControl() : controlId(globalApplication.nextControlId())
{
    style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    windowType = typeControl;
    title = "";
    id = static_cast<UINT>(controlId);
}

NControl::~NControl() {}

const char* NControl::getName() const { return getClassName(); }
const char* NControl::getClassName() const { return "NControl"; }

LRESULT NControl::onMessage(HWND messageWindow, UINT message, WPARAM wParam, LPARAM lParam,
                            bool handled, LRESULT result)
{
    if (hwnd && messageWindow == hwnd) {
        if (message == NEK_MSG_CTLCOLOR) {
            result = reinterpret_cast<LRESULT>(onCtlColor(reinterpret_cast<HDC>(wParam)));
            // The brush is the answer; the default procedure would replace it by 0.
            handled = true;
        } else if (message == NEK_MSG_REFLECT) {
            NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
            const LRESULT reflected =
                header ? onReflect(static_cast<int>(header->code), header) : 0;
            if (reflected != 0) {
                result = reflected;
                handled = true;
            }
        }
    }
    return NWindow::onMessage(messageWindow, message, wParam, lParam, handled, result);
}

LRESULT NControl::onReflect(int, NMHDR*) { return 0; }

HBRUSH NControl::onCtlColor(HDC dc)
{
    // The context belongs to the control's own paint: only the colours are
    // set here, no object of the device stays selected in it.
    device.applyTextColours(dc);
    return device.getBackgroundBrush();
}
