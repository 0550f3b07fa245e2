// NPdfPainter in process; what its page looks like is compared with the
// screen device by painter_pixels.sh.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "NDevice.h"
#include "NPdfDocument.h"
#include "NPdfPainter.h"

namespace {

// An uncompressed A4 page with a painter (by default at 0.75 pt per pixel), Arial 12.
struct Page {
    Page(const char* unit = "pt", float scale = 0.75f, NPointF origin = NPointF())
        : document("P", unit, "A4"), painter(document, scale, origin)
    {
        document.setCompression(false);
        document.addPage();
        painter.setFont("Arial", 12);
    }
    // The text strings shown on the page, in order.
    std::vector<std::string> shown()
    {
        const std::string& pdf = document.getBuffer();
        std::vector<std::string> out;
        for (size_t at = pdf.find(") Tj"); at != std::string::npos; at = pdf.find(") Tj", at + 4)) {
            const size_t open = pdf.rfind(" (", at);
            out.push_back(pdf.substr(open + 2, at - open - 2));
        }
        return out;
    }
    int width(const std::string& text) { return painter.getTextSize(text.c_str()).cx; }
    NPdfDocument document;
    NPdfPainter painter;
};

}  // namespace

TEST(NPdfPainter, StateFollowsTheScreenDeviceCallForCall)
{
    HDC memory = CreateCompatibleDC(nullptr);
    NDevice screen;
    ASSERT_TRUE(screen.beginPaint(memory));
    NPdfDocument document;
    document.addPage();
    NPdfPainter pdf(document, 0.5f);

    const NRect box(5, 5, 20, 20);
    const NPoint curve[4] = {NPoint(1, 1), NPoint(5, 9), NPoint(9, 1), NPoint(12, 12)};
    const struct { const char* what; std::function<void(NPainter&)> call; } steps[] = {
        {"pen red, width 2, dashed", [](NPainter& p) { p.setPen(0x0000FF, 2, PS_DASH); }},
        {"pen blue, then -3 restores red", [](NPainter& p) { p.setPen(0xFF0000); p.setPen(-3); }},
        {"-2 keeps the colour, width 4", [](NPainter& p) { p.setPen(-2, 4); }},
        {"-5 keeps the record", [](NPainter& p) { p.setPen(-5); }},
        {"brush green, then grey", [](NPainter& p) { p.setBrush(0x00FF00); p.setBrush(0x808080); }},
        {"brush -3", [](NPainter& p) { p.setBrush(-3); }},
        {"brush -5", [](NPainter& p) { p.setBrush(-5); }},
        {"a shape's own colours are taken back", [&](NPainter& p) { p.rectangle(box, 0x123456, 0x654321); }},
        {"-3 after a shape", [](NPainter& p) { p.setPen(-3); p.setBrush(-3); }},
        {"ellipse, roundRect, pie, polygon with own colours", [&](NPainter& p) {
             p.ellipse(box, -1, 0x111111); p.roundRect(box, NSize(4, 4), 0x222222, -1);
             p.pie(box, NPoint(30, 15), NPoint(15, 0), 0x333333, 0x444444); p.polygon(curve, 3, 0x555555, 0x666666); }},
        {"a line's pen and a bezier's width for one call",
         [&](NPainter& p) { p.line(0, 0, 9, 9, -1); p.bezier(curve, 7, 0x777777); }},
        {"text colours, -2 keeps one", [](NPainter& p) { p.setTextColor(0x0000AA, -2); p.setTextColor(-2, 0x00AA00); }},
        {"font 12 pt bold, then size kept",
         [](NPainter& p) { p.setFont("Times New Roman", 12); p.setBold(true); p.setFont("Arial"); }},
        {"font 11 pt (14.7 pixels, rounded), -2 keeps", [](NPainter& p) { p.setFont("", 11, -2, 1, -2); }},
    };
    for (const auto& step : steps) {
        step.call(screen);
        step.call(pdf);
        SCOPED_TRACE(step.what);
        EXPECT_EQ(screen.getPenColor(), pdf.getPenColor());
        EXPECT_EQ(screen.getPenWidth(), pdf.getPenWidth());
        EXPECT_EQ(screen.getBrushColor(), pdf.getBrushColor());
        EXPECT_EQ(screen.getTextColor(), pdf.getTextColor());
        EXPECT_EQ(screen.getTextBackgroundColor(), pdf.getTextBackgroundColor());
        EXPECT_EQ(-screen.getFontRecord().lfHeight, pdf.getFontHeight());
    }
    screen.endPaint();
    DeleteDC(memory);
}

TEST(NPdfPainter, WindowsFacesMapToStandardFontsMeasuredByTheDocument)
{
    const struct { const char* face; int weight; bool italic; const char* baseName; } faces[] = {
        {"Arial", 400, false, "Helvetica"}, {"MS Sans Serif", 700, false, "Helvetica-Bold"},
        {"tahoma", 400, true, "Helvetica-Oblique"}, {"Segoe UI", 600, true, "Helvetica-BoldOblique"},
        {"Times New Roman", 400, false, "Times-Roman"}, {"Times New Roman", 700, true, "Times-BoldItalic"},
        {"Courier New", 400, true, "Courier-Oblique"}, {"Courier", 700, false, "Courier-Bold"},
        {"Symbol", 700, true, "Symbol"}, {"Wingdings", 400, false, "Helvetica"}, {"Comic Sans MS", 500, false, "Helvetica"}};
    Page page("mm", 0.2f);
    for (const auto& c : faces) {
        page.painter.setFont(c.face, 10, 0, c.italic, c.weight);
        EXPECT_EQ(NString(c.baseName), page.painter.getFontBaseName()) << c.face << " " << c.weight;
    }
    // The painter's text size is the document's width in pixels at the
    // painter's scale; a line is about 1.1 to 1.15 em, as on the screen.
    const struct { const char* face; const char* family; const char* style; int points; } sizes[] = {
        {"Arial", "Helvetica", "", 12}, {"Times New Roman", "Times", "B", 20}, {"Courier New", "Courier", "", 9}};
    const NString text("\xC4rger \xFC" "ber Ma\xDF und (Klammern)");
    for (const auto& c : sizes) {
        page.painter.setFont(c.face, c.points, 0, 0, c.style[0] ? 700 : 400);
        const float pixels = static_cast<float>(page.painter.getFontHeight());
        page.document.setFont(c.family, c.style, pixels * 0.2f * page.document.getScale());
        const NSize size = page.painter.getTextSize(text);
        EXPECT_NEAR(page.document.getStringWidth(text) / 0.2f, size.cx, 1.0) << c.face;
        EXPECT_TRUE(size.cy >= pixels * 1.05f && size.cy <= pixels * 1.2f + 1) << c.face << " " << size.cy;
    }
}

TEST(NPdfPainter, PixelsLandAtOriginPlusScaledPosition)
{
    Page page("mm", 0.5f, NPointF(5, 7));
    page.painter.fillRectangle(NRect(10, 20, 30, 40), 0x0000FF);
    const std::string& pdf = page.document.getBuffer();
    const size_t fill = pdf.find("1 0 0 rg ");
    ASSERT_NE(std::string::npos, fill);
    float x, y, w, h;
    ASSERT_EQ(4, std::sscanf(pdf.c_str() + fill + 9, "%f %f %f %f re f", &x, &y, &w, &h));
    const float k = 72 / 25.4f * 0.5f;   // points per pixel
    EXPECT_NEAR(5 * 2 * k + 10 * k, x, 0.01);
    EXPECT_NEAR((297 - 7) * 2 * k - 20 * k, y, 0.01);
    EXPECT_NEAR(30 * k, w, 0.01);
    EXPECT_NEAR(-40 * k, h, 0.01);
}

TEST(NPdfPainter, DrawTextFormatsDecideTheLinesWritten)
{
    const struct { const char* text; const char* format; int width; std::vector<std::string> lines; } cases[] = {
        {"&Datei && mehr", "", 300, {"&Datei && mehr"}}, {"&Datei && mehr", "&", 300, {"Datei & mehr"}},
        {"eins zwei drei vier", "w", 80, {"eins zwei", "drei vier"}}, {"eins zwei drei vier", "", 80, {"eins zwei drei vier"}},
        {"oben\r\nunten", "", 300, {"oben", "unten"}}, {"oben\r\nunten", "v", 300, {"obenunten"}},
        {"a\tb", "", 300, {"ab"}}, {"Klammer (auf) \\", "", 300, {"Klammer \\(auf\\) \\\\"}}};
    for (const auto& c : cases) {
        Page page;
        NRect rect(0, 0, c.width, 200);
        page.painter.drawText(rect, c.text, c.format);
        EXPECT_EQ(c.lines, page.shown()) << c.text << " / " << c.format;
    }
    // Word ellipsis: the start of the line and "...", together within the box.
    Page cut;
    NRect narrow(0, 0, 80, 30);
    cut.painter.drawText(narrow, "Ein sehr langer Satz", "e");
    ASSERT_EQ(1u, cut.shown().size());
    const std::string line = cut.shown()[0], start = line.substr(0, line.size() - 3);
    ASSERT_GT(line.size(), 6u);
    EXPECT_EQ("...", line.substr(line.size() - 3));
    EXPECT_EQ(0u, std::string("Ein sehr langer Satz").find(start));
    EXPECT_TRUE(cut.width(line) <= 80 && cut.width(start + "a...") > 80) << line;
}
