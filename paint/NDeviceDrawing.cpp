// The drawing operations of NDevice: the guard against drawing outside a
// paint, shapes, fills and text, and the drawn-area bookkeeping.
#include "NDevice.h"

#include <algorithm>
#include <cstdlib>

#include "NError.h"

namespace {

// Map modes whose y axis points up.
bool isYUp(int mode)
{
    return mode >= MM_LOMETRIC && mode <= MM_TWIPS;
}

}  // namespace

// --- guard and bookkeeping ----------------------------------------------------

bool NDevice::guard(const char* operation)
{
    if (dc)
        return true;
    NString text("Es wurde ein NDevice::");
    text += operation;
    text += "(..) au\xDF" "erhalb von onPaint(..) bzw. ohne vorheriges NDevice::beginPaint(..) "
            "verwendet.";
    globalError.addError(text);
    return false;
}

void NDevice::addDrawnArea(const NRect& bounds)
{
    const RECT& edges = bounds.getRECT();
    const int grow = (penWidth + 1) / 2;
    NRect grown(std::min(edges.left, edges.right) - grow, std::min(edges.top, edges.bottom) - grow,
                std::abs(edges.right - edges.left) + 2 * grow,
                std::abs(edges.bottom - edges.top) + 2 * grow);
    if (drawnAreaSet) {
        drawnArea.unionWith(grown);
    } else {
        drawnArea = grown;
        drawnAreaSet = true;
    }
}

void NDevice::resetDrawnArea()
{
    drawnArea = NRect();
    drawnAreaSet = false;
}

// --- drawing ----------------------------------------------------------------------

bool NDevice::beginShape(const char* operation, int penArgument, int brushArgument)
{
    if (operation ? !guard(operation) : !dc)
        return false;
    previousPenColour = penColour;
    previousBrushColour = brushColour;
    if (penArgument != -2)
        penColour = penArgument;
    if (brushArgument != -2)
        brushColour = brushArgument;
    selectPen();
    selectBrush();
    return true;
}

void NDevice::endShape(const NRect& bounds)
{
    addDrawnArea(bounds);
    penColour = previousPenColour;
    brushColour = previousBrushColour;
}

void NDevice::drawBox(const char* operation, BoxCall call, const NRect& rect, int penArgument,
                      int brushArgument)
{
    if (!beginShape(operation, penArgument, brushArgument))
        return;
    const RECT edges = rect.getRECT();
    call(dc, edges.left, edges.top, edges.right, edges.bottom);
    endShape(rect);
}

void NDevice::rectangle(const NRect& rect, int penArgument, int brushArgument)
{
    drawBox("rectangle", Rectangle, rect, penArgument, brushArgument);
}

void NDevice::ellipse(const NRect& rect, int penArgument, int brushArgument)
{
    drawBox("ellipse", Ellipse, rect, penArgument, brushArgument);
}

void NDevice::line(int x1, int y1, int x2, int y2, int penArgument)
{
    if (!beginShape("line", penArgument, -2))
        return;
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    NRect bounds;
    bounds.setFromPoints(NPoint(x1, y1), NPoint(x2, y2));
    endShape(bounds);
}

void NDevice::roundRect(const NRect& rect, const NSize& corner, int penArgument,
                        int brushArgument)
{
    if (!beginShape("roundRect", penArgument, brushArgument))
        return;
    const RECT edges = rect.getRECT();
    RoundRect(dc, edges.left, edges.top, edges.right, edges.bottom, corner.cx, corner.cy);
    endShape(rect);
}

// pie and bezier have no misuse text of their own: outside a paint they
// quietly draw nothing.
void NDevice::pie(const NRect& rect, const NPoint& start, const NPoint& end, int penArgument,
                  int brushArgument)
{
    if (!beginShape(nullptr, penArgument, brushArgument))
        return;
    const RECT edges = rect.getRECT();
    Pie(dc, edges.left, edges.top, edges.right, edges.bottom, start.x, start.y, end.x, end.y);
    endShape(rect);
}

void NDevice::polygon(const NPoint* points, int count, int penArgument, int brushArgument)
{
    if (!points || count < 2 || !beginShape("polygon", penArgument, brushArgument))
        return;
    POINT* corners = new POINT[count];
    NRect bounds(points[0].x, points[0].y, 0, 0);
    for (int i = 0; i < count; ++i) {
        corners[i] = POINT{points[i].x, points[i].y};
        bounds.extendTo(points[i]);
    }
    Polygon(dc, corners, count);
    delete[] corners;
    endShape(bounds);
}

void NDevice::bezier(const NPoint points[4], int width, int penArgument)
{
    const int previousWidth = penWidth;
    if (width != -2)
        penWidth = width;
    if (points && beginShape(nullptr, penArgument, -2)) {
        POINT corners[4];
        NRect bounds(points[0].x, points[0].y, 0, 0);
        for (int i = 0; i < 4; ++i) {
            corners[i] = POINT{points[i].x, points[i].y};
            bounds.extendTo(points[i]);
        }
        PolyBezier(dc, corners, 4);
        endShape(bounds);
    }
    penWidth = previousWidth;
}

void NDevice::fillRectangle(const NRect& rect, int colour)
{
    if (!guard("fillRectangle"))
        return;
    if (colour == -2)
        colour = brushColour;
    if (colour == -1)
        return;
    const RECT edges = rect.getRECT();
    HBRUSH fill = CreateSolidBrush(static_cast<COLORREF>(colour));
    FillRect(dc, &edges, fill);
    DeleteObject(fill);
    addDrawnArea(rect);
}

void NDevice::textOut(int x, int y, const NString& text)
{
    if (!guard("textOut"))
        return;
    selectFont();
    TextOutA(dc, x, y, text, text.getLength());
}

NSize NDevice::getTextSize(const NString& text)
{
    if (!guard("getTextSize"))
        return NSize();
    selectFont();
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, text.getLength(), &extent);
    return NSize(extent.cx, extent.cy);
}

void NDevice::drawText(NRect& rect, const NString& text, const char* format)
{
    if (!guard("drawText"))
        return;
    const bool yUp = isYUp(GetMapMode(dc));
    if (yUp && rect.height > 0) {
        NString message("Es wurde NDevice::drawText(..) mit falschen Vorzeichen in NRect::height "
                        "verwendet.\r\n(Text: '");
        message += text.left(15);
        message += "...')";
        globalError.addError(message);
        rect.height = -rect.height;
    }

    UINT flagsOfText = DT_TOP | DT_LEFT | DT_NOPREFIX;
    for (const char* letter = format ? format : ""; *letter; ++letter) {
        switch (*letter) {
        case 'r': flagsOfText |= DT_RIGHT; break;
        case 'b': flagsOfText |= DT_BOTTOM; break;
        case 'v': flagsOfText |= DT_VCENTER | DT_SINGLELINE; break;
        case 'h': flagsOfText |= DT_CENTER; break;
        case 'w': flagsOfText |= DT_WORDBREAK; break;
        case 'e': flagsOfText |= DT_WORD_ELLIPSIS; break;
        case 'x': flagsOfText |= DT_EXPANDTABS; break;
        case '&': flagsOfText &= ~static_cast<UINT>(DT_NOPREFIX); break;
        default: break;
        }
    }

    RECT edges = rect.getRECT();
    if (yUp)
        edges.bottom = rect.y - std::abs(rect.height);
    selectFont();
    DrawTextA(dc, text, text.getLength(), &edges, flagsOfText);
}
