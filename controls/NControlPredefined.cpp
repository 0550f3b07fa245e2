#include "NControlPredefined.h"

#include <cstdint>
#include <exception>

#include "NApplication.h"
#include "NError.h"

NControlPredefined::NControlPredefined() : eraseSkipStyles(0), systemProcedure(nullptr) {}

NControlPredefined::~NControlPredefined() {}

const char* NControlPredefined::getName() const { return getClassName(); }
const char* NControlPredefined::getClassName() const { return "NControlPredefined"; }

LRESULT NControlPredefined::onMessage(HWND messageWindow, UINT message, WPARAM wParam,
                                      LPARAM lParam, bool handled, LRESULT result)
{
    // The system procedure has painted already; the handlers only add to it.
    if (message == WM_PAINT && hwnd && messageWindow == hwnd) {
        device.setHwnd(hwnd);
        onPaintBackground(device);
        onPaint(device);
        return 0;
    }
    return NControlPositioned::onMessage(messageWindow, message, wParam, lParam, handled, result);
}

void NControlPredefined::subclass(WNDPROC& classProcedure)
{
    if (!isWindow())
        return;
    if (!classProcedure)
        classProcedure = reinterpret_cast<WNDPROC>(GetClassLongPtrA(hwnd, GCLP_WNDPROC));
    systemProcedure = &classProcedure;
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&controlProc));
    // The system alone may have painted the control already (WM_SETFONT
    // redraws it), without the library's colours and owner drawing: paint it
    // again, with the parent's background behind a transparent one.
    if (parent && parent->isWindow() && device.getBackgroundColor() == -1)
        parent->invalidateRect(getWindowRect(false));
    invalidate();
}

LRESULT CALLBACK NControlPredefined::controlProc(HWND hwnd, UINT message, WPARAM wParam,
                                                 LPARAM lParam)
{
    NControlPredefined* control = nullptr;
    WNDPROC system = nullptr;
    LRESULT result = 0;
    try {
        control = dynamic_cast<NControlPredefined*>(globalApplication.findWindow(hwnd));
        system = control && control->systemProcedure
                     ? *control->systemProcedure
                     // The object went first: the class's own procedure goes on alone.
                     : reinterpret_cast<WNDPROC>(GetClassLongPtrA(hwnd, GCLP_WNDPROC));
        const bool skipSystem =
            message == WM_ERASEBKGND && control &&
            (static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)) & control->eraseSkipStyles);
        if (system && !skipSystem)
            result = CallWindowProcA(system, hwnd, message, wParam, lParam);
        // The system procedure may have destroyed the window and its object; an
        // object half destroyed is no NControlPredefined any more.
        control = dynamic_cast<NControlPredefined*>(globalApplication.findWindow(hwnd));
        if (control)
            result = control->onMessage(hwnd, message, wParam, lParam, message != WM_NCHITTEST,
                                        result);
    } catch (const std::exception& e) {
        NString text;
        text.format("Unerwartete Ausnahme in NControlPredefined::controlProc(..) bei Nachricht "
                    "0x%X: %s",
                    message, e.what());
        globalError.addError(text);
    } catch (...) {
        NString text;
        text.format("Unerwartete Ausnahme in NControlPredefined::controlProc(..) bei Nachricht "
                    "0x%X: unbekannt",
                    message);
        globalError.addError(text);
    }
    return result;
}
