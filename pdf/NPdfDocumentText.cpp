#include "NPdfDocument.h"
#include "NError.h"
#include "NPdfCoreFonts.h"
#include "NPdfFontFile.h"
#include "NPdfWriter.h"

namespace {

// "", "B", "I" or "BI" from any mix of B, I and U; underline told apart.
NString normalStyle(const NString& style, bool& underlined)
{
    NString s(style);
    s.makeUpper();
    underlined = s.findChar('U') >= 0;
    NString result;
    if (s.findChar('B') >= 0)
        result += "B";
    if (s.findChar('I') >= 0)
        result += "I";
    return result;
}

// The standard font of a family and style, nullptr for other families.
const NPdfCoreFont* coreFont(const NString& family, const NString& style)
{
    NString f(family);
    f.makeLower();
    NString base;
    if (f == "symbol" || f == "zapfdingbats")
        base = f == "symbol" ? "Symbol" : "ZapfDingbats";
    else if (f == "courier" || f == "helvetica" || f == "arial") {
        static const char* const suffix[] = {"", "-Bold", "-Oblique", "-BoldOblique"};
        const int index = (style.findChar('B') >= 0 ? 1 : 0) + (style.findChar('I') >= 0 ? 2 : 0);
        base = NString(f == "courier" ? "Courier" : "Helvetica") + suffix[index];
    } else if (f == "times") {
        static const char* const names[] = {"Times-Roman", "Times-Bold", "Times-Italic", "Times-BoldItalic"};
        base = names[(style.findChar('B') >= 0 ? 1 : 0) + (style.findChar('I') >= 0 ? 2 : 0)];
    } else
        return nullptr;
    return NPdfCoreFonts::find(base);
}

NString fontKey(const NString& family, const NString& style)
{
    NString key(family);
    key.makeLower();
    if (key == "arial")
        key = "helvetica";
    return key + style;
}

}

bool NPdfDocument::setFont(const NString& family, const NString& style, float size)
{
    bool underlined = false;
    const NString s = normalStyle(style, underlined);
    const NString fam = family.isEmpty() ? fontFamily : family;
    const NString key = fontKey(fam, s);
    int index = -1;
    for (size_t i = 0; i < fonts.size() && index < 0; ++i)
        if (fonts[i].key == key)
            index = static_cast<int>(i);
    if (index < 0) {
        const NPdfCoreFont* core = coreFont(fam, s);
        if (!core) {
            NString message("NPdfDocument::setFont(..): Unbekannte Schriftart \"");
            message += fam + (s.isEmpty() ? NString() : NString(" ") + s) + "\".";
            globalError.addError(message);
            return false;
        }
        Font font;
        font.key = key;
        font.core = core;
        font.resource.format("F%d", static_cast<int>(fonts.size()) + 1);
        fonts.push_back(font);
        index = static_cast<int>(fonts.size()) - 1;
    }
    underline = underlined;
    if (size > 0)
        fontSizePt = size;
    fontFamily = fam;
    fontStyle = s;
    currentFont = index;
    fonts[index].selected = true;
    currentFontResource = fonts[index].resource;
    applyFont();
    return true;
}

void NPdfDocument::setFontSize(float points)
{
    if (points <= 0 || points == fontSizePt)
        return;
    fontSizePt = points;
    applyFont();
}

void NPdfDocument::applyFont()
{
    if (currentFont >= 0 && currentPage > 0 && !closed)
        out(NString("BT /") + fonts[currentFont].resource + " " + formatNumber(fontSizePt) + " Tf ET");
}

bool NPdfDocument::addTrueTypeFont(const NString& family, const NString& style, const NString& ttfPath)
{
    auto file = std::make_shared<NPdfFontFile>();
    if (!file->loadTrueType(ttfPath)) {
        globalError.addError(NString("NPdfDocument::addTrueTypeFont(..): Die Schriftdatei \"") + ttfPath +
                             "\" konnte nicht gelesen werden. " + file->getError());
        return false;
    }
    return addFontFile(family, style, file, "addTrueTypeFont");
}

bool NPdfDocument::addType1Font(const NString& family, const NString& style, const NString& fontPath,
                                const NString& afmPath)
{
    auto file = std::make_shared<NPdfFontFile>();
    if (!file->loadType1(fontPath, afmPath)) {
        globalError.addError(NString("NPdfDocument::addType1Font(..): Die Schriftdatei \"") + fontPath +
                             "\" konnte nicht gelesen werden. " + file->getError());
        return false;
    }
    return addFontFile(family, style, file, "addType1Font");
}

bool NPdfDocument::addFontFile(const NString& family, const NString& style,
                               std::shared_ptr<NPdfFontFile> file, const char* operation)
{
    bool underlined = false;
    const NString key = fontKey(family, normalStyle(style, underlined));
    NString message("NPdfDocument::");
    message += operation;
    // A font whose licence forbids embedding is refused now, not at close.
    bool all[256];
    for (bool& used : all)
        used = true;
    std::string program;
    NString fileKey, lengths;
    bool subset = false;
    if (!file || !file->getProgram(all, program, fileKey, lengths, subset)) {
        globalError.addError(message + "(..): Die Schrift \"" + family + "\" darf nicht eingebettet werden. " +
                             (file ? file->getError() : NString()));
        return false;
    }
    for (const Font& font : fonts) {
        if (font.key == key) {
            globalError.addError(message + "(..): Die Schrift \"" + family + " " + style + "\" gibt es schon.");
            return false;
        }
    }
    Font font;
    font.key = key;
    font.file = file;
    font.resource.format("F%d", static_cast<int>(fonts.size()) + 1);
    fonts.push_back(font);
    return true;
}

float NPdfDocument::charWidth(unsigned char c) const
{
    if (currentFont < 0)
        return 0;
    const Font& font = fonts[currentFont];
    int units = 0;
    if (font.core)
        units = font.core->widths[c];
    else if (font.file)
        units = font.file->getWidth(c);
    return units * fontSizePt / 1000.0f / scale;
}

float NPdfDocument::getStringWidth(const NString& text) const
{
    float width = 0;
    for (int i = 0; i < text.getLength(); ++i)
        width += charWidth(static_cast<unsigned char>(text.getAt(i)));
    return width;
}

void NPdfDocument::markUsed(const NString& text)
{
    if (currentFont < 0)
        return;
    bool* used = fonts[currentFont].used;
    for (int i = 0; i < text.getLength(); ++i)
        used[static_cast<unsigned char>(text.getAt(i))] = true;
    // The page-count alias becomes digits when the document is closed.
    if (!aliasNbPages.isEmpty() && text.find(aliasNbPages) >= 0)
        for (char digit = '0'; digit <= '9'; ++digit)
            used[static_cast<unsigned char>(digit)] = true;
}

void NPdfDocument::registerText(const NString& text)
{
    markUsed(text);
}

NString NPdfDocument::underlineOperators(float xText, float baseline, const NString& text) const
{
    // 0.1 em below the baseline, 0.05 em thick.
    const float size = fontSizePt / scale;
    return formatNumber(xText * scale) + " " + formatNumber((pageHeight - baseline - 0.1f * size) * scale) + " " +
           formatNumber(getStringWidth(text) * scale) + " " + formatNumber(-0.05f * fontSizePt) + " re f";
}

NString NPdfDocument::textOperators(float xText, float baseline, const NString& text)
{
    markUsed(text);
    NString ops("BT ");
    ops += formatNumber(xText * scale) + " " + formatNumber((pageHeight - baseline) * scale) + " Td " +
           NPdfWriter::literal(text) + " Tj ET";
    if (underline && !text.isEmpty())
        ops += NString(" ") + underlineOperators(xText, baseline, text);
    // Text has its own colour; shapes keep the fill colour.
    if (textColor != fillColor)
        ops = NString("q ") + textColor + " " + ops + " Q";
    return ops;
}

void NPdfDocument::text(float xText, float yText, const NString& text)
{
    if (!acceptsDrawing("text"))
        return;
    if (currentFont < 0) {
        globalError.addError("NPdfDocument::text(..): Es ist keine Schrift gesetzt.");
        return;
    }
    out(textOperators(xText, yText, text));
}

void NPdfDocument::cell(float w, float h, const NString& text, const NString& border, int ln,
                        const NString& align, bool fill, const NPdfLink& link)
{
    cellWithMargin(w, h, text, border, ln, align, fill, link, cellMargin);
}

void NPdfDocument::cellWithMargin(float w, float h, const NString& text, const NString& border, int ln,
                                  const NString& align, bool fill, const NPdfLink& link, float margin)
{
    if (!acceptsDrawing("cell"))
        return;
    if (!text.isEmpty() && currentFont < 0) {
        globalError.addError("NPdfDocument::cell(..): Es ist keine Schrift gesetzt.");
        return;
    }
    if (autoPageBreak && !inHeaderFooter && y + h > pageBreakTrigger && y > topMargin) {
        const float keepX = x;
        const Page& page = pages[currentPage - 1];
        startPage('P', NSizeF(page.widthPt, page.heightPt));
        x = keepX;
    }
    if (w == 0)
        w = pageWidth - rightMargin - x;
    const float k = scale;
    NString ops;
    if (fill || border == "1") {
        ops += formatNumber(x * k) + " " + formatNumber((pageHeight - y) * k) + " " + formatNumber(w * k) + " " +
               formatNumber(-h * k) + " re " + (fill ? (border == "1" ? "B" : "f") : "S") + " ";
    }
    if (border != "1") {
        const float left = x * k, top = (pageHeight - y) * k, right = (x + w) * k, bottom = (pageHeight - y - h) * k;
        auto edge = [&](float x1, float y1, float x2, float y2) {
            ops += formatNumber(x1) + " " + formatNumber(y1) + " m " + formatNumber(x2) + " " + formatNumber(y2) +
                   " l S ";
        };
        if (border.findChar('L') >= 0) edge(left, top, left, bottom);
        if (border.findChar('T') >= 0) edge(left, top, right, top);
        if (border.findChar('R') >= 0) edge(right, top, right, bottom);
        if (border.findChar('B') >= 0) edge(left, bottom, right, bottom);
    }
    if (!text.isEmpty()) {
        const float width = getStringWidth(text);
        float dx = margin;
        if (align == "R")
            dx = w - margin - width;
        else if (align == "C")
            dx = (w - width) / 2;
        const float size = fontSizePt / k;
        ops += textOperators(x + dx, y + 0.5f * h + 0.3f * size, text);
        if (link.isSet())
            this->link(x + dx, y + 0.5f * h - 0.5f * size, width, size, link);
    }
    if (!ops.isEmpty())
        out(ops);
    lastHeight = h;
    if (ln > 0) {
        y += h;
        if (ln == 1)
            x = leftMargin;
    } else
        x += w;
}

int NPdfDocument::fitLine(const NString& text, int start, float room, bool force, int& next) const
{
    const int length = text.getLength();
    int lastSpace = -1;
    float width = 0;
    for (int i = start; i < length; ++i) {
        const char c = text.getAt(i);
        if (c == '\n') {
            next = i + 1;
            return i;
        }
        if (c == ' ')
            lastSpace = i;
        width += charWidth(static_cast<unsigned char>(c));
        // A hair of tolerance: text measured to fit exactly must not break.
        if (width > room + 0.0001f) {
            if (c == ' ') {
                next = i + 1;
                return i;
            }
            if (lastSpace >= start) {
                next = lastSpace + 1;
                return lastSpace;
            }
            if (!force)
                return -1;
            const int end = i > start ? i : start + 1;
            next = end;
            return end;
        }
    }
    next = length;
    return length;
}

void NPdfDocument::multiCell(float w, float h, const NString& text, const NString& border,
                             const NString& align, bool fill)
{
    if (!acceptsDrawing("multiCell"))
        return;
    if (w == 0)
        w = pageWidth - rightMargin - x;
    NString s(text);
    s.replace("\r", "");
    if (s.endsWith("\n"))
        s.remove(s.getLength() - 1);
    const bool frame = border == "1";
    NString sides;
    if (frame || border.findChar('L') >= 0) sides += "L";
    if (frame || border.findChar('R') >= 0) sides += "R";
    const bool top = frame || border.findChar('T') >= 0, bottom = frame || border.findChar('B') >= 0;
    int start = 0;
    bool first = true;
    do {
        int next = 0;
        const int end = fitLine(s, start, w - 2 * cellMargin, true, next);
        const bool last = next >= s.getLength();
        NString b(sides);
        if (first && top) b += "T";
        if (last && bottom) b += "B";
        cell(w, h, s.mid(start, end - start), b, 2, align, fill);
        start = next;
        first = false;
    } while (start < s.getLength());
    x = leftMargin;
}

void NPdfDocument::write(float lineHeight, const NString& text, const NPdfLink& link)
{
    if (!acceptsDrawing("write"))
        return;
    NString s(text);
    s.replace("\r", "");
    int start = 0;
    while (start < s.getLength()) {
        const bool lineStart = x <= leftMargin + 0.0001f;
        int next = 0;
        const int end = fitLine(s, start, pageWidth - rightMargin - x, lineStart, next);
        if (end < 0) {
            // Not even the first word fits behind what the line already has.
            x = leftMargin;
            y += lineHeight;
            continue;
        }
        const NString piece = s.mid(start, end - start);
        if (!piece.isEmpty())
            cellWithMargin(getStringWidth(piece), lineHeight, piece, "", 0, "L", false, link, 0);
        if (end < s.getLength()) {
            x = leftMargin;
            y += lineHeight;
        }
        start = next;
    }
}

void NPdfDocument::ln(float h)
{
    x = leftMargin;
    y += h < 0 ? lastHeight : h;
}

float NPdfDocument::getX() const { return x; }
float NPdfDocument::getY() const { return y; }
void NPdfDocument::setX(float value) { x = value >= 0 ? value : pageWidth + value; }
void NPdfDocument::setY(float value)
{
    x = leftMargin;
    y = value >= 0 ? value : pageHeight + value;
}
void NPdfDocument::setXY(float xValue, float yValue)
{
    setY(yValue);
    setX(xValue);
}

void NPdfDocument::writeFonts(NPdfWriter& writer)
{
    for (Font& font : fonts) {
        if (!font.selected)
            continue;
        if (font.core) {
            font.object = writer.begin();
            writer.put(NString("<< /Type /Font /Subtype /Type1 /BaseFont ") + NPdfWriter::name(font.core->baseName) +
                       (font.core->symbolic ? "" : " /Encoding /WinAnsiEncoding") + " >>");
            writer.end();
            continue;
        }
        const NPdfFontFile& file = *font.file;
        for (int c = 32; c < 127; ++c)
            font.used[c] = font.used[c] || c == ' ';
        std::string program;
        NString fileKey, lengths;
        bool subset = false;
        if (!file.getProgram(font.used, program, fileKey, lengths, subset)) {
            globalError.addError(NString("NPdfDocument::close(): Die Schrift \"") + file.getPostScriptName() +
                                 "\" konnte nicht eingebettet werden. " + file.getError());
            continue;
        }
        NString baseName = file.getPostScriptName();
        if (subset) {
            // The tag differs for every set of glyphs, as readers expect.
            unsigned long hash = 5381;
            for (int c = 0; c < 256; ++c)
                hash = hash * 33 + (font.used[c] ? c + 1 : 0);
            for (int i = 0; i < baseName.getLength(); ++i)
                hash = hash * 33 + static_cast<unsigned char>(baseName.getAt(i));
            NString tag;
            for (int i = 0; i < 6; ++i, hash /= 26)
                tag += static_cast<char>('A' + hash % 26);
            baseName = tag + "+" + baseName;
        }
        const int programObject = writer.stream(lengths, program, compress);
        int box[4] = {0, 0, 0, 0};
        file.getBBox(box);
        NString descriptor;
        descriptor.format("<< /Type /FontDescriptor /FontName %s /Flags %d /FontBBox [%d %d %d %d] /ItalicAngle %s"
                          " /Ascent %d /Descent %d /CapHeight %d /StemV %d /MissingWidth %d /%s %d 0 R >>",
                          NPdfWriter::name(baseName).getBuffer(), file.getFlags(), box[0], box[1], box[2], box[3],
                          formatNumber(file.getItalicAngle()).getBuffer(), file.getAscent(), file.getDescent(),
                          file.getCapHeight(), file.getStemV(), file.getMissingWidth(), fileKey.getBuffer(),
                          programObject);
        const int descriptorObject = writer.begin();
        writer.put(descriptor);
        writer.end();
        NString widths;
        for (int c = 32; c < 256; ++c)
            widths.appendFormat("%s%d", c % 16 == 0 ? "\n" : " ", file.getWidth(static_cast<unsigned char>(c)));
        font.object = writer.begin();
        writer.put(NString("<< /Type /Font /Subtype ") + (file.isTrueType() ? "/TrueType" : "/Type1") +
                   " /BaseFont " + NPdfWriter::name(baseName) + " /FirstChar 32 /LastChar 255 /Widths [" + widths +
                   "] /Encoding /WinAnsiEncoding /FontDescriptor " + NString::fromNumber(descriptorObject) +
                   " 0 R >>");
        writer.end();
    }
}
