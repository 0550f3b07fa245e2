#include "NRect.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

static_assert(sizeof(RECT) == 16 && alignof(RECT) <= 4, "rectCache must hold a RECT");

namespace {

// Edges are computed in 64 bits and stored back clamped to the int range, so
// extreme values read from a text end at the limits instead of wrapping.
int saturate(long long value)
{
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

long long magnitude(int value)
{
    return value < 0 ? -static_cast<long long>(value) : value;
}

struct Span {
    long long low;
    long long high;
};

Span horizontalSpan(const NRect& r)
{
    return Span{r.x, r.x + magnitude(r.width)};
}

Span verticalSpan(const NRect& r)
{
    const long long extent = magnitude(r.height);
    return r.bottomUp ? Span{r.y - extent, r.y} : Span{r.y, r.y + extent};
}

// How far `inner` must move to lie inside `outer`; the edge named first
// wins when inner is larger than outer.
long long shiftInto(Span inner, Span outer, bool highEdgeFirst)
{
    if (highEdgeFirst) {
        if (inner.high > outer.high)
            return outer.high - inner.high;
        if (inner.low < outer.low)
            return outer.low - inner.low;
    } else {
        if (inner.low < outer.low)
            return outer.low - inner.low;
        if (inner.high > outer.high)
            return outer.high - inner.high;
    }
    return 0;
}

}

NRect::NRect()
    : height(0), x(0), y(0), width(0), bottomUp(0), rectCache()
{
}

NRect::NRect(int x, int y, int width, int height, bool bottomUp)
    : height(height), x(x), y(y), width(width), bottomUp(bottomUp), rectCache()
{
}

NRect::NRect(const tagRECT& rect)
    : NRect()
{
    set(rect, false);
}

const char* NRect::getName() const { return getClassName(); }
const char* NRect::getClassName() const { return "NRect"; }

void NRect::set(int x, int y, int width, int height, bool bottomUp)
{
    this->x = x;
    this->y = y;
    this->width = width;
    this->height = height;
    this->bottomUp = bottomUp;
}

void NRect::set(const tagRECT& rect, bool bottomUp)
{
    x = rect.left;
    y = rect.top;
    const long long w = static_cast<long long>(rect.right) - rect.left;
    const long long h = static_cast<long long>(rect.bottom) - rect.top;
    width = saturate(bottomUp ? std::llabs(w) : w);
    height = saturate(bottomUp ? std::llabs(h) : h);
    this->bottomUp = bottomUp;
}

void NRect::setFromPoints(const NPoint& p1, const NPoint& p2)
{
    x = std::min(p1.x, p2.x);
    width = saturate(std::llabs(static_cast<long long>(p1.x) - p2.x));
    const int low = std::min(p1.y, p2.y);
    const int high = std::max(p1.y, p2.y);
    if (bottomUp) {
        y = high;
        height = saturate(static_cast<long long>(low) - high);
    } else {
        y = low;
        height = saturate(static_cast<long long>(high) - low);
    }
}

int NRect::getRight() const
{
    return saturate(horizontalSpan(*this).high);
}

int NRect::getBottom() const
{
    const Span span = verticalSpan(*this);
    return saturate(bottomUp ? span.low : span.high);
}

const tagRECT& NRect::getRECT() const
{
    RECT* rect = new (rectCache) RECT;
    rect->left = x;
    rect->top = y;
    rect->right = getRight();
    rect->bottom = getBottom();
    return *rect;
}

NPoint NRect::getCenter() const
{
    const int cy = bottomUp ? saturate(static_cast<long long>(y) - height / 2)
                            : saturate(static_cast<long long>(y) + height / 2);
    return NPoint(saturate(static_cast<long long>(x) + width / 2), cy);
}

bool NRect::contains(const NPoint& point) const
{
    return x <= point.x && point.x <= getRight() && y <= point.y && point.y <= getBottom();
}

void NRect::inflate(int d)
{
    x = saturate(static_cast<long long>(x) - d);
    y = saturate(bottomUp ? static_cast<long long>(y) + d : static_cast<long long>(y) - d);
    width = saturate(static_cast<long long>(width) + 2LL * d);
    height = saturate(static_cast<long long>(height) + 2LL * d);
}

void NRect::limitSize(const NSize& size)
{
    width = std::min(width, size.cx);
    height = std::min(height, size.cy);
}

void NRect::ensureSize(const NSize& size)
{
    width = std::max(width, size.cx);
    height = std::max(height, size.cy);
}

void NRect::fitInside(const NRect& outer, bool shrink)
{
    if (shrink)
        limitSize(outer.getSize());
    x = saturate(x + shiftInto(horizontalSpan(*this), horizontalSpan(outer), false));
    // The top edge is kept in preference: the low y on screen, the high y
    // when the axis points up.
    y = saturate(y + shiftInto(verticalSpan(*this), verticalSpan(outer), bottomUp != 0));
}

void NRect::fitAspect(const NRect& outer, int alignment)
{
    const long long outerWidth = magnitude(outer.width);
    const long long outerHeight = magnitude(outer.height);
    long long newWidth = magnitude(width);
    long long newHeight = magnitude(height);
    // A zero extent cannot be scaled; the other one alone decides, and with
    // both zero the size stays.
    double factor = 1.0;
    if (newWidth > 0 && newHeight > 0)
        factor = std::min(static_cast<double>(outerWidth) / newWidth,
                          static_cast<double>(outerHeight) / newHeight);
    else if (newWidth > 0)
        factor = static_cast<double>(outerWidth) / newWidth;
    else if (newHeight > 0)
        factor = static_cast<double>(outerHeight) / newHeight;
    newWidth = std::llround(newWidth * factor);
    newHeight = std::llround(newHeight * factor);

    long long left = outer.x;
    const long long freeWidth = outerWidth - newWidth;
    if (alignment & alignRight)
        left += freeWidth;
    else if (alignment & alignCenterX)
        left += freeWidth / 2;

    long long down = 0;
    const long long freeHeight = outerHeight - newHeight;
    if (alignment & alignBottom)
        down = freeHeight;
    else if (alignment & alignCenterY)
        down = freeHeight / 2;

    x = saturate(left);
    y = saturate(bottomUp ? outer.y - down : outer.y + down);
    width = saturate(newWidth);
    height = saturate(newHeight);
}

void NRect::unionWith(const NRect& other)
{
    const Span h1 = horizontalSpan(*this);
    const Span h2 = horizontalSpan(other);
    const Span v1 = verticalSpan(*this);
    const Span v2 = verticalSpan(other);
    const long long left = std::min(h1.low, h2.low);
    const long long right = std::max(h1.high, h2.high);
    const long long low = std::min(v1.low, v2.low);
    const long long high = std::max(v1.high, v2.high);
    x = saturate(left);
    width = saturate(right - left);
    y = saturate(bottomUp ? high : low);
    height = saturate(high - low);
}

void NRect::extendTo(const NPoint& point)
{
    unionWith(NRect(point.x, point.y, 0, 0, bottomUp != 0));
}

bool NRect::operator==(const NRect& other) const
{
    return x == other.x && y == other.y && width == other.width && height == other.height;
}

NString NRect::toText(const char* separator) const
{
    NString text;
    text.format("%d%s%d%s%d%s%d", x, separator ? separator : "", y,
                separator ? separator : "", width, separator ? separator : "", height);
    return text;
}

bool NRect::fromText(const char* text, const char* separator)
{
    NString rest(text);
    int* const fields[] = {&x, &y, &width, &height};
    bool complete = true;
    for (int* field : fields) {
        const NString token = rest.cutToken(separator);
        complete = complete && !token.isEmpty();
        *field = token.toInt();
    }
    return complete;
}
