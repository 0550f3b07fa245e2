// Prints how long the debug viewer takes to show one very long line (no
// line end until the last byte) and how much memory it needs for it: the
// time per megabyte must stay flat as the line grows.
//   debuglisten_bench [megabytes ...]      (default 5 50 100)
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "BenchHelpers.h"

namespace {

void measure(const std::string& viewer, size_t megabytes)
{
    unsigned short port = 0;
    closesocket(bindLocal(&port));
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE outRead, outWrite;
    CreatePipe(&outRead, &outWrite, &inherit, 1 << 20);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outWrite;
    startup.hStdError = outWrite;
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + viewer + "\" " + std::to_string(port);
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        printf("cannot start %s\n", viewer.c_str());
        return;
    }
    CloseHandle(outWrite);
    // Everything the viewer prints is read and counted; the run ends when it
    // reports the disconnection.
    size_t printed = 0;
    std::thread reader([&] {
        std::string tail;
        char block[1 << 16];
        DWORD n = 0;
        while (ReadFile(outRead, block, sizeof block, &n, nullptr) && n > 0) {
            printed += n;
            tail.append(block, n);
            if (tail.find("--- getrennt ---") != std::string::npos)
                return;
            if (tail.size() > 64)
                tail.erase(0, tail.size() - 64);
        }
    });

    SOCKET s = INVALID_SOCKET;
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int i = 0; i < 200; ++i) {
        s = socket(AF_INET, SOCK_STREAM, 0);
        if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0)
            break;
        closesocket(s);
        s = INVALID_SOCKET;
        Sleep(25);
    }
    if (s == INVALID_SOCKET) {
        printf("viewer does not listen on port %u\n", port);
    } else {
        const std::string chunk(1 << 20, 'x');
        const double start = seconds();
        for (size_t i = 0; i < megabytes; ++i)
            send(s, chunk.data(), static_cast<int>(chunk.size()), 0);
        send(s, "\r\n", 2, 0);
        closesocket(s);
        reader.join();
        const double elapsed = seconds() - start;
        printf("line of %4u MB: %7.3f s  %6.3f s/MB  printed %6.1f MB  viewer peak memory %7.1f MB\n",
               static_cast<unsigned>(megabytes), elapsed, elapsed / static_cast<double>(megabytes),
               static_cast<double>(printed) / (1024.0 * 1024.0),
               peakMegabytes(process.hProcess));
    }
    TerminateProcess(process.hProcess, 0);
    if (reader.joinable()) {
        WaitForSingleObject(process.hProcess, INFINITE);
        reader.join();
    }
    CloseHandle(outRead);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

}  // namespace

int main(int argc, char** argv)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string viewer = self;
    viewer = viewer.substr(0, viewer.find_last_of('\\') + 1) + "debuglisten.exe";
    std::vector<size_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(static_cast<size_t>(std::strtoul(argv[i], nullptr, 10)));
    if (sizes.empty())
        sizes = {5, 50, 100};
    for (size_t megabytes : sizes)
        measure(viewer, megabytes);
    WSACleanup();
    return 0;
}
