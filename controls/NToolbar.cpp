#include "NToolbar.h"

#include <commctrl.h>

#include "NApplication.h"
#include "NError.h"
#include "NToolTip.h"

namespace {

// The toolbar class's own window procedure, taken from the first toolbar.
WNDPROC toolbarSystemProcedure = nullptr;

const char* const noButtonTip = "Toolbar-Schaltfl\xE4" "chen";

}  // namespace

NToolbar::NToolbar()
    : buttonHeight(22),
      buttonFlag(1),
      buttonValue(200),
      imageWidth(16),
      imageHeight(16),
      extendedStyle(TBSTYLE_EX_DRAWDDARROWS | TBSTYLE_EX_MIXEDBUTTONS),
      tipButton(-1)
{
    style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TBSTYLE_LIST |
            TBSTYLE_FLAT | CCS_NODIVIDER | CCS_NORESIZE;
}

const char* NToolbar::getName() const { return getClassName(); }
const char* NToolbar::getClassName() const { return "NToolbar"; }
NToolbar::~NToolbar() {}

bool NToolbar::createToolbar(NWindow* newParent)
{
    if (!newParent) {
        globalError.messageBox("createToolbar(..) muss ein g\xFCltigen pParent \xFC" "bergeben "
                               "bekommen.",
                               0, "Fehler !", MB_ICONERROR);
        return false;
    }
    if (created) {
        globalError.messageBox("createToolbar(..) Die Toolbar wurde bereits erzeugt.", 0,
                               "Fehler !", MB_ICONERROR);
        return false;
    }
    onPreCreateWindow();
    parent = newParent;
    created = 1;
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    hwnd = CreateToolbarEx(parent->hwnd, style, static_cast<UINT>(controlId), 0, nullptr, 0,
                           nullptr, 0, 0, 0, imageWidth, imageHeight, sizeof(TBBUTTON));
    if (!hwnd) {
        globalError.messageBox("Fehler beim Erzeugen des Fensters: " TOOLBARCLASSNAMEA,
                               GetLastError(), "Fehler !", MB_ICONERROR);
        return false;
    }
    id = static_cast<UINT>(controlId);
    device.setHwnd(hwnd);
    images.create(imageWidth, imageHeight, ILC_MASK | ILC_COLOR32, 10, 10);
    if (images.getCount() > 0)
        sendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.getHandle()));
    if (buttonFlag)
        sendMessage(TB_SETBUTTONWIDTH, 0, MAKELPARAM(0, buttonValue));
    sendMessage(TB_SETEXTENDEDSTYLE, 0, static_cast<LPARAM>(extendedStyle));
    COLORSCHEME colours = {sizeof colours, GetSysColor(COLOR_BTNHIGHLIGHT),
                           GetSysColor(COLOR_BTNSHADOW)};
    sendMessage(CCM_SETCOLORSCHEME, 0, reinterpret_cast<LPARAM>(&colours));
    subclass();
    addToolTip(noButtonTip);
    return true;
}

void NToolbar::subclass()
{
    if (!toolbarSystemProcedure)
        toolbarSystemProcedure = reinterpret_cast<WNDPROC>(GetClassLongPtrA(hwnd, GCLP_WNDPROC));
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&toolbarProc));
}

// The toolbar's procedure first, then the library's handlers; no exception
// leaves here.
LRESULT CALLBACK NToolbar::toolbarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcA(toolbarSystemProcedure, hwnd, message, wParam, lParam);
    try {
        if (NWindow* bar = globalApplication.findWindow(hwnd))
            result = bar->onMessage(hwnd, message, wParam, lParam, message != WM_NCHITTEST,
                                    result);
    } catch (...) {
        NString text;
        text.format("Unerwartete Ausnahme in NToolbar::toolbarProc(..) bei Nachricht 0x%X",
                    message);
        globalError.addError(text);
    }
    return result;
}

LRESULT NToolbar::onMessage(HWND messageWindow, UINT message, WPARAM wParam, LPARAM lParam,
                            bool handled, LRESULT result)
{
    // The toolbar has painted itself already.
    if (message == WM_PAINT && hwnd && messageWindow == hwnd)
        return result;
    return NControl::onMessage(messageWindow, message, wParam, lParam, handled, result);
}

int NToolbar::addButton(const NString& text, const NString& imageName, int buttonId,
                        int buttonStyle, LPARAM data, const NString& toolTip)
{
    if (!isWindow())
        return -1;
    int image = I_IMAGENONE;
    if (!imageName.isEmpty()) {
        image = images.add(imageName, NImageList::maskTopLeft);
        if (image < 0)
            return -1;
        sendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.getHandle()));
    }
    if (buttonId == 0)
        buttonId = globalApplication.nextControlId();
    // TB_ADDSTRING takes a list ending with an empty string.
    NString strings(text.isEmpty() ? NString(" ") : text);
    strings += '\0';
    const LRESULT stringIndex =
        sendMessage(TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(strings.getBuffer()));
    TBBUTTON button = {};
    button.iBitmap = image;
    button.idCommand = buttonId;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = static_cast<BYTE>(buttonStyle);
    button.dwData = static_cast<DWORD_PTR>(data);
    button.iString = static_cast<INT_PTR>(stringIndex);
    sendMessage(TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
    toolTips.add(toolTip.isEmpty() ? text : toolTip);
    sendMessage(TB_AUTOSIZE);
    return buttonId;
}

int NToolbar::getButtonCount() { return static_cast<int>(sendMessage(TB_BUTTONCOUNT)); }

int NToolbar::buttonAt(const NPoint& point)
{
    POINT p = {point.x, point.y};
    const int index = static_cast<int>(sendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&p)));
    return index >= 0 && index < getButtonCount() ? index : -1;
}

const char* NToolbar::getToolTipText()
{
    const int index = buttonAt(lastMousePoint);
    if (index < 0 || index >= toolTips.getCount())
        return noButtonTip;
    NString& text = toolTips.getAt(index);
    NString trimmed(text);
    trimmed.trim();
    return trimmed.isEmpty() ? noButtonTip : text.getBuffer();
}

void NToolbar::onMouseMove(int, int x, int y)
{
    lastMousePoint = NPoint(x, y);
    // Another button: the shown tip goes, the next one asks for its text again.
    const int index = buttonAt(lastMousePoint);
    if (index != tipButton && toolTip)
        toolTip->sendMessage(TTM_POP, 0, 0);
    tipButton = index;
}

void NToolbar::onSize(int, int width, int height)
{
    if (toolTip)
        toolTip->setToolRect(NRect(0, 0, width, height));
}
