#include "NButton.h"

#include "NColorMap.h"
#include "NError.h"
#include "NResources.h"
#include "NStringList.h"

namespace {

// The colours of a state style "fill,frame,shadow,text" as colour values.
// A style that is missing or names fewer than four colours goes into the
// error log when the button is made; drawing uses 0 for what is missing.
void readColours(const char* name, NNumList& colours)
{
    colours.removeAll();
    const NString value = globalResources.getStyle(name);
    NStringList items;
    if (!value.isEmpty())
        items.split(value, ",");
    for (int i = 0; i < items.getCount(); ++i) {
        NString item = items.getAt(i);
        item.trim();
        colours.add(globalColorMap.getColor(item));
    }
    if (colours.getCount() < 4)
        globalError.addError(NString("NButton: Der Stil '") + name +
                             "' fehlt oder nennt weniger als vier Farben.");
}

// Item i of a colour list, 0 when the list is shorter.
int colourAt(NNumList& colours, int i) { return i < colours.getCount() ? colours.getAt(i) : 0; }

}  // namespace

NButton::NButton() : mouseOver(0), isDefault(0)
{
    style |= BS_OWNERDRAW;
}

NButton::~NButton() {}

const char* NButton::getName() const { return getClassName(); }
const char* NButton::getClassName() const { return "NButton"; }

void NButton::beforeCreate()
{
    NButtonCtrl::beforeCreate();
    NNumList corner;
    corner.fromText(globalResources.getStyle("NButton-form"), ",");
    form = NSize(corner.getCount() > 0 ? corner.getAt(0) : 0,
                 corner.getCount() > 1 ? corner.getAt(1) : 0);
    readColours("NButton-normal", normalColours);
    readColours("NButton-selected", selectedColours);
    readColours("NButton-mouseover", mouseOverColours);
    readColours("NButton-disabled", disabledColours);
}

LRESULT NButton::onMessage(HWND messageWindow, UINT message, WPARAM wParam, LPARAM lParam,
                           bool handled, LRESULT result)
{
    if (hwnd && messageWindow == hwnd) {
        switch (message) {
        case NEK_MSG_DEFAULT_BUTTON: {
            const int wasDefault = isDefault;
            isDefault = lParam == controlId ? 1 : 0;
            if (isDefault != wasDefault)
                invalidate();
            break;
        }
        case NEK_MSG_CLICK_BUTTON:
            if (lParam != 0)
                break;
            if (isDefault && (getStyle() & WS_VISIBLE) && isEnabled())
                click();
            // The request was for the default button; the plain button's own
            // default-style check would click a second time.
            return NControlPredefined::onMessage(messageWindow, message, wParam, lParam,
                                                 handled, result);
        case NEK_MSG_DRAWITEM: {
            const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item)
                drawButton(item->rcItem, item->itemState, item->hDC);
            return TRUE;
        }
        case NEK_MSG_PARENT_MOUSEMOVE:
            // The mouse is over the parent, so no longer over this button. The
            // system does not always report the leave (a move out of a window
            // that the tracking request came too late for).
            if (mouseOver)
                onMouseLeave();
            break;
        default:
            break;
        }
    }
    return NButtonCtrl::onMessage(messageWindow, message, wParam, lParam, handled, result);
}

void NButton::onMouseMove(int, int, int)
{
    if (!mouseOver) {
        mouseOver = 1;
        trackMouse(true);
        onHoverChanged();
    }
    setCursor(32649);  // IDC_HAND
}

void NButton::onMouseLeave()
{
    mouseOver = 0;
    invalidate();
}

void NButton::onHoverChanged() { invalidate(); }

void NButton::setDefault()
{
    if (!isWindow() || !parent || !parent->isWindow()) {
        isDefault = 1;
        return;
    }
    parent->relayToChildren(NEK_MSG_DEFAULT_BUTTON, 0, controlId);
}

void NButton::drawButton(const RECT& r, unsigned int state, HDC dc)
{
    if (!dc)
        return;
    device.setDC(dc);
    NNumList& colours = (state & (ODS_GRAYED | ODS_DISABLED)) ? disabledColours
                        : (state & ODS_SELECTED)               ? selectedColours
                        : mouseOver                            ? mouseOverColours
                                                               : normalColours;
    const int fill = colourAt(colours, 0);
    const int frame = colourAt(colours, 1);
    const int shadow = colourAt(colours, 2);
    const int text = colourAt(colours, 3);
    const NRect face(r);

    if (frame == shadow) {
        device.roundRect(face, form, frame, fill);
        if (isDefault)
            device.roundRect(NRect(face.x + 1, face.y + 1, face.width - 2, face.height - 2), form,
                             frame, -1);
    } else {
        // The default button's outer ring in the shadow colour, the two-tone
        // frame one pixel further in.
        const int inset = isDefault ? 1 : 0;
        if (isDefault)
            device.roundRect(face, form, shadow, fill);
        const NRect inner(face.x + inset, face.y + inset, face.width - 2 * inset,
                          face.height - 2 * inset);
        // Shadow one pixel down and right, the frame over it: the shadow
        // colour remains along the bottom and right edges.
        device.roundRect(NRect(inner.x + 1, inner.y + 1, inner.width - 1, inner.height - 1),
                         form, shadow, fill);
        device.roundRect(NRect(inner.x, inner.y, inner.width - 1, inner.height - 1), form,
                         frame, fill);
    }

    device.setTextColor(text, -1);
    NRect textRect(face);
    device.drawText(textRect, isWindow() ? getWindowText() : title, "hve");

    if (state & ODS_FOCUS)
        device.line(face.x + 6, face.y + face.height - 4, face.x + face.width - 6,
                    face.y + face.height - 4, text);
    device.setDC(nullptr);
}
