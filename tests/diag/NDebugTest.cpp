#include "SocketTestHelpers.h"

#include <gtest/gtest.h>

#include "NDebug.h"

namespace {

const std::string warning =
    "!!!!!!!! debug.printf(): Ergebnis-String wurde gr\xF6\xDF"
    "er als 5000 Zeichen -> wurden abgeschnitten !!!!!!!!!!\r\n";

}  // namespace

TEST(NDebug, StartsOffAndReachesLocalPort5001WhenSwitchedOn)
{
    // The port may be held by another program on this machine.
    TestListener listener(5001);
    if (!listener.ok())
        GTEST_SKIP() << "port 5001 is busy";
    NDebug debug;
    debug.off = false;
    debug.printf("Port %d", 5001);
    EXPECT_EQ(debug.connectState, 1);
    EXPECT_TRUE(listener.waitForBytes(11));
    EXPECT_EQ(listener.received(), "Port 5001\r\n");
    debug.close();
}

TEST(NDebug, SilentWhileOffThenLinesInOrderAndLongOnesCutAt5000)
{
    TestListener listener;
    ASSERT_TRUE(listener.ok());
    NDebug debug;  // off until told otherwise: no connection is even tried
    debug.debugPort = listener.port();
    debug.printf("still %d", 1);
    debug.sendLine("still");
    Sleep(200);
    EXPECT_EQ(listener.connections(), 0);
    EXPECT_FALSE(debug.isConnected());

    debug.off = false;
    debug.printf("w=%d", 7);
    EXPECT_EQ(debug.connectState, 1);
    debug.printf("%s und %s", "zweite", "Zeile");
    debug.sendLine("dritte");
    std::string expected = "w=7\r\nzweite und Zeile\r\ndritte\r\n";

    // Exactly 5000 characters still fit; 5001 do not.
    std::string text;
    for (int i = 0; i < 6000; ++i)
        text += static_cast<char>('a' + i % 26);
    const std::string cut = text.substr(0, 5000);
    debug.printf("%s", text.c_str());
    debug.printf("%s", cut.c_str());
    debug.printf("%s!", cut.c_str());
    expected += cut + "\r\n" + warning + cut + "\r\n" + cut + "\r\n" + warning;
    ASSERT_TRUE(listener.waitForBytes(expected.size()));
    Sleep(50);
    EXPECT_EQ(listener.received(), expected);
    EXPECT_EQ(listener.connections(), 1);
}

TEST(NDebug, OneFailedAttemptThenSilentEvenForALaterListener)
{
    RefusingPort port;
    ASSERT_TRUE(port.ok());
    NDebug debug;
    debug.debugPort = port.port();
    debug.off = false;

    debug.printf("niemand %s", "da");
    EXPECT_EQ(debug.connectState, 2);
    EXPECT_FALSE(debug.ensureConnected());
    EXPECT_EQ(str(debug.getStatusText()), "Fehler...");
    EXPECT_TRUE(debug.getErrorText().startsWith(
        "Fehler beim Erzeugen eines TCP-Clients\r\nFehler beim Verbinden.\r\n"));

    // A listener that starts now is never asked.
    ASSERT_TRUE(port.listen());
    for (int i = 0; i < 20; ++i)
        debug.printf("Zeile %d", i);
    debug.sendLine("noch eine");
    EXPECT_FALSE(connectionPending(port.handle(), 200));
    EXPECT_EQ(debug.connectState, 2);
}

TEST(NDebug, ListenerThatGoesAwayMakesSendsFailSilently)
{
    TestListener listener;
    ASSERT_TRUE(listener.ok());
    NDebug debug;
    debug.debugPort = listener.port();
    debug.off = false;
    debug.printf("vorher");
    ASSERT_TRUE(listener.waitForBytes(8));
    listener.stop();

    // The first sends may still reach the socket's buffer; once the peer's
    // reset is in, each one fails and is only recorded.
    for (int i = 0; i < 50 && str(debug.getErrorText()) != "Daten konnten nicht gesendet werden."; ++i) {
        debug.printf("nachher %d", i);
        Sleep(10);
    }
    EXPECT_EQ(str(debug.getErrorText()), "Daten konnten nicht gesendet werden.");
    // Still the one connection: nothing is retried.
    EXPECT_EQ(debug.connectState, 1);
    debug.sendLine("weiter");
}
