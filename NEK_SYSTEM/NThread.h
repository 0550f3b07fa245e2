#ifndef NEK_NTHREAD_H
#define NEK_NTHREAD_H

#include <atomic>

// NThread: a Win32 thread whose body is the virtual onWorkTread of a derived
// class. The object must outlive its thread; nothing here is locked:
// threadHandle is a polling flag, set by start and cleared by the thread
// itself when its body returns.
class NThread {
public:
    NThread();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NThread();

    bool start();
    bool isRunning() const { return threadHandle.load() != nullptr; }
    void terminate();
    bool setPriority(int priority);
    // Starts the thread and keeps the calling thread's windows served until
    // it ends.
    bool startAndPump();

protected:
    virtual void onWorkTread();
    virtual void onWorkEnd();

    std::atomic<void*> threadHandle;

private:
    NThread(const NThread&) = delete;
    NThread& operator=(const NThread&) = delete;

    static unsigned long __stdcall threadEntry(void* parameter);
    void closeFinishedThread();

    // The starting thread's own copy of the handle: threadHandle is cleared
    // by the running thread, this one is closed once the thread has ended.
    void* ownHandle;
};

#endif
