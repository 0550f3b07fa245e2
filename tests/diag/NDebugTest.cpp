#include "SocketTestHelpers.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>

#include "ConverterBitmap.h"
#include "NDebug.h"
#include "ProcessRunner.h"
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

TEST(NDebug, StartsOffAndReachesLocalPort5001WhenSwitchedOn)
{
    NDebug debug;
    EXPECT_TRUE(debug.off);
    debug.printf("aus");
    EXPECT_EQ(debug.connectState, 0);

    // The port may be held for a while by another program on this machine.
    std::unique_ptr<TestListener> listener;
    for (int i = 0; i < 100 && !(listener && listener->ok()); ++i) {
        if (listener)
            Sleep(200);
        listener.reset(new TestListener(5001));
    }
    if (!listener->ok())
        GTEST_SKIP() << "port 5001 stayed busy";
    debug.off = false;
    debug.printf("Port %d", 5001);
    EXPECT_EQ(debug.connectState, 1);
    EXPECT_TRUE(listener->waitForBytes(11));
    EXPECT_EQ(listener->received(), "Port 5001\r\n");
    debug.close();
}

TEST(NDebug, LinesArriveInOrderAndLongOnesAreCutAt5000)
{
    TestListener listener;
    ASSERT_TRUE(listener.ok());
    NDebug debug;
    switchOn(debug, listener.port());
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
    EXPECT_FALSE(debug.isConnected());

    debug.off = false;
    debug.sendLine("jetzt");
    ASSERT_TRUE(listener.waitForBytes(7));
    EXPECT_EQ(listener.received(), "jetzt\r\n");
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
    // Still the one connection: nothing is retried.
    EXPECT_EQ(debug.connectState, 1);
    debug.sendLine("weiter");
}

// The converter writes its status and the whole source text to the global
// channel: checked in-process here, and through the command-line program
// below.
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

TEST(NDebug, ViewerToolPrintsLinesWithTimeStamps)
{
    // A port that was free a moment ago, for the viewer to take.
    unsigned short port = 0;
    {
        RefusingPort probe;
        ASSERT_TRUE(probe.ok());
        port = probe.port();
    }
    ProcessResult result;
    std::thread viewer([&] {
        result = runProcess("\"" + programFolder() + "debuglisten.exe\" " + std::to_string(port), 6000);
    });
    // The viewer needs a moment to start; each channel tries only once.
    bool sent = false;
    for (int i = 0; i < 100 && !sent; ++i) {
        NDebug debug;
        switchOn(debug, port);
        if (debug.ensureConnected()) {
            debug.printf("w=%d", 7);
            debug.sendLine("zweite Zeile");
            debug.close();
            sent = true;
        } else {
            Sleep(50);
        }
    }
    viewer.join();
    ASSERT_TRUE(sent);
    const std::regex line("\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d \\[1\\] (.*)\r");
    std::vector<std::string> lines;
    for (std::sregex_iterator it(result.out.begin(), result.out.end(), line), end; it != end; ++it)
        lines.push_back((*it)[1]);
    EXPECT_EQ(lines, (std::vector<std::string>{"--- verbunden ---", "w=7", "zweite Zeile",
                                                "--- getrennt ---"}))
        << result.out;
}

TEST(NDebug, CommandLineConverterTracesWhenAskedTo)
{
    TestFolder folder;
    const std::string picture = folder.file("zwei.bmp");
    writeBmp(picture, 1, 3, {0xFFFF0000, 0xFFFF0000, 0xFF0000FF});
    TestListener listener;
    ASSERT_TRUE(listener.ok());

    const std::string program = "\"" + programFolder() + "bmp2ondra.exe\" ";
    ProcessResult result =
        runProcess(program + "--debug=" + std::to_string(listener.port()) + " \"" + picture + "\"");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_FALSE(result.out.empty());
    const std::string head = "ConverterBitmap::convert(..) status = ";
    EXPECT_TRUE(listener.waitForBytes(head.size() + 3 + result.out.size() + 2));
    Sleep(50);
    const std::string got = listener.received();
    ASSERT_EQ(got.rfind(head, 0), 0u) << got;
    // The status line, then the text exactly as written to standard output.
    const size_t lineEnd = got.find("\r\n");
    ASSERT_NE(lineEnd, std::string::npos);
    EXPECT_EQ(got.substr(lineEnd + 2), result.out + "\r\n");

    // A port out of range is refused before anything is converted.
    result = runProcess(program + "--debug=70000 \"" + picture + "\"");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("--debug=70000"), std::string::npos) << result.err;
}
