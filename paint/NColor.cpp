#include "NColor.h"

// An unset colour is black rather than whatever the memory held.
NColor::NColor() : value(0) {}

NColor::NColor(unsigned int value) : value(value) {}

NColor::NColor(unsigned char red, unsigned char green, unsigned char blue)
    : value(static_cast<unsigned int>(blue) << 16 | static_cast<unsigned int>(green) << 8 |
            static_cast<unsigned int>(red))
{
}

NColor::~NColor() {}

const char* NColor::getName() const { return getClassName(); }
const char* NColor::getClassName() const { return "NColor"; }

NColor& NColor::operator=(unsigned int newValue)
{
    value = newValue;
    return *this;
}
