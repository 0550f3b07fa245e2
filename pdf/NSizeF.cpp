#include "NSizeF.h"
#include "NSize.h"

NSizeF::NSizeF(const NSize& size)
    : cx(static_cast<float>(size.cx)), cy(static_cast<float>(size.cy))
{
}

const char* NSizeF::getName() const { return getClassName(); }
const char* NSizeF::getClassName() const { return "NSizeF"; }
