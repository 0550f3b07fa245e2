#ifndef NEK_NNETWORKSTREAMTCP_H
#define NEK_NNETWORKSTREAMTCP_H

#include "NNetworkStream.h"

// NNetworkStreamTcp: the TCP transport of NNetworkStream (name resolution,
// connect, bind and listen, send and receive). Sockets are blocking unless a
// notification window or the watching thread is in use.
class NNetworkStreamTcp : public NNetworkStream {
public:
    NNetworkStreamTcp();
    const char* getName() const override;
    const char* getClassName() const override;
    ~NNetworkStreamTcp() override;

protected:
    bool connectSocket() override;
    bool listenSocket() override;
    // Receives in chunks of up to 1000 bytes as long as a chunk is full;
    // each chunk counts up to its first zero byte.
    NString readText() override;
    // One send; a partial send is not repeated.
    bool writeText(const NString& text) override;
    bool writeData(const NMem& buffer) override;
    bool readData(NMem& buffer) override;

private:
    // Records a failing step with the system's text for `code` and closes.
    void failStep(const char* step, unsigned int code);
    bool startWinsock();
    bool sendBytes(const char* bytes, int count);
};

#endif
