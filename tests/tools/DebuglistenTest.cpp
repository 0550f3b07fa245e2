#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <regex>
#include <string>
#include <thread>

#include "ProcessRunner.h"
#include "TestFiles.h"

namespace {

// The viewer, running on a port of its own until the test ends it; what
// it prints is collected.
class Viewer {
public:
    Viewer()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        SOCKET probe = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in local = local4(0);
        bind(probe, reinterpret_cast<sockaddr*>(&local), sizeof local);
        int length = sizeof local;
        getsockname(probe, reinterpret_cast<sockaddr*>(&local), &length);
        closesocket(probe);
        port = ntohs(local.sin_port);

        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE write = nullptr;
        CreatePipe(&read, &write, &inherit, 1 << 20);
        SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = write;
        startup.hStdError = write;
        std::string line = "\"" + programFolder() + "debuglisten.exe\" " + std::to_string(port);
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
        CloseHandle(write);
        reader = std::thread([this] {
            char block[1 << 16];
            DWORD n = 0;
            while (ReadFile(read, block, sizeof block, &n, nullptr) && n > 0) {
                std::lock_guard<std::mutex> guard(lock);
                printed.append(block, n);
            }
        });
    }
    ~Viewer()
    {
        TerminateProcess(process.hProcess, 0);
        WaitForSingleObject(process.hProcess, INFINITE);
        reader.join();
        CloseHandle(read);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        WSACleanup();
    }

    // A connection to the viewer, made once it listens.
    SOCKET connectClient() const
    {
        for (int i = 0; i < 200; ++i) {
            SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in to = local4(port);
            if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0)
                return s;
            closesocket(s);
            Sleep(25);
        }
        return INVALID_SOCKET;
    }
    // What was printed, once `count` disconnections were reported.
    std::string output(int count, int ms = 20000)
    {
        for (int waited = 0;; waited += 10) {
            {
                std::lock_guard<std::mutex> guard(lock);
                size_t seen = 0;
                for (size_t at = printed.find("--- getrennt ---"); at != std::string::npos;
                     at = printed.find("--- getrennt ---", at + 1))
                    ++seen;
                if (static_cast<int>(seen) >= count || waited >= ms)
                    return printed;
            }
            Sleep(10);
        }
    }
    unsigned short port = 0;

private:
    static sockaddr_in local4(unsigned short p)
    {
        sockaddr_in a = {};
        a.sin_family = AF_INET;
        a.sin_port = htons(p);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return a;
    }

    HANDLE read = nullptr;
    PROCESS_INFORMATION process = {};
    std::thread reader;
    std::mutex lock;
    std::string printed;
};

void sendAll(SOCKET s, const std::string& bytes)
{
    for (size_t done = 0; done < bytes.size();) {
        const int n = send(s, bytes.data() + done, static_cast<int>(std::min<size_t>(bytes.size() - done, 1 << 20)), 0);
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

// The output with every time stamp replaced by "T"; false when a stamp is malformed.
std::string withoutTimes(const std::string& output)
{
    return std::regex_replace(output, std::regex("(^|\n)\\d\\d:[0-5]\\d:[0-5]\\d\\.\\d\\d\\d "), "$1T ");
}

}  // namespace

TEST(Debuglisten, PrintsEveryLineWithTimeAndConnection)
{
    Viewer viewer;
    SOCKET first = viewer.connectClient();
    ASSERT_NE(first, INVALID_SOCKET);
    SOCKET second = viewer.connectClient();
    sendAll(first, "w=7\r\nzweite Zeile\nGr\xF6\xDF" "e \xB0" "C\r\n\r\n");
    // Longer than a piece: 65536 bytes, then the rest marked "+".
    sendAll(first, std::string(70000, 'x') + "\r\n");
    Sleep(100);
    sendAll(second, "von zwei\r\nohne Zeilenende");
    closesocket(second);
    Sleep(100);
    sendAll(first, "halb");
    sendAll(first, "e Zeile\r\n");
    closesocket(first);
    EXPECT_EQ(withoutTimes(viewer.output(2)),
              "debuglisten: warte auf Port " + std::to_string(viewer.port) +
                  "\r\n"
                  "T [1] --- verbunden ---\r\n"
                  "T [2] --- verbunden ---\r\n"
                  "T [1] w=7\r\n"
                  "T [1] zweite Zeile\r\n"
                  "T [1] Gr\xC3\xB6\xC3\x9F" "e \xC2\xB0" "C\r\n"
                  "T [1] \r\n"
                  "T [1] " + std::string(65536, 'x') + "\r\n"
                  "T [1]+ " + std::string(70000 - 65536, 'x') + "\r\n"
                  "T [2] von zwei\r\n"
                  "T [2] ohne Zeilenende\r\n"
                  "T [2] --- getrennt ---\r\n"
                  "T [1] halbe Zeile\r\n"
                  "T [1] --- getrennt ---\r\n");
}

// Before, every block received searched the whole unfinished line again:
// 16 MB took 19 s, 300 MB never finished. The time is printed as a figure.
TEST(Debuglisten, LineOf50MegabytesInPiecesOfBoundedSize)
{
    Viewer viewer;
    SOCKET s = viewer.connectClient();
    ASSERT_NE(s, INVALID_SOCKET);
    const auto start = std::chrono::steady_clock::now();
    const std::string megabyte(1 << 20, 'y');
    for (int i = 0; i < 50; ++i)
        sendAll(s, megabyte);
    sendAll(s, "\r\n");
    closesocket(s);
    const std::string output = viewer.output(1, 300000);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("[ FIGURE   ] a line of 50 MB shown in %.2f s\n", seconds);

    ASSERT_NE(output.find("--- getrennt ---"), std::string::npos);
    size_t pieces = 0, bytes = 0, continued = 0;
    for (size_t at = output.find("[1]"); at != std::string::npos; at = output.find("[1]", at + 1)) {
        const size_t text = output.find(' ', at) + 1;
        const size_t length = output.find("\r\n", text) - text;
        if (output.compare(text, 1, "y") != 0)
            continue;
        ++pieces;
        bytes += length;
        continued += output[at + 3] == '+';
        EXPECT_LE(length, 65536u);
        EXPECT_EQ(output.find_first_not_of('y', text), text + length);
    }
    EXPECT_EQ(pieces, 800u);
    EXPECT_EQ(continued, 799u);
    EXPECT_EQ(bytes, 50u << 20);
}

// The converter's status and text, sent with --debug, as the viewer shows them.
TEST(Debuglisten, ShowsWhatTheCommandLineConverterTraces)
{
    TestFolder folder;
    writeBmp(folder.file("zwei.bmp"), 1, 3, {0xFFFF0000, 0xFFFF0000, 0xFF0000FF});
    Viewer viewer;
    SOCKET probe = viewer.connectClient();
    ASSERT_NE(probe, INVALID_SOCKET);
    closesocket(probe);

    const ProcessResult result = runProcess("\"" + programFolder() + "bmp2ondra.exe\" --debug=" +
                                            std::to_string(viewer.port) + " \"" + folder.file("zwei.bmp") + "\"");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_FALSE(result.out.empty());
    std::string shown = withoutTimes(viewer.output(2));
    const std::string head = "T [2] --- verbunden ---\r\n";
    const std::string tail = "T [2] --- getrennt ---\r\n";
    ASSERT_NE(shown.find(head), std::string::npos) << shown;
    shown = shown.substr(shown.find(head) + head.size());
    ASSERT_GE(shown.size(), tail.size());
    EXPECT_EQ(shown.substr(shown.size() - tail.size()), tail);
    shown.resize(shown.size() - tail.size());
    // The status line, then the text exactly as written to standard output,
    // each line with the viewer's prefix.
    std::string expected = "ConverterBitmap::convert(..) status = 0\r\n" + result.out + "\r\n";
    for (size_t at = 0; at < expected.size(); at = expected.find("\r\n", at) + 2)
        expected.insert(at, "T [2] ");
    EXPECT_EQ(shown, expected);
}
