#include "NPositioningWnd.h"

#include "NControlPositioned.h"
#include "NResources.h"

namespace {

// The cursor over each handle, 2 to 9.
const int handleCursors[] = {32642, 32645, 32643, 32644, 32642, 32645, 32643, 32644};
const int cursorMove = 32646;  // IDC_SIZEALL
const int cursorDrag = 32649;  // IDC_HAND

bool movesTop(int mode) { return mode >= 2 && mode <= 4; }
bool movesBottom(int mode) { return mode >= 6 && mode <= 8; }
bool movesLeft(int mode) { return mode == 2 || mode == 8 || mode == 9; }
bool movesRight(int mode) { return mode >= 4 && mode <= 6; }

}  // namespace

NPositioningWnd::NPositioningWnd()
    : handleWidth(12),
      handleHeight(12),
      grid(10),
      frameColour(idleColour),
      fillColour(0xFFFFFF),
      dragMode(dragNone),
      control(nullptr),
      hovering(0)
{
}

const char* NPositioningWnd::getName() const { return getClassName(); }
const char* NPositioningWnd::getClassName() const { return "NPositioningWnd"; }
NPositioningWnd::~NPositioningWnd() {}

void NPositioningWnd::onPreCreateWindow()
{
    style = WS_CHILD | WS_VISIBLE;
    exStyle = WS_EX_TOPMOST | WS_EX_TRANSPARENT;
    className = "NEK_POSITION_WINDOW";
    wndClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    device.setBackgroundColor(-1);
    minSize = NSize(10, 10);
}

void NPositioningWnd::attach(NControlPositioned* target)
{
    control = target;
    if (control && control->isWindow())
        rect = control->getWindowRect(false);
    minSize = NSize(10, 10);
    // Small controls keep a third of their size free of each handle.
    if (rect.height < 3 * handleHeight)
        handleHeight = rect.height / 3;
    if (rect.width < 3 * handleWidth)
        handleWidth = rect.width / 3;
}

NString NPositioningWnd::getLayoutKey() const
{
    return NString(control ? control->getClassName() : "") + "," + programmedRect.toText(",");
}

NSize NPositioningWnd::currentSize()
{
    if (!isWindow())
        return rect.getSize();
    RECT r;
    GetWindowRect(hwnd, &r);
    return NSize(r.right - r.left, r.bottom - r.top);
}

NRect NPositioningWnd::getHandleRect(int handle)
{
    const NSize size = currentSize();
    const int centreX = (size.cx - handleWidth) / 2;
    const int middleY = (size.cy - handleHeight) / 2;
    const int right = size.cx - handleWidth;
    const int bottom = size.cy - handleHeight;
    int x = 0;
    int y = 0;
    switch (handle) {
    case 2: break;
    case 3: x = centreX; break;
    case 4: x = right; break;
    case 5: x = right; y = middleY; break;
    case 6: x = right; y = bottom; break;
    case 7: x = centreX; y = bottom; break;
    case 8: y = bottom; break;
    case 9: y = middleY; break;
    default: return NRect();
    }
    return NRect(x, y, handleWidth, handleHeight);
}

int NPositioningWnd::hitTest(const NPoint& point)
{
    for (int handle = firstHandle; handle <= lastHandle; ++handle)
        if (getHandleRect(handle).contains(point))
            return handle;
    return dragMove;
}

void NPositioningWnd::onPaint(NPainter& painter)
{
    for (int handle = firstHandle; handle <= lastHandle; ++handle)
        painter.rectangle(getHandleRect(handle), static_cast<int>(frameColour),
                          static_cast<int>(fillColour));
}

void NPositioningWnd::onLButtonDown(int, int x, int y)
{
    dragMode = hitTest(NPoint(x, y));
    startPoint = NPoint(x, y);
    startRect = getWindowRect(false);
    SetCapture(hwnd);
    setCursor(cursorDrag);
}

void NPositioningWnd::onLButtonUp(int, int, int)
{
    dragMode = dragNone;
    ReleaseCapture();
}

void NPositioningWnd::onMouseMove(int keys, int x, int y)
{
    if (!(keys & MK_LBUTTON))
        dragMode = dragNone;
    if (dragMode != dragNone)
        dragStep(NPoint(x, y));
    updateCursor(NPoint(x, y));
    if (!hovering) {
        frameColour = hoverColour;
        hovering = 1;
        trackMouse(true);
        invalidate();
    }
}

void NPositioningWnd::updateCursor(const NPoint& point)
{
    if (dragMode != dragNone) {
        setCursor(cursorDrag);
        return;
    }
    const int handle = hitTest(point);
    setCursor(handle == dragMove ? cursorMove : handleCursors[handle - firstHandle]);
}

void NPositioningWnd::onMouseLeave()
{
    dragMode = dragNone;
    frameColour = idleColour;
    invalidate();
    hovering = 0;
}

int NPositioningWnd::snap(int value) const
{
    if (GetKeyState(VK_LSHIFT) < 0 || grid <= 0)
        return value;
    return grid * (value / grid);
}

void NPositioningWnd::dragStep(const NPoint& point)
{
    POINT inParent = {point.x, point.y};
    if (parent)
        MapWindowPoints(hwnd, parent->hwnd, &inParent, 1);
    const int dx = inParent.x - (startPoint.x + startRect.x);
    const int dy = inParent.y - (startPoint.y + startRect.y);
    if (dx == 0 && dy == 0)
        return;

    NRect r = startRect;
    if (dragMode == dragMove) {
        r.x = snap(r.x + dx);
        r.y = snap(r.y + dy);
    }
    if (movesTop(dragMode)) {
        r.y = snap(r.y + dy);
        r.height = startRect.getBottom() - r.y;
    }
    if (movesBottom(dragMode))
        r.height = snap(r.height + dy);
    if (movesLeft(dragMode)) {
        r.x = snap(r.x + dx);
        r.width = startRect.getRight() - r.x;
    }
    if (movesRight(dragMode))
        r.width = snap(r.width + dx);
    r.ensureSize(minSize);

    const NRect before = getWindowRect(false);
    setWindowRect(r, true);
    if (control)
        control->setWindowRect(r, true);
    if (parent)
        parent->invalidateRect(before);
}

LRESULT NPositioningWnd::onMessage(HWND messageWindow, UINT message, WPARAM wParam,
                                   LPARAM lParam, bool handled, LRESULT result)
{
    result = NWindow::onMessage(messageWindow, message, wParam, lParam, handled, result);
    if (message == NEK_MSG_POSITIONING_SAVE && messageWindow == hwnd && hwnd && lParam)
        globalResources.getControlPosIni().setValue(reinterpret_cast<const char*>(lParam),
                                                    getLayoutKey(),
                                                    getWindowRect(false).toText(","));
    return result;
}
