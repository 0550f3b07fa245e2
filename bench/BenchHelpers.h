#ifndef BENCHHELPERS_H
#define BENCHHELPERS_H

// Clock, memory figure and a free local port for the benchmark programs.
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

// Seconds since some fixed point, to the resolution of the performance counter.
inline double seconds()
{
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The most memory a process (this one by default) has committed so far.
inline double peakMegabytes(HANDLE process = GetCurrentProcess())
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, &counters, sizeof counters);
    return static_cast<double>(counters.PeakPagefileUsage) / (1024.0 * 1024.0);
}

// A socket on 127.0.0.1 with a port of the system's choice.
inline SOCKET bindLocal(unsigned short* port)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local);
    int length = sizeof local;
    getsockname(s, reinterpret_cast<sockaddr*>(&local), &length);
    *port = ntohs(local.sin_port);
    return s;
}

#endif
