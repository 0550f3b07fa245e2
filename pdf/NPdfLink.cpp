#include "NPdfLink.h"

const char* NPdfLink::getName() const { return getClassName(); }
const char* NPdfLink::getClassName() const { return "NPdfLink"; }
