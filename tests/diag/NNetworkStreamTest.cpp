#include "SocketTestHelpers.h"

#include <gtest/gtest.h>

#include "NMem.h"

const std::string clientPrefix = "Fehler beim Erzeugen eines TCP-Clients\r\n";

TEST(NNetworkStream, ClientAndServerRoundTripAndFailuresCarryGermanTextAndSystemText)
{
    NNetworkStream base;  // no transport of its own
    EXPECT_FALSE(base.createClient(nullptr, 1, "127.0.0.1"));
    EXPECT_EQ(str(base.getErrorText()), clientPrefix);
    EXPECT_FALSE(base.write("x") || base.startWatching());

    TestListener server(0, false);
    ASSERT_TRUE(server.ok()) << str(server.getErrorText());
    EXPECT_EQ(str(server.getStatusText()), "Server gestartet.");
    NNetworkStreamTcp client;
    ASSERT_TRUE(client.createClient(nullptr, server.port(), "127.0.0.1"));
    server.acceptClient();
    EXPECT_EQ(str(client.getStatusText()) + "|" + str(server.getStatusText()), "Client verbunden.|Client akzeptiert.");
    EXPECT_TRUE(client.write("Hallo Server") && server.write("Hallo Client"));
    EXPECT_EQ(str(server.read()) + "|" + str(client.read()), "Hallo Server|Hallo Client");
    // Bytes keep their zeros; what the buffer held before is replaced.
    NMem sent(0), got(9);
    sent.append("\x01\0\x02\0\0\xFF", 6);
    EXPECT_TRUE(client.writeMem(sent) && server.readMem(got));
    EXPECT_EQ(str(got.toByteList()), "0x01, 0x00, 0x02, 0x00, 0x00, 0xFF");

    // A second create is refused and keeps the connection.
    EXPECT_FALSE(client.createClient(nullptr, server.port(), "127.0.0.1"));
    EXPECT_EQ(str(client.getErrorText()) + "|" + str(client.getStatusText()),
              "NNetworkStream::createClient(..) : Fehler, Stream ist bereits verbunden.|Fehler...");
    EXPECT_FALSE(client.createServer(nullptr, 0, "127.0.0.1"));
    EXPECT_EQ(str(client.getErrorText()), "NNetworkStream::createServer(..) : Fehler, Stream ist bereits verbunden.");
    EXPECT_TRUE(client.write("noch da") && str(server.read()) == "noch da");
    TestListener other(0, false);
    EXPECT_FALSE(other.createClient(nullptr, server.port(), "127.0.0.1"));
    EXPECT_EQ(str(other.getErrorText()),
              "NNetworkStream::createClient(..) : Fehler, Stream ist bereits als Server gestartet.");
    client.close();
    EXPECT_EQ(str(client.getStatusText()), "Verbindung beendet.");
    EXPECT_FALSE(client.isConnected() || client.readMem(got) || !client.read().isEmpty());
    EXPECT_EQ(got.getSize(), 0);

    NNetworkStreamTcp stream;
    const std::string name = "nichtvorhanden.invalid";
    EXPECT_FALSE(stream.createClient(nullptr, 5, name.c_str()));
    EXPECT_EQ(str(stream.getStatusText()), "Fehler...");
    const std::string resolveText = clientPrefix + "Kann Server-Name/Adresse '" + name + "' nicht aufl\xF6sen.\r\n";
    const std::string error = str(stream.getErrorText());
    ASSERT_EQ(error.substr(0, resolveText.size()), resolveText);
    // The system's text for one of the codes a failed lookup reports.
    const unsigned int codes[] = {WSAHOST_NOT_FOUND, WSANO_DATA, WSATRY_AGAIN, WSANO_RECOVERY};
    EXPECT_TRUE(std::any_of(codes, codes + 4, [&](unsigned int code) {
        return error.substr(resolveText.size()) == systemText(code);
    })) << error;

    RefusingPort refusing;
    ASSERT_NE(refusing.port(), 0);
    EXPECT_FALSE(stream.createClient(nullptr, refusing.port(), "127.0.0.1") || stream.isConnected());
    EXPECT_EQ(str(stream.getErrorText()), clientPrefix + "Fehler beim Verbinden.\r\n" + systemText(WSAECONNREFUSED));
    // The port is taken by the refusing socket.
    NNetworkStreamTcp taken;
    EXPECT_FALSE(taken.createServer(nullptr, refusing.port(), "127.0.0.1"));
    EXPECT_EQ(str(taken.getErrorText()),
              "Fehler beim Erzeugen eines TCP-Servers\r\nbind(..) schlug fehl.\r\n" + systemText(WSAEADDRINUSE));
    NNetworkStreamTcp idle;  // nothing to accept from
    idle.acceptClient();
    EXPECT_EQ(str(idle.getErrorText()) + "|" + str(idle.getStatusText()), "accept() schlug fehl.|Fehler...");
    EXPECT_FALSE(idle.isConnected() || idle.startWatching());
}

TEST(NNetworkStream, ReadTextFollowsFullChunksAndStopsAtZeroBytes)
{
    TestListener peer(0, false);
    NNetworkStreamTcp client;
    ASSERT_TRUE(client.createClient(nullptr, peer.port(), "127.0.0.1"));
    peer.acceptClient();
    NMem bytes(0);  // a chunk is taken as a C string: what follows a zero byte is lost
    bytes.append("ab\0cd", 5);
    peer.writeMem(bytes);
    EXPECT_EQ(str(client.read()), "ab");
    // Exactly 1000 bytes: the stream asks again and waits for the rest.
    const std::string thousand(1000, 'x');
    peer.write(thousand.c_str());
    std::thread later([&peer] { Sleep(300); peer.write("Rest"); });
    const std::string got = str(client.read());
    later.join();
    EXPECT_EQ(got, thousand + "Rest");
}

// The watching thread's accept and read handlers carry the debug channel's tests.
TEST(NNetworkStream, WatchingThreadCallsTheCloseHandlerAndTheNotificationWindowGetsSocketMessages)
{
    TestListener server;
    ASSERT_TRUE(server.ok());
    EXPECT_FALSE(server.startWatching());  // already watching
    NNetworkStreamTcp client;
    ASSERT_TRUE(client.createClient(nullptr, server.port(), "127.0.0.1"));
    client.close();
    ASSERT_TRUE(server.waitForCalls("C"));
    EXPECT_EQ(server.calls().front(), 'A');
    // Without sockets the loop ends and the thread finishes.
    server.stop();
    EXPECT_FALSE(server.isRunning());

    HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(server.createServer(window, 0, "127.0.0.1"));
    NNetworkStreamTcp second;
    ASSERT_TRUE(second.createClient(nullptr, server.port(), "127.0.0.1"));
    MSG msg = {};
    EXPECT_TRUE(waitUntil([&] { return PeekMessageA(&msg, window, 0x4402, 0x4402, PM_REMOVE) != 0; }));
    EXPECT_EQ(static_cast<SOCKET>(msg.wParam), static_cast<SOCKET>(server.socket(true)));
    EXPECT_EQ(WSAGETSELECTEVENT(msg.lParam), FD_ACCEPT);
    server.close();
    DestroyWindow(window);
}
