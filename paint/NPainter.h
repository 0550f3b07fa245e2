#ifndef NEK_NPAINTER_H
#define NEK_NPAINTER_H

#include "NPoint.h"
#include "NRect.h"
#include "NSize.h"
#include "NString.h"

// The device context handle as windows.h declares it, so painters can be
// used without the Windows headers.
struct HDC__;
typedef struct HDC__* HDC;

// NPainter: the library's abstract drawing surface. Windows hand their
// painter to onPaint; NDevice draws on a Windows device context, other
// painters may record the drawing elsewhere. Coordinates are logical units.
//
// Colour arguments are colour values 0x00BBGGRR or one of the sentinels:
// -1 none (transparent), -2 keep the current value, -3 restore the value
// saved by the last temporary change, -5 delete the current GDI object.
class NPainter {
public:
    // Kind code of the screen device (NDevice).
    static const char kindScreen = 's';

    explicit NPainter(char kind = 0) : kind(kind) {}
    char getKind() const { return kind; }

    // --- primitives (every painter draws them its own way) ------------------
    virtual void bezier(const NPoint points[4], int penWidth = -2, int penColour = -2) = 0;
    // format: letters "t" "l" "r" "b" "v" "h" "w" "e" "x", and "&" to
    // underline the character after an ampersand. In map modes whose y axis
    // points up, a positive height is corrected in `rect` itself.
    virtual void drawText(NRect& rect, const NString& text, const char* format = "") = 0;
    virtual void ellipse(const NRect& rect, int penColour = -2, int brushColour = -2) = 0;
    virtual void line(int x1, int y1, int x2, int y2, int penColour = -2) = 0;
    // The arc runs counter-clockwise from the ray towards `start` to the ray
    // towards `end`, as the system's Pie call draws it.
    virtual void pie(const NRect& rect, const NPoint& start, const NPoint& end,
                     int penColour = -2, int brushColour = -2) = 0;
    virtual void rectangle(const NRect& rect, int penColour = -2, int brushColour = -2) = 0;
    virtual void roundRect(const NRect& rect, const NSize& corner, int penColour = -2,
                           int brushColour = -2) = 0;
    virtual void selectFont() = 0;
    virtual void selectPen() = 0;
    virtual void selectBrush() = 0;

    // --- state and conversions (nothing here; devices override) -------------
    virtual void setPen(int /*colour*/, int /*width*/ = -2, int /*style*/ = -2) {}
    virtual NPoint toLogical(const NPoint& point) { return point; }
    virtual NPoint toDevice(const NPoint& point) { return point; }
    virtual NRect toLogical(const NRect& rect) { return rect; }
    virtual NRect toDevice(const NRect& rect) { return rect; }
    virtual int toLogicalX(int length) { return length; }
    virtual int toDeviceX(int length) { return length; }
    virtual int toLogicalY(int length) { return length; }
    virtual int toDeviceY(int length) { return length; }
    // dc null: the system paint of the owner window.
    virtual bool beginPaint(HDC /*dc*/ = nullptr) { return false; }
    virtual void endPaint() {}
    virtual void fillRectangle(const NRect& /*rect*/, int /*colour*/) {}
    virtual void setBold(bool /*on*/) {}
    virtual void setBrush(int /*colour*/) {}
    // -2 keeps a value; size in points.
    virtual void setFont(const NString& /*faceName*/, int /*size*/ = -2, int /*underline*/ = -2,
                         int /*italic*/ = -2, int /*weight*/ = -2) {}
    virtual void setTextColor(int /*textColour*/, int /*backgroundColour*/ = -2) {}
    virtual void textOut(int /*x*/, int /*y*/, const NString& /*text*/) {}
    virtual void polygon(const NPoint* /*points*/, int /*count*/, int /*penColour*/ = -2,
                         int /*brushColour*/ = -2) {}
    virtual NSize getTextSize(const NString& text) = 0;

    virtual const char* getName() const { return getClassName(); }
    virtual const char* getClassName() const { return "NPainter"; }
    virtual ~NPainter() {}

protected:
    char kind;
};

#endif
