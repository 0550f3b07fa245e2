#ifndef NEK_NAPPLICATION_H
#define NEK_NAPPLICATION_H

#include <windows.h>

#include "NPointerList.h"
#include "NSound.h"

class NWindow;

// Private message sent to watchers: lParam points to NWatchedMessage.
#define NEK_MSG_WATCHED 0x4B6

// What a watcher receives with NEK_MSG_WATCHED.
struct NWatchedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LPARAM userValue;
};

// NApplication: carries the running program. It starts GDI+, creates and
// shows the main window (the first library window constructed), owns the
// one window procedure of every library window class and its 10 ms tick,
// keeps the windows, accelerator and watch registries, hands out control
// ids and plays the sound queue. One global instance.
class NApplication {
public:
    NApplication();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NApplication();

    // 1 when the main window was created and shown, else 0. The show command
    // is not used: the main window's style decides how it is shown.
    int init(HINSTANCE instance, HINSTANCE previousInstance = nullptr, int showCommand = 1);
    // The message loop of a program's entry point; returns the quit code.
    int run();
    // Steps of init, usable on their own (a program without main window).
    bool startGdiplus();
    // The 10 ms tick; true when it runs.
    bool startTimer();
    void stopTimer();

    // The window procedure of every library window class; the tick arrives
    // here too, as WM_TIMER with no window and wParam 0.
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Hands one message to every window of the dispatch list it concerns.
    LRESULT dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // Appends to the dispatch list; with a class record, registers the class.
    bool registerWindow(NWindow* window, WNDCLASSEXA* windowClass);
    void unregisterWindow(NWindow* window);
    NWindow* findWindow(HWND hwnd);
    // Called by the window base for every window object.
    void addWindow(NWindow* window);
    void removeWindow(NWindow* window);

    int regAccelerator(HWND hwnd);
    LRESULT translateAccelerator(MSG message);
    int nextControlId();
    void bringToFront(HWND hwnd);
    HBRUSH getBackgroundBrush() const { return backgroundBrush; }
    void addWatch(HWND target, HWND watched, UINT message, LPARAM userValue);
    void relayWatched(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The configuration files live in NApplicationBasic; these forward there.
    bool openUserConfigFile();
    bool openComputerConfigFile();

    HINSTANCE getInstance() const { return instance; }
    NWindow* getMainWindow() const { return mainWindow; }
    NSound& getSound() { return sound; }
    bool isTimerRunning() const { return timerId != 0; }

    HINSTANCE instance;
    HINSTANCE previousInstance;
    NWindow* mainWindow;
    NPointerList windows;
    NSound sound;
    HWND activeWindow;
    int exitCode;
    NPointerList dispatchList;

private:
    struct Watch {
        HWND target;
        HWND watched;
        UINT message;
        LPARAM userValue;
    };
    static void CALLBACK tick(HWND hwnd, UINT message, UINT_PTR id, DWORD time);
    // Reports an exception caught at a system callback (window procedure, timer).
    static void reportException(const char* where, UINT message, const char* what);

    int controlId;
    UINT_PTR timerId;
    HBRUSH backgroundBrush;
    NPointerList acceleratorWindows;
    NPointerList watches;
    ULONG_PTR gdiplusToken;
};

extern NApplication globalApplication;

#endif
