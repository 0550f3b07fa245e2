

#include <atomic>

#include "GuiTestSupport.h"
#include "NThread.h"

namespace {

// Runs once per start: counts its runs and ends, or, told so, sends to a window of the starting thread (only
// a starter that serves its messages lets that through in time) or blocks until released.
class TestThread : public NThread {
public:
    std::atomic<int> runs{0}, ends{0};
    HWND window = nullptr;
    LRESULT answer = 0;
    HANDLE release = nullptr;
    HANDLE started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE self = nullptr;

protected:
    void onWorkTread() override
    {
        ++runs;
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, SYNCHRONIZE, FALSE, 0);
        DWORD_PTR result = 0;
        if (window) SendMessageTimeoutA(window, WM_APP, 0, 0, SMTO_NORMAL, 5000, &result);
        answer = static_cast<LRESULT>(result);
        HANDLE wait = release;
        SetEvent(started);
        if (wait) WaitForSingleObject(wait, INFINITE);
    }
    void onWorkEnd() override { ends += runs.load() > ends.load(); }
};

class PlainThread : public NThread {
public:
    using NThread::onWorkTread;
};

LRESULT CALLBACK answerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_APP ? 42 : DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

TEST(NThread, RunsItsBodyAgainOnceIdleServesTheStartersWindowsAndIsStoppedByTerminateOrDestructor)
{
    TestThread idle;
    ASSERT_TRUE(idle.start());
    for (int i = 0; i < 5000 && idle.isRunning(); ++i) Sleep(1);
    EXPECT_FALSE(idle.isRunning());

    idle.window = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(idle.window, nullptr);
    SetWindowLongPtrA(idle.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&answerProc));
    EXPECT_TRUE(idle.startAndPump() && !idle.isRunning());
    EXPECT_EQ(idle.answer, 42);
    EXPECT_EQ(idle.runs, 2);
    EXPECT_EQ(idle.ends, 2);
    DestroyWindow(idle.window);
    CloseHandle(idle.self);

    const NString savedLog = globalError.log;
    globalError.log = "";
    for (int destroy = 0; destroy < 2; ++destroy) {
        HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HANDLE self = nullptr;
        {
            TestThread thread;
            thread.release = release;
            ASSERT_TRUE(thread.start());
            ASSERT_EQ(WaitForSingleObject(thread.started, 5000), WAIT_OBJECT_0);
            self = thread.self;
            if (!destroy) {
                thread.terminate();  // quietly
                EXPECT_FALSE(thread.isRunning());
            }
        }
        EXPECT_EQ(WaitForSingleObject(self, 5000), WAIT_OBJECT_0);
        // Destroyed while it runs: stopped, and the error log says why.
        EXPECT_EQ(std::string(globalError.log),
                  destroy ? "\r\nEin NThread wurde abnormal im Destruktor beendet. Sorgen Sie "
                            "daf\xFCr, dass die Instance des NThread-Objektes \xFC"
                            "ber die Laufzeit der Thread-Procedure onWorkThread() existiert."
                          : "");
        CloseHandle(self);
        CloseHandle(release);
    }
    globalError.log = savedLog;

    MessageBoxCatcher boxes(1);
    PlainThread().onWorkTread();
    expectErrorBox(boxes[0], "Sie m\xFCssen von NThread ableiten und die Funktion onWorkTread() \xFC"
                             "berschreiben.");
}
