#include "SocketTestHelpers.h"

#include <gtest/gtest.h>

#include "NMem.h"
#include "NNetworkStreamTcp.h"

namespace {

// Opens the protected parts the tests look at and records the handler calls
// of the watching thread.
class TestStream : public NNetworkStreamTcp {
public:
    ~TestStream() override
    {
        close();
        for (int i = 0; i < 500 && isRunning(); ++i)
            Sleep(10);
    }

    unsigned short listeningPort() const
    {
        sockaddr_in local = {};
        int length = sizeof local;
        getsockname(static_cast<SOCKET>(serverSocket), reinterpret_cast<sockaddr*>(&local), &length);
        return ntohs(local.sin_port);
    }
    SOCKET client() const { return static_cast<SOCKET>(clientSocket); }
    SOCKET server() const { return static_cast<SOCKET>(serverSocket); }
    bool watching() const { return isRunning(); }

    std::string calls() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return callLog;
    }
    std::string text() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return readLog;
    }
    bool waitForCalls(const std::string& part, int ms = 5000) const
    {
        for (int waited = 0; waited < ms; waited += 5) {
            if (calls().find(part) != std::string::npos)
                return true;
            Sleep(5);
        }
        return false;
    }

protected:
    void onRead() override
    {
        std::string got = str(read());
        std::lock_guard<std::mutex> lock(mutex);
        callLog += "R";
        readLog += got;
    }
    void onWrite() override { log("W"); }
    void onAccept() override
    {
        log("A");
        acceptClient();
    }
    void onClose() override { log("C"); }

private:
    void log(const char* what)
    {
        std::lock_guard<std::mutex> lock(mutex);
        callLog += what;
    }
    mutable std::mutex mutex;
    std::string callLog;
    std::string readLog;
};

// A raw peer for a client stream: listens, then accepts the stream's connection.
class RawServer : WinsockUser {
public:
    RawServer() : listening(boundSocket(0, &number)) { ::listen(listening, 5); }
    ~RawServer()
    {
        if (peer != INVALID_SOCKET)
            closesocket(peer);
        closesocket(listening);
    }
    unsigned short port() const { return number; }
    bool acceptPeer()
    {
        peer = accept(listening, nullptr, nullptr);
        return peer != INVALID_SOCKET;
    }
    void sendRaw(const std::string& bytes)
    {
        send(peer, bytes.data(), static_cast<int>(bytes.size()), 0);
    }
    std::string receive(size_t bytes)
    {
        std::string got;
        char block[4096];
        while (got.size() < bytes) {
            int n = recv(peer, block, sizeof block, 0);
            if (n <= 0)
                break;
            got.append(block, n);
        }
        return got;
    }

    SOCKET peer = INVALID_SOCKET;

private:
    unsigned short number = 0;
    SOCKET listening;
};

const char* const clientPrefix = "Fehler beim Erzeugen eines TCP-Clients\r\n";

}  // namespace

TEST(NNetworkStream, BaseClassHasNoTransport)
{
    NNetworkStream stream;
    EXPECT_STREQ(stream.getClassName(), "NNetworkStream");
    EXPECT_FALSE(stream.createClient(nullptr, 1, "127.0.0.1"));
    EXPECT_EQ(str(stream.getStatusText()), "Fehler...");
    EXPECT_EQ(str(stream.getErrorText()), clientPrefix);
    EXPECT_TRUE(stream.read().isEmpty());
    EXPECT_FALSE(stream.write("x"));
    EXPECT_FALSE(stream.startWatching());
}

TEST(NNetworkStream, ClientAndServerRoundTrip)
{
    TestStream server;
    EXPECT_STREQ(server.getClassName(), "NNetworkStreamTcp");
    ASSERT_TRUE(server.createServer(nullptr, 0, "127.0.0.1")) << str(server.getErrorText());
    EXPECT_EQ(str(server.getStatusText()), "Server gestartet.");
    EXPECT_FALSE(server.isConnected());

    TestStream client;
    ASSERT_TRUE(client.createClient(nullptr, server.listeningPort(), "127.0.0.1"))
        << str(client.getErrorText());
    EXPECT_EQ(str(client.getStatusText()), "Client verbunden.");
    EXPECT_TRUE(client.isConnected());

    server.acceptClient();
    EXPECT_EQ(str(server.getStatusText()), "Client akzeptiert.");
    EXPECT_TRUE(server.isConnected());

    EXPECT_TRUE(client.write("Hallo Server"));
    EXPECT_EQ(str(server.read()), "Hallo Server");
    EXPECT_TRUE(server.write("Hallo Client"));
    EXPECT_EQ(str(client.read()), "Hallo Client");

    // Bytes keep their zeros and come back as they were sent.
    NMem sent(0);
    const unsigned char bytes[] = {1, 0, 2, 0, 0, 255};
    sent.append(bytes, sizeof bytes);
    EXPECT_TRUE(client.writeMem(sent));
    // What the buffer held before is replaced.
    NMem got;
    EXPECT_TRUE(server.readMem(got));
    ASSERT_EQ(got.getSize(), 6) << str(got.toByteList());
    EXPECT_EQ(memcmp(got.getPointer(), bytes, sizeof bytes), 0);

    client.close();
    EXPECT_EQ(str(client.getStatusText()), "Verbindung beendet.");
    EXPECT_FALSE(client.isConnected());
    EXPECT_EQ(client.client(), 0u);
    // Not connected: nothing is read, at once.
    EXPECT_TRUE(client.read().isEmpty());
    EXPECT_FALSE(client.readMem(got));
    EXPECT_EQ(got.getSize(), 0);

    server.close();
    EXPECT_EQ(server.server(), 0u);
    EXPECT_FALSE(server.isConnected());

    // Started again, a server listens on its new port only.
    ASSERT_TRUE(server.createServer(nullptr, 0, "127.0.0.1"));
    const unsigned short first = server.listeningPort();
    ASSERT_TRUE(server.createServer(nullptr, 0, "127.0.0.1"));
    NNetworkStreamTcp late;
    EXPECT_FALSE(late.createClient(nullptr, first, "127.0.0.1"));
    EXPECT_TRUE(late.createClient(nullptr, server.listeningPort(), "127.0.0.1"));
}

TEST(NNetworkStream, SecondCreateIsRefusedAndKeepsTheConnection)
{
    RawServer peer;
    NNetworkStreamTcp client;
    ASSERT_TRUE(client.createClient(nullptr, peer.port(), "127.0.0.1"));
    ASSERT_TRUE(peer.acceptPeer());

    EXPECT_FALSE(client.createClient(nullptr, peer.port(), "127.0.0.1"));
    EXPECT_EQ(str(client.getErrorText()),
              "NNetworkStream::createClient(..) : Fehler, Stream ist bereits verbunden.");
    EXPECT_EQ(str(client.getStatusText()), "Fehler...");
    EXPECT_FALSE(client.createServer(nullptr, 0, "127.0.0.1"));
    EXPECT_EQ(str(client.getErrorText()),
              "NNetworkStream::createServer(..) : Fehler, Stream ist bereits verbunden.");

    EXPECT_TRUE(client.isConnected());
    EXPECT_TRUE(client.write("noch da"));
    EXPECT_EQ(peer.receive(7), "noch da");

    TestStream server;
    ASSERT_TRUE(server.createServer(nullptr, 0, "127.0.0.1"));
    EXPECT_FALSE(server.createClient(nullptr, peer.port(), "127.0.0.1"));
    EXPECT_EQ(str(server.getErrorText()),
              "NNetworkStream::createClient(..) : Fehler, Stream ist bereits als Server gestartet.");
    EXPECT_EQ(str(server.getStatusText()), "Fehler...");
    EXPECT_NE(server.server(), 0u);
}

TEST(NNetworkStream, FailuresCarryGermanTextAndSystemText)
{
    NNetworkStreamTcp stream;
    const std::string name = "nichtvorhanden.invalid";
    EXPECT_FALSE(stream.createClient(nullptr, 5, name.c_str()));
    EXPECT_EQ(str(stream.getStatusText()), "Fehler...");
    EXPECT_FALSE(stream.isConnected());
    const std::string resolveText =
        std::string(clientPrefix) + "Kann Server-Name/Adresse '" + name + "' nicht aufl\xF6sen.\r\n";
    const std::string error = str(stream.getErrorText());
    ASSERT_EQ(error.substr(0, resolveText.size()), resolveText);
    // The system's text for one of the codes a failed lookup reports.
    bool known = false;
    for (unsigned int code : {WSAHOST_NOT_FOUND, WSANO_DATA, WSATRY_AGAIN, WSANO_RECOVERY})
        known = known || error.substr(resolveText.size()) == systemText(code);
    EXPECT_TRUE(known) << error;

    RefusingPort refusing;
    ASSERT_TRUE(refusing.ok());
    EXPECT_FALSE(stream.createClient(nullptr, refusing.port(), "127.0.0.1"));
    EXPECT_EQ(str(stream.getErrorText()),
              std::string(clientPrefix) + "Fehler beim Verbinden.\r\n" + systemText(WSAECONNREFUSED));
    EXPECT_FALSE(stream.isConnected());

    // The port is taken by the refusing socket.
    NNetworkStreamTcp server;
    EXPECT_FALSE(server.createServer(nullptr, refusing.port(), "127.0.0.1"));
    EXPECT_EQ(str(server.getErrorText()),
              "Fehler beim Erzeugen eines TCP-Servers\r\nbind(..) schlug fehl.\r\n" +
                  systemText(WSAEADDRINUSE));
    EXPECT_EQ(str(server.getStatusText()), "Fehler...");

    // Nothing to accept from.
    NNetworkStreamTcp idle;
    WinsockUser keepWinsock;
    idle.acceptClient();
    EXPECT_EQ(str(idle.getErrorText()), "accept() schlug fehl.");
    EXPECT_EQ(str(idle.getStatusText()), "Fehler...");
    EXPECT_FALSE(idle.isConnected());
}

TEST(NNetworkStream, ReadTextFollowsFullChunksAndStopsAtZeroBytes)
{
    RawServer peer;
    NNetworkStreamTcp client;
    ASSERT_TRUE(client.createClient(nullptr, peer.port(), "127.0.0.1"));
    ASSERT_TRUE(peer.acceptPeer());

    // A chunk is taken as a C string: what follows a zero byte is lost.
    peer.sendRaw(std::string("ab\0cd", 5));
    EXPECT_EQ(str(client.read()), "ab");

    // Exactly 1000 bytes: the stream asks again and waits for the rest.
    std::string thousand(1000, 'x');
    peer.sendRaw(thousand);
    std::thread later([&peer] {
        Sleep(300);
        peer.sendRaw("Rest");
    });
    std::string got = str(client.read());
    later.join();
    EXPECT_EQ(got, thousand + "Rest");

    // 1500 bytes arrive as a full chunk and a short one.
    std::string longer(1000, 'y');
    longer += std::string(500, 'z');
    peer.sendRaw(longer);
    Sleep(100);
    EXPECT_EQ(str(client.read()), longer);
}

TEST(NNetworkStream, WatchingThreadCallsHandlers)
{
    TestStream idle;
    EXPECT_FALSE(idle.startWatching());

    TestStream server;
    ASSERT_TRUE(server.createServer(nullptr, 0, "127.0.0.1"));
    ASSERT_TRUE(server.startWatching());
    EXPECT_FALSE(server.startWatching());

    // The connection is accepted by onAccept on the watching thread.
    NNetworkStreamTcp client;
    ASSERT_TRUE(client.createClient(nullptr, server.listeningPort(), "127.0.0.1"));
    ASSERT_TRUE(server.waitForCalls("A"));
    for (int i = 0; i < 500 && !server.isConnected(); ++i)
        Sleep(5);
    ASSERT_TRUE(server.isConnected());

    EXPECT_TRUE(client.write("erste Nachricht"));
    ASSERT_TRUE(server.waitForCalls("R"));
    EXPECT_EQ(server.text(), "erste Nachricht");

    client.close();
    ASSERT_TRUE(server.waitForCalls("C"));
    const std::string calls = server.calls();
    EXPECT_EQ(calls.front(), 'A');
    EXPECT_LT(calls.find('R'), calls.find('C'));

    // Without sockets the loop ends and the thread finishes.
    server.close();
    for (int i = 0; i < 300 && server.watching(); ++i)
        Sleep(10);
    EXPECT_FALSE(server.watching());
}

namespace {

struct Notification {
    WPARAM socket;
    LPARAM event;
};
std::vector<Notification> notifications;

LRESULT CALLBACK notifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == 0x4402)
        notifications.push_back({wParam, lParam});
    return DefWindowProcA(window, message, wParam, lParam);
}

bool pumpUntil(long event, int ms = 5000)
{
    for (int waited = 0; waited < ms; waited += 5) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        for (const Notification& n : notifications)
            if (WSAGETSELECTEVENT(n.event) == event)
                return true;
        Sleep(5);
    }
    return false;
}

}  // namespace

TEST(NNetworkStream, NotificationWindowGetsSocketMessages)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = notifyProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "NetworkNotifyTest";
    RegisterClassA(&wc);
    HWND window = CreateWindowA("NetworkNotifyTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    notifications.clear();

    TestStream server;
    ASSERT_TRUE(server.createServer(window, 0, "127.0.0.1"));
    NNetworkStreamTcp client;
    ASSERT_TRUE(client.createClient(nullptr, server.listeningPort(), "127.0.0.1"));
    ASSERT_TRUE(pumpUntil(FD_ACCEPT));
    EXPECT_EQ(notifications.back().socket, static_cast<WPARAM>(server.server()));

    RawServer peer;
    TestStream notified;
    ASSERT_TRUE(notified.createClient(window, peer.port(), "127.0.0.1"));
    ASSERT_TRUE(peer.acceptPeer());
    notifications.clear();
    peer.sendRaw("Daten");
    ASSERT_TRUE(pumpUntil(FD_READ));
    EXPECT_EQ(notifications.back().socket, static_cast<WPARAM>(notified.client()));
    EXPECT_EQ(str(notified.read()), "Daten");

    notified.close();
    server.close();
    DestroyWindow(window);
}
