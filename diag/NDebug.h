#ifndef NEK_NDEBUG_H
#define NEK_NDEBUG_H

#include "NString.h"

// NDebug: trace lines for developers, sent to a listener on the local
// machine. Silent while off or unconnected.
class NDebug {
public:
    NDebug();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NDebug();

    void printf(const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));
    void sendLine(const char* text);
    bool ensureConnected();

    int debugPort;
    NString debugHost;
    bool off;
    int connectState;
};

extern NDebug globalDebug;

#endif
