#include "NThread.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "NError.h"

NThread::NThread() : threadHandle(nullptr), ownHandle(nullptr) {}

NThread::~NThread()
{
    if (isRunning()) {
        terminate();
        globalError.addError(
            "Ein NThread wurde abnormal im Destruktor beendet. Sorgen Sie daf\xFCr, dass die "
            "Instance des NThread-Objektes \xFC"
            "ber die Laufzeit der Thread-Procedure onWorkThread() existiert.");
    }
    closeFinishedThread();
}

const char* NThread::getName() const { return getClassName(); }
const char* NThread::getClassName() const { return "NThread"; }

void NThread::closeFinishedThread()
{
    if (!ownHandle)
        return;
    // The body has returned; wait for the few instructions up to ExitThread
    // so that nothing of the thread touches this object any more.
    WaitForSingleObject(ownHandle, INFINITE);
    CloseHandle(ownHandle);
    ownHandle = nullptr;
}

bool NThread::start()
{
    if (isRunning())
        return false;
    closeFinishedThread();
    // Suspended until the handle is stored: a body that returns at once must
    // find it there to clear it.
    DWORD id = 0;
    HANDLE handle = CreateThread(nullptr, 0, threadEntry, this, CREATE_SUSPENDED, &id);
    if (!handle)
        return false;
    ownHandle = handle;
    threadHandle.store(handle);
    ResumeThread(handle);
    return true;
}

void NThread::terminate()
{
    void* handle = threadHandle.exchange(nullptr);
    if (handle)
        TerminateThread(handle, 0);
}

bool NThread::setPriority(int priority)
{
    void* handle = threadHandle.load();
    return handle && SetThreadPriority(handle, priority) != 0;
}

bool NThread::startAndPump()
{
    if (!start())
        return false;
    HANDLE handle = ownHandle;
    while (isRunning()) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        // Wakes for the next message or the thread's end instead of spinning.
        if (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0)
            break;
    }
    return true;
}

void NThread::onWorkTread()
{
    globalError.messageBox(
        "Sie m\xFCssen von NThread ableiten und die Funktion onWorkTread() \xFC"
        "berschreiben.",
        0, "Fehler !", MB_ICONERROR);
}

void NThread::onWorkEnd() {}

unsigned long __stdcall NThread::threadEntry(void* parameter)
{
    NThread* thread = static_cast<NThread*>(parameter);
    thread->onWorkTread();
    thread->onWorkEnd();
    thread->threadHandle.store(nullptr);
    ExitThread(0);
}
