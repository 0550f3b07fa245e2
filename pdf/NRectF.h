#ifndef NEK_NRECTF_H
#define NEK_NRECTF_H

#include "NPointF.h"
#include "NSizeF.h"

class NRect;

// NRectF: a rectangle in floating-point units; (x, y) is its upper-left corner
// in a y-down coordinate system.
class NRectF {
public:
    NRectF() : x(0), y(0), width(0), height(0) {}
    NRectF(float x, float y, float width, float height) : x(x), y(y), width(width), height(height) {}
    NRectF(const NRect& rect);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NRectF() {}

    bool operator==(const NRectF& other) const
    {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
    bool operator!=(const NRectF& other) const { return !(*this == other); }
    float getRight() const { return x + width; }
    float getBottom() const { return y + height; }
    NSizeF getSize() const { return NSizeF(width, height); }

    float x;
    float y;
    float width;
    float height;
};

#endif
