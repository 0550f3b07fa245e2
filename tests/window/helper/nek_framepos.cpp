// A frame window that keeps its position: each start restores the rectangle
// and maximized state the last run stored in nek_framepos.cfg.
#include <windows.h>

#include "NApplication.h"
#include "NFrameWindow.h"

namespace {

class PositionedFrame : public NFrameWindow {
public:
    PositionedFrame()
    {
        rect = NRect(100, 100, 400, 300);
        savePosition = 1;
        showLogo = 0;
    }
    const char* getClassName() const override { return "PositionedFrame"; }
};

PositionedFrame mainWindow;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int show)
{
    if (!globalApplication.init(instance, previous, show))
        return 0;
    return globalApplication.run();
}
