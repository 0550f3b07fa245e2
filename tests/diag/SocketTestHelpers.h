#ifndef SOCKETTESTHELPERS_H
#define SOCKETTESTHELPERS_H

// Small Winsock helpers for the network tests. Everything binds to 127.0.0.1
// and, unless told otherwise, to a port the system picks, so test programs
// running in parallel never meet on a port.
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "NError.h"
#include "NString.h"

inline std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

// The system's text for a code as the library appends it to its messages.
inline std::string systemText(unsigned int code)
{
    NString text = NError::getSystemMessage(code);
    text.trim();
    if (text.isEmpty())
        return "Unbekannter Fehler " + std::to_string(code) + ".";
    return str(text);
}

// Keeps Winsock started for the helper's lifetime.
class WinsockUser {
public:
    WinsockUser()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockUser() { WSACleanup(); }
};

// A socket bound to 127.0.0.1 (port 0: the system picks one).
inline SOCKET boundSocket(unsigned short port, unsigned short* actualPort)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    if (s == INVALID_SOCKET)
        return s;
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    int length = sizeof local;
    getsockname(s, reinterpret_cast<sockaddr*>(&local), &length);
    if (actualPort)
        *actualPort = ntohs(local.sin_port);
    return s;
}

// True when a connection waits on the listening socket within `ms`.
inline bool connectionPending(SOCKET listening, int ms)
{
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(listening, &readable);
    timeval wait = {ms / 1000, (ms % 1000) * 1000};
    return select(0, &readable, nullptr, nullptr, &wait) == 1;
}

// A port on which nothing listens: bound, so no one else gets it, but not
// listening, so every connection is refused. listen() turns it into a
// server later.
class RefusingPort : WinsockUser {
public:
    RefusingPort() : s(boundSocket(0, &number)) {}
    ~RefusingPort()
    {
        if (s != INVALID_SOCKET)
            closesocket(s);
    }
    bool ok() const { return s != INVALID_SOCKET; }
    unsigned short port() const { return number; }
    SOCKET handle() const { return s; }
    bool listen() { return ::listen(s, 5) == 0; }

private:
    unsigned short number = 0;
    SOCKET s;
};

// A line listener: accepts any number of clients on its own thread and
// collects everything they send, in arrival order per client.
class TestListener : WinsockUser {
public:
    explicit TestListener(unsigned short wantedPort = 0) : server(boundSocket(wantedPort, &number))
    {
        if (server == INVALID_SOCKET || ::listen(server, 5) != 0)
            return;
        listening = true;
        worker = std::thread([this] { run(); });
    }
    ~TestListener() { stop(); }

    bool ok() const { return listening; }
    unsigned short port() const { return number; }
    int connections() const { return accepted.load(); }
    std::string received() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return data;
    }
    // Waits until at least `bytes` bytes came (at most a few seconds).
    bool waitForBytes(size_t bytes, int ms = 5000) const
    {
        for (int waited = 0; waited < ms; waited += 5) {
            if (received().size() >= bytes)
                return true;
            Sleep(5);
        }
        return received().size() >= bytes;
    }
    bool waitForConnections(int count, int ms = 5000) const
    {
        for (int waited = 0; waited < ms && connections() < count; waited += 5)
            Sleep(5);
        return connections() >= count;
    }
    // The listener goes away: every connection and the server socket close.
    void stop()
    {
        quit = true;
        if (worker.joinable())
            worker.join();
        for (SOCKET c : clients)
            closesocket(c);
        clients.clear();
        if (server != INVALID_SOCKET)
            closesocket(server);
        server = INVALID_SOCKET;
    }

private:
    void run()
    {
        while (!quit) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(server, &readable);
            for (SOCKET c : clients)
                FD_SET(c, &readable);
            timeval wait = {0, 20000};
            if (select(0, &readable, nullptr, nullptr, &wait) <= 0)
                continue;
            if (FD_ISSET(server, &readable)) {
                SOCKET c = accept(server, nullptr, nullptr);
                if (c != INVALID_SOCKET) {
                    clients.push_back(c);
                    ++accepted;
                }
            }
            for (size_t i = 0; i < clients.size(); ++i) {
                if (!FD_ISSET(clients[i], &readable))
                    continue;
                char block[8192];
                int n = recv(clients[i], block, sizeof block, 0);
                if (n > 0) {
                    std::lock_guard<std::mutex> lock(mutex);
                    data.append(block, n);
                } else {
                    closesocket(clients[i]);
                    clients.erase(clients.begin() + static_cast<std::ptrdiff_t>(i));
                    break;
                }
            }
        }
    }

    unsigned short number = 0;
    SOCKET server;
    std::vector<SOCKET> clients;
    std::thread worker;
    std::atomic<bool> quit{false};
    std::atomic<int> accepted{0};
    bool listening = false;
    mutable std::mutex mutex;
    std::string data;
};

#endif
