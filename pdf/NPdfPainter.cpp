#include "NPdfPainter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "NError.h"
#include "NPdfDocument.h"

namespace {

const float pi = 3.14159265358979f;

// Pen styles of the system's pens.
const int styleSolid = 0;
const int styleDash = 1;
const int styleDot = 2;
const int styleDashDot = 3;
const int styleDashDotDot = 4;
const int styleNull = 5;

}  // namespace

NPdfPainter::Edges::Edges(const NRect& rect)
    : left(static_cast<float>(rect.x)),
      top(static_cast<float>(rect.y)),
      right(static_cast<float>(rect.getRight())),
      bottom(static_cast<float>(rect.getBottom()))
{
}

NPdfPainter::NPdfPainter(NPdfDocument& document, float unitsPerPixel, const NPointF& origin)
    : NPainter(kindPdf),
      document(document),
      unitsPerPixel(unitsPerPixel > 0 ? unitsPerPixel : 1.0f),
      origin(origin),
      penStyle(styleSolid),
      penWidth(1),
      penColour(0),
      previousPenColour(0),
      brushColour(-1),
      previousBrushColour(-1),
      textColour(0),
      textBackgroundColour(-1),
      fontHeight(10),
      underline(false),
      italic(false),
      weight(400)
{
    if (!(unitsPerPixel > 0))
        globalError.addError("NPdfPainter::NPdfPainter(..): Der Ma\xDF" "stab muss gr\xF6\xDF" "er "
                             "als 0 sein, es wird 1 verwendet.");
}

NPdfPainter::~NPdfPainter() {}

const char* NPdfPainter::getName() const { return getClassName(); }
const char* NPdfPainter::getClassName() const { return "NPdfPainter"; }

// --- page coordinates and operators --------------------------------------------------

float NPdfPainter::pageX(float x) const
{
    return (origin.x + x * unitsPerPixel) * document.getScale();
}

float NPdfPainter::pageY(float y) const
{
    const float scale = document.getScale();
    return document.getPageSize().cy * scale - (origin.y + y * unitsPerPixel) * scale;
}

void NPdfPainter::number(std::string& out, float value) const
{
    char text[32];
    int length = std::snprintf(text, sizeof text, "%.3f", value);
    // Short numbers keep the page contents small: no trailing zeros.
    while (length > 0 && text[length - 1] == '0')
        --length;
    if (length > 0 && text[length - 1] == '.')
        --length;
    if (length == 2 && text[0] == '-' && text[1] == '0')
        length = 1, text[0] = '0';
    out.append(text, static_cast<size_t>(length));
    out += ' ';
}

void NPdfPainter::point(std::string& out, float x, float y) const
{
    number(out, pageX(x));
    number(out, pageY(y));
}

void NPdfPainter::colour(std::string& out, int value, bool stroke) const
{
    number(out, (value & 0xFF) / 255.0f);
    number(out, ((value >> 8) & 0xFF) / 255.0f);
    number(out, ((value >> 16) & 0xFF) / 255.0f);
    out += stroke ? "RG " : "rg ";
}

bool NPdfPainter::strokeState(std::string& out, int pen, int width) const
{
    if (pen < 0 || penStyle == styleNull)
        return false;
    colour(out, pen, true);
    // Width 0 is the thinnest line, one pixel, as on the screen.
    const float pixels = width < 1 ? 1.0f : static_cast<float>(width);
    number(out, pixels * unitsPerPixel * document.getScale());
    out += "w ";
    // Thin styled pens dash in pixels, wide ones in multiples of their width.
    static const float thin[4][6] = {
        {18, 6}, {3, 3}, {9, 6, 3, 6}, {9, 3, 3, 3, 3, 3}};
    static const float wide[4][6] = {{3, 1}, {1, 1}, {3, 1, 1, 1}, {3, 1, 1, 1, 1, 1}};
    static const int counts[4] = {2, 2, 4, 6};
    if (penStyle >= styleDash && penStyle <= styleDashDotDot) {
        const int index = penStyle - styleDash;
        out += "0 J 0 j [";
        for (int i = 0; i < counts[index]; ++i)
            number(out, (pixels <= 1 ? thin[index][i] : wide[index][i] * pixels) * unitsPerPixel *
                            document.getScale());
        out += "] 0 d ";
    } else {
        // The screen's wide pens have round ends and joins.
        out += "1 J 1 j ";
    }
    return true;
}

const char* NPdfPainter::paintOperator(std::string& out, int pen, int brush, int width,
                                       bool evenOdd) const
{
    const bool stroke = strokeState(out, pen, width);
    const bool fill = brush >= 0;
    if (fill)
        colour(out, brush, false);
    if (stroke && fill)
        return evenOdd ? "b*" : "b";
    if (stroke)
        return "s";
    if (fill)
        return evenOdd ? "f*" : "f";
    return "";
}

void NPdfPainter::emit(const std::string& operators)
{
    document.appendContent(NString(operators.c_str()));
}

// The colours of one call replace the current ones until endShape, as on
// the screen device: a -3 afterwards restores what was current before.
void NPdfPainter::beginShape(int pen, int brush)
{
    previousPenColour = penColour;
    previousBrushColour = brushColour;
    if (pen != -2)
        penColour = pen;
    if (brush != -2)
        brushColour = brush;
}

void NPdfPainter::endShape()
{
    penColour = previousPenColour;
    brushColour = previousBrushColour;
}

// --- paths ---------------------------------------------------------------------------------

// Angles count counter-clockwise as seen on the page; a pixel's y grows
// downwards, so the sine is subtracted.
void NPdfPainter::arcPath(std::string& out, float cx, float cy, float rx, float ry, float from,
                          float to, bool moveFirst) const
{
    point(out, cx + rx * std::cos(from), cy - ry * std::sin(from));
    out += moveFirst ? "m " : "l ";
    const int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(to - from) / (pi / 2) - 1e-4f)));
    const float step = (to - from) / pieces;
    const float handle = 4.0f / 3.0f * std::tan(step / 4);
    for (int i = 0; i < pieces; ++i) {
        const float a = from + step * i;
        const float b = a + step;
        const float ax = cx + rx * std::cos(a), ay = cy - ry * std::sin(a);
        const float bx = cx + rx * std::cos(b), by = cy - ry * std::sin(b);
        point(out, ax - handle * rx * std::sin(a), ay - handle * ry * std::cos(a));
        point(out, bx + handle * rx * std::sin(b), by + handle * ry * std::cos(b));
        point(out, bx, by);
        out += "c ";
    }
}

void NPdfPainter::ellipsePath(std::string& out, float left, float top, float right,
                              float bottom) const
{
    arcPath(out, (left + right) / 2, (top + bottom) / 2, (right - left) / 2, (bottom - top) / 2, 0,
            2 * pi, true);
    out += "h ";
}

// --- shapes ----------------------------------------------------------------------------------
// Outlines run through the centres of the pixels the screen's pen covers
// (a box from left to right-1), fills without outline cover the same
// pixels as the screen's fill.

void NPdfPainter::rectangle(const NRect& rect, int penArgument, int brushArgument)
{
    beginShape(penArgument, brushArgument);
    std::string out("q ");
    const char* paint = paintOperator(out, penColour, brushColour, penWidth, false);
    if (*paint) {
        const Edges e(rect);
        const float inset = penColour >= 0 && penStyle != styleNull ? 0.5f : 0.0f;
        number(out, pageX(e.left + inset));
        number(out, pageY(e.top + inset));
        number(out, (e.right - e.left - 2 * inset) * unitsPerPixel * document.getScale());
        number(out, -(e.bottom - e.top - 2 * inset) * unitsPerPixel * document.getScale());
        out += "re ";
        out += paint;
        out += " Q\n";
        emit(out);
    }
    endShape();
}

void NPdfPainter::fillRectangle(const NRect& rect, int fill)
{
    if (fill == -2)
        fill = brushColour;
    if (fill < 0)
        return;
    const Edges e(rect);
    std::string out("q ");
    colour(out, fill, false);
    number(out, pageX(static_cast<float>(e.left)));
    number(out, pageY(static_cast<float>(e.top)));
    number(out, (e.right - e.left) * unitsPerPixel * document.getScale());
    number(out, -(e.bottom - e.top) * unitsPerPixel * document.getScale());
    out += "re f Q\n";
    emit(out);
}

void NPdfPainter::ellipse(const NRect& rect, int penArgument, int brushArgument)
{
    beginShape(penArgument, brushArgument);
    std::string out("q ");
    const char* paint = paintOperator(out, penColour, brushColour, penWidth, false);
    if (*paint) {
        const Edges e(rect);
        ellipsePath(out, e.left + 0.5f, e.top + 0.5f, e.right - 0.5f, e.bottom - 0.5f);
        out += paint;
        out += " Q\n";
        emit(out);
    }
    endShape();
}

void NPdfPainter::roundRect(const NRect& rect, const NSize& corner, int penArgument,
                            int brushArgument)
{
    beginShape(penArgument, brushArgument);
    std::string out("q ");
    const char* paint = paintOperator(out, penColour, brushColour, penWidth, false);
    if (*paint) {
        const Edges e(rect);
        const float l = e.left + 0.5f, t = e.top + 0.5f, r = e.right - 0.5f, b = e.bottom - 0.5f;
        const float rx = std::min(std::fabs(corner.cx / 2.0f), std::fabs(r - l) / 2);
        const float ry = std::min(std::fabs(corner.cy / 2.0f), std::fabs(b - t) / 2);
        point(out, l + rx, t);
        out += "m ";
        arcPath(out, r - rx, t + ry, rx, ry, pi / 2, 0, false);
        arcPath(out, r - rx, b - ry, rx, ry, 0, -pi / 2, false);
        arcPath(out, l + rx, b - ry, rx, ry, -pi / 2, -pi, false);
        arcPath(out, l + rx, t + ry, rx, ry, pi, pi / 2, false);
        out += "h ";
        out += paint;
        out += " Q\n";
        emit(out);
    }
    endShape();
}

void NPdfPainter::pie(const NRect& rect, const NPoint& start, const NPoint& end,
                      int penArgument, int brushArgument)
{
    beginShape(penArgument, brushArgument);
    std::string out("q ");
    const char* paint = paintOperator(out, penColour, brushColour, penWidth, false);
    const Edges e(rect);
    const float cx = (e.left + e.right) / 2.0f, cy = (e.top + e.bottom) / 2.0f;
    const float rx = (e.right - e.left - 1) / 2.0f, ry = (e.bottom - e.top - 1) / 2.0f;
    if (*paint && rx > 0 && ry > 0) {
        // The rays' angles as parameters of the ellipse, so that the arc
        // ends exactly on the rays.
        const float from = std::atan2((cy - start.y) / ry, (start.x - cx) / rx);
        float to = std::atan2((cy - end.y) / ry, (end.x - cx) / rx);
        if (to <= from)
            to += 2 * pi;
        point(out, cx, cy);
        out += "m ";
        arcPath(out, cx, cy, rx, ry, from, to, false);
        out += "h ";
        out += paint;
        out += " Q\n";
        emit(out);
    }
    endShape();
}

void NPdfPainter::polygon(const NPoint* points, int count, int penArgument, int brushArgument)
{
    if (!points || count < 2)
        return;
    beginShape(penArgument, brushArgument);
    std::string out("q ");
    // The screen fills polygons with the alternate (even-odd) rule.
    const char* paint = paintOperator(out, penColour, brushColour, penWidth, true);
    if (*paint) {
        for (int i = 0; i < count; ++i) {
            point(out, points[i].x + 0.5f, points[i].y + 0.5f);
            out += i ? "l " : "m ";
        }
        out += paint;
        out += " Q\n";
        emit(out);
    }
    endShape();
}

void NPdfPainter::line(int x1, int y1, int x2, int y2, int penArgument)
{
    beginShape(penArgument, -2);
    std::string out("q ");
    if (strokeState(out, penColour, penWidth)) {
        point(out, x1 + 0.5f, y1 + 0.5f);
        out += "m ";
        point(out, x2 + 0.5f, y2 + 0.5f);
        out += "l S Q\n";
        emit(out);
    }
    endShape();
}

void NPdfPainter::bezier(const NPoint points[4], int width, int penArgument)
{
    if (!points)
        return;
    beginShape(penArgument, -2);
    std::string out("q ");
    if (strokeState(out, penColour, width == -2 ? penWidth : width)) {
        point(out, points[0].x + 0.5f, points[0].y + 0.5f);
        out += "m ";
        for (int i = 1; i < 4; ++i)
            point(out, points[i].x + 0.5f, points[i].y + 0.5f);
        out += "c S Q\n";
        emit(out);
    }
    endShape();
}

// --- state --------------------------------------------------------------------------------
// The sentinels as the screen device reads them: -2 keeps, -3 takes back the
// colour before the last change, -5 drops the pen or brush object, which the
// next shape makes again from the same record.

void NPdfPainter::setPen(int colourArgument, int width, int style)
{
    if (colourArgument == -3) {
        penColour = previousPenColour;
    } else if (colourArgument != -2 && colourArgument != -5) {
        previousPenColour = penColour;
        penColour = colourArgument;
    }
    if (width != -2)
        penWidth = width;
    if (style != -2)
        penStyle = style;
}

void NPdfPainter::setBrush(int colourArgument)
{
    if (colourArgument == -3) {
        brushColour = previousBrushColour;
    } else if (colourArgument != -2 && colourArgument != -5) {
        previousBrushColour = brushColour;
        brushColour = colourArgument;
    }
}

void NPdfPainter::setTextColor(int text, int background)
{
    if (text != -2)
        textColour = text;
    if (background != -2)
        textBackgroundColour = background;
}

void NPdfPainter::setFont(const NString& face, int size, int underlineArgument,
                          int italicArgument, int weightArgument)
{
    if (!face.isEmpty())
        faceName = face.left(31);
    // Points to pixels as the screen device does in its pixel map mode.
    if (size != -2)
        fontHeight = static_cast<int>(size * 96.0 / 72 + 0.5);
    if (underlineArgument != -2)
        underline = underlineArgument != 0;
    if (italicArgument != -2)
        italic = italicArgument != 0;
    if (weightArgument != -2)
        weight = weightArgument;
}

void NPdfPainter::setBold(bool on)
{
    setFont(NString(), -2, -2, -2, on ? 700 : 400);
}
