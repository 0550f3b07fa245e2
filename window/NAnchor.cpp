#include "NAnchor.h"

NAnchor::NAnchor()
    : flags(0), xFactor(1.0f), yFactor(1.0f), widthFactor(1.0f), heightFactor(1.0f)
{
}

NAnchor::~NAnchor() {}

const char* NAnchor::getName() const { return getClassName(); }
const char* NAnchor::getClassName() const { return "NAnchor"; }

void NAnchor::classify(const NRect& parentRect, const NRect& controlRect)
{
    if (!(flags & automatic))
        return;
    flags &= ~static_cast<unsigned int>(edgeFlags);
    const int w = parentRect.width;
    const int h = parentRect.height;
    const int dx = static_cast<int>(0.2 * w);
    const int dy = static_cast<int>(0.2 * h);
    if (controlRect.x < dx)
        flags |= nearLeft;
    if (controlRect.y < dy)
        flags |= nearTop;
    if (w - dx < controlRect.x + controlRect.width)
        flags |= nearRight;
    if (h - dy < controlRect.y + controlRect.height)
        flags |= nearBottom;
}

void NAnchor::takeReference(const NRect& controlRect, const NSize& parentSize)
{
    if (flags & referenceTaken)
        return;
    flags |= referenceTaken;
    referenceRect = controlRect;
    referenceParentSize = parentSize;
}

bool NAnchor::apply(NRect& rect, const NSize& parentSize)
{
    if (!(flags & referenceTaken)) {
        takeReference(rect, parentSize);
        return false;
    }
    if (!(flags & edgeFlags))
        return false;
    const int dW = parentSize.cx - referenceParentSize.cx;
    const int dH = parentSize.cy - referenceParentSize.cy;
    if ((flags & nearRight) && (flags & nearLeft))
        rect.width = referenceRect.width + static_cast<int>(widthFactor * dW);
    else if (flags & nearRight)
        rect.x = referenceRect.x + static_cast<int>(xFactor * dW);
    if ((flags & nearBottom) && (flags & nearTop))
        rect.height = referenceRect.height + static_cast<int>(heightFactor * dH);
    else if (flags & nearBottom)
        rect.y = static_cast<int>(yFactor * dH + referenceRect.y);
    return true;
}
