#include "MainWnd.h"

#include "NDebug.h"

MainWnd::MainWnd()
{
    rect = NRect(-1, -1, creationWidth, creationHeight);
    savePosition = 1;
    showLogo = 0;
}

MainWnd::~MainWnd() {}

const char* MainWnd::getName() const { return getClassName(); }
const char* MainWnd::getClassName() const { return "MainWnd"; }

void MainWnd::onCreate(CREATESTRUCTA*)
{
    globalDebug.off = false;
    setWindowText("Ondra Bitmap-Konverter");
    converter.style = WS_CHILD;
    converter.rect = getClientRect();
    converter.create(this);
    converter.show(SW_RESTORE);
}

void MainWnd::onSize(int sizeType, int width, int height)
{
    // A minimized window reports an empty client area; the converter window
    // keeps its size (and its controls their places) until the restore.
    if (converter.isWindow() && sizeType != SIZE_MINIMIZED)
        converter.moveWindow(0, 0, width, height, true);
}

LRESULT MainWnd::onEraseBackground(NPainter&)
{
    // The converter window covers the whole client area and paints it.
    return 1;
}

void MainWnd::onSetFocus(HWND)
{
    // Keys belong to the converter window (Scroll Lock starts its layouter).
    if (converter.isWindow())
        converter.setFocus();
}
