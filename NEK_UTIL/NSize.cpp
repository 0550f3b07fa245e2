#include "NSize.h"
#include "NString.h"

const char* NSize::getName() const { return getClassName(); }
const char* NSize::getClassName() const { return "NSize"; }

bool NSize::fromText(const char* text, const char* separator)
{
    NString rest(text);
    const NString first = rest.cutToken(separator);
    const NString second = rest.cutToken(separator);
    cx = first.toInt();
    cy = second.toInt();
    return !first.isEmpty() && !second.isEmpty();
}
