#ifndef NEK_NPDFPAINTER_H
#define NEK_NPDFPAINTER_H

#include <string>

#include "NPainter.h"
#include "NPointF.h"
#include "NString.h"

class NPdfDocument;
struct NPdfCoreFont;

// NPdfPainter: the painter that records drawing into the current page of a
// PDF document as vector graphics. A window's onPaint handed this painter
// (NWindow::paintTo) produces its picture on the page. Window pixel (x, y)
// lands at (origin.x + x * unitsPerPixel, origin.y + y * unitsPerPixel) in
// the document's user units. Every argument means what it means on the
// screen device: the same pen, brush and text-colour sentinels, the same
// font sizes (a point is 96/72 pixels), the same drawText formats. Windows
// face names are mapped to the standard PDF fonts.
class NPdfPainter : public NPainter {
public:
    // A rectangle's edges, as the screen device passes them to the system.
    struct Edges {
        explicit Edges(const NRect& rect);
        float left, top, right, bottom;
    };

    static const char kindPdf = 'p';

    NPdfPainter(NPdfDocument& document, float unitsPerPixel, const NPointF& origin = NPointF());
    const char* getName() const override;
    const char* getClassName() const override;
    ~NPdfPainter() override;

    // --- NPainter ----------------------------------------------------------------
    void bezier(const NPoint points[4], int penWidth = -2, int penColour = -2) override;
    void drawText(NRect& rect, const NString& text, const char* format = "") override;
    void ellipse(const NRect& rect, int penColour = -2, int brushColour = -2) override;
    void line(int x1, int y1, int x2, int y2, int penColour = -2) override;
    void pie(const NRect& rect, const NPoint& start, const NPoint& end, int penColour = -2,
             int brushColour = -2) override;
    void rectangle(const NRect& rect, int penColour = -2, int brushColour = -2) override;
    void roundRect(const NRect& rect, const NSize& corner, int penColour = -2,
                   int brushColour = -2) override;
    // Pen, brush and font take effect with each primitive; nothing to select.
    void selectFont() override {}
    void selectPen() override {}
    void selectBrush() override {}
    void setPen(int colour, int width = -2, int style = -2) override;
    void fillRectangle(const NRect& rect, int colour) override;
    void setBold(bool on) override;
    void setBrush(int colour) override;
    void setFont(const NString& faceName, int size = -2, int underline = -2, int italic = -2,
                 int weight = -2) override;
    void setTextColor(int textColour, int backgroundColour = -2) override;
    void textOut(int x, int y, const NString& text) override;
    void polygon(const NPoint* points, int count, int penColour = -2,
                 int brushColour = -2) override;
    NSize getTextSize(const NString& text) override;

    // --- state ---------------------------------------------------------------------
    int getPenColor() const { return penColour; }
    int getPenWidth() const { return penWidth; }
    int getPenStyle() const { return penStyle; }
    int getBrushColor() const { return brushColour; }
    int getTextColor() const { return textColour; }
    int getTextBackgroundColor() const { return textBackgroundColour; }
    // The font's character height in pixels (the screen's -lfHeight).
    int getFontHeight() const { return fontHeight; }
    // The standard font the current face, weight and slant map to, e.g.
    // "Times-Bold".
    NString getFontBaseName() const;
    // Text height plus line gap as the screen device measures a line.
    int getLineHeight() const;
    float getUnitsPerPixel() const { return unitsPerPixel; }
    const NPointF& getOrigin() const { return origin; }

private:
    NPdfPainter(const NPdfPainter&) = delete;
    NPdfPainter& operator=(const NPdfPainter&) = delete;

    // Page coordinates (points, y up) of a pixel position.
    float pageX(float x) const;
    float pageY(float y) const;
    void point(std::string& out, float x, float y) const;
    void number(std::string& out, float value) const;
    void colour(std::string& out, int colour, bool stroke) const;
    // Pen set-up for a stroke of `width` pixels; false when the pen draws nothing.
    bool strokeState(std::string& out, int colour, int width) const;
    // Paint operator for a path with this pen and brush ("" when neither
    // draws); evenOdd selects the alternate fill rule of polygons.
    const char* paintOperator(std::string& out, int pen, int brush, int width, bool evenOdd) const;
    // Colours for one call (-2: the current ones), as the screen device does.
    int penFor(int argument) const { return argument == -2 ? penColour : argument; }
    int brushFor(int argument) const { return argument == -2 ? brushColour : argument; }
    void beginShape(int pen, int brush);
    void endShape();
    void emit(const std::string& operators);
    // The path of the ellipse inscribed in the box (pixel coordinates).
    void ellipsePath(std::string& out, float left, float top, float right, float bottom) const;
    void arcPath(std::string& out, float cx, float cy, float rx, float ry, float from, float to,
                 bool moveFirst) const;

    // Text: the current font's metrics and one line at its top-left corner.
    const NPdfCoreFont* coreFont() const;
    NString fontFamily() const;
    NString fontStyle() const;
    float ascentPixels() const;
    float textWidth(const NString& text) const;
    // Draws text whose top-left corner is (x, y); prefix: underline the
    // character after each '&' ("&&" is a literal ampersand).
    void textLine(float x, float y, const NString& text, bool prefix, const float* clip);
    // The text as it is shown: without prefix marks, tabs expanded.
    NString shownText(const NString& text, bool prefix, int* underlined) const;

    NPdfDocument& document;
    float unitsPerPixel;
    NPointF origin;
    int penStyle;
    int penWidth;
    int penColour;
    int previousPenColour;
    int brushColour;
    int previousBrushColour;
    int textColour;
    int textBackgroundColour;
    NString faceName;
    int fontHeight;
    bool underline;
    bool italic;
    int weight;
    // The document's resource name of the last font used, and for which font.
    NString fontResource;
    NString fontResourceKey;
};

#endif
