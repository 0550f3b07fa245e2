// What the window framework costs: 50 windows idle in the application's
// message loop for 10 s while the 10 ms tick reaches every one of them
// (process CPU time), then 100 000 SendMessage round trips to the 50th
// window through the shared window procedure.
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "NApplication.h"
#include "NWindow.h"

namespace {

const int windowCount = 50;
const int roundTrips = 100000;
const UINT pingMessage = WM_APP + 7;

class BenchWindow : public NWindow {
public:
    void onTimer(LPARAM) override { ++ticks; }
    LRESULT onMessage(HWND messageWindow, UINT message, WPARAM wParam, LPARAM lParam,
                      bool handled, LRESULT result) override
    {
        // The whole base path runs (default processing, watches); the answer
        // proves the right window was reached.
        if (message == pingMessage && messageWindow == hwnd) {
            NWindow::onMessage(messageWindow, message, wParam, lParam, handled, result);
            return static_cast<LRESULT>(wParam) + 1;
        }
        return NWindow::onMessage(messageWindow, message, wParam, lParam, handled, result);
    }
    int ticks = 0;
};

double seconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// User plus kernel time of the process so far.
double cpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto value = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7;
    };
    return value(kernel) + value(user);
}

void CALLBACK endIdle(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    PostQuitMessage(0);
}

}  // namespace

int main()
{
    static BenchWindow windows[windowCount];
    windows[0].style = WS_POPUP | WS_VISIBLE;
    windows[0].rect = NRect(10, 10, 400, 300);
    windows[0].create();
    for (int i = 1; i < windowCount; ++i) {
        windows[i].style = WS_CHILD | WS_VISIBLE;
        windows[i].rect = NRect((i % 10) * 40, (i / 10) * 40, 36, 36);
        windows[i].create(&windows[0]);
    }
    // Let the windows settle (first paints) before measuring.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);

    globalApplication.startTimer();
    SetTimer(nullptr, 0, 10000, endIdle);
    const double cpuStart = cpuSeconds();
    const double wallStart = seconds();
    globalApplication.run();
    const double wall = seconds() - wallStart;
    const double cpu = cpuSeconds() - cpuStart;
    globalApplication.stopTimer();
    std::printf("idle loop, %d windows: %.2f s wall, %.3f s CPU = %.2f %% of one core; "
                "ticks seen by the last window: %d (%.1f per second)\n",
                windowCount, wall, cpu, 100.0 * cpu / wall, windows[windowCount - 1].ticks,
                windows[windowCount - 1].ticks / wall);

    const HWND last = windows[windowCount - 1].hwnd;
    long long sum = 0;
    const double start = seconds();
    for (int i = 0; i < roundTrips; ++i)
        sum += SendMessageA(last, pingMessage, static_cast<WPARAM>(i), 0);
    const double elapsed = seconds() - start;
    std::printf("SendMessage to window %d: %d round trips in %.3f s = %.2f us each%s\n",
                windowCount, roundTrips, elapsed, elapsed * 1e6 / roundTrips,
                sum == static_cast<long long>(roundTrips) * (roundTrips + 1) / 2 ? "" : " (WRONG RESULTS)");

    DestroyWindow(windows[0].hwnd);
    return 0;
}
