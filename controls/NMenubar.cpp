#include "NMenubar.h"

#include <commctrl.h>

#include "NPopupMenu.h"

namespace {

// The bar whose menu is open; one at a time.
NMenubar* openBar = nullptr;

}  // namespace

NMenubar::NMenubar() : openButton(0), hook(nullptr), barWindow(nullptr), barRect()
{
    extendedStyle = TBSTYLE_EX_MIXEDBUTTONS;
}

const char* NMenubar::getName() const { return getClassName(); }
const char* NMenubar::getClassName() const { return "NMenubar"; }

NMenubar::~NMenubar()
{
    if (openBar == this)
        openBar = nullptr;
    if (hook)
        UnhookWindowsHookEx(hook);
    for (int i = 0; i < menus.getCount(); ++i)
        delete menus.getValueAt(i);
    menus.removeAll();
}

NPopupMenu* NMenubar::addMenu(const NString& menuTitle)
{
    const int buttonId = addButton(menuTitle, NString(), 0, BTNS_AUTOSIZE | BTNS_SHOWTEXT);
    if (buttonId < 0)
        return nullptr;
    NPopupMenu* menu = new NPopupMenu();
    // The bar sends the command itself, once.
    menu->sendCommand = 0;
    menus.setAt(buttonId, menu);
    return menu;
}

void NMenubar::openMenu(int buttonId)
{
    if (hwnd)
        PostMessageA(hwnd, openMenuMessage, static_cast<WPARAM>(buttonId), 0);
}

LRESULT NMenubar::onMessage(HWND messageWindow, UINT message, WPARAM wParam, LPARAM lParam,
                            bool handled, LRESULT result)
{
    if (hwnd && messageWindow == hwnd) {
        if (message == openMenuMessage) {
            runMenu(static_cast<int>(wParam));
            return 0;
        }
        // A menu opens on the press, as in a system menu bar; the toolbar lets
        // go of the mouse so the menu gets it.
        if (message == WM_LBUTTONDOWN) {
            const int index = buttonAt(NPoint(static_cast<short>(LOWORD(lParam)),
                                              static_cast<short>(HIWORD(lParam))));
            TBBUTTON button = {};
            if (index >= 0 && sendMessage(TB_GETBUTTON, static_cast<WPARAM>(index),
                                          reinterpret_cast<LPARAM>(&button)) &&
                menus.contains(button.idCommand)) {
                ReleaseCapture();
                openMenu(button.idCommand);
            }
        }
    }
    return NToolbar::onMessage(messageWindow, message, wParam, lParam, handled, result);
}

void NMenubar::runMenu(int buttonId)
{
    openBar = this;
    NPopupMenu* menu = menus.lookup(buttonId);
    if (!menu || !parent)
        return;
    sendMessage(TB_SETSTATE, static_cast<WPARAM>(buttonId),
                MAKELONG(TBSTATE_ENABLED | TBSTATE_PRESSED, 0));
    RECT button = {};
    sendMessage(TB_GETRECT, static_cast<WPARAM>(buttonId), reinterpret_cast<LPARAM>(&button));

    hook = SetWindowsHookExA(WH_MSGFILTER, &messageHook, nullptr, GetCurrentThreadId());
    GetWindowRect(hwnd, &barRect);
    barWindow = hwnd;
    openButton = buttonId;

    const int command = menu->track(parent->hwnd, clientToScreen(NPoint(button.left,
                                                                        button.bottom + 3)));

    if (hook)
        UnhookWindowsHookEx(hook);
    hook = nullptr;
    barWindow = nullptr;
    barRect = RECT();
    openButton = 0;
    sendMessage(TB_SETSTATE, static_cast<WPARAM>(buttonId), MAKELONG(TBSTATE_ENABLED, 0));
    if (command != 0)
        SendMessageA(parent->hwnd, WM_COMMAND, static_cast<WPARAM>(command), 0);
}

// While a menu is open the menu's own loop gets the mouse; moves over the bar
// are handed on so the bar's hot button follows the mouse.
LRESULT CALLBACK NMenubar::messageHook(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code >= 0 && message && message->message == WM_MOUSEMOVE && openBar &&
        openBar->barWindow && PtInRect(&openBar->barRect, message->pt)) {
        POINT p = message->pt;
        ScreenToClient(openBar->barWindow, &p);
        SendMessageA(openBar->barWindow, WM_MOUSEMOVE, message->wParam, MAKELPARAM(p.x, p.y));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT NMenubar::onReflect(int code, NMHDR* header)
{
    const LRESULT result = NToolbar::onReflect(code, header);
    if (code == static_cast<int>(TBN_HOTITEMCHANGE) && openBar == this && openButton) {
        const int next = reinterpret_cast<const NMTBHOTITEM*>(header)->idNew;
        if (next != 0 && next != openButton) {
            EndMenu();
            openMenu(next);
        }
    }
    return result;
}
