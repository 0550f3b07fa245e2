#include "NPoint.h"
#include "NString.h"

#include <climits>

namespace {

// Sums beyond the int range stick at its limits instead of wrapping.
int saturate(long long value)
{
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

}

const char* NPoint::getName() const { return getClassName(); }
const char* NPoint::getClassName() const { return "NPoint"; }

NPoint NPoint::operator+(const NPoint& other) const
{
    return NPoint(saturate(static_cast<long long>(x) + other.x),
                  saturate(static_cast<long long>(y) + other.y));
}

NPoint NPoint::operator-(const NPoint& other) const
{
    return NPoint(saturate(static_cast<long long>(x) - other.x),
                  saturate(static_cast<long long>(y) - other.y));
}

bool NPoint::fromText(const char* text, const char* separator)
{
    NString rest(text);
    const NString first = rest.cutToken(separator);
    const NString second = rest.cutToken(separator);
    x = first.toInt();
    y = second.toInt();
    return !first.isEmpty() && !second.isEmpty();
}
