#include "SocketTestHelpers.h"

#include <gtest/gtest.h>

#include "ConverterBitmap.h"
#include "NDebug.h"
#include "TestFiles.h"

namespace {

const std::string warning =
    "!!!!!!!! debug.printf(): Ergebnis-String wurde gr\xF6\xDF"
    "er als 5000 Zeichen -> wurden abgeschnitten !!!!!!!!!!\r\n";

// A channel switched on toward `port` on this machine.
void switchOn(NDebug& debug, unsigned short port)
{
    debug.debugPort = port;
    debug.off = false;
}

}  // namespace

TEST(NDebug, StartsOffAndUntriedTowardLocalPort5001)
{
    NDebug debug;
    EXPECT_STREQ(debug.getClassName(), "NDebug");
    EXPECT_STREQ(debug.getName(), "NDebug");
    EXPECT_EQ(debug.debugPort, 5001);
    EXPECT_EQ(str(debug.debugHost), "localhost");
    EXPECT_TRUE(debug.off);
    EXPECT_EQ(debug.connectState, 0);
    EXPECT_FALSE(debug.isConnected());

    // Switched on with its defaults, it reaches a listener on port 5001. The
    // port may be held for a while by another program on this machine.
    TestListener* listener = nullptr;
    for (int i = 0; i < 100; ++i) {
        listener = new TestListener(5001);
        if (listener->ok())
            break;
        delete listener;
        listener = nullptr;
        Sleep(200);
    }
    if (!listener)
        GTEST_SKIP() << "port 5001 stayed busy";
    debug.off = false;
    debug.printf("Port %d", 5001);
    EXPECT_EQ(debug.connectState, 1);
    EXPECT_TRUE(listener->waitForBytes(11));
    EXPECT_EQ(listener->received(), "Port 5001\r\n");
    debug.close();
    delete listener;
}

TEST(NDebug, LinesArriveWithLineEndsInOrder)
{
    TestListener listener;
    ASSERT_TRUE(listener.ok());
    NDebug debug;
    switchOn(debug, listener.port());

    debug.printf("w=%d", 7);
    EXPECT_EQ(debug.connectState, 1);
    ASSERT_TRUE(listener.waitForBytes(5));
    EXPECT_EQ(listener.received(), "w=7\r\n");

    debug.printf("%s und %s", "zweite", "Zeile");
    debug.sendLine("dritte");
    const std::string all = "w=7\r\nzweite und Zeile\r\ndritte\r\n";
    ASSERT_TRUE(listener.waitForBytes(all.size()));
    EXPECT_EQ(listener.received(), all);
    EXPECT_EQ(listener.connections(), 1);
}

TEST(NDebug, LongResultsAreCutAt5000WithWarning)
{
    TestListener listener;
    ASSERT_TRUE(listener.ok());
    NDebug debug;
    switchOn(debug, listener.port());

    std::string text;
    for (int i = 0; i < 6000; ++i)
        text += static_cast<char>('a' + i % 26);
    debug.printf("%s", text.c_str());
    std::string expected = text.substr(0, 5000) + "\r\n" + warning;

    // Exactly 5000 characters still fit; 5001 do not.
    debug.printf("%s", text.substr(0, 5000).c_str());
    expected += text.substr(0, 5000) + "\r\n";
    debug.printf("%s!", text.substr(0, 5000).c_str());
    expected += text.substr(0, 5000) + "\r\n" + warning;

    ASSERT_TRUE(listener.waitForBytes(expected.size()));
    Sleep(50);
    EXPECT_EQ(listener.received(), expected);
}

TEST(NDebug, NoConnectionAttemptWhileOff)
{
    TestListener listener;
    ASSERT_TRUE(listener.ok());
    NDebug debug;
    debug.debugPort = listener.port();
    debug.printf("still %d", 1);
    debug.sendLine("still");
    Sleep(200);
    EXPECT_EQ(listener.connections(), 0);
    EXPECT_EQ(debug.connectState, 0);
    EXPECT_FALSE(debug.isConnected());

    debug.off = false;
    debug.sendLine("jetzt");
    ASSERT_TRUE(listener.waitForBytes(7));
    EXPECT_EQ(listener.received(), "jetzt\r\n");
    EXPECT_EQ(listener.connections(), 1);
}

TEST(NDebug, OneFailedAttemptThenSilentEvenForALaterListener)
{
    RefusingPort port;
    ASSERT_TRUE(port.ok());
    NDebug debug;
    switchOn(debug, port.port());

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
    switchOn(debug, listener.port());
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
    EXPECT_EQ(str(debug.getStatusText()), "Fehler...");
    // Still the one connection: nothing is retried.
    EXPECT_EQ(debug.connectState, 1);
    debug.sendLine("weiter");
}

// The converter writes its status and the whole source text to the global
// channel.
TEST(NDebug, ConverterTracesStatusAndSourceText)
{
    TestFolder folder;
    const std::string picture = folder.file("punkt.bmp");
    writeBmp(picture, 2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});

    TestListener listener;
    ASSERT_TRUE(listener.ok());
    ASSERT_TRUE(globalDebug.off);
    ASSERT_EQ(globalDebug.connectState, 0);
    switchOn(globalDebug, listener.port());

    ConverterBitmap converter;
    converter.load(picture.c_str());
    ASSERT_FALSE(converter.sourceText.isEmpty());
    const std::string expected = "ConverterBitmap::convert(..) status = " +
                                 std::to_string(converter.getConvertStatus()) + "\r\n" +
                                 str(converter.sourceText) + "\r\n";
    EXPECT_TRUE(listener.waitForBytes(expected.size()));
    Sleep(50);
    EXPECT_EQ(listener.received(), expected);

    globalDebug.close();
    globalDebug.off = true;
    globalDebug.connectState = 0;
    globalDebug.debugPort = 5001;
}
