#include "NPdfDocument.h"
#include "NError.h"
#include "NPdfImage.h"
#include "NPdfWriter.h"

#include <cstdio>

namespace {

// Bezier control distance for a quarter circle of radius 1.
const float kappa = 0.5522847f;

}

bool NPdfDocument::parseColor(int r, int g, int b, bool stroke, NString& result, const char* operation) const
{
    const bool grey = g < 0 && b < 0;
    const bool valid = r >= 0 && r <= 255 && (grey || (g >= 0 && g <= 255 && b >= 0 && b <= 255));
    if (!valid) {
        NString message;
        message.format("NPdfDocument::%s(..): Ung\xFCltige Farbe (%d, %d, %d), erlaubt sind 0 bis 255.",
                       operation, r, g, b);
        globalError.addError(message);
        return false;
    }
    // Three decimals keep all 256 levels apart.
    char text[64];
    if (grey)
        std::snprintf(text, sizeof text, "%.3f %s", r / 255.0, stroke ? "G" : "g");
    else
        std::snprintf(text, sizeof text, "%.3f %.3f %.3f %s", r / 255.0, g / 255.0, b / 255.0, stroke ? "RG" : "rg");
    result = text;
    return true;
}

bool NPdfDocument::setDrawColor(int r, int g, int b)
{
    NString color;
    if (!parseColor(r, g, b, true, color, "setDrawColor"))
        return false;
    drawColor = color;
    out(drawColor);
    return true;
}

bool NPdfDocument::setFillColor(int r, int g, int b)
{
    NString color;
    if (!parseColor(r, g, b, false, color, "setFillColor"))
        return false;
    fillColor = color;
    out(fillColor);
    return true;
}

bool NPdfDocument::setTextColor(int r, int g, int b)
{
    NString color;
    if (!parseColor(r, g, b, false, color, "setTextColor"))
        return false;
    textColor = color;
    return true;
}

void NPdfDocument::setLineWidth(float width)
{
    if (width < 0)
        width = 0;
    lineWidth = width;
    out(formatNumber(lineWidth * scale) + " w");
}

void NPdfDocument::setLineCap(int cap)
{
    if (cap < 0 || cap > 2) {
        globalError.addError("NPdfDocument::setLineCap(..): Ung\xFCltiges Linienende, erlaubt sind 0, 1 und 2.");
        return;
    }
    lineCap = cap;
    out(NString::fromNumber(cap) + " J");
}

void NPdfDocument::setLineJoin(int join)
{
    if (join < 0 || join > 2) {
        globalError.addError("NPdfDocument::setLineJoin(..): Ung\xFCltige Linienecke, erlaubt sind 0, 1 und 2.");
        return;
    }
    lineJoin = join;
    out(NString::fromNumber(join) + " j");
}

void NPdfDocument::setDash(const float* pattern, int count, float phase)
{
    NString values;
    bool positive = false;
    for (int i = 0; pattern && i < count; ++i) {
        if (pattern[i] < 0) {
            globalError.addError("NPdfDocument::setDash(..): Negative Strichl\xE4nge.");
            return;
        }
        positive = positive || pattern[i] > 0;
        values += (i ? " " : "") + formatNumber(pattern[i] * scale);
    }
    // All zero would draw nothing at all; it means solid.
    if (!positive)
        values = "";
    dash = NString("[") + values + "] " + formatNumber(positive ? phase * scale : 0) + " d";
    out(dash);
}

void NPdfDocument::applyGraphicsState()
{
    out(formatNumber(lineWidth * scale) + " w");
    if (lineCap != 0)
        out(NString::fromNumber(lineCap) + " J");
    if (lineJoin != 0)
        out(NString::fromNumber(lineJoin) + " j");
    if (!dash.isEmpty() && !dash.startsWith("[]"))
        out(dash);
    applyFont();
    if (drawColor != "0 G" && drawColor != "0.000 G")
        out(drawColor);
    if (fillColor != "0 g" && fillColor != "0.000 g")
        out(fillColor);
}

const char* NPdfDocument::paintOperator(const NString& style)
{
    NString s(style);
    s.makeUpper();
    if (s == "F")
        return "f";
    if (s == "FD" || s == "DF")
        return "B";
    return "S";
}

void NPdfDocument::line(float x1, float y1, float x2, float y2)
{
    if (!acceptsDrawing("line"))
        return;
    const float k = scale;
    out(formatNumber(x1 * k) + " " + formatNumber((pageHeight - y1) * k) + " m " + formatNumber(x2 * k) + " " +
        formatNumber((pageHeight - y2) * k) + " l S");
}

void NPdfDocument::rect(float xr, float yr, float w, float h, const NString& style)
{
    if (!acceptsDrawing("rect"))
        return;
    const float k = scale;
    out(formatNumber(xr * k) + " " + formatNumber((pageHeight - yr) * k) + " " + formatNumber(w * k) + " " +
        formatNumber(-h * k) + " re " + paintOperator(style));
}

void NPdfDocument::ellipse(float cx, float cy, float rx, float ry, const NString& style)
{
    if (!acceptsDrawing("ellipse"))
        return;
    const float k = scale;
    const float px = cx * k, py = (pageHeight - cy) * k, ax = rx * k, ay = ry * k;
    const float lx = kappa * ax, ly = kappa * ay;
    auto pt = [this](float a, float b) { return formatNumber(a) + " " + formatNumber(b) + " "; };
    NString ops = pt(px + ax, py) + "m ";
    ops += pt(px + ax, py + ly) + pt(px + lx, py + ay) + pt(px, py + ay) + "c ";
    ops += pt(px - lx, py + ay) + pt(px - ax, py + ly) + pt(px - ax, py) + "c ";
    ops += pt(px - ax, py - ly) + pt(px - lx, py - ay) + pt(px, py - ay) + "c ";
    ops += pt(px + lx, py - ay) + pt(px + ax, py - ly) + pt(px + ax, py) + "c h ";
    out(ops + paintOperator(style));
}

void NPdfDocument::circle(float cx, float cy, float r, const NString& style)
{
    ellipse(cx, cy, r, r, style);
}

void NPdfDocument::polygon(const NPointF* points, int count, const NString& style)
{
    if (!acceptsDrawing("polygon"))
        return;
    if (!points || count < 2) {
        globalError.addError("NPdfDocument::polygon(..): Ein Polygon braucht mindestens zwei Punkte.");
        return;
    }
    const float k = scale;
    NString ops;
    for (int i = 0; i < count; ++i)
        ops += formatNumber(points[i].x * k) + " " + formatNumber((pageHeight - points[i].y) * k) +
               (i == 0 ? " m " : " l ");
    out(ops + "h " + paintOperator(style));
}

void NPdfDocument::bezier(const NPointF& p0, const NPointF& c1, const NPointF& c2, const NPointF& p3,
                          const NString& style)
{
    if (!acceptsDrawing("bezier"))
        return;
    auto pt = [this](const NPointF& p) {
        return formatNumber(p.x * scale) + " " + formatNumber((pageHeight - p.y) * scale) + " ";
    };
    out(pt(p0) + "m " + pt(c1) + pt(c2) + pt(p3) + "c " + paintOperator(style));
}

bool NPdfDocument::image(const NString& path, float xi, float yi, float w, float h, const NPdfLink& link)
{
    if (!acceptsDrawing("image"))
        return false;
    NPdfImage picture;
    if (!picture.load(path)) {
        globalError.addError(NString("NPdfDocument::image(..): Die Bilddatei \"") + path +
                             "\" konnte nicht gelesen werden. " + picture.getError());
        return false;
    }
    if (picture.getWidth() <= 0 || picture.getHeight() <= 0) {
        globalError.addError(NString("NPdfDocument::image(..): Die Bilddatei \"") + path + "\" ist leer.");
        return false;
    }
    size_t index = 0;
    while (index < images.size() && images[index].key != picture.getKey())
        ++index;
    if (index == images.size()) {
        Image entry;
        entry.key = picture.getKey();
        entry.resource.format("I%d", static_cast<int>(images.size()) + 1);
        entry.width = picture.getWidth();
        entry.height = picture.getHeight();
        entry.dictionary = picture.getDictionary();
        entry.data = picture.getData();
        images.push_back(entry);
    }
    const Image& entry = images[index];
    // 96 pixels per inch when no size is given.
    if (w == 0 && h == 0) {
        w = entry.width * 72.0f / 96.0f / scale;
        h = entry.height * 72.0f / 96.0f / scale;
    } else if (w == 0)
        w = h * entry.width / entry.height;
    else if (h == 0)
        h = w * entry.height / entry.width;
    const float k = scale;
    out(NString("q ") + formatNumber(w * k) + " 0 0 " + formatNumber(h * k) + " " + formatNumber(xi * k) + " " +
        formatNumber((pageHeight - yi - h) * k) + " cm /" + entry.resource + " Do Q");
    if (link.isSet())
        this->link(xi, yi, w, h, link);
    return true;
}

void NPdfDocument::writeImages(NPdfWriter& writer)
{
    for (Image& image : images)
        image.object = writer.stream(NString("/Type /XObject /Subtype /Image ") + image.dictionary, image.data, false);
}

int NPdfDocument::addLink()
{
    LinkTarget target;
    target.page = currentPage > 0 ? currentPage : 1;
    linkTargets.push_back(target);
    return static_cast<int>(linkTargets.size());
}

void NPdfDocument::setLink(int id, float yTarget, int page)
{
    if (id < 1 || id > static_cast<int>(linkTargets.size())) {
        globalError.addError(NString("NPdfDocument::setLink(..): Unbekannter Verweis ") + NString::fromNumber(id) + ".");
        return;
    }
    if (page == -1)
        page = currentPage;
    if (page < 1 || page > getPageCount()) {
        globalError.addError(NString("NPdfDocument::setLink(..): Die Seite ") + NString::fromNumber(page) +
                             " gibt es nicht.");
        return;
    }
    linkTargets[id - 1].page = page;
    linkTargets[id - 1].y = yTarget < 0 ? y : yTarget;
}

void NPdfDocument::link(float xl, float yl, float w, float h, const NPdfLink& target)
{
    if (!acceptsDrawing("link") || !target.isSet())
        return;
    if (target.isInternal() && target.getInternalId() > static_cast<int>(linkTargets.size())) {
        globalError.addError(NString("NPdfDocument::link(..): Unbekannter Verweis ") +
                             NString::fromNumber(target.getInternalId()) + ".");
        return;
    }
    Annotation annotation;
    annotation.x = xl * scale;
    annotation.y = (pageHeight - yl) * scale;
    annotation.w = w * scale;
    annotation.h = h * scale;
    annotation.link = target;
    pages[currentPage - 1].annotations.push_back(annotation);
}
