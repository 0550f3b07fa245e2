#include "SocketTestHelpers.h"

#include <gtest/gtest.h>

#include "NDebug.h"

TEST(NDebug, SilentWhileOffThenLinesInOrderLongOnesCutUntilTheListenerGoesAndOneFailedAttemptThenSilent)
{
    TestListener listener;
    ASSERT_TRUE(listener.ok());
    NDebug debug;  // off until told otherwise: no connection is even tried (on: see debuglisten's tests)
    debug.debugPort = listener.port();
    debug.printf("still %d", 1);
    debug.sendLine("still");
    debug.off = false;
    debug.printf("w=%d", 7);
    debug.printf("%s und %s", "zweite", "Zeile");
    debug.sendLine("dritte");
    // Exactly 5000 characters still fit; 5001 do not.
    std::string text;
    for (int i = 0; i < 6000; ++i) text += static_cast<char>('a' + i % 26);
    const std::string cut = text.substr(0, 5000), warning =
        "!!!!!!!! debug.printf(): Ergebnis-String wurde gr\xF6\xDF" "er als 5000 Zeichen -> wurden abgeschnitten "
        "!!!!!!!!!!\r\n";
    debug.printf("%s", text.c_str());
    debug.printf("%s", cut.c_str());
    debug.printf("%s!", cut.c_str());
    const std::string expected =
        "w=7\r\nzweite und Zeile\r\ndritte\r\n" + cut + "\r\n" + warning + cut + "\r\n" + cut + "\r\n" + warning;
    ASSERT_TRUE(listener.waitForBytes(expected.size()));
    EXPECT_EQ(listener.received(), expected);
    EXPECT_EQ(listener.calls().find('A'), listener.calls().rfind('A'));  // one connection

    // The first sends after the listener went may still reach the socket's
    // buffer; once the peer's reset is in, each one fails and is only recorded.
    listener.stop();
    EXPECT_TRUE(waitUntil([&debug] {
        debug.printf("nachher");
        return str(debug.getErrorText()) == "Daten konnten nicht gesendet werden.";
    }));
    // Still the one connection: nothing is retried.
    EXPECT_EQ(debug.connectState, 1);

    RefusingPort port;
    NDebug failing;
    failing.debugPort = port.port();
    failing.off = false;
    failing.printf("niemand %s", "da");
    EXPECT_FALSE(failing.ensureConnected());
    EXPECT_EQ(str(failing.getStatusText()), "Fehler...");
    EXPECT_TRUE(failing.getErrorText().startsWith("Fehler beim Erzeugen eines TCP-Clients\r\nFehler beim Verbinden.\r\n"));
    // A listener that starts now is never asked: no connection waits within 200 ms.
    ASSERT_EQ(listen(port.handle(), 5), 0);
    for (int i = 0; i < 20; ++i) failing.printf("Zeile %d", i);
    failing.sendLine("noch eine");
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(port.handle(), &readable);
    timeval wait = {0, 200000};
    EXPECT_EQ(select(0, &readable, nullptr, nullptr, &wait), 0);
    EXPECT_EQ(failing.connectState, 2);
}
