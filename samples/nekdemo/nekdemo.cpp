// nekdemo: a tour of the NEK library in one window.
//
// A frame window with a menu bar, a toolbar with pictures and tooltips and a
// status bar; scroll bars over a drawing larger than the window; a popup
// menu on the right mouse button; a few controls that keep to the window's
// edges when it is resized. Started with its resource folder NEK-Resourcen
// beside it (development mode), Scroll Lock or the logo's menu switch on the
// run-time layouter: drag the controls, press Scroll Lock again, and their
// new places are stored in NEK-Resourcen/controlpos.ini for the next start.
#include <windows.h>

#include "NApplication.h"
#include "NButton.h"
#include "NFrameWindow.h"
#include "NPointList.h"
#include "NPopupMenu.h"
#include "NStatic.h"

namespace {

// Commands of the menus and the toolbar.
enum { cmdNew = 100, cmdExit, cmdGrid, cmdCircles, cmdAbout, cmdCircleHere, cmdClear };

// The drawing: a sheet of 2000 x 1500 pixels.
const int sheetWidth = 2000;
const int sheetHeight = 1500;

class DemoWindow : public NFrameWindow {
public:
    DemoWindow() : showGrid(true)
    {
        title = "NEK Demo";
        rect = NRect(-1, -1, 760, 540);
        // Position, size and maximized state come back at the next start.
        savePosition = 1;
        // The status bar takes the corner the library's logo would use.
        showLogo = 0;
        circles.add(NPoint(300, 250));
        circles.add(NPoint(1200, 900));
    }
    const char* getClassName() const override { return "DemoWindow"; }

    // The window exists now: bars first, then the controls, which count
    // their places from the client area's edges.
    void onFirstShow() override
    {
        NMenubar& menus = createMenubar();
        NPopupMenu* file = menus.addMenu("Datei");
        file->addItem("Neu", cmdNew);
        file->addSeparator();
        file->addItem("Beenden", cmdExit);
        view = menus.addMenu("Ansicht");
        view->addItem("Raster", cmdGrid, MF_CHECKED);
        view->addItem("Kreis in die Mitte", cmdCircles);
        menus.addMenu("Hilfe")->addItem("\xDC" "ber NEK Demo...", cmdAbout);

        NToolbar& tools = createToolbar();
        tools.addButton("Neu", "demo_new.bmp", cmdNew, BTNS_BUTTON, 0, "Neue Zeichnung");
        tools.addButton("Raster", "demo_grid.bmp", cmdGrid, BTNS_BUTTON, 0, "Raster ein/aus");
        tools.addButton("Kreis", "demo_circles.bmp", cmdCircles, BTNS_BUTTON, 0,
                        "Kreis in die Mitte");

        NStatusBar& status = createStatusBar();
        status.setParts("300,120,-1");
        status.setTipText(2, "Klicken Sie auf einen Teil der Statusleiste");
        report("Bereit");

        createScrollBars(true, true);
        scroll.setContentWidth(sheetWidth);
        scroll.setContentHeight(sheetHeight);

        // Near the bottom right corner: it moves with that corner.
        hello.createCtrl(this, "Hallo", -130, -80, 90, 26);
        addEvent(WM_COMMAND, hello.getId(), 0, this, &DemoWindow::onHello);
        // From the left edge to near the right one: it stretches.
        hint.createCtrl(this, "Rechte Maustaste: Kontextmen\xFC  -  Rollbalken: die ganze Fl\xE4" "che",
                        20, -80, -150, 20);
    }

    void onCommand(int command, HWND, int) override
    {
        switch (command) {
        case cmdNew:
            circles.removeAll();
            invalidate();
            report("Neue Zeichnung");
            break;
        case cmdGrid:
            showGrid = !showGrid;
            view->setChecked(cmdGrid, showGrid);
            invalidate();
            report(showGrid ? "Raster eingeschaltet" : "Raster ausgeschaltet");
            break;
        case cmdCircles:
            addCircle(NPoint(sheetWidth / 2, sheetHeight / 2));
            break;
        case cmdAbout:
            messageBox("NEK Demo zeigt Men\xFC, Werkzeugleiste, Statusleiste, Rollbalken und "
                       "Kontextmen\xFC der NEK-Bibliothek.",
                       "\xDC" "ber NEK Demo", MB_ICONINFORMATION);
            break;
        case cmdExit:
            destroy();
            break;
        default:
            break;
        }
    }

    bool onStatusBarClick(int part) override
    {
        report(NString("Statusleiste: Teil ") + NString::fromNumber(part + 1) + " angeklickt");
        return true;
    }

    // The right mouse button: a popup menu at the mouse (screen coordinates).
    bool onContextMenu(int x, int y) override
    {
        NPopupMenu menu;
        menu.sendCommand = 0;
        menu.addItem("Kreis hier", cmdCircleHere);
        menu.addItem("Raster", cmdGrid, showGrid ? MF_CHECKED : 0);
        menu.addSeparator();
        menu.addItem("Alle Kreise entfernen", cmdClear);
        const NPoint at(x, y);
        switch (menu.track(hwnd, at)) {
        case cmdCircleHere:
            addCircle(toSheet(screenToClient(at)));
            break;
        case cmdClear:
            onCommand(cmdNew, nullptr, 0);
            break;
        case cmdGrid:
            onCommand(cmdGrid, nullptr, 0);
            break;
        default:
            break;
        }
        return true;
    }

    void onMouseMove(int keys, int x, int y) override
    {
        NFrameWindow::onMouseMove(keys, x, y);
        const NPoint at = toSheet(NPoint(x, y));
        statusBar.setText(1, NString::fromNumber(at.x) + ", " + NString::fromNumber(at.y));
    }

    // The sheet in its own coordinates: the scroll state has moved the
    // device's origin already.
    void onPaint(NPainter& painter) override
    {
        const NRect free = getFreeClientRect();
        const NPoint origin(free.x, free.y);
        painter.fillRectangle(NRect(origin.x, origin.y, sheetWidth, sheetHeight), RGB(250, 250, 245));
        if (showGrid) {
            for (int x = 0; x <= sheetWidth; x += 50)
                painter.line(origin.x + x, origin.y, origin.x + x, origin.y + sheetHeight,
                             x % 250 ? RGB(220, 225, 240) : RGB(150, 165, 210));
            for (int y = 0; y <= sheetHeight; y += 50)
                painter.line(origin.x, origin.y + y, origin.x + sheetWidth, origin.y + y,
                             y % 250 ? RGB(220, 225, 240) : RGB(150, 165, 210));
            painter.setTextColor(RGB(110, 120, 170), -1);
            for (int x = 250; x < sheetWidth; x += 250)
                painter.textOut(origin.x + x + 3, origin.y + 3, NString::fromNumber(x));
        }
        for (int i = 0; i < circles.getCount(); ++i) {
            const NPoint& c = circles.getAt(i);
            painter.ellipse(NRect(origin.x + c.x - 40, origin.y + c.y - 40, 80, 80), RGB(160, 60, 0),
                            RGB(240, 160, 50));
        }
    }

private:
    void onHello() { report("Hallo! Die Schaltfl\xE4" "che wurde gedr\xFC" "ckt."); }

    void report(const NString& text) { statusBar.setText(0, text); }

    void addCircle(const NPoint& at)
    {
        circles.add(at);
        invalidate();
        report(NString("Kreis bei ") + NString::fromNumber(at.x) + ", " + NString::fromNumber(at.y));
    }

    // A client point as a point of the sheet.
    NPoint toSheet(const NPoint& client)
    {
        const NRect free = getFreeClientRect();
        return NPoint(client.x - free.x + scroll.getPositionX(),
                      client.y - free.y + scroll.getPositionY());
    }

    bool showGrid;
    NPointList circles;
    NPopupMenu* view = nullptr;
    NButton hello;
    NStatic hint;
};

// The first window object of the program is its main window.
DemoWindow demoWindow;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int show)
{
    if (!globalApplication.init(instance, previous, show))
        return 0;
    return globalApplication.run();
}
