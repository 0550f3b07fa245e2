#ifndef SOCKETTESTHELPERS_H
#define SOCKETTESTHELPERS_H

// Helpers for the network tests. Everything binds to 127.0.0.1 and, unless told otherwise, to a port the
// system picks, so test programs running in parallel never meet on a port.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <thread>

#include "NError.h"
#include "NNetworkStreamTcp.h"

inline std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

// The system's text for a code as the library appends it to its messages.
inline std::string systemText(unsigned int code)
{
    NString text = NError::getSystemMessage(code);
    text.trim();
    return text.isEmpty() ? "Unbekannter Fehler " + std::to_string(code) + "." : str(text);
}

// Waits at most five seconds for `done`; whether it came.
template <class Done>
bool waitUntil(Done done)
{
    for (int waited = 0; waited < 5000; waited += 5, Sleep(5))
        if (done()) return true;
    return false;
}

// The port a socket is bound to; 0 when it is not bound.
inline unsigned short portOf(SOCKET s)
{
    sockaddr_in local = {};
    int length = sizeof local;
    return getsockname(s, reinterpret_cast<sockaddr*>(&local), &length) == 0 ? ntohs(local.sin_port) : 0;
}

// Winsock, started for the whole test run.
inline const bool winsockStarted = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}();

// A port on which nothing listens: bound, so no one else gets it, but not listening, so every connection is
// refused. listen() turns it into a server later.
class RefusingPort {
public:
    RefusingPort() : s(socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in local = {};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local);
    }
    ~RefusingPort() { closesocket(s); }
    unsigned short port() const { return portOf(s); }
    SOCKET handle() const { return s; }

private:
    SOCKET s;
};

// A server stream that, watching, accepts its client on the watching thread and collects what arrives.
// calls() lists the handlers in the order they ran: "A" accept, "R" read, "C" close.
class TestListener : public NNetworkStreamTcp {
public:
    explicit TestListener(unsigned short wantedPort = 0, bool watch = true)
    {
        listening = createServer(nullptr, wantedPort, "127.0.0.1") && (!watch || startWatching());
    }
    ~TestListener() override { stop(); }

    bool ok() const { return listening; }
    unsigned short port() const { return portOf(static_cast<SOCKET>(serverSocket)); }
    Socket socket(bool server) const { return server ? serverSocket : clientSocket; }
    std::string received() const { return locked(data); }
    std::string calls() const { return locked(callLog); }
    bool waitForBytes(size_t bytes) const { return waitUntil([&] { return received().size() >= bytes; }); }
    bool waitForCalls(const std::string& part) const
    {
        return waitUntil([&] { return calls().find(part) != std::string::npos; });
    }
    // The listener goes away: its connection and server socket close.
    void stop()
    {
        close();
        waitUntil([this] { return !isRunning(); });
    }

protected:
    void onAccept() override
    {
        log("A", "");
        acceptClient();
    }
    void onRead() override { log("R", str(read())); }
    void onClose() override { log("C", ""); }

private:
    std::string locked(const std::string& text) const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return text;
    }
    void log(const char* call, const std::string& bytes)
    {
        std::lock_guard<std::mutex> lock(mutex);
        callLog += call;
        data += bytes;
    }

    bool listening = false;
    mutable std::mutex mutex;
    std::string callLog, data;
};

#endif
