#include "NDebug.h"
#include "NGlobalOrder.h"

NDebug globalDebug NEK_INIT_ORDER(NEK_ORDER_DEBUG);

NDebug::NDebug() : debugPort(5001), debugHost("localhost"), off(true), connectState(0) {}

const char* NDebug::getName() const { return getClassName(); }
const char* NDebug::getClassName() const { return "NDebug"; }
NDebug::~NDebug() {}

// No transport yet: the channel never connects, so every trace returns at once.
bool NDebug::ensureConnected() { return connectState == 1; }

void NDebug::sendLine(const char* text)
{
    (void)text;
    if (off || !ensureConnected())
        return;
}

void NDebug::printf(const char* format, ...)
{
    if (off || !ensureConnected())
        return;
    (void)format;
}
