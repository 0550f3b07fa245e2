#include "NControlLoaded.h"

#include <commctrl.h>

NControlLoaded::NControlLoaded() : commonControlClasses(0) {}

NControlLoaded::~NControlLoaded() {}

const char* NControlLoaded::getName() const { return getClassName(); }
const char* NControlLoaded::getClassName() const { return "NControlLoaded"; }

void NControlLoaded::onPreCreateWindow()
{
    INITCOMMONCONTROLSEX classes = {};
    classes.dwSize = sizeof classes;
    classes.dwICC = commonControlClasses;
    InitCommonControlsEx(&classes);
}
