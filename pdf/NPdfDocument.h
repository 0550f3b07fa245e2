#ifndef NEK_NPDFDOCUMENT_H
#define NEK_NPDFDOCUMENT_H

#include "NPdfLink.h"
#include "NPointF.h"
#include "NRectF.h"
#include "NSizeF.h"
#include "NString.h"

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class NPdfFontFile;
class NPdfWriter;
struct NPdfCoreFont;

// NPdfDocument: writes a PDF 1.3 file page by page. All positions and sizes
// are in the user unit chosen at construction ("pt", "mm", "cm", "in"), with y
// growing downwards from the top of the page; the class converts to PDF's
// bottom-up points. Failures go to the error log and leave the document usable.
class NPdfDocument {
public:
    NPdfDocument(const NString& orientation = "P", const NString& unit = "mm",
                 const NString& format = "A4");
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NPdfDocument();

    // --- pages and document settings (NPdfDocument.cpp) ---
    // "" keeps the document's default orientation or format.
    bool addPage(const NString& orientation = "", const NString& format = "");
    bool addPage(const NString& orientation, const NSizeF& size);
    int getPageCount() const;
    int getPage() const;
    NSizeF getPageSize() const;
    float getScale() const;
    void setMargins(float left, float top, float right = -1);
    float getLeftMargin() const { return leftMargin; }
    float getTopMargin() const { return topMargin; }
    float getRightMargin() const { return rightMargin; }
    void setAutoPageBreak(bool on, float bottomMargin = 20);
    void setTitle(const NString& text);
    void setAuthor(const NString& text);
    void setSubject(const NString& text);
    void setKeywords(const NString& text);
    void setCreator(const NString& text);
    void setCreationDate(time_t when);
    // zoom "fullpage" "fullwidth" "real" "default" or a percentage ("150");
    // layout "single" "continuous" "two" "default".
    bool setDisplayMode(const NString& zoom, const NString& layout = "default");
    void setCompression(bool on);
    void setAliasNbPages(const NString& alias = "{nb}");
    void close();
    // Writes through a temporary file beside path, renamed when complete.
    bool save(const NString& path);
    const std::string& getBuffer();

    // --- fonts, text and layout (NPdfDocumentText.cpp) ---
    // family "Courier" "Helvetica" ("Arial") "Times" "Symbol" "ZapfDingbats" or
    // one added below; style "" "B" "I" "BI" plus "U" for underline; size in
    // points, 0 keeps the current size.
    bool setFont(const NString& family, const NString& style = "", float size = 0);
    void setFontSize(float points);
    float getFontSize() const { return fontSizePt; }
    bool addTrueTypeFont(const NString& family, const NString& style, const NString& ttfPath);
    bool addType1Font(const NString& family, const NString& style, const NString& fontPath,
                      const NString& afmPath);
    float getStringWidth(const NString& text) const;
    void text(float x, float y, const NString& text);
    // border "" / "1" / any of "LTRB"; ln 0 right, 1 next line, 2 below;
    // align "L" "C" "R".
    void cell(float w, float h, const NString& text, const NString& border = "", int ln = 0,
              const NString& align = "L", bool fill = false, const NPdfLink& link = NPdfLink());
    void multiCell(float w, float h, const NString& text, const NString& border = "",
                   const NString& align = "L", bool fill = false);
    void write(float lineHeight, const NString& text, const NPdfLink& link = NPdfLink());
    void ln(float h = -1);
    // Negative values count from the right or bottom edge; setY and setXY
    // also return x to the left margin (setXY then sets x).
    float getX() const;
    float getY() const;
    void setX(float x);
    void setY(float y);
    void setXY(float x, float y);

    // --- shapes, colours, images and links (NPdfDocumentGraphics.cpp) ---
    // 0..255; one component means grey. Out of range: error log, unchanged.
    bool setDrawColor(int r, int g = -1, int b = -1);
    bool setFillColor(int r, int g = -1, int b = -1);
    bool setTextColor(int r, int g = -1, int b = -1);
    void setLineWidth(float width);
    void setLineCap(int cap);    // 0 butt, 1 round, 2 square
    void setLineJoin(int join);  // 0 miter, 1 round, 2 bevel
    void setDash(const float* pattern = nullptr, int count = 0, float phase = 0);
    // style "D" draw, "F" fill, "DF"/"FD" both
    void line(float x1, float y1, float x2, float y2);
    void rect(float x, float y, float w, float h, const NString& style = "D");
    void ellipse(float cx, float cy, float rx, float ry, const NString& style = "D");
    void circle(float cx, float cy, float r, const NString& style = "D");
    void polygon(const NPointF* points, int count, const NString& style = "D");
    void bezier(const NPointF& p0, const NPointF& c1, const NPointF& c2, const NPointF& p3,
                const NString& style = "D");
    // w or h 0: from the picture at 96 dpi keeping the aspect.
    bool image(const NString& path, float x, float y, float w = 0, float h = 0,
               const NPdfLink& link = NPdfLink());
    // An internal link target: addLink makes it, setLink places it (page -1:
    // the current page; y below 0: the current position).
    int addLink();
    void setLink(int id, float y = 0, int page = -1);
    void link(float x, float y, float w, float h, const NPdfLink& link);

    // Called on every page; override, or set hooks.
    virtual void header() {}
    virtual void footer() {}
    void setHeaderHook(std::function<void(NPdfDocument&)> hook);
    void setFooterHook(std::function<void(NPdfDocument&)> hook);

    // For painters: raw operators in points and PDF coordinates for the
    // current page, and the resource name of the current font ("F3").
    void appendContent(const NString& operators);
    const NString& getCurrentFontResource() const;
    // Marks the characters of text as used in the current font, for text
    // shown through appendContent: an embedded subset then contains them.
    void registerText(const NString& text);

private:
    struct Font {
        NString key;        // family and style, e.g. "helveticaBI"
        NString resource;   // "F1"
        const NPdfCoreFont* core = nullptr;
        std::shared_ptr<NPdfFontFile> file;
        bool used[256] = {};
        bool selected = false;   // chosen by setFont: written to the file
        int object = 0;
    };
    struct Annotation {
        float x, y, w, h;   // points, PDF coordinates
        NPdfLink link;
    };
    struct Page {
        std::string content;
        float widthPt = 0;
        float heightPt = 0;
        std::vector<Annotation> annotations;
    };
    struct LinkTarget {
        int page = 0;
        float y = 0;        // user units from the top
    };
    struct Image {
        NString key;
        NString resource;   // "I1"
        int width = 0;
        int height = 0;
        NString dictionary;
        std::string data;
        int object = 0;
    };

    NPdfDocument(const NPdfDocument&) = delete;
    NPdfDocument& operator=(const NPdfDocument&) = delete;

    // NPdfDocument.cpp
    bool parseOrientation(const NString& text, char& orientation, const char* operation) const;
    bool parseFormat(const NString& text, NSizeF& sizePt) const;
    bool startPage(char orientation, NSizeF sizePt);
    void endPage();
    void callHeader();
    void callFooter();
    bool acceptsDrawing(const char* operation) const;
    void out(const NString& operators);
    NString formatNumber(float value) const;
    void writeDocument();
    void writeFonts(NPdfWriter& writer);
    void writeImages(NPdfWriter& writer);
    // NPdfDocumentText.cpp
    float charWidth(unsigned char c) const;
    // End of the line from start that fits room (user units): before a line
    // end, at the last space, or - with force - inside a word; -1 when
    // nothing fits and force is off. next is where the following line starts.
    int fitLine(const NString& text, int start, float room, bool force, int& next) const;
    void cellWithMargin(float w, float h, const NString& text, const NString& border, int ln,
                        const NString& align, bool fill, const NPdfLink& link, float margin);
    NString textOperators(float x, float y, const NString& text);
    NString underlineOperators(float x, float y, const NString& text) const;
    void markUsed(const NString& text);
    bool addFontFile(const NString& family, const NString& style,
                     std::shared_ptr<NPdfFontFile> file, const char* operation);
    void applyFont();
    // NPdfDocumentGraphics.cpp
    bool parseColor(int r, int g, int b, bool stroke, NString& result, const char* operation) const;
    static const char* paintOperator(const NString& style);
    void applyGraphicsState();

    char defaultOrientation;
    NSizeF defaultFormatPt;   // portrait, points
    float scale;
    std::vector<Page> pages;
    int currentPage;
    bool closed;
    bool inHeaderFooter;
    float pageWidth, pageHeight;   // current page, user units
    float leftMargin, topMargin, rightMargin, bottomMargin, cellMargin;
    float x, y, lastHeight;
    bool autoPageBreak;
    float pageBreakTrigger;
    // fonts
    std::vector<Font> fonts;
    int currentFont;          // index into fonts, -1 none
    NString fontFamily, fontStyle;
    bool underline;
    float fontSizePt;
    NString currentFontResource;
    // graphics state
    NString drawColor, fillColor, textColor;
    float lineWidth;
    int lineCap, lineJoin;
    NString dash;
    // images and links
    std::vector<Image> images;
    std::vector<LinkTarget> linkTargets;
    // document
    NString title, author, subject, keywords, creator;
    time_t creationDate;
    NString zoomMode, layoutMode;
    bool compress;
    NString aliasNbPages;
    std::function<void(NPdfDocument&)> headerHook, footerHook;
    std::string buffer;
};

#endif
