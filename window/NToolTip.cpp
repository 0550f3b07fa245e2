#include "NToolTip.h"

#include "NApplication.h"

NToolTip::NToolTip()
    : hwnd(nullptr), tool(), trackOffsetX(15), trackOffsetY(15), owner(nullptr), text("Tip-Text")
{
    // The size without the reserved pointer, so every common-controls version takes it.
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.lpszText = LPSTR_TEXTCALLBACKA;
}

NToolTip::~NToolTip()
{
    if (hwnd && IsWindow(hwnd))
        DestroyWindow(hwnd);
}

const char* NToolTip::getName() const { return getClassName(); }
const char* NToolTip::getClassName() const { return "NToolTip"; }

bool NToolTip::create(HWND ownerWindow, bool balloon, UINT toolFlags)
{
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    owner = ownerWindow;
    DWORD style = WS_POPUP | TTS_NOPREFIX;
    if (balloon)
        style |= TTS_BALLOON;
    hwnd = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, style, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                           globalApplication.instance, nullptr);
    if (!hwnd)
        return false;
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Any width limit makes the tooltip honour the line breaks of its text.
    SendMessageA(hwnd, TTM_SETMAXTIPWIDTH, 0, 600);

    tool.uFlags = toolFlags;
    tool.hwnd = owner;
    tool.uId = 0;
    GetClientRect(owner, &tool.rect);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    return SendMessageA(hwnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
}

void NToolTip::setText(const NString& newText, const NString& title, int icon)
{
    text = newText;
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    sendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    if (!title.isEmpty() || icon != 0)
        sendMessage(TTM_SETTITLEA, static_cast<WPARAM>(icon),
                    reinterpret_cast<LPARAM>(title.getBuffer()));
}

void NToolTip::setDelay(int milliseconds)
{
    // The system's delays derive from the double-click time; setting that
    // time automatically restores all of them. (-1 would do it on Windows,
    // but some common-controls versions take it as 65535 ms.)
    const int delay = milliseconds < 1 ? static_cast<int>(GetDoubleClickTime()) : milliseconds;
    sendMessage(TTM_SETDELAYTIME, TTDT_AUTOMATIC, MAKELPARAM(delay, 0));
}

void NToolTip::setToolRect(const NRect& r)
{
    tool.rect = r.getRECT();
    sendMessage(TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void NToolTip::trackPosition(const NPoint& point)
{
    sendMessage(TTM_TRACKPOSITION, 0, MAKELPARAM(point.x + trackOffsetX, point.y + trackOffsetY));
}

void NToolTip::activateTracking(bool on)
{
    sendMessage(TTM_TRACKACTIVATE, on ? TRUE : FALSE, reinterpret_cast<LPARAM>(&tool));
}

LRESULT NToolTip::sendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return hwnd ? SendMessageA(hwnd, message, wParam, lParam) : 0;
}

bool NToolTip::onMessage(NMHDR* header)
{
    if (!header || !hwnd || header->hwndFrom != hwnd)
        return false;
    if (header->code == TTN_GETDISPINFOA) {
        NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        // The text lives as long as the tooltip; the control only reads it.
        info->lpszText = const_cast<char*>(text.getBuffer());
    }
    return true;
}
