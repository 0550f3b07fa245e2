#ifndef NEK_NRECTC_H
#define NEK_NRECTC_H

#include "NRect.h"

// NRectc: a rectangle in a coordinate system whose y axis points up.
// bottomUp is always set and height is kept non-negative.
class NRectc : public NRect {
public:
    NRectc();
    NRectc(int x, int y, int width, int height);
    NRectc(const NRect& other);
    NRectc(const tagRECT& rect);
    const char* getClassName() const override;

    NRectc& operator=(const NRect& other);

    // The flag is accepted for the same call shape as NRect::set; an
    // NRectc stays bottom-up whatever it says.
    void set(int x, int y, int width, int height, bool bottomUp = true);
    void set(const tagRECT& rect);
    void setFromPoints(const NPoint& p1, const NPoint& p2);

    // Both edges count as inside: x .. right and bottom .. y.
    bool contains(const NPoint& point) const;
};

#endif
