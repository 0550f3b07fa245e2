#include "../diag/SocketTestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "ProcessRunner.h"
#include "TestFiles.h"

namespace {

// The viewer, running on a port of its own until the test ends it. It prints
// into a file, or with `pipe` into a pipe that nobody reads.
struct Viewer {
    explicit Viewer(bool pipe = false)
    {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        if (pipe && CreatePipe(&read, &write, &inherit, 0))
            SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
        else if (!pipe)
            write = CreateFileA(folder.file("out.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                &inherit, CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = write;
        std::string line = "\"" + programFolder() + "debuglisten.exe\" " + std::to_string(port);
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
        CloseHandle(write);
    }
    ~Viewer()
    {
        TerminateProcess(process.hProcess, 0);
        WaitForSingleObject(process.hProcess, INFINITE);
        for (HANDLE h : {read, process.hProcess, process.hThread})
            if (h)
                CloseHandle(h);
    }
    // A connection to the viewer, made once it listens.
    SOCKET connectClient() const
    {
        sockaddr_in to = {AF_INET, htons(port), {}, {}};
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (int i = 0; i < 200; ++i, Sleep(25)) {
            SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
            if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0)
                return s;
            closesocket(s);
        }
        return INVALID_SOCKET;
    }
    // What was printed, with every time stamp replaced by "T", once `count`
    // disconnections were reported and it holds `text` (at most five minutes later).
    std::string output(int count, const std::string& text = "")
    {
        for (int waited = 0;; waited += 10, Sleep(10)) {
            const std::string printed = readBytes(folder.file("out.txt"));
            int seen = 0;
            for (size_t at = printed.find("--- getrennt ---"); at != std::string::npos; at = printed.find("--- getrennt", at + 1))
                ++seen;
            if ((seen >= count && printed.find(text) != std::string::npos) || waited >= 300000)
                return std::regex_replace(printed, std::regex("(^|\n)\\d\\d:[0-5]\\d:[0-5]\\d\\.\\d\\d\\d "), "$1T ");
        }
    }
    bool waitFor(const std::string& text) { return output(0, text).find(text) != std::string::npos; }

    TestFolder folder;
    const unsigned short port = RefusingPort().port();
    HANDLE read = nullptr, write = nullptr;
    PROCESS_INFORMATION process = {};
};

void sendAll(SOCKET s, const std::string& bytes)
{
    for (size_t done = 0, n = 1; done < bytes.size() && n > 0; done += n)
        n = size_t(std::max(0, send(s, bytes.data() + done, int(bytes.size() - done), 0)));
}

}  // namespace

TEST(Debuglisten, PrintsEveryLineWithTimeAndConnectionAlsoWhatTheCommandLineConverterTraces)
{
    Viewer viewer;
    SOCKET first = viewer.connectClient();
    ASSERT_NE(first, INVALID_SOCKET);
    SOCKET second = viewer.connectClient();
    // Each connection has its own thread: every step waits for the last to show.
    ASSERT_TRUE(viewer.waitFor("[2] --- verbunden ---"));
    sendAll(first, "w=7\r\nzweite Zeile\nGr\xF6\xDF" "e \xB0" "C\r\n\r\n");
    // Longer than a piece: 65536 bytes, then the rest marked "+".
    sendAll(first, std::string(70000, 'x') + "\r\n");
    ASSERT_TRUE(viewer.waitFor("[1]+ " + std::string(70000 - 65536, 'x') + "\r\n"));
    sendAll(second, "von zwei\r\nohne Zeilenende");
    closesocket(second);
    ASSERT_TRUE(viewer.waitFor("[2] --- getrennt ---"));
    sendAll(first, "halb");
    sendAll(first, "e Zeile\r\n");
    closesocket(first);
    std::string expected = "debuglisten: warte auf Port " + std::to_string(viewer.port) + "\r\n";
    const std::string lines[] = {"[1] --- verbunden ---", "[2] --- verbunden ---", "[1] w=7", "[1] zweite Zeile",
                                 "[1] Gr\xC3\xB6\xC3\x9F" "e \xC2\xB0" "C", "[1] ", "[1] " + std::string(65536, 'x'),
                                 "[1]+ " + std::string(70000 - 65536, 'x'), "[2] von zwei", "[2] ohne Zeilenende",
                                 "[2] --- getrennt ---", "[1] halbe Zeile", "[1] --- getrennt ---"};
    for (const std::string& line : lines)
        expected += "T " + line + "\r\n";
    EXPECT_EQ(viewer.output(2), expected);

    // The converter's status and text, sent with --debug: the status line, then the
    // text exactly as written to standard output, each line with the viewer's prefix.
    TestFolder folder;
    writeBmp(folder.file("zwei.bmp"), 1, 3, {0xFFFF0000, 0xFFFF0000, 0xFF0000FF});
    const ProcessResult result = runProcess("\"" + programFolder() + "bmp2ondra.exe\" --debug=" +
                                            std::to_string(viewer.port) + " \"" + folder.file("zwei.bmp") + "\"");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    expected = "ConverterBitmap::convert(..) status = 0\r\n" + result.out + "\r\n";
    for (size_t at = 0; at < expected.size(); at = expected.find("\r\n", at) + 2)
        expected.insert(at, "T [3] ");
    const std::string shown = viewer.output(3);
    const size_t head = shown.find("T [3] --- verbunden ---\r\n");
    ASSERT_NE(head, std::string::npos) << shown;
    EXPECT_EQ(shown.substr(head + 25), expected + "T [3] --- getrennt ---\r\n");
}

// One connection per case: what it sends and what the viewer shows of it.
TEST(Debuglisten, EscapesControlCharactersSplitsOnlyLongLinesAndEndsWithItsOutput)
{
    Viewer viewer;
    const std::string piece(65536, 'x');
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{std::string("a\0b\x1B[2Jc\td\x7F\r\n", 13)}, "a\\x00b\\x1B[2Jc\td\\x7F\r\n"},
        {{"cr\rmitten\r\n"}, "cr\\x0Dmitten\r\n"},
        // Exactly one piece before CR LF, also when the LF comes later.
        {{piece + "\r\n"}, piece + "\r\n"},
        {{piece + "\r", "\n"}, piece + "\r\n"},
        {{piece + "y\r\n"}, piece + "\r\nT [5]+ y\r\n"},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const auto& c = cases[i];
        const int number = int(i) + 1;
        SOCKET s = viewer.connectClient();
        for (const std::string& part : c.first) {
            sendAll(s, part);
            Sleep(20);  // separate receives; the result must not depend on it
        }
        closesocket(s);
        const std::string tag = "T [" + std::to_string(number) + "] ";
        const std::string shown = viewer.output(number);
        const std::string expected = tag + "--- verbunden ---\r\n" + tag + c.second + tag + "--- getrennt ---\r\n";
        EXPECT_NE(shown.find(expected), std::string::npos) << number << "\n" << shown.substr(shown.size() > 300 ? shown.size() - 300 : 0);
    }

    // Nobody reads any more: the next line ends the viewer with its code.
    Viewer unread(true);
    closesocket(unread.connectClient());
    CloseHandle(unread.read);
    unread.read = nullptr;
    DWORD code = STILL_ACTIVE;
    for (int i = 0; i < 100 && code == STILL_ACTIVE; ++i) {
        SOCKET s = unread.connectClient();
        sendAll(s, "noch jemand da?\r\n");
        closesocket(s);
        WaitForSingleObject(unread.process.hProcess, 100);
        GetExitCodeProcess(unread.process.hProcess, &code);
    }
    EXPECT_EQ(code, 4u);

    const std::tuple<std::string, int, std::string> usage[] = {
        {"--help", 0, "Exit-Code:"}, {"-h", 0, "4  die Ausgabe wurde geschlossen"}, {"/?", 0, "Strg+C"},
        {"5001 5002", 1, "zu viele Argumente"}, {"70000", 1, "ung\xC3\xBCltiger Port"}, {"-x", 1, "Hilfe: debuglisten --help"},
    };
    for (const auto& [arguments, exit, text] : usage) {
        const ProcessResult result = runProcess("\"" + programFolder() + "debuglisten.exe\" " + arguments, 10000);
        EXPECT_EQ(result.exitCode, exit) << arguments;
        EXPECT_NE((exit ? result.err : result.out).find(text), std::string::npos) << arguments << result.out << result.err;
    }
}

// Many programs at once, each line sent in two halves while all the others
// are open: every line arrives whole, in order, with its sender's number.
TEST(Debuglisten, TwoHundredSendersAtOnce)
{
    Viewer viewer;
    const int senders = 200, lines = 5;
    std::vector<SOCKET> sockets;
    for (int i = 0; i < senders; ++i) {
        sockets.push_back(viewer.connectClient());
        ASSERT_NE(sockets.back(), INVALID_SOCKET) << i;
    }
    ASSERT_TRUE(viewer.waitFor("[" + std::to_string(senders) + "] --- verbunden ---"));
    auto line = [](int sender, int k) { return "s" + std::to_string(sender) + " l" + std::to_string(k) + " " + std::string(400, char('a' + sender % 26)); };
    for (int k = 0; k < lines; ++k)
        for (int half = 0; half < 2; ++half)
            for (int i = 0; i < senders; ++i)
                sendAll(sockets[size_t(i)], half == 0 ? line(i, k).substr(0, 200) : line(i, k).substr(200) + "\r\n");
    for (SOCKET s : sockets)
        closesocket(s);
    const std::string shown = viewer.output(senders);

    // Every line whole: no piece of one stands on a line of its own.
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 1 + senders * (lines + 2)) << shown.substr(0, 2000);
    std::map<int, int> senderOf, next;
    int count = 0;
    const std::regex form("\nT \\[(\\d+)\\] s(\\d+) l(\\d+) ([a-z]+)\r");
    for (std::sregex_iterator m(shown.begin(), shown.end(), form), end; m != end; ++m, ++count) {
        const int number = std::stoi((*m)[1]), sender = std::stoi((*m)[2]);
        EXPECT_EQ(senderOf.emplace(number, sender).first->second, sender) << m->str();
        EXPECT_EQ(std::stoi((*m)[3]), next[number]++) << m->str();
        EXPECT_EQ((*m)[4].str(), std::string(400, char('a' + sender % 26))) << m->str();
    }
    EXPECT_EQ(count, senders * lines);
    EXPECT_EQ(senderOf.size(), size_t(senders));
}
