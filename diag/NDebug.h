#ifndef NEK_NDEBUG_H
#define NEK_NDEBUG_H

#include "NNetworkStreamTcp.h"

// NDebug: trace lines for developers, sent over TCP to a listener on the
// local machine. Off after construction; once switched on, the first line
// makes the one connection attempt of the run. Without a listener at that
// moment the channel stays silent for good: it never waits, retries or
// reports anything to the user.
class NDebug : public NNetworkStreamTcp {
public:
    NDebug();
    const char* getName() const override;
    const char* getClassName() const override;
    ~NDebug() override;

    // Results longer than 5000 characters are cut and followed by a warning line.
    void printf(const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));
    // Sends text and "\r\n" in one piece.
    void sendLine(const char* text);
    bool ensureConnected();

    int debugPort;
    NString debugHost;
    bool off;
    // 0 not tried yet, 1 connected, 2 the one attempt failed.
    int connectState;
};

extern NDebug globalDebug;

#endif
