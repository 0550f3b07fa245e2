// Prints what the debug channel costs: without a listener (one refused
// connection attempt, then every trace must return at once) and with a
// listener that reads everything.
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "BenchHelpers.h"
#include "NDebug.h"

namespace {

void report(const char* what, int count, double first, double rest)
{
    std::printf("%-34s first call %8.3f ms, next %d calls %8.3f ms (%.2f us each)\n", what,
                first * 1000.0, count - 1, rest * 1000.0, rest * 1e6 / (count - 1));
}

}  // namespace

int main()
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const int count = 1000;

    {
        // Bound but not listening: every connection is refused.
        unsigned short port = 0;
        SOCKET refusing = bindLocal(&port);
        NDebug debug;
        debug.debugPort = port;
        debug.off = false;
        double start = seconds();
        debug.printf("Zeile %d mit etwas Text %s", 0, "und mehr");
        double first = seconds() - start;
        start = seconds();
        for (int i = 1; i < count; ++i)
            debug.printf("Zeile %d mit etwas Text %s", i, "und mehr");
        double rest = seconds() - start;
        report("no listener:", count, first, rest);
        std::printf("  total %.3f ms for %d calls (target: well under 1000 ms), state %d\n",
                    (first + rest) * 1000.0, count, debug.connectState);
        closesocket(refusing);
    }
    {
        NDebug debug;
        double start = seconds();
        for (int i = 0; i < count; ++i)
            debug.printf("Zeile %d mit etwas Text %s", i, "und mehr");
        std::printf("%-34s %d calls %8.3f ms\n", "channel off:", count, (seconds() - start) * 1000.0);
    }
    {
        unsigned short port = 0;
        SOCKET server = bindLocal(&port);
        listen(server, 5);
        std::atomic<long long> bytes{0};
        std::thread reader([server, &bytes] {
            SOCKET peer = accept(server, nullptr, nullptr);
            char block[65536];
            int n;
            while ((n = recv(peer, block, sizeof block, 0)) > 0)
                bytes += n;
            closesocket(peer);
        });
        NDebug debug;
        debug.debugPort = port;
        debug.off = false;
        double start = seconds();
        debug.printf("Zeile %d mit etwas Text %s", 0, "und mehr");
        double first = seconds() - start;
        start = seconds();
        for (int i = 1; i < count; ++i)
            debug.printf("Zeile %d mit etwas Text %s", i, "und mehr");
        double rest = seconds() - start;
        debug.close();
        reader.join();
        report("listener reading:", count, first, rest);
        std::printf("  %lld bytes arrived\n", bytes.load());
        closesocket(server);
    }
    WSACleanup();
    return 0;
}
