// NWindow: the messages unpacked into the virtual handlers, and the
// handlers' default behaviour.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <vector>

#include "NApplication.h"
#include "NError.h"
#include "NToolTip.h"
#include "NWindow.h"

namespace {

inline int lowSigned(LPARAM value) { return static_cast<short>(LOWORD(value)); }
inline int highSigned(LPARAM value) { return static_cast<short>(HIWORD(value)); }
inline signed char scanCodeOf(LPARAM lParam) { return static_cast<signed char>((lParam >> 16) & 0xFF); }

// The character a key produces with the present keyboard state, 0 for none.
wchar_t characterOfKey(WPARAM virtualKey, LPARAM lParam)
{
    BYTE state[256];
    if (!GetKeyboardState(state))
        return 0;
    WORD translated = 0;
    const int count = ToAscii(static_cast<UINT>(virtualKey), (lParam >> 16) & 0xFF, state,
                              &translated, 0);
    return count >= 1 ? static_cast<wchar_t>(translated & 0xFF) : 0;
}

// The handlers of WM_LBUTTONDOWN to WM_MBUTTONDBLCLK, in message order.
typedef void (NWindow::*MouseButtonHandler)(int keys, int x, int y);
const MouseButtonHandler mouseButtonHandlers[] = {
    &NWindow::onLButtonDown, &NWindow::onLButtonUp, &NWindow::onLButtonDblClk,
    &NWindow::onRButtonDown, &NWindow::onRButtonUp, &NWindow::onRButtonDblClk,
    &NWindow::onMButtonDown, &NWindow::onMButtonUp, &NWindow::onMButtonDblClk};

}  // namespace

LRESULT NWindow::onMessage(HWND messageWindow, UINT message, WPARAM wParam, LPARAM lParam,
                           bool handled, LRESULT result)
{
    const bool mine = hwnd == messageWindow || messageWindow == nullptr ||
                      (hwnd == nullptr && message == WM_CREATE);
    // The system menu's commands (close, move, size ...) always take the default way.
    if (mine && message != WM_SYSCOMMAND) {
        switch (message) {
        case WM_CREATE:
            hwnd = messageWindow;
            device.setHwnd(hwnd);
            onCreate(reinterpret_cast<CREATESTRUCTA*>(lParam));
            break;
        case WM_DESTROY: {
            onDestroy();
            if (globalApplication.mainWindow == this)
                globalError.showLog();
            modalFlags &= ~static_cast<unsigned int>(modalRunning);
            globalApplication.unregisterWindow(this);
            NWindow* main = globalApplication.mainWindow;
            if (main && main->hwnd == messageWindow)
                PostQuitMessage(globalApplication.exitCode);
            break;
        }
        case WM_SIZE:
            if (firstShowPending) {
                firstShowPending = false;
                onFirstShow();
            }
            onSize(static_cast<int>(wParam), LOWORD(lParam), HIWORD(lParam));
            scroll.update();
            if (background.isLoaded() && background.getDrawMode() != 0)
                invalidate();
            break;
        case WM_ACTIVATE: {
            // Focus goes back to where it was in this window; a handle of another
            // window would take the activation away again.
            const HWND active = globalApplication.activeWindow;
            if (active && LOWORD(wParam) && (active == hwnd || IsChild(hwnd, active))) {
                SetFocus(active);
                handled = true;
                result = 0;
            }
            break;
        }
        case WM_SETFOCUS:
            globalApplication.activeWindow = hwnd;
            onSetFocus(reinterpret_cast<HWND>(wParam));
            break;
        case WM_KILLFOCUS:
            globalApplication.activeWindow = hwnd;
            onKillFocus(reinterpret_cast<HWND>(wParam));
            break;
        case WM_PAINT:
            device.setHwnd(hwnd);
            device.beginPaint();
            onPaintBackground(device);
            onPaint(device);
            device.endPaint();
            result = 0;
            break;
        case WM_CLOSE:
            if (!onClose()) {
                modalFlags &= ~static_cast<unsigned int>(modalRunning);
                handled = true;
                result = 0;
            }
            break;
        case WM_ERASEBKGND:
            if (device.getNoFlicker()) {
                handled = true;
                result = 1;
            } else {
                device.setDC(reinterpret_cast<HDC>(wParam));
                const LRESULT erased = onEraseBackground(device);
                device.setDC(nullptr);
                if (erased) {
                    relayToChildren(WM_ERASEBKGND, wParam, lParam);
                    handled = true;
                    result = erased;
                }
            }
            break;
        case WM_SHOWWINDOW:
            if (firstShowPending) {
                firstShowPending = false;
                onFirstShow();
            }
            if (wParam == 1)
                onShow();
            else
                onHide();
            break;
        case WM_SETCURSOR:
            // Over the frame the system's sizing cursors stay.
            if (cursor && LOWORD(lParam) == HTCLIENT) {
                SetCursor(cursor);
                handled = true;
                result = TRUE;
            }
            break;
        case WM_NOTIFY: {
            NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
            if (toolTip)
                toolTip->onMessage(header);
            const int code = static_cast<int>(header->code);
            if (code == static_cast<int>(TTN_GETDISPINFOA) && getToolTipText()) {
                reinterpret_cast<NMTTDISPINFOA*>(header)->lpszText =
                    const_cast<char*>(getToolTipText());
                result = 1;
            }
            if (code == static_cast<int>(TTN_GETDISPINFOA) || code == static_cast<int>(TTN_SHOW) ||
                code == static_cast<int>(TTN_POP))
                result = onToolTipNotify(code, header);
            if (windowType == typePlain)
                result = SendMessageA(header->hwndFrom, NEK_MSG_REFLECT, wParam, lParam);
            if (result == 0)
                result = onNotify(static_cast<int>(wParam), header->hwndFrom, code, header);
            if (result != 0)
                handled = true;
            break;
        }
        case WM_HELP:
            handled = onHelp(reinterpret_cast<HELPINFO*>(lParam));
            break;
        case WM_CONTEXTMENU:
            handled = onContextMenu(lowSigned(lParam), highSigned(lParam));
            break;
        case WM_NCPAINT: {
            const HDC context = GetWindowDC(hwnd);
            device.setDC(context);
            const bool painted = onNcPaint(device);
            device.setDC(nullptr);
            ReleaseDC(hwnd, context);
            if (painted) {
                handled = true;
                result = 0;
            }
            break;
        }
        case WM_KEYDOWN: {
            bool done = onKeyDown(characterOfKey(wParam, lParam), scanCodeOf(lParam),
                                  static_cast<int>(wParam), (lParam & 0x40000000) == 0);
            // A key the window leaves goes to its parent's handlers.
            if (!done && parent &&
                parent->onMessage(nullptr, WM_KEYDOWN, wParam, lParam, handled, result) == 0)
                done = true;
            result = 1;
            if (done) {
                handled = true;
                result = 0;
            }
            break;
        }
        case WM_CHAR:
            if (onChar(static_cast<wchar_t>(wParam & 0xFFFF), scanCodeOf(lParam),
                       static_cast<int>(wParam), (lParam & 0x40000000) != 0)) {
                handled = true;
                result = 0;
            }
            break;
        case WM_COMMAND: {
            const HWND control = reinterpret_cast<HWND>(lParam);
            // Controls inside controls do not reflect: their parent is a control itself.
            if (windowType == typePlain && control) {
                NMHDR header = {control, LOWORD(wParam), 0};
                SendMessageA(control, NEK_MSG_REFLECT, LOWORD(wParam),
                             reinterpret_cast<LPARAM>(&header));
            }
            onCommand(LOWORD(wParam), control, HIWORD(wParam));
            break;
        }
        case WM_TIMER:
            if (timerEvents)
                onTimer(lParam);
            break;
        case WM_HSCROLL:
            scroll.horizontal(static_cast<unsigned int>(wParam));
            onHScroll();
            break;
        case WM_VSCROLL:
            scroll.vertical(static_cast<unsigned int>(wParam));
            onVScroll();
            break;
        case WM_MOUSEMOVE:
            onMouseMove(LOWORD(wParam), lowSigned(lParam), highSigned(lParam));
            relayToChildren(NEK_MSG_PARENT_MOUSEMOVE, wParam, lParam);
            break;
        case WM_MOUSEWHEEL:
            if (onMouseWheel(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), lowSigned(lParam),
                             highSigned(lParam))) {
                handled = true;
                result = 0;
            }
            break;
        case WM_SIZING:
            onSizing(static_cast<int>(wParam), reinterpret_cast<RECT*>(lParam));
            break;
        case WM_MOUSEHOVER:
            onMouseHover(static_cast<int>(wParam));
            break;
        case WM_MOUSELEAVE:
            onMouseLeave();
            break;
        case WM_DROPFILES: {
            // The drop handle is the system's; it is read and released here.
            const HDROP drop = reinterpret_cast<HDROP>(wParam);
            NStringList files;
            const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < count; ++i) {
                std::vector<char> name(DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
                DragQueryFileA(drop, i, name.data(), static_cast<UINT>(name.size()));
                files.add(name.data());
                std::vector<wchar_t> wide(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
                DragQueryFileW(drop, i, wide.data(), static_cast<UINT>(wide.size()));
                droppedFiles.push_back(wide.data());
            }
            POINT at = {0, 0};
            DragQueryPoint(drop, &at);
            DragFinish(drop);
            onDropFiles(files, NPoint(at.x, at.y));
            droppedFiles.clear();
            handled = true;
            result = 0;
            break;
        }
        case NEK_MSG_WATCHED: {
            const NWatchedMessage* watched = reinterpret_cast<const NWatchedMessage*>(lParam);
            onWatchedMessage(watched->window, watched->message, watched->wParam, watched->lParam,
                             watched->userValue);
            break;
        }
        default:
            if (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK)
                (this->*mouseButtonHandlers[message - WM_LBUTTONDOWN])(
                    LOWORD(wParam), lowSigned(lParam), highSigned(lParam));
            break;
        }
    }
    if (!handled)
        result = DefWindowProcA(messageWindow, message, wParam, lParam);
    globalApplication.relayWatched(messageWindow, message, wParam, lParam);
    return result;
}

void NWindow::onParentSize(const NSize& parentClientSize)
{
    if (!isWindow())
        return;
    const NRect before = getWindowRect(false);
    NRect after = before;
    if (!anchor.apply(after, parentClientSize))
        return;
    if (parent)
        parent->invalidateRect(before);
    setWindowRect(after, true);
}

void NWindow::paintTo(NPainter& painter)
{
    inForeignPaint = true;
    onPaint(painter);
    inForeignPaint = false;
}

void NWindow::onPaintBackground(NPainter& painter)
{
    if (!background.isLoaded() || painter.getKind() != NPainter::kindScreen)
        return;
    const HDC context = static_cast<NDevice&>(painter).getDC();
    if (context)
        background.draw(context, hwnd);
}

// --- handlers that do nothing until a window overrides them ---------------------------------

bool NWindow::onAccelerator(HWND, UINT, WPARAM, LPARAM) { return false; }
bool NWindow::onKeyDown(wchar_t, signed char, int, bool) { return false; }
void NWindow::onLButtonDown(int, int, int) {}
void NWindow::onPaint(NPainter&) {}
void NWindow::onCreate(CREATESTRUCTA*) {}
void NWindow::onCommand(int, HWND, int) {}
void NWindow::onFirstShow() {}
void NWindow::onMouseMove(int, int, int) {}
void NWindow::onTimer(LPARAM) {}
bool NWindow::onClose() { return true; }
LRESULT NWindow::onNotify(int, HWND, int, NMHDR*) { return 0; }
LRESULT NWindow::onEraseBackground(NPainter&) { return 0; }
void NWindow::onLButtonUp(int, int, int) {}
void NWindow::onMouseLeave() {}
void NWindow::onMouseHover(int) {}
void NWindow::onLButtonDblClk(int, int, int) {}
void NWindow::onPreCreateWindow() {}
void NWindow::onWatchedMessage(HWND, UINT, WPARAM, LPARAM, LPARAM) {}
void NWindow::onRButtonUp(int, int, int) {}
void NWindow::onRButtonDown(int, int, int) {}
void NWindow::onRButtonDblClk(int, int, int) {}
void NWindow::onSetFocus(HWND) {}
void NWindow::onSize(int, int, int) {}
void NWindow::onSizing(int, RECT*) {}
void NWindow::onVScroll() {}
bool NWindow::onHelp(HELPINFO*) { return false; }
void NWindow::onHScroll() {}
bool NWindow::onChar(wchar_t, signed char, int, bool) { return false; }
LRESULT NWindow::onToolTipNotify(int, NMHDR*) { return 0; }
const char* NWindow::getToolTipText() { return nullptr; }
bool NWindow::onMouseWheel(int, int, int, int) { return false; }
bool NWindow::onContextMenu(int, int) { return false; }
void NWindow::onShow() {}
void NWindow::onHide() {}
void NWindow::onDestroy() {}
void NWindow::onKillFocus(HWND) {}
void NWindow::onMButtonDblClk(int, int, int) {}
void NWindow::onMButtonDown(int, int, int) {}
void NWindow::onMButtonUp(int, int, int) {}
bool NWindow::onNcPaint(NPainter&) { return false; }
void NWindow::onDropFiles(NStringList&, const NPoint&) {}

std::wstring NWindow::getDroppedFile(int index) const
{
    return index >= 0 && static_cast<size_t>(index) < droppedFiles.size() ? droppedFiles[static_cast<size_t>(index)]
                                                                            : std::wstring();
}
