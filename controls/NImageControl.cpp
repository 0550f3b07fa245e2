#include "NImageControl.h"

NImageControl::NImageControl() : clickable(0), alignment(alignCenterX | alignCenterY), backColour(-1)
{
    image.setTransparentColor(NImage::transparentTopLeft);
    image.setDrawMode(0);
    device.setBackgroundColor(-1);
}

NImageControl::~NImageControl() {}

const char* NImageControl::getName() const { return getClassName(); }
const char* NImageControl::getClassName() const { return "NImageControl"; }

void NImageControl::onLButtonDown(int, int x, int y)
{
    if (!clickable)
        return;
    clickPoint = NPoint(x, y);
    if (parent && parent->isWindow())
        SendMessageA(parent->hwnd, WM_COMMAND, MAKEWPARAM(controlId, 0),
                     reinterpret_cast<LPARAM>(hwnd));
}

void NImageControl::onMouseMove(int, int, int)
{
    if (clickable)
        setCursor(32649);  // IDC_HAND
}

void NImageControl::onPaint(NPainter& painter)
{
    if (painter.getKind() != NPainter::kindScreen)
        return;
    NDevice& screen = static_cast<NDevice&>(painter);
    if (backColour != -1)
        screen.fillRectangle(getClientRect(), backColour);
    if (screen.getDC())
        image.draw(screen.getDC(), hwnd);
}

LRESULT NImageControl::onEraseBackground(NPainter&) { return 1; }

void NImageControl::onSize(int, int, int) { updateOffset(); }

bool NImageControl::setImage(const NString& file)
{
    const bool loaded = image.load(file);
    if (loaded && image.getFitToWindow() && isWindow()) {
        const NRect window = getWindowRect(false);
        image.setSize(window.width, window.height);
    }
    updateOffset();
    invalidate();
    return loaded;
}

void NImageControl::setDrawMode(int mode) { image.setDrawMode(mode); }

void NImageControl::setTransparentColour(int value) { image.setTransparentColor(value); }

void NImageControl::updateOffset()
{
    if (!isWindow())
        return;
    const NRect window = getWindowRect(false);
    const NRect shown = image.getRect();
    const int dx = window.width - shown.width;
    const int dy = window.height - shown.height;
    const int x = (alignment & alignRight) ? dx : (alignment & alignCenterX) ? dx / 2 : 0;
    const int y = (alignment & alignBottom) ? dy : (alignment & alignCenterY) ? dy / 2 : 0;
    image.setPosition(x, y);
}
