#include "NDevice.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "NApplication.h"
#include "NDebug.h"
#include "NError.h"
#include "NWindow.h"

namespace {

// A rectangle from two converted corners; a y axis that points up gives a
// bottom-up rectangle with a negative height.
NRect rectFromCorners(const POINT& topLeft, const POINT& bottomRight)
{
    const int height = bottomRight.y - topLeft.y;
    return NRect(topLeft.x, topLeft.y, bottomRight.x - topLeft.x, height, height < 0);
}

// Runs `action` on dc in plain device pixels and restores the dc afterwards.
template <typename Action>
void inDevicePixels(HDC dc, Action action)
{
    const int state = SaveDC(dc);
    SetMapMode(dc, MM_TEXT);
    if (GetGraphicsMode(dc) == GM_ADVANCED)
        ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    action();
    RestoreDC(dc, state);
}

// Puts `made` in the place of `current`: selected where current was (a
// stock object stands in when nothing is made), and current deleted.
template <typename Handle>
void replaceObject(HDC dc, Handle& current, Handle made, int standIn = NULL_PEN)
{
    if (dc && current && GetCurrentObject(dc, GetObjectType(current)) == current)
        SelectObject(dc, made ? static_cast<HGDIOBJ>(made) : GetStockObject(standIn));
    if (current)
        DeleteObject(current);
    current = made;
}

// Selects `object`, keeping what it replaced the first time for deselecting.
void selectKeeping(HDC dc, HGDIOBJ object, HGDIOBJ& saved)
{
    if (!dc || !object)
        return;
    HGDIOBJ old = SelectObject(dc, object);
    if (!saved)
        saved = old;
}

void fillDeviceRect(HDC dc, const RECT& rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    inDevicePixels(dc, [&] { FillRect(dc, &rect, brush); });
    DeleteObject(brush);
}

}  // namespace

NDevice::NDevice()
    : NPainter(kindScreen),
      dc(nullptr),
      hwnd(nullptr),
      paint(),
      flags(0),
      textBackgroundColour(-1),
      textColour(0),
      window(nullptr),
      noFlicker(false),
      penStyle(PS_SOLID),
      penWidth(1),
      penColour(0),
      brushColour(-1),
      fontRecord(),
      mapMode(0),
      graphicsMode(GM_COMPATIBLE),
      zoomX(1.0f),
      zoomY(1.0f),
      offsetX(0),
      offsetY(0),
      backgroundColour(0xA08D8C),
      backgroundBrush(nullptr),
      realDC(nullptr),
      memoryBitmap(nullptr),
      previousBitmap(nullptr),
      clientRect(),
      pen(nullptr),
      penMadeStyle(0),
      penMadeWidth(0),
      penMadeColour(0),
      brush(nullptr),
      brushMadeColour(0),
      font(nullptr),
      fontMadeFrom(),
      beforePaint(),
      savedPen(nullptr),
      savedBrush(nullptr),
      savedFont(nullptr),
      savedDCState(0),
      previousPenColour(0),
      previousBrushColour(-1),
      drawnAreaSet(false),
      paintOpen(false)
{
    fontRecord.lfHeight = -10;
    fontRecord.lfWeight = FW_NORMAL;
    fontRecord.lfCharSet = ANSI_CHARSET;
    fontRecord.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    fontRecord.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    fontRecord.lfQuality = ANTIALIASED_QUALITY;
}

NDevice::~NDevice()
{
    deselectObjects();
    deleteObjects();
    if (backgroundBrush)
        DeleteObject(backgroundBrush);
}

const char* NDevice::getName() const { return getClassName(); }
const char* NDevice::getClassName() const { return "NDevice"; }

// --- GDI objects ----------------------------------------------------------------

void NDevice::deselectObjects()
{
    if (dc) {
        if (savedPen)
            SelectObject(dc, savedPen);
        if (savedBrush)
            SelectObject(dc, savedBrush);
        if (savedFont)
            SelectObject(dc, savedFont);
    }
    savedPen = savedBrush = savedFont = nullptr;
}

void NDevice::deleteObjects()
{
    if (pen)
        DeleteObject(pen);
    if (brush)
        DeleteObject(brush);
    if (font)
        DeleteObject(font);
    pen = nullptr;
    brush = nullptr;
    font = nullptr;
}

void NDevice::setDC(HDC context)
{
    if (context != dc)
        deselectObjects();
    dc = context;
}

void NDevice::selectPen()
{
    if (penColour != -1 && (!pen || penMadeStyle != penStyle || penMadeWidth != penWidth ||
                            penMadeColour != penColour)) {
        HPEN made = CreatePen(penStyle, penWidth, static_cast<COLORREF>(penColour));
        if (made) {
            replaceObject(dc, pen, made);
            penMadeStyle = penStyle;
            penMadeWidth = penWidth;
            penMadeColour = penColour;
        }
    }
    selectKeeping(dc, penColour == -1 ? GetStockObject(NULL_PEN) : pen, savedPen);
}

void NDevice::selectBrush()
{
    if (brushColour != -1 && (!brush || brushMadeColour != brushColour)) {
        HBRUSH made = CreateSolidBrush(static_cast<COLORREF>(brushColour));
        if (made) {
            replaceObject(dc, brush, made);
            brushMadeColour = brushColour;
        }
    }
    selectKeeping(dc, brushColour == -1 ? GetStockObject(NULL_BRUSH) : brush, savedBrush);
}

bool NDevice::ensureFont()
{
    if (font && std::memcmp(&fontRecord, &fontMadeFrom, sizeof fontRecord) == 0)
        return true;
    HFONT made = CreateFontIndirectA(&fontRecord);
    if (!made) {
        globalError.addError("Font konnte nicht erzeugt werden: ", GetLastError());
        return false;
    }
    replaceObject(dc, font, made);
    fontMadeFrom = fontRecord;
    return true;
}

HFONT NDevice::getFont()
{
    ensureFont();
    return font;
}

void NDevice::selectFont()
{
    ensureFont();
    selectKeeping(dc, font, savedFont);
    applyTextColours(dc);
}

void NDevice::applyTextColours(HDC context)
{
    if (!context)
        return;
    SetTextColor(context, static_cast<COLORREF>(textColour));
    if (textBackgroundColour == -1) {
        SetBkMode(context, TRANSPARENT);
    } else {
        SetBkMode(context, OPAQUE);
        SetBkColor(context, static_cast<COLORREF>(textBackgroundColour));
    }
}

// --- settings -----------------------------------------------------------------------

void NDevice::setPen(int colour, int width, int style)
{
    if (colour == -5) {
        replaceObject(dc, pen, static_cast<HPEN>(nullptr), BLACK_PEN);
    } else if (colour == -3) {
        penColour = previousPenColour;
    } else if (colour != -2) {
        previousPenColour = penColour;
        penColour = colour;
    }
    if (width != -2)
        penWidth = width;
    if (style != -2)
        penStyle = style;
    selectPen();
}

void NDevice::setBrush(int colour)
{
    if (colour == -5) {
        replaceObject(dc, brush, static_cast<HBRUSH>(nullptr), NULL_BRUSH);
    } else if (colour == -3) {
        brushColour = previousBrushColour;
    } else if (colour != -2) {
        previousBrushColour = brushColour;
        brushColour = colour;
    }
}

void NDevice::setTextColor(int text, int background)
{
    if (text != -2)
        textColour = text;
    if (background != -2)
        textBackgroundColour = background;
    applyTextColours(dc);
}

void NDevice::setFont(const NString& faceName, int size, int underline, int italic, int weight)
{
    if (!faceName.isEmpty()) {
        std::memset(fontRecord.lfFaceName, 0, sizeof fontRecord.lfFaceName);
        std::strncpy(fontRecord.lfFaceName, faceName, sizeof fontRecord.lfFaceName - 1);
    }
    if (size != -2) {
        int height;
        switch (mapMode) {
        case MM_HIMETRIC: height = static_cast<int>(size * 100 * 25.4 / 72); break;
        case MM_LOMETRIC: height = static_cast<int>(size * 10 * 25.4 / 72); break;
        case MM_HIENGLISH: height = size * 1000 / 72; break;
        case MM_LOENGLISH: height = size * 100 / 72; break;
        case 0:
        case MM_TEXT: height = static_cast<int>(size * 96.0 / 72 + 0.5); break;
        default: height = size; break;
        }
        fontRecord.lfHeight = -height;
        fontRecord.lfWidth = 0;
    }
    if (underline != -2)
        fontRecord.lfUnderline = static_cast<BYTE>(underline != 0);
    if (italic != -2)
        fontRecord.lfItalic = static_cast<BYTE>(italic != 0);
    if (weight != -2)
        fontRecord.lfWeight = weight;
    fontRecord.lfCharSet = ANSI_CHARSET;
    selectFont();
    if (hwnd && font)
        SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void NDevice::setBold(bool on)
{
    setFont(NString(), -2, -2, -2, on ? FW_BOLD : FW_NORMAL);
}

void NDevice::setZoom(float x, float y)
{
    zoomX = x == 0.0f ? 1.0f : std::fabs(x);
    zoomY = y == 0.0f ? 1.0f : std::fabs(y);
}

void NDevice::setOffset(int x, int y)
{
    if (x != -2)
        offsetX = x;
    if (y != -2)
        offsetY = y;
    setZoomAndOffsetOnDC();
}

void NDevice::setZoomAndOffsetOnDC(HDC context)
{
    HDC target = context ? context : dc;
    if (!target)
        return;
    if (mapMode != 0)
        SetMapMode(target, mapMode);
    SetGraphicsMode(target, graphicsMode);
    if (graphicsMode == GM_COMPATIBLE) {
        SetWindowOrgEx(target, offsetX, offsetY, nullptr);
        return;
    }
    XFORM transform;
    if (!GetWorldTransform(target, &transform))
        transform = XFORM{1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
    if (zoomX != 0.0f)
        transform.eM11 = zoomX;
    if (zoomY != 0.0f)
        transform.eM22 = zoomY;
    transform.eDx = -offsetX * transform.eM11;
    transform.eDy = offsetY * transform.eM22;
    if (!SetWorldTransform(target, &transform)) {
        const DWORD error = GetLastError();
        globalError.addError("SetWorldTransform-Error in NDevice::setZoomAndOffsetOnDC()", error);
        globalDebug.printf("!!! SetWorldTransform-Error in NDevice::setZoomAndOffsetOnDC(): "
                           "Error=%d, %f,%f",
                           static_cast<int>(error), transform.eM11, transform.eM22);
    }
}

void NDevice::setBackgroundColor(int colour)
{
    if (colour == -2)
        return;
    if (backgroundBrush)
        DeleteObject(backgroundBrush);
    backgroundBrush = nullptr;
    backgroundColour = colour;
    if (colour != -1) {
        backgroundBrush = CreateSolidBrush(static_cast<COLORREF>(colour));
        textBackgroundColour = colour;
    }
}

HBRUSH NDevice::getBackgroundBrush() const
{
    // No background: a hollow brush lets a control's parent show through.
    if (backgroundColour == -1)
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    return backgroundBrush ? backgroundBrush : globalApplication.getBackgroundBrush();
}

// --- paint bracket ------------------------------------------------------------

bool NDevice::beginPaint(HDC context)
{
    if (dc) {
        NString text("Es wurde ein ");
        text += getClassName();
        text += "::beginPaint(..) ohne vorheriges NDevice::endPaint(..) verwendet.\r\n"
                "M\xF6" "gliche Ursachen sind: beginPaint(..) innerhalb von onPaint() \r\n"
                "oder beginnPaint(..) innerhalb von beginnPaint(..)\r\n"
                "oder ein vergessenes endPaint(..)\r\n";
        globalError.addError(text);
        char windowClass[256] = "-";
        if (window)
            lstrcpynA(windowClass, window->getClassName(), sizeof windowClass);
        else if (hwnd)
            GetClassNameA(hwnd, windowClass, sizeof windowClass);
        globalDebug.printf("!!!!! Es wurde ein %s->%s::beginPaint(..) ohne vorheriges "
                           "NDevice::endPaint(..) verwendet. (endPaint folgt automatisch)",
                           windowClass, getClassName());
        endPaint();
    }

    beforePaint[0] = pen;
    beforePaint[1] = brush;
    beforePaint[2] = font;
    if (!context) {
        flags &= ~flagForeignDC;
        dc = BeginPaint(hwnd, &paint);
        if (!dc)
            return false;
        if (paint.fErase && backgroundColour != -1 && !noFlicker)
            FillRect(dc, &paint.rcPaint, getBackgroundBrush());
    } else {
        dc = context;
        savedDCState = SaveDC(dc);
        flags |= flagForeignDC;
    }

    // Double buffering belongs to the system paint: a handed-in context is
    // the caller's to compose.
    if (noFlicker && hwnd && !(flags & flagForeignDC) && GetClientRect(hwnd, &clientRect)) {
        HDC memory = CreateCompatibleDC(dc);
        memoryBitmap = memory ? CreateCompatibleBitmap(dc, clientRect.right, clientRect.bottom)
                              : nullptr;
        if (memoryBitmap) {
            realDC = dc;
            previousBitmap = static_cast<HBITMAP>(SelectObject(memory, memoryBitmap));
            dc = memory;
        } else if (memory) {
            DeleteDC(memory);
        }
    }

    setZoomAndOffsetOnDC(dc);
    if (realDC)
        setZoomAndOffsetOnDC(realDC);
    selectFont();

    POINT corners[2];
    if (!(flags & flagForeignDC)) {
        corners[0] = POINT{paint.rcPaint.left, paint.rcPaint.top};
        corners[1] = POINT{paint.rcPaint.right, paint.rcPaint.bottom};
        DPtoLP(dc, corners, 2);
        paintRect = rectFromCorners(corners[0], corners[1]);
    } else {
        RECT clip;
        GetClipBox(dc, &clip);
        corners[0] = POINT{clip.left, clip.top};
        corners[1] = POINT{clip.right, clip.bottom};
        paintRect = rectFromCorners(corners[0], corners[1]);
    }

    if (realDC && backgroundColour != -1)
        fillDeviceRect(dc, paint.rcPaint, static_cast<COLORREF>(backgroundColour));
    paintOpen = true;
    return true;
}

void NDevice::endPaint()
{
    if (!paintOpen) {
        setDC(nullptr);
        return;
    }
    paintOpen = false;
    const bool systemPaint = !(flags & flagForeignDC);
    if (systemPaint && noFlicker) {
        const char* windowClass = window ? window->getClassName() : "-";
        if (!memoryBitmap) {
            globalDebug.printf("FEHLER: Es wurde ein %s->%s::endPaint(..) noFlicker=true aber "
                               "kein noFlickerHBitmap",
                               windowClass, getClassName());
        } else if (!realDC) {
            globalDebug.printf("FEHLER: Es wurde ein %s->%s::endPaint(..) noFlicker=true aber "
                               "kein noFlicker_realHDC",
                               windowClass, getClassName());
        } else {
            HDC memory = dc;
            const RECT& area = paint.rcPaint;
            // Both contexts are copied in device pixels, so zoom and offset
            // cannot shift the picture.
            inDevicePixels(memory, [&] {
                inDevicePixels(realDC, [&] {
                    BitBlt(realDC, area.left, area.top, area.right - area.left,
                           area.bottom - area.top, memory, area.left, area.top, SRCCOPY);
                });
            });
            deselectObjects();
            SelectObject(memory, previousBitmap);
            DeleteObject(memoryBitmap);
            DeleteDC(memory);
            dc = realDC;
        }
    }
    memoryBitmap = nullptr;
    previousBitmap = nullptr;
    realDC = nullptr;

    deselectObjects();
    const HGDIOBJ made[3] = {pen, brush, font};
    for (int i = 0; i < 3; ++i)
        if (made[i] && made[i] != beforePaint[i])
            DeleteObject(made[i]);
    if (pen != beforePaint[0])
        pen = nullptr;
    if (brush != beforePaint[1])
        brush = nullptr;
    if (font != beforePaint[2])
        font = nullptr;
    if (systemPaint)
        EndPaint(hwnd, &paint);
    else
        RestoreDC(dc, savedDCState);
    dc = nullptr;
}

// --- conversions ------------------------------------------------------------------

HDC NDevice::temporaryDC()
{
    HDC context = GetDC(hwnd);
    if (context) {
        SaveDC(context);
        setZoomAndOffsetOnDC(context);
    }
    return context;
}

void NDevice::releaseTemporaryDC(HDC context)
{
    if (!context)
        return;
    RestoreDC(context, -1);
    ReleaseDC(hwnd, context);
}

void NDevice::convert(POINT* points, int count, bool toLogicalUnits)
{
    HDC context = dc ? dc : temporaryDC();
    if (!context)
        return;
    if (toLogicalUnits)
        DPtoLP(context, points, count);
    else
        LPtoDP(context, points, count);
    if (context != dc)
        releaseTemporaryDC(context);
}

int NDevice::convertLength(int length, bool horizontal, bool toLogicalUnits)
{
    POINT points[2] = {{0, 0}, {horizontal ? length : 0, horizontal ? 0 : length}};
    convert(points, 2, toLogicalUnits);
    const int converted = horizontal ? points[1].x - points[0].x : points[1].y - points[0].y;
    // A length keeps its sign even where the axis points the other way.
    return length < 0 ? -std::abs(converted) : std::abs(converted);
}

NRect NDevice::convertRect(const NRect& rect, bool toLogicalUnits)
{
    const RECT& edges = rect.getRECT();
    POINT corners[2] = {{edges.left, edges.top}, {edges.right, edges.bottom}};
    convert(corners, 2, toLogicalUnits);
    return rectFromCorners(corners[0], corners[1]);
}

NPoint NDevice::toLogical(const NPoint& point)
{
    POINT p = {point.x, point.y};
    convert(&p, 1, true);
    return NPoint(p.x, p.y);
}

NPoint NDevice::toDevice(const NPoint& point)
{
    POINT p = {point.x, point.y};
    convert(&p, 1, false);
    return NPoint(p.x, p.y);
}

NRect NDevice::toLogical(const NRect& rect) { return convertRect(rect, true); }
NRect NDevice::toDevice(const NRect& rect) { return convertRect(rect, false); }
int NDevice::toLogicalX(int length) { return convertLength(length, true, true); }
int NDevice::toDeviceX(int length) { return convertLength(length, true, false); }
int NDevice::toLogicalY(int length) { return convertLength(length, false, true); }
int NDevice::toDeviceY(int length) { return convertLength(length, false, false); }

int NDevice::getLineHeight(bool withLeading)
{
    HDC context = dc ? dc : temporaryDC();
    if (!context || !ensureFont()) {
        if (context != dc)
            releaseTemporaryDC(context);
        return 0;
    }
    HGDIOBJ old = SelectObject(context, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(context, &metrics);
    SelectObject(context, old);
    if (context != dc)
        releaseTemporaryDC(context);
    return metrics.tmHeight + (withLeading ? metrics.tmExternalLeading : 0);
}
