#include "../diag/SocketTestHelpers.h"

#include <gtest/gtest.h>

#include <mutex>
#include <regex>
#include <string>
#include <thread>

#include "ProcessRunner.h"
#include "TestFiles.h"

namespace {

// The viewer, running on a port of its own until the test ends it; what it
// prints is collected.
class Viewer : WinsockUser {
public:
    Viewer()
    {
        port = RefusingPort().port();
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE write = nullptr;
        CreatePipe(&read, &write, &inherit, 1 << 20);
        SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = write;
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
    // disconnections were reported (at most five minutes later).
    std::string output(int count)
    {
        for (int waited = 0;; waited += 10, Sleep(10)) {
            std::lock_guard<std::mutex> guard(lock);
            int seen = 0;
            for (size_t at = printed.find("--- getrennt ---"); at != std::string::npos; at = printed.find("--- getrennt", at + 1))
                ++seen;
            if (seen >= count || waited >= 300000)
                return std::regex_replace(printed, std::regex("(^|\n)\\d\\d:[0-5]\\d:[0-5]\\d\\.\\d\\d\\d "), "$1T ");
        }
    }
    unsigned short port = 0;

private:
    HANDLE read = nullptr;
    PROCESS_INFORMATION process = {};
    std::thread reader;
    std::mutex lock;
    std::string printed;
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
    EXPECT_EQ(viewer.output(2), "debuglisten: warte auf Port " + std::to_string(viewer.port) +
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

    // The converter's status and text, sent with --debug: the status line, then the
    // text exactly as written to standard output, each line with the viewer's prefix.
    TestFolder folder;
    writeBmp(folder.file("zwei.bmp"), 1, 3, {0xFFFF0000, 0xFFFF0000, 0xFF0000FF});
    const ProcessResult result = runProcess("\"" + programFolder() + "bmp2ondra.exe\" --debug=" +
                                            std::to_string(viewer.port) + " \"" + folder.file("zwei.bmp") + "\"");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::string expected = "ConverterBitmap::convert(..) status = 0\r\n" + result.out + "\r\n";
    for (size_t at = 0; at < expected.size(); at = expected.find("\r\n", at) + 2)
        expected.insert(at, "T [3] ");
    const std::string shown = viewer.output(3);
    const size_t head = shown.find("T [3] --- verbunden ---\r\n");
    ASSERT_NE(head, std::string::npos) << shown;
    EXPECT_EQ(shown.substr(head + 25), expected + "T [3] --- getrennt ---\r\n");
}
