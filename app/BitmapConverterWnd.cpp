#include "BitmapConverterWnd.h"

#include <windows.h>
#include <gdiplus.h>

#include "NClipboard.h"
#include "NError.h"
#include "NFileDialog.h"
#include "NWidePath.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// The button column at the right edge: x counts from the right edge, y from
// the bottom edge of the window.
const int buttonX = -100;

// Colour value 0x00BBGGRR as opaque GDI+ ARGB.
ARGB opaque(int colour)
{
    const unsigned int c = static_cast<unsigned int>(colour);
    return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

}  // namespace

BitmapConverterWnd::BitmapConverterWnd()
{
    // Files dropped from Explorer arrive as WM_DROPFILES.
    exStyle |= WS_EX_ACCEPTFILES;
}

BitmapConverterWnd::~BitmapConverterWnd() {}

const char* BitmapConverterWnd::getName() const { return getClassName(); }
const char* BitmapConverterWnd::getClassName() const { return "BitmapConverterWnd"; }

NString BitmapConverterWnd::informationText()
{
    return "Bitmap-Konverter f\xFCr die portable Ondra (Ondra)\r\n\r\n"
           "Version: 1.0\r\n\r\n"
           "Dieses Programm erzeugt C++ Quelltext f\xFCr Korvel-Artefakte zur einfachen "
           "Verwendung von Bitmaps auf LCDs .\r\n\r\n";
}

NString BitmapConverterWnd::fileFilter()
{
    return NString("AlleDateien|*.*|Alle Bilder|*.bmp;*.gif;*.jpg;*.png;*.tif;*.wmf;*.emf") +
           "|Bitmap|*.bmp" + "|PNG|*.png" + "|JPEG|*.jpg;*.jpeg";
}

void BitmapConverterWnd::createButton(NButton& button, const char* caption, int y,
                                      void (BitmapConverterWnd::*handler)())
{
    button.createCtrl(this, caption, buttonX, y, NControlPositioned::defaultSize,
                      NControlPositioned::defaultSize, true);
    addEvent(WM_COMMAND, button.getId(), 0, this, handler);
}

void BitmapConverterWnd::onCreate(CREATESTRUCTA*)
{
    device.setBackgroundColor(backgroundColour);
    createButton(endButton, "Ende", -40, &BitmapConverterWnd::onEnd);
    createButton(loadButton, "Laden", -70, &BitmapConverterWnd::onLoad);
    createButton(outputButton, "Ausgabe", -100, &BitmapConverterWnd::onOutput);
    infoText.createCtrl(this, "Text", 350, 100);
    infoText.setWindowText(informationText());
}

void BitmapConverterWnd::onPaint(NPainter& painter)
{
    if (painter.getKind() != NPainter::kindScreen)
        return;
    NDevice& screen = static_cast<NDevice&>(painter);
    const NRect client = getClientRect();
    GpGraphics* graphics = nullptr;
    if (!screen.getDC() || GdipCreateFromHDC(screen.getDC(), &graphics) != Ok)
        return;

    GpSolidFill* brush = nullptr;
    if (GdipCreateSolidFill(opaque(screen.getBackgroundColor()), &brush) == Ok) {
        GdipFillRectangleI(graphics, brush, client.x, client.y, client.width, client.height);
        GdipDeleteBrush(brush);
    }

    converter.draw(graphics);

    GpPen* pen = nullptr;
    if (GdipCreatePen1(0xFF0000FF, 1.0f, UnitWorld, &pen) == Ok) {
        GdipSetPenDashStyle(pen, DashStyleDot);
        GdipDrawRectangleI(graphics, pen, 0, 0, displayWidth, displayHeight);
        GdipDrawRectangleI(graphics, pen, 0, 0, displayHeight, displayWidth);
        GdipDeletePen(pen);
    }
    GdipDeleteGraphics(graphics);
}

void BitmapConverterWnd::loadPicture(const NString& path, const std::wstring& widePath)
{
    // Dropped files come with their UTF-16 names too. The dialog gives ANSI
    // names only, with '?' for each character the code page lacks ('?'
    // never occurs in a file name).
    std::wstring name = widePath;
    if (name.empty()) {
        name.resize(static_cast<size_t>(path.getLength()) + 1);
        name.resize(static_cast<size_t>(
            MultiByteToWideChar(CP_ACP, 0, path.getBuffer(), path.getLength(), &name[0], path.getLength() + 1)));
    }
    // The title becomes the symbol name of the text, which is ANSI.
    NString title;
    NString reason;
    const NWidePath::Kind kind = NWidePath::kind(name);
    if (name.find_first_of(L"?*") != std::wstring::npos)
        reason = "Der Name enth\xE4lt Zeichen, die der ANSI-Zeichensatz nicht darstellen kann; "
                 "benennen Sie die Datei bitte um.";
    else if (kind == NWidePath::missing)
        reason = "Die Datei existiert nicht.";
    else if (kind == NWidePath::folder)
        reason = "Das ist ein Ordner, kein Bild.";
    else if (!NWidePath::toAnsi(NWidePath::fileTitle(name), title))
        reason = "Der Dateititel l\xE4sst sich im ANSI-Zeichensatz nicht schreiben und taugt so nicht als "
                 "Symbolname; benennen Sie die Datei bitte um.";
    if (!reason.isEmpty()) {
        // The previous picture's text must not be taken for this one's.
        converter.clear();
        invalidate();
        messageBox("Das Bild " + path + " kann nicht geladen werden.\r\n" + reason, "Laden", MB_ICONERROR);
        return;
    }
    setWaitCursor(true);
    // Every picture keeps its own size.
    converter.targetSize = NSize(0, 0);
    if (converter.loadFile(NWidePath::systemForm(name).c_str()) == Gdiplus::OutOfMemory) {
        // Not a damaged picture but one this process cannot hold: the log says so.
        NString text = "BitmapConverterWnd::loadPicture(..): Das Bild " + path + " ist zu gro\xDF, um es im Speicher zu lesen.";
        if (sizeof(void*) == 4)
            text += " Als 32-Bit-Programm hat der Konverter h\xF6" "chstens 2 GB Adressraum; das 64-Bit-Programm "
                    "(Archiv win64) wandelt gr\xF6\xDF" "ere Bilder um.";
        globalError.addError(text);
    }
    // Its title names the picture in the text (a folder may show '?').
    converter.filePath = path;
    converter.convert();
    converter.createSource();
    setWaitCursor(false);
    invalidate();
}

void BitmapConverterWnd::onLoad()
{
    NFileDialog dialog;
    dialog.filter = fileFilter();
    if (dialog.showOpen(this, "Datei \xF6" "ffnen"))
        loadPicture(dialog.fileName);
}

void BitmapConverterWnd::onDropFiles(NStringList& files, const NPoint&)
{
    if (files.getCount() > 0)
        loadPicture(files.getAt(0), getDroppedFile(0));
}

bool BitmapConverterWnd::onKeyDown(wchar_t, signed char, int virtualKey, bool)
{
    // Scroll Lock switches this window's layouter (the frame window does
    // that); the main window must not switch its own as well.
    return virtualKey == VK_SCROLL;
}

void BitmapConverterWnd::onOutput()
{
    if (converter.sourceText.isEmpty()) {
        messageBox("Es stehen keine Daten zur Verf\xFCgung.", "Ausgabe", MB_ICONERROR);
        return;
    }
    NClipboard::clear();
    NClipboard::setText(converter.sourceText);
    messageBox("Ihre Bilddaten wurden in die Zwischenablege kopiert.\r\n\r\n"
               "F\xFCgen Sie sie in ein Korvel-Artefakt ein.",
               "Ausgabe", MB_ICONINFORMATION);
}

void BitmapConverterWnd::onEnd()
{
    if (parent)
        parent->destroy();
}
