#ifndef NEK_NNETWORKSTREAM_H
#define NEK_NNETWORKSTREAM_H

#include <cstdint>

#include "NString.h"
#include "NThread.h"

class NMem;

// NNetworkStream: a byte stream over one socket, either a client connected
// to a server or a server that accepts one client. Nothing is thrown or
// shown: every operation leaves its outcome in the status and error texts.
// The transport itself comes from a derived class (NNetworkStreamTcp).
//
// The watching thread (startWatching) calls onRead, onWrite, onAccept and
// onClose on its own thread; the stream holds no lock, so the owner must not
// use the stream at the same time without locking of its own.
class NNetworkStream : public NThread {
public:
    // Socket handles as Winsock gives them (SOCKET), 0 for none.
    typedef uintptr_t Socket;

    NNetworkStream();
    const char* getName() const override;
    const char* getClassName() const override;
    ~NNetworkStream() override;

    // notifyWindow (an HWND or null) receives the socket's events as message
    // 0x4402 (WSAAsyncSelect).
    bool createClient(void* notifyWindow, unsigned short port, const NString& host);
    // host: the local dotted address to bind; any other text binds to all.
    bool createServer(void* notifyWindow, unsigned short port, const NString& host);
    void acceptClient();
    bool startWatching();
    virtual void close();

    bool isConnected() const { return connected; }
    NString read() { return readText(); }
    bool write(const NString& text) { return writeText(text); }
    bool readMem(NMem& buffer) { return readData(buffer); }
    bool writeMem(const NMem& buffer) { return writeData(buffer); }

    const NString& getErrorText() const { return errorText; }
    const NString& getStatusText() const { return statusText; }

protected:
    void onWorkTread() override;
    void onWorkEnd() override;

    virtual bool connectSocket();
    virtual bool listenSocket();
    virtual NString readText();
    virtual bool writeText(const NString& text);
    virtual void onRead();
    virtual void onWrite();
    virtual void onAccept();
    virtual void onClose();
    virtual bool writeData(const NMem& buffer);
    // Replaces the buffer's content by what was received.
    virtual bool readData(NMem& buffer);

    // Sets both texts for a failed operation.
    void fail(const NString& error);

    NString errorText;
    Socket serverSocket;
    Socket clientSocket;
    int socketType;
    NString statusText;
    bool connected;
    NString host;
    bool isServer;
    void* notifyWindow;
    unsigned short port;
    void* event;

private:
    NNetworkStream(const NNetworkStream&) = delete;
    NNetworkStream& operator=(const NNetworkStream&) = delete;
};

#endif
