#include "NControlPositioned.h"

#include "NError.h"
#include "NPositioningWnd.h"
#include "NResources.h"
#include "NStringList.h"

NControlPositioned::NControlPositioned() : positionable(1), overlay(nullptr)
{
    rect.width = 80;
    rect.height = 20;
    windowType = typePositioned;
}

NControlPositioned::~NControlPositioned()
{
    delete overlay;
    overlay = nullptr;
}

const char* NControlPositioned::getName() const { return getClassName(); }
const char* NControlPositioned::getClassName() const { return "NControlPositioned"; }

bool NControlPositioned::create(NWindow*)
{
    globalError.messageBox("NControl::create(): Controls k\xF6nnen nicht mittels create(...) "
                           "erzeugt werden, verwenden Sie statt dessen createCtrl(...)",
                           0, "Fehler !", MB_ICONERROR);
    return false;
}

LRESULT NControlPositioned::onMessage(HWND messageWindow, UINT message, WPARAM wParam,
                                      LPARAM lParam, bool handled, LRESULT result)
{
    if (hwnd && messageWindow == hwnd) {
        switch (message) {
        case NEK_MSG_POSITIONING_START:
            beginPositioning();
            handled = true;
            break;
        case NEK_MSG_POSITIONING_END:
            endPositioning();
            handled = true;
            break;
        case NEK_MSG_POSITIONING_START + 2:
            handled = true;
            break;
        default:
            break;
        }
    }
    return NControl::onMessage(messageWindow, message, wParam, lParam, handled, result);
}

int NControlPositioned::createCtrl(NWindow* newParent, const NString& name, int x, int y,
                                   int width, int height, bool autoAnchor)
{
    NRect r = rect;
    r.x = x;
    r.y = y;
    if (width != defaultSize)
        r.width = width;
    if (height != defaultSize)
        r.height = height;
    return createCtrlRect(newParent, name, r, autoAnchor);
}

int NControlPositioned::createCtrlRect(NWindow* newParent, const NString& name, const NRect& r,
                                       bool autoAnchor)
{
    id = static_cast<UINT>(controlId);
    anchor.flags = autoAnchor ? NAnchor::automatic : 0;
    programmedRect = r;

    // Negative values count from the parent's right and bottom edges.
    NRect resolved = r;
    if (newParent) {
        const NSize client = newParent->getClientSize();
        if (resolved.x < 0)
            resolved.x += client.cx;
        if (resolved.y < 0)
            resolved.y += client.cy;
        if (resolved.width < 0)
            resolved.width = client.cx - resolved.x + resolved.width;
        if (resolved.height < 0)
            resolved.height = client.cy - resolved.y + resolved.height;
    }
    rect = resolved;
    title = name;
    beforeCreate();
    // The window base has told the user why.
    if (!createWindow(newParent))
        return 0;

    sendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(device.getFont()), 1);
    applyStoredLayout();
    if (parent && parent->isWindow()) {
        const NRect placed = getWindowRect(false);
        anchor.classify(parent->getClientRect(), placed);
        anchor.takeReference(placed, parent->getClientSize());
    }
    afterCreate();
    show(SW_SHOW);
    return controlId;
}

void NControlPositioned::applyStoredLayout()
{
    if (!parent || !isWindow())
        return;
    NFileIni& layout = globalResources.getControlPosIni();
    const NString section(parent->getClassName());
    NString value =
        layout.getValue(section, NString(getClassName()) + "," + programmedRect.toText(","));
    if (value.isEmpty())
        value = layout.getValue(section, NString(getClassName()) + "," + rect.toText(","));
    if (value.isEmpty())
        return;

    // Missing numbers count as 0.
    value += ",,,";
    NStringList items;
    items.split(value, ",");
    NRect stored(items.getAt(0).toInt(), items.getAt(1).toInt(), items.getAt(2).toInt(),
                 items.getAt(3).toInt());

    // A layout made for a larger window must not put the control out of reach.
    const NSize client = parent->getClientSize();
    if (stored.width > client.cx)
        stored.width = client.cx;
    if (stored.height > client.cy)
        stored.height = client.cy;
    if (stored.x < 0)
        stored.x = 0;
    if (stored.x + stored.width > client.cx)
        stored.x = client.cx - stored.width;
    if (stored.y < 0)
        stored.y = 0;
    if (stored.y + stored.height > client.cy)
        stored.y = client.cy - stored.height;
    setWindowRect(stored, true);
}

void NControlPositioned::afterCreate() {}
void NControlPositioned::beforeCreate() {}

// The run-time layouter's overlay is made and removed with the positioning window.
void NControlPositioned::beginPositioning()
{
    if (!parent || !positionable)
        return;
    delete overlay;
    overlay = new NPositioningWnd();
    overlay->programmedRect = programmedRect;
    overlay->attach(this);
    overlay->create(parent);
    show(SW_SHOW);
    overlay->bringToTop();
}

void NControlPositioned::endPositioning()
{
    if (!parent)
        return;
    delete overlay;
    overlay = nullptr;
    // The anchor starts afresh from where the control stands now.
    anchor.flags &= ~static_cast<unsigned int>(NAnchor::referenceTaken);
    if (isWindow() && parent->isWindow())
        anchor.classify(parent->getWindowRect(true), getWindowRect(false));
    onParentSize(parent->getClientSize());
}
