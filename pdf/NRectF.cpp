#include "NRectF.h"
#include "NRect.h"

#include <cstdlib>

// NRect keeps (x, y) as the upper-left corner in both of its axis directions
// and never flips on a negative extent, so only the magnitudes are taken.
NRectF::NRectF(const NRect& rect)
    : x(static_cast<float>(rect.x)), y(static_cast<float>(rect.y)),
      width(static_cast<float>(std::abs(static_cast<long long>(rect.width)))),
      height(static_cast<float>(std::abs(static_cast<long long>(rect.height))))
{
}

const char* NRectF::getName() const { return getClassName(); }
const char* NRectF::getClassName() const { return "NRectF"; }
