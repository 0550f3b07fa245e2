#include "NRectc.h"

#include <climits>

namespace {

int magnitude(int value)
{
    if (value == INT_MIN)
        return INT_MAX;
    return value < 0 ? -value : value;
}

}

NRectc::NRectc()
{
    bottomUp = 1;
}

NRectc::NRectc(int x, int y, int width, int height)
    : NRect(x, y, width, magnitude(height), true)
{
}

NRectc::NRectc(const NRect& other)
    : NRect(other)
{
    bottomUp = 1;
    height = magnitude(height);
}

NRectc::NRectc(const tagRECT& rect)
{
    set(rect);
}

const char* NRectc::getClassName() const { return "NRectc"; }

NRectc& NRectc::operator=(const NRect& other)
{
    NRect::operator=(other);
    // A top-down source keeps its corner; it now counts as the upper edge.
    bottomUp = 1;
    height = magnitude(height);
    return *this;
}

void NRectc::set(int x, int y, int width, int height, bool)
{
    NRect::set(x, y, width, magnitude(height), true);
}

void NRectc::set(const tagRECT& rect)
{
    NRect::set(rect, true);
}

void NRectc::setFromPoints(const NPoint& p1, const NPoint& p2)
{
    NRect::setFromPoints(p1, p2);
    height = magnitude(height);
}

bool NRectc::contains(const NPoint& point) const
{
    return x <= point.x && point.x <= getRight() && getBottom() <= point.y && point.y <= y;
}
