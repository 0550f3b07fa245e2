#include "NDebug.h"

#include <cstdarg>
#include <cstdio>

#include "NGlobalOrder.h"

NDebug globalDebug NEK_INIT_ORDER(NEK_ORDER_DEBUG);

namespace {

const int lineLimit = 5000;

}  // namespace

NDebug::NDebug() : debugPort(5001), debugHost("localhost"), off(true), connectState(0) {}

NDebug::~NDebug() {}

const char* NDebug::getName() const { return getClassName(); }
const char* NDebug::getClassName() const { return "NDebug"; }

bool NDebug::ensureConnected()
{
    if (connectState == 0)
        connectState = createClient(nullptr, static_cast<unsigned short>(debugPort), debugHost) ? 1 : 2;
    return connectState == 1;
}

void NDebug::sendLine(const char* text)
{
    if (off || !ensureConnected())
        return;
    NString line(text ? text : "");
    line += "\r\n";
    // A failed send is kept in the stream's texts only; the next line tries again.
    writeText(line);
}

void NDebug::printf(const char* format, ...)
{
    if (off || !ensureConnected() || !format)
        return;
    char area[lineLimit + 1];
    va_list args;
    va_start(args, format);
    int written = _vsnprintf(area, lineLimit, format, args);
    va_end(args);
    area[lineLimit] = '\0';
    sendLine(area);
    if (written < 0 || written > lineLimit)
        sendLine("!!!!!!!! debug.printf(): Ergebnis-String wurde gr\xF6\xDF"
                 "er als 5000 Zeichen -> wurden abgeschnitten !!!!!!!!!!");
}
