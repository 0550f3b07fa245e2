// The smallest program on the library: a main window whose onPaint fills a
// red square. Closing the window ends the program with exit code 0.
#include <windows.h>

#include "NApplication.h"
#include "NWindow.h"

namespace {

class PaintedWindow : public NWindow {
public:
    PaintedWindow() { rect = NRect(900, 760, 320, 200); }
    void onPaint(NPainter& painter) override
    {
        painter.fillRectangle(NRect(20, 20, 100, 60), RGB(255, 0, 0));
    }
};

PaintedWindow mainWindow;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int show)
{
    if (!globalApplication.init(instance, previous, show))
        return 0;
    return globalApplication.run();
}
