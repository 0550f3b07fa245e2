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

// Blocks until released; hands out a handle of itself so that a test can see
// the thread end. It touches the object only before it blocks.
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

LRESULT CALLBACK answerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_APP ? 42 : DefWindowProcA(window, message, wParam, lParam);
}

// Sends to a window of the starting thread: only a starter that serves its
// messages lets the send through in time.
class MessagingThread : public NThread {
public:
    HWND window = nullptr;
    std::atomic<LRESULT> answer{0};

protected:
    void onWorkTread() override
    {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(window, WM_APP, 0, 0, SMTO_NORMAL, 5000, &result);
        answer = static_cast<LRESULT>(result);
    }
};

}  // namespace

TEST(NThread, BodyThatReturnsAtOnce)
{
    QuickThread thread;
    EXPECT_FALSE(thread.setPriority(THREAD_PRIORITY_BELOW_NORMAL));
    ASSERT_TRUE(thread.start());
    ASSERT_TRUE(waitUntilIdle(thread));
    EXPECT_EQ(thread.runs, 1);
    EXPECT_EQ(thread.ends, 1);
    EXPECT_TRUE(thread.endSawRun);
    // The object can run its body again once it is idle.
    EXPECT_TRUE(thread.startAndPump());
    EXPECT_FALSE(thread.isRunning());
    EXPECT_EQ(thread.runs, 2);
    EXPECT_EQ(thread.ends, 2);
}

TEST(NThread, StartAndPumpServesTheCallersWindows)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = answerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "NThreadTestAnswer";
    RegisterClassA(&wc);
    MessagingThread thread;
    thread.window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    wc.hInstance, nullptr);
    ASSERT_NE(thread.window, nullptr);
    EXPECT_TRUE(thread.startAndPump());
    EXPECT_FALSE(thread.isRunning());
    EXPECT_EQ(thread.answer, 42);
    DestroyWindow(thread.window);
}

TEST(NThread, TerminateAndDestructorOnARunningThread)
{
    const NString savedLog = globalError.log;
    globalError.log = "";
    HANDLE handles[6] = {};
    for (int destroy = 0; destroy < 2; ++destroy) {
        {
            BlockingThread thread;
            handles[destroy * 3] = thread.started;
            handles[destroy * 3 + 1] = thread.release;
            ASSERT_TRUE(thread.start());
            ASSERT_EQ(WaitForSingleObject(thread.started, 5000), WAIT_OBJECT_0);
            handles[destroy * 3 + 2] = thread.self;
            if (!destroy) {
                EXPECT_TRUE(thread.isRunning());
                EXPECT_TRUE(thread.setPriority(THREAD_PRIORITY_BELOW_NORMAL));
                thread.terminate();  // quietly
                EXPECT_FALSE(thread.isRunning());
            }
        }
        ASSERT_NE(handles[destroy * 3 + 2], nullptr);
        EXPECT_EQ(WaitForSingleObject(handles[destroy * 3 + 2], 5000), WAIT_OBJECT_0);
        // Destroyed while it runs: stopped, and the error log says why.
        EXPECT_EQ(std::string(globalError.log),
                  destroy ? std::string("\r\n") + abnormalEndText : std::string());
    }
    for (HANDLE handle : handles)
        CloseHandle(handle);
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
