#include "NRange.h"
#include "NString.h"

const char* NRange::getName() const { return getClassName(); }
const char* NRange::getClassName() const { return "NRange"; }

bool NRange::fromText(const char* text, const char* separator)
{
    NString rest(text);
    const bool hasSeparator = separator && *separator && rest.find(separator) >= 0;
    start = rest.cutToken(separator).toInt();
    // Everything behind the first separator, further separators included.
    end = rest.toInt();
    return hasSeparator;
}
