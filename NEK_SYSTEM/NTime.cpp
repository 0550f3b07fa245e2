#include "NTime.h"

#include <cstring>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <mmsystem.h>

namespace {

// Conversions the runtime's strftime knows; it stops the program on others.
bool isKnownConversion(char c)
{
    return c != 0 && strchr("aAbBcdHIjmMpSUwWxXyYzZ%", c) != nullptr;
}

}  // namespace

NTime::NTime() : seconds(0), local()
{
    setNow();
}

NTime::NTime(time_t newSeconds) : seconds(0), local()
{
    set(newSeconds);
}

NTime::NTime(const NTime& other) : seconds(0), local()
{
    set(other.seconds);
}

NTime& NTime::operator=(const NTime& other)
{
    set(other.seconds);
    return *this;
}

NTime::~NTime() {}

const char* NTime::getName() const { return getClassName(); }
const char* NTime::getClassName() const { return "NTime"; }

void NTime::setNow()
{
    set(time(nullptr));
}

void NTime::set(time_t newSeconds)
{
    seconds = newSeconds;
    // localtime's result is shared by the whole runtime: copy it at once.
    const struct tm* shared = localtime(&seconds);
    if (shared)
        local = *shared;
    else
        memset(&local, 0, sizeof local);
}

NString NTime::format(const char* pattern) const
{
    // Day 0 only comes from a time localtime refused.
    if (!pattern || local.tm_mday == 0)
        return NString();
    // Unknown conversions are printed as written instead of reaching strftime.
    NString safe;
    for (const char* p = pattern; *p; ++p) {
        if (*p != '%') {
            safe += *p;
            continue;
        }
        const char next = p[1] == '#' ? p[2] : p[1];
        if (isKnownConversion(next)) {
            safe += '%';
            if (p[1] == '#')
                safe += *++p;
            safe += *++p;
        } else {
            safe += "%%";
        }
    }
    char buffer[1000];
    const size_t length = strftime(buffer, sizeof buffer, safe, &local);
    return NString(buffer, static_cast<int>(length));
}

NString NTime::getDate() const
{
    return format("%d.%m.%Y");
}

NString NTime::getTime() const
{
    return format("%H:%M:%S");
}

unsigned int NTime::getTickCount()
{
    return timeGetTime();
}
