#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "MessageBoxCatcher.h"
#include "NError.h"
#include "NThread.h"

namespace {

// Waits for the flag to drop, at most a few seconds.
bool waitUntilIdle(const NThread& thread)
{
    for (int i = 0; i < 5000 && thread.isRunning(); ++i)
        Sleep(1);
    return !thread.isRunning();
}

class QuickThread : public NThread {
public:
    std::atomic<int> runs{0};
    std::atomic<int> ends{0};
    std::atomic<bool> endSawRun{false};

protected:
    void onWorkTread() override { ++runs; }
    void onWorkEnd() override { endSawRun = runs.load() > ends.load(); ++ends; }
};

// Blocks until released; hands out a real handle of itself so that a test can
// see the thread end. It touches the object only before it blocks; the test
// closes the events once the thread is gone.
class BlockingThread : public NThread {
public:
    BlockingThread()
        : started(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          release(CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
    }
    HANDLE started;
    HANDLE release;
    HANDLE self = nullptr;

protected:
    void onWorkTread() override
    {
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self,
                        SYNCHRONIZE, FALSE, 0);
        HANDLE wait = release;
        SetEvent(started);
        WaitForSingleObject(wait, INFINITE);
    }
};

const char* abnormalEndText =
    "Ein NThread wurde abnormal im Destruktor beendet. Sorgen Sie daf\xFCr, dass die Instance des "
    "NThread-Objektes \xFC"
    "ber die Laufzeit der Thread-Procedure onWorkThread() existiert.";

class PlainThread : public NThread {
public:
    using NThread::onWorkTread;
};

LRESULT CALLBACK countingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP || message == WM_APP + 1) {
        int* counter = reinterpret_cast<int*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        ++counter[message - WM_APP];
        return 42;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Posts to and sends to a window of the starting thread: only a starter
// that serves its messages lets the send through in time.
class MessagingThread : public NThread {
public:
    explicit MessagingThread(HWND target) : window(target) {}
    HWND window;
    std::atomic<bool> posted{false};
    std::atomic<LRESULT> sendResult{0};
    std::atomic<bool> sendDone{false};

protected:
    void onWorkTread() override
    {
        posted = PostMessageA(window, WM_APP, 0, 0) != 0;
        DWORD_PTR result = 0;
        sendDone = SendMessageTimeoutA(window, WM_APP + 1, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
        sendResult = static_cast<LRESULT>(result);
    }
};

}  // namespace

TEST(NThread, BodyThatReturnsAtOnce)
{
    QuickThread thread;
    EXPECT_STREQ(thread.getName(), "NThread");
    EXPECT_FALSE(thread.isRunning());
    EXPECT_FALSE(thread.setPriority(THREAD_PRIORITY_BELOW_NORMAL));
    ASSERT_TRUE(thread.start());
    ASSERT_TRUE(waitUntilIdle(thread));
    EXPECT_EQ(thread.runs, 1);
    EXPECT_EQ(thread.ends, 1);
    EXPECT_TRUE(thread.endSawRun);

    // The object can run its body again once it is idle.
    ASSERT_TRUE(thread.start());
    ASSERT_TRUE(waitUntilIdle(thread));
    EXPECT_EQ(thread.runs, 2);
    EXPECT_EQ(thread.ends, 2);

    EXPECT_TRUE(thread.startAndPump());
    EXPECT_FALSE(thread.isRunning());
    EXPECT_EQ(thread.runs, 3);
}

TEST(NThread, StartAndPumpServesTheCallersWindows)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = countingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "NThreadTestCounter";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    int counter[2] = {0, 0};
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(counter));

    MessagingThread thread(window);
    EXPECT_TRUE(thread.startAndPump());
    EXPECT_FALSE(thread.isRunning());
    EXPECT_TRUE(thread.posted);
    EXPECT_TRUE(thread.sendDone);
    EXPECT_EQ(thread.sendResult, 42);
    EXPECT_EQ(counter[0], 1);
    EXPECT_EQ(counter[1], 1);
    DestroyWindow(window);
}

TEST(NThread, TerminateAndDestructorOnARunningThread)
{
    const NString savedLog = globalError.log;
    globalError.log = "";

    // terminate stops it quietly.
    HANDLE firstSelf = nullptr;
    {
        BlockingThread thread;
        ASSERT_TRUE(thread.start());
        ASSERT_EQ(WaitForSingleObject(thread.started, 5000), WAIT_OBJECT_0);
        EXPECT_TRUE(thread.isRunning());
        EXPECT_TRUE(thread.setPriority(THREAD_PRIORITY_BELOW_NORMAL));
        firstSelf = thread.self;
        thread.terminate();
        EXPECT_FALSE(thread.isRunning());
        EXPECT_EQ(WaitForSingleObject(firstSelf, 5000), WAIT_OBJECT_0);
        CloseHandle(thread.started);
        CloseHandle(thread.release);
    }
    CloseHandle(firstSelf);
    EXPECT_EQ(std::string(globalError.log), "");

    // Destroyed while it runs: stopped, and the error log says why.
    HANDLE started = nullptr;
    HANDLE release = nullptr;
    HANDLE self = nullptr;
    {
        BlockingThread thread;
        started = thread.started;
        release = thread.release;
        ASSERT_TRUE(thread.start());
        ASSERT_EQ(WaitForSingleObject(started, 5000), WAIT_OBJECT_0);
        self = thread.self;
    }
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(WaitForSingleObject(self, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(std::string(globalError.log), std::string("\r\n") + abnormalEndText);
    CloseHandle(self);
    CloseHandle(started);
    CloseHandle(release);
    globalError.log = savedLog;
}

TEST(NThread, BodyNotOverridden)
{
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    PlainThread thread;
    thread.onWorkTread();
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes[0].title, "Fehler !");
    EXPECT_EQ(boxes[0].text,
              "Sie m\xFCssen von NThread ableiten und die Funktion onWorkTread() \xFC"
              "berschreiben.");
    EXPECT_EQ(boxes[0].icon, static_cast<unsigned>(MB_ICONERROR));
}
