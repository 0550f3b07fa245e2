// nekdemo: a tour of the NEK library in one window.
//
// A frame window with a menu bar, a toolbar with pictures and tooltips and a
// status bar; scroll bars over a drawing larger than the window; a popup
// menu on the right mouse button; a few controls that keep to the window's
// edges when it is resized. Started with its resource folder NEK-Resourcen
// beside it (development mode), Scroll Lock or the logo's menu switch on the
// run-time layouter: drag the controls, press Scroll Lock again, and their
// new places are stored in NEK-Resourcen/controlpos.ini for the next start.
// "Datei" / "Als PDF speichern..." writes the drawing and a report page as a
// PDF document; `nekdemo --pdf FILE` writes the same without a window.
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "NApplication.h"
#include "NButton.h"
#include "NError.h"
#include "NFileDialog.h"
#include "NFrameWindow.h"
#include "NPdfDocument.h"
#include "NPdfPainter.h"
#include "NPointList.h"
#include "NPopupMenu.h"
#include "NStatic.h"

namespace {

// Commands of the menus and the toolbar.
enum { cmdNew = 100, cmdExit, cmdGrid, cmdCircles, cmdAbout, cmdCircleHere, cmdClear, cmdPdf };

// The drawing: a sheet of 2000 x 1500 pixels.
const int sheetWidth = 2000;
const int sheetHeight = 1500;

// The folder of the program, with a trailing backslash.
NString programFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    NString folder(path);
    return folder.left(folder.findLastChar('\\') + 1);
}

// The TrueType font the report embeds: Debian's DejaVu Sans as Wine sees
// it, or a copy beside the program or among the system's fonts.
NString findDejaVuSans()
{
    const NString candidates[] = {programFolder() + "DejaVuSans.ttf",
                                  "Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans.ttf",
                                  "C:\\Windows\\Fonts\\DejaVuSans.ttf"};
    for (const NString& path : candidates)
        if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
            return path;
    return NString();
}

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
        file->addItem("Als PDF speichern\x85", cmdPdf);
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
        case cmdPdf:
            onSavePdf();
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
        // Without a window (the PDF of --pdf) the sheet starts at 0, 0.
        const NRect free = isCreated() ? getFreeClientRect() : NRect();
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

    // The document: page 1 the sheet as onPaint draws it, page 2 a report
    // with a standard and an embedded font, a picture and a link; every page
    // has the footer "Seite N von M". False when the file cannot be written
    // (the document reports why in the error log).
    bool writePdf(const NString& path)
    {
        NPdfDocument pdf("L", "mm", "A4");
        pdf.setTitle("NEK Demo");
        pdf.setCreator("nekdemo");
        pdf.setAliasNbPages("{nb}");
        pdf.setFooterHook([](NPdfDocument& d) {
            d.setXY(10, d.getPageSize().cy - 15);
            d.setFont("Helvetica", "I", 9);
            d.setTextColor(90);
            d.cell(d.getPageSize().cx - 20, 8, NString("Seite ") + NString::fromNumber(d.getPage()) +
                   " von {nb}", "", 0, "C");
        });

        pdf.addPage();
        pdf.setFont("Helvetica", "B", 14);
        pdf.cell(0, 8, "NEK Demo: die Zeichenfl\xE4" "che", "", 1);
        // The sheet fills the page below the title, its aspect kept.
        const NSizeF page = pdf.getPageSize();
        const float scale = std::min((page.cx - 20) / sheetWidth, (page.cy - 40) / sheetHeight);
        const NRect free = isCreated() ? getFreeClientRect() : NRect();
        NPdfPainter painter(pdf, scale, NPointF(10 - free.x * scale, 22 - free.y * scale));
        paintTo(painter);

        pdf.addPage("P");
        pdf.setFont("Helvetica", "B", 16);
        pdf.cell(0, 10, "Bericht", "", 1);
        pdf.setFont("Helvetica", "", 11);
        pdf.multiCell(0, 6, NString("Die Zeichnung auf Seite 1 hat ") +
                                NString::fromNumber(circles.getCount()) +
                                " Kreise. Gr\xFC\xDF" "e aus der NEK-Bibliothek: \xC4pfel, \xD6l, "
                                "\xDC" "bermut und Stra\xDF" "e in der Standardschrift Helvetica.");
        pdf.ln(4);
        const NString ttf = findDejaVuSans();
        if (!ttf.isEmpty() && pdf.addTrueTypeFont("DejaVu", "", ttf)) {
            pdf.setFont("DejaVu", "", 12);
            pdf.multiCell(0, 6, "Eingebettete Schrift DejaVu Sans: Gr\xF6\xDF" "e, M\xE4" "rchen, "
                                "F\xFC\xDF" "e und Ma\xDF.");
        } else {
            pdf.multiCell(0, 6, NString("Die Schrift DejaVuSans.ttf wurde ") +
                                    (ttf.isEmpty() ? "nicht gefunden" : "nicht geladen") +
                                    "; dieser Text steht deshalb in Helvetica.");
        }
        pdf.ln(4);
        pdf.setFont("Helvetica", "", 11);
        pdf.cell(0, 6, "Ein Bild der Werkzeugleiste:", "", 1);
        pdf.image(programFolder() + "NEK-Resourcen\\demo_circles.bmp", pdf.getX(), pdf.getY(), 20);
        pdf.setY(pdf.getY() + 25);
        pdf.setTextColor(0, 0, 200);
        pdf.write(6, "Die NEK-Bibliothek im Netz", NPdfLink("https://www.example.org/nek"));
        pdf.setTextColor(0);
        return pdf.save(path);
    }

private:
    void onSavePdf()
    {
        NFileDialog dialog;
        dialog.filter = "PDF-Dateien (*.pdf)|*.pdf";
        dialog.defaultExtension = "pdf";
        if (!dialog.showSave(this, "Als PDF speichern"))
            return;
        if (writePdf(dialog.fileName))
            report(NString("PDF gespeichert: ") + dialog.fileTitle);
        else
            messageBox(NString("Die PDF-Datei \"") + dialog.fileName +
                           "\" konnte nicht geschrieben werden.",
                       "Fehler !", MB_ICONERROR);
    }

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

// A message for whoever started the program: its error output, or a box
// when it has none.
void tell(const NString& text)
{
    HANDLE out = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    const NString line = text + "\r\n";
    if (!out || out == INVALID_HANDLE_VALUE ||
        !WriteFile(out, line.getBuffer(), static_cast<DWORD>(line.getLength()), &written, nullptr))
        MessageBoxA(nullptr, text, "NEK Demo", MB_ICONERROR);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int show)
{
    // nekdemo --pdf FILE: the document without a window.
    if (__argc >= 2 && NString(__argv[1]) == "--pdf") {
        if (__argc != 3) {
            tell("Aufruf: nekdemo --pdf DATEI");
            return 2;
        }
        const bool written = demoWindow.writePdf(__argv[2]);
        // What went wrong on the way (a missing picture or font) goes to
        // the caller instead of a box at the end.
        if (!globalError.log.isEmpty()) {
            tell(globalError.log);
            globalError.log = NString();
        }
        if (!written) {
            tell(NString("Die PDF-Datei \"") + __argv[2] + "\" konnte nicht geschrieben werden.");
            return 1;
        }
        return 0;
    }
    if (!globalApplication.init(instance, previous, show))
        return 0;
    return globalApplication.run();
}
