// The text operations of NPdfPainter: the mapping of Windows face names to
// the standard PDF fonts, their metrics, textOut and the layout of drawText.
#include "NPdfPainter.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "NError.h"
#include "NPdfCoreFonts.h"
#include "NPdfDocument.h"

namespace {

struct FaceMapping {
    const char* face;
    const char* family;
};

// Windows faces and the standard font with their metrics.
const FaceMapping faces[] = {
    {"arial", "Helvetica"},         {"helvetica", "Helvetica"}, {"ms sans serif", "Helvetica"},
    {"tahoma", "Helvetica"},        {"segoe ui", "Helvetica"},  {"times new roman", "Times"},
    {"times", "Times"},             {"courier new", "Courier"}, {"courier", "Courier"},
    {"symbol", "Symbol"},
};

// Ascent and descent (em) of the faces the screen shows for each family
// (Arial, Times New Roman, Courier New, Symbol), so that lines stand and
// follow each other where they stand on the screen.
struct LineMetrics {
    const char* family;
    float ascent;
    float descent;
};
const LineMetrics metrics[] = {
    {"Helvetica", 0.905f, 0.212f},
    {"Times", 0.891f, 0.216f},
    {"Courier", 0.833f, 0.300f},
    {"Symbol", 1.005f, 0.220f},
};

const LineMetrics& metricsOf(const NString& family)
{
    for (const LineMetrics& m : metrics)
        if (family == m.family)
            return m;
    return metrics[0];
}

// Writes text as a PDF string literal.
void literal(std::string& out, const NString& text)
{
    out += '(';
    const char* bytes = text.getBuffer();
    for (int i = 0; i < text.getLength(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '(' || c == ')' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 32) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\%03o", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += ')';
}

}  // namespace

NString NPdfPainter::fontFamily() const
{
    NString lower(faceName);
    lower.makeLower();
    for (const FaceMapping& mapping : faces)
        if (lower == mapping.face)
            return mapping.family;
    return "Helvetica";
}

NString NPdfPainter::fontStyle() const
{
    if (fontFamily() == "Symbol")
        return NString();
    NString style;
    if (weight >= 600)
        style += "B";
    if (italic)
        style += "I";
    return style;
}

NString NPdfPainter::getFontBaseName() const
{
    const NString family = fontFamily();
    const NString style = fontStyle();
    if (family == "Symbol")
        return family;
    if (style.isEmpty())
        return family == "Times" ? NString("Times-Roman") : family;
    NString name(family);
    name += "-";
    if (style.find("B") >= 0)
        name += "Bold";
    if (style.find("I") >= 0)
        name += family == "Times" ? "Italic" : "Oblique";
    return name;
}

const NPdfCoreFont* NPdfPainter::coreFont() const
{
    return NPdfCoreFonts::find(getFontBaseName());
}

float NPdfPainter::ascentPixels() const
{
    return std::round(fontHeight * metricsOf(fontFamily()).ascent);
}

int NPdfPainter::getLineHeight() const
{
    const LineMetrics& m = metricsOf(fontFamily());
    return static_cast<int>(std::round(fontHeight * m.ascent) + std::round(fontHeight * m.descent));
}

float NPdfPainter::textWidth(const NString& text) const
{
    const NPdfCoreFont* font = coreFont();
    if (!font)
        return 0;
    long sum = 0;
    const char* bytes = text.getBuffer();
    for (int i = 0; i < text.getLength(); ++i)
        sum += font->widths[static_cast<unsigned char>(bytes[i])];
    return sum * static_cast<float>(fontHeight) / 1000.0f;
}

NSize NPdfPainter::getTextSize(const NString& text)
{
    return NSize(static_cast<int>(std::round(textWidth(text))), getLineHeight());
}

NString NPdfPainter::shownText(const NString& text, bool prefix, int* underlined) const
{
    if (underlined)
        *underlined = -1;
    if (!prefix)
        return text;
    NString shown;
    const char* bytes = text.getBuffer();
    for (int i = 0; i < text.getLength(); ++i) {
        if (bytes[i] == '&') {
            if (i + 1 >= text.getLength())
                break;
            ++i;
            if (bytes[i] != '&' && underlined)
                *underlined = shown.getLength();
        }
        shown += bytes[i];
    }
    return shown;
}

void NPdfPainter::textLine(float x, float y, const NString& text, bool prefix, const float* clip)
{
    int underlined = -1;
    const NString shown = shownText(text, prefix, &underlined);
    if (shown.isEmpty())
        return;
    const NString resourceKey = getFontBaseName() + "@" + NString::fromNumber(document.getPage());
    if (resourceKey != fontResourceKey) {
        // The document registers the font on its page and names its resource.
        if (!document.setFont(fontFamily(), fontStyle(), fontHeight * unitsPerPixel *
                                                             document.getScale()))
            return;
        fontResource = document.getCurrentFontResource();
        fontResourceKey = resourceKey;
    }
    const float scale = unitsPerPixel * document.getScale();
    const float width = textWidth(shown);
    const float lineHeight = static_cast<float>(getLineHeight());
    std::string out("q ");
    if (clip) {
        number(out, pageX(clip[0]));
        number(out, pageY(clip[1]));
        number(out, (clip[2] - clip[0]) * scale);
        number(out, -(clip[3] - clip[1]) * scale);
        out += "re W n ";
    }
    if (textBackgroundColour >= 0) {
        colour(out, textBackgroundColour, false);
        number(out, pageX(x));
        number(out, pageY(y));
        number(out, width * scale);
        number(out, -lineHeight * scale);
        out += "re f ";
    }
    if (textColour >= 0) {
        const float baseline = y + ascentPixels();
        colour(out, textColour, false);
        out += "BT /";
        out += fontResource.getBuffer();
        out += ' ';
        number(out, fontHeight * scale);
        out += "Tf ";
        point(out, x, baseline);
        out += "Td ";
        literal(out, shown);
        out += " Tj ET ";
        // Underline: the whole line for an underlined font, else the
        // character after the prefix mark.
        float from = x, to = x + width;
        if (!underline && underlined >= 0) {
            from = x + textWidth(shown.left(underlined));
            to = from + textWidth(shown.mid(underlined, 1));
        }
        if (underline || underlined >= 0) {
            const float thickness = std::max(1.0f, std::round(fontHeight / 14.0f));
            const float top = baseline + std::max(1.0f, std::round(fontHeight * 0.1f));
            number(out, pageX(from));
            number(out, pageY(top));
            number(out, (to - from) * scale);
            number(out, -thickness * scale);
            out += "re f ";
        }
    }
    out += "Q\n";
    emit(out);
}

void NPdfPainter::textOut(int x, int y, const NString& text)
{
    textLine(static_cast<float>(x), static_cast<float>(y), text, false, nullptr);
}

void NPdfPainter::drawText(NRect& rect, const NString& text, const char* format)
{
    bool right = false, singleLine = false, centre = false, wordBreak = false;
    bool ellipsis = false, expandTabs = false, prefix = false;
    for (const char* letter = format ? format : ""; *letter; ++letter) {
        switch (*letter) {
        case 'r': right = true; break;
        // "b" (bottom) counts only on a single line, where "v" centres
        // already: the screen's text drawing ignores it then.
        case 'v': singleLine = true; break;
        case 'h': centre = true; break;
        case 'w': wordBreak = true; break;
        case 'e': ellipsis = true; break;
        case 'x': expandTabs = true; break;
        case '&': prefix = true; break;
        default: break;
        }
    }
    const Edges e(rect);
    const float box[4] = {static_cast<float>(e.left), static_cast<float>(e.top),
                          static_cast<float>(e.right), static_cast<float>(e.bottom)};
    const float boxWidth = box[2] - box[0];

    // Tabs become spaces up to the next stop of eight average characters.
    NString source;
    const float spaceWidth = std::max(1.0f, textWidth(" "));
    const float tabStop = 8 * std::max(1.0f, textWidth("x"));
    for (int i = 0; i < text.getLength(); ++i) {
        const char c = text.getBuffer()[i];
        if (c != '\t') {
            source += c;
            continue;
        }
        if (!expandTabs)
            continue;
        const int lineStart = source.findLastChar('\n') + 1;
        const float at = textWidth(source.mid(lineStart));
        const float next = (std::floor(at / tabStop) + 1) * tabStop;
        for (float w = at; w < next - spaceWidth / 2; w += spaceWidth)
            source += ' ';
    }

    // The lines: one on a single line, else broken at line ends and, with
    // word break, between words that would pass the right edge.
    std::vector<NString> lines;
    if (singleLine) {
        NString one;
        for (int i = 0; i < source.getLength(); ++i)
            if (source.getBuffer()[i] != '\r' && source.getBuffer()[i] != '\n')
                one += source.getBuffer()[i];
        lines.push_back(one);
    } else {
        int start = 0;
        while (start <= source.getLength()) {
            int end = source.findChar('\n', start);
            if (end < 0)
                end = source.getLength();
            NString paragraph = source.mid(start, end - start);
            if (paragraph.getLength() > 0 && paragraph.getBuffer()[paragraph.getLength() - 1] == '\r')
                paragraph = paragraph.left(paragraph.getLength() - 1);
            if (!wordBreak) {
                lines.push_back(paragraph);
            } else {
                NString current;
                int i = 0;
                const int n = paragraph.getLength();
                while (i < n) {
                    int wordEnd = i;
                    while (wordEnd < n && paragraph.getBuffer()[wordEnd] == ' ')
                        ++wordEnd;
                    while (wordEnd < n && paragraph.getBuffer()[wordEnd] != ' ')
                        ++wordEnd;
                    const NString word = paragraph.mid(i, wordEnd - i);
                    NString candidate = current + word;
                    if (!current.isEmpty() &&
                        textWidth(shownText(candidate, prefix, nullptr)) > boxWidth) {
                        lines.push_back(current);
                        int skip = 0;
                        while (skip < word.getLength() && word.getBuffer()[skip] == ' ')
                            ++skip;
                        current = word.mid(skip);
                    } else {
                        current = candidate;
                    }
                    i = wordEnd;
                }
                lines.push_back(current);
            }
            start = end + 1;
        }
    }

    // Word ellipsis: a line too long loses characters at its end for "...".
    if (ellipsis) {
        for (NString& l : lines) {
            if (textWidth(shownText(l, prefix, nullptr)) <= boxWidth)
                continue;
            NString cut(l);
            while (cut.getLength() > 0 &&
                   textWidth(shownText(cut, prefix, nullptr)) + textWidth("...") > boxWidth)
                cut = cut.left(cut.getLength() - 1);
            l = cut + "...";
        }
    }

    const float lineHeight = static_cast<float>(getLineHeight());
    float y = box[1];
    // Vertical placement exists only on a single line, as on the screen.
    if (singleLine)
        y = std::floor((box[1] + box[3] - lineHeight) / 2);
    for (const NString& l : lines) {
        const float width = textWidth(shownText(l, prefix, nullptr));
        float x = box[0];
        if (centre)
            x = std::floor((box[0] + box[2] - width) / 2);
        else if (right)
            x = box[2] - width;
        textLine(x, y, l, prefix, box);
        y += lineHeight;
    }
}
