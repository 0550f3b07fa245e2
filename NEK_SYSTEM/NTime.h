#ifndef NEK_NTIME_H
#define NEK_NTIME_H

#include <ctime>

#include "NString.h"

// NTime: a calendar time (seconds since 1 January 1970 UTC) with its local
// broken-down form, formatted as German date and time texts.
class NTime {
public:
    NTime();
    explicit NTime(time_t seconds);
    NTime(const NTime& other);
    NTime& operator=(const NTime& other);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NTime();

    void setNow();
    void set(time_t newSeconds);
    time_t getSeconds() const { return seconds; }

    // strftime of the local time; empty when the time has no local form
    // (before 1970 or far in the future).
    NString format(const char* pattern) const;
    NString getDate() const;
    NString getTime() const;

    static unsigned int getTickCount();

private:
    time_t seconds;
    struct tm local;
};

#endif
