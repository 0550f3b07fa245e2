#ifndef NEK_NRECT_H
#define NEK_NRECT_H

#include "NPoint.h"
#include "NSize.h"
#include "NString.h"

struct tagRECT;

// NRect: a rectangle given by its corner (x, y) and its extent.
// With bottomUp false the y axis points down and the rectangle spans
// y .. y + |height|; with bottomUp true the y axis points up, (x, y) is the
// upper-left corner and the rectangle spans y - |height| .. y. Edges are
// always computed from the absolute extents, so a negative width or height
// never flips the rectangle.
class NRect {
public:
    // fitAspect alignment bits; neither bit of a pair means left or top.
    enum {
        alignRight = 0x400,
        alignCenterX = 0x200,
        alignBottom = 0x4,
        alignCenterY = 0x2
    };

    NRect();
    NRect(int x, int y, int width, int height, bool bottomUp = false);
    NRect(const tagRECT& rect);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NRect() {}

    void set(int x, int y, int width, int height, bool bottomUp = false);
    // With bottomUp the extents are stored as absolute values.
    void set(const tagRECT& rect, bool bottomUp = false);
    void setFromPoints(const NPoint& p1, const NPoint& p2);

    int getRight() const;
    int getBottom() const;
    // Fills the cached RECT; the reference stays valid until the next call.
    const tagRECT& getRECT() const;
    NSize getSize() const { return NSize(width, height); }
    void setSize(const NSize& size) { width = size.cx; height = size.cy; }
    NPoint getCenter() const;
    bool contains(const NPoint& point) const;

    void inflate(int d);
    void limitSize(const NSize& size);
    void ensureSize(const NSize& size);
    void fitInside(const NRect& outer, bool shrink);
    void fitAspect(const NRect& outer, int alignment);
    void unionWith(const NRect& other);
    void extendTo(const NPoint& point);

    // bottomUp is not compared.
    bool operator==(const NRect& other) const;
    bool operator!=(const NRect& other) const { return !(*this == other); }

    NString toText(const char* separator) const;
    // Reads x, y, width and height. Missing or non-numeric parts become 0;
    // the result tells whether all four parts were present.
    bool fromText(const char* text, const char* separator);

    int height;
    int x;
    int y;
    int width;
    int bottomUp;

private:
    // Storage for the RECT that getRECT hands out; it is built in place in
    // the .cpp so that this header needs no Windows header.
    alignas(4) mutable unsigned char rectCache[16];
};

#endif
