#ifndef NEK_NDEVICE_H
#define NEK_NDEVICE_H

#include <windows.h>

#include "NPainter.h"

class NWindow;

// NDevice: the painter on a Windows device context. Every window owns one
// and hands it to its paint handlers. The device keeps pen, brush, font,
// text colours, background colour, zoom and offset and applies them to the
// context between beginPaint and endPaint; every drawing call outside that
// bracket draws nothing and is reported in the error log. With noFlicker the
// paint goes into a memory bitmap that endPaint copies to the window.
class NDevice : public NPainter {
public:
    // flags: the context was handed in by the caller (not the system paint).
    static const int flagForeignDC = 4;

    NDevice();
    const char* getName() const override;
    const char* getClassName() const override;
    ~NDevice() override;

    // --- NPainter --------------------------------------------------------------
    void bezier(const NPoint points[4], int penWidth = -2, int penColour = -2) override;
    void drawText(NRect& rect, const NString& text, const char* format = "") override;
    void ellipse(const NRect& rect, int penColour = -2, int brushColour = -2) override;
    void line(int x1, int y1, int x2, int y2, int penColour = -2) override;
    void pie(const NRect& rect, const NPoint& start, const NPoint& end, int penColour = -2,
             int brushColour = -2) override;
    void rectangle(const NRect& rect, int penColour = -2, int brushColour = -2) override;
    void roundRect(const NRect& rect, const NSize& corner, int penColour = -2,
                   int brushColour = -2) override;
    void selectFont() override;
    void selectPen() override;
    void selectBrush() override;
    void setPen(int colour, int width = -2, int style = -2) override;
    NPoint toLogical(const NPoint& point) override;
    NPoint toDevice(const NPoint& point) override;
    NRect toLogical(const NRect& rect) override;
    NRect toDevice(const NRect& rect) override;
    int toLogicalX(int length) override;
    int toDeviceX(int length) override;
    int toLogicalY(int length) override;
    int toDeviceY(int length) override;
    bool beginPaint(HDC dc = nullptr) override;
    void endPaint() override;
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

    // --- owner -------------------------------------------------------------------
    void setWindow(NWindow* owner) { window = owner; }
    NWindow* getWindow() const { return window; }
    void setHwnd(HWND handle) { hwnd = handle; }
    HWND getHwnd() const { return hwnd; }

    // --- context -----------------------------------------------------------------
    // The context being painted on; null outside a paint.
    HDC getDC() const { return dc; }
    // Hands a context in or takes it away again (null) without the paint
    // bookkeeping; the window uses it around erase and non-client painting.
    // The objects the device selected into the previous context are taken
    // out of it again.
    void setDC(HDC context);
    bool isPainting() const { return dc != nullptr; }
    const NRect& getPaintRect() const { return paintRect; }
    // Sets the text colour and background mode of a context the device does
    // not paint on (control colour requests).
    void applyTextColours(HDC context);

    // --- settings ------------------------------------------------------------------
    void setNoFlicker(bool on) { noFlicker = on; }
    bool getNoFlicker() const { return noFlicker; }
    void setMapMode(int mode) { mapMode = mode; }
    int getMapMode() const { return mapMode; }
    void setGraphicsMode(int mode) { graphicsMode = mode; }
    int getGraphicsMode() const { return graphicsMode; }
    // Absolute values are stored; a factor of 0 becomes 1.0.
    void setZoom(float x, float y);
    void setZoom(float zoom) { setZoom(zoom, zoom); }
    float getZoomX() const { return zoomX; }
    float getZoomY() const { return zoomY; }
    // -2 keeps a value; applies zoom and offset to the context at once.
    void setOffset(int x, int y);
    int getOffsetX() const { return offsetX; }
    int getOffsetY() const { return offsetY; }
    // Applies map mode, graphics mode, zoom and offset to `context` (null:
    // the device's own context). Nothing happens without a context.
    void setZoomAndOffsetOnDC(HDC context = nullptr);

    // A new solid background brush; a colour other than -1 also becomes the
    // text background.
    void setBackgroundColor(int colour);
    int getBackgroundColor() const { return backgroundColour; }
    // The device's own brush, or the application's when it has none.
    HBRUSH getBackgroundBrush() const;
    int getTextColor() const { return textColour; }
    int getTextBackgroundColor() const { return textBackgroundColour; }
    int getPenColor() const { return penColour; }
    int getPenWidth() const { return penWidth; }
    int getBrushColor() const { return brushColour; }
    const LOGFONTA& getFontRecord() const { return fontRecord; }
    // The font made from the current record (created on demand).
    HFONT getFont();
    // Text height, plus the external leading when asked; works outside a paint.
    int getLineHeight(bool withLeading = false);

    // Union of the bounds of every shape drawn since the last reset.
    const NRect& getDrawnArea() const { return drawnArea; }
    void resetDrawnArea();

private:
    NDevice(const NDevice&) = delete;
    NDevice& operator=(const NDevice&) = delete;

    // True while a context is present; otherwise records the misuse of
    // `operation` in the error log.
    bool guard(const char* operation);
    typedef BOOL(WINAPI* BoxCall)(HDC, int, int, int, int);
    // Checks the context (through guard when `operation` is named), sets pen
    // and brush colour for one call (-2 keeps) and selects them.
    bool beginShape(const char* operation, int pen, int brush);
    // Widens the drawn area by `bounds` and restores the colours beginShape
    // replaced.
    void endShape(const NRect& bounds);
    // A shape inscribed in `rect`, drawn by `call`.
    void drawBox(const char* operation, BoxCall call, const NRect& rect, int pen, int brush);
    void addDrawnArea(const NRect& bounds);
    void deleteObjects();
    // Puts the context's own pen, brush and font back.
    void deselectObjects();
    // Makes the font from the record when it changed; false when that fails.
    bool ensureFont();
    // Converts points with the paint's context or, outside a paint, a
    // temporary one of the window.
    void convert(POINT* points, int count, bool toLogicalUnits);
    int convertLength(int length, bool horizontal, bool toLogicalUnits);
    NRect convertRect(const NRect& rect, bool toLogicalUnits);
    // A context of the window for a conversion outside a paint; released by
    // releaseTemporaryDC.
    HDC temporaryDC();
    void releaseTemporaryDC(HDC context);

    NRect paintRect;
    HDC dc;
    HWND hwnd;
    PAINTSTRUCT paint;
    int flags;
    int textBackgroundColour;
    int textColour;
    NWindow* window;
    bool noFlicker;
    // Pen record and what the current pen object was made from.
    int penStyle;
    int penWidth;
    int penColour;
    int brushColour;
    LOGFONTA fontRecord;
    int mapMode;
    int graphicsMode;
    float zoomX;
    float zoomY;
    int offsetX;
    int offsetY;
    int backgroundColour;
    HBRUSH backgroundBrush;
    // noFlicker state.
    HDC realDC;
    HBITMAP memoryBitmap;
    HBITMAP previousBitmap;
    RECT clientRect;

    // GDI objects of the current paint and the values they were made from.
    HPEN pen;
    int penMadeStyle;
    int penMadeWidth;
    int penMadeColour;
    HBRUSH brush;
    int brushMadeColour;
    HFONT font;
    LOGFONTA fontMadeFrom;
    // Pen, brush and font as beginPaint found them: endPaint deletes the
    // ones the paint made and keeps these (a control's font among them).
    HGDIOBJ beforePaint[3];
    HGDIOBJ savedPen;
    HGDIOBJ savedBrush;
    HGDIOBJ savedFont;
    int savedDCState;
    // Colours saved by beginShape for endShape.
    int previousPenColour;
    int previousBrushColour;
    NRect drawnArea;
    bool drawnAreaSet;
    // beginPaint opened a paint that endPaint must close (setDC opens none).
    bool paintOpen;
};

#endif
