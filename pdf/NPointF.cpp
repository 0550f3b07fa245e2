#include "NPointF.h"
#include "NPoint.h"

NPointF::NPointF(const NPoint& point)
    : x(static_cast<float>(point.x)), y(static_cast<float>(point.y))
{
}

const char* NPointF::getName() const { return getClassName(); }
const char* NPointF::getClassName() const { return "NPointF"; }
