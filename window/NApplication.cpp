#include "NApplication.h"

#include <gdiplus.h>

#include <cstdint>
#include <exception>

#include "NApplicationBasic.h"
#include "NDebug.h"
#include "NError.h"
#include "NGlobalOrder.h"
#include "NResources.h"
#include "NWindow.h"

NApplication globalApplication NEK_INIT_ORDER(NEK_ORDER_APPLICATION);

NApplication::NApplication()
    : instance(GetModuleHandleA(nullptr)),
      previousInstance(nullptr),
      mainWindow(nullptr),
      activeWindow(nullptr),
      exitCode(0),
      controlId(3000),
      timerId(0),
      backgroundBrush(CreateSolidBrush(0xA08D8C)),
      gdiplusToken(0)
{
}

NApplication::~NApplication()
{
    stopTimer();
    if (backgroundBrush)
        DeleteObject(backgroundBrush);
    backgroundBrush = nullptr;
    if (gdiplusToken)
        Gdiplus::GdiplusShutdown(gdiplusToken);
    gdiplusToken = 0;
    for (int i = 0; i < watches.getCount(); ++i)
        delete static_cast<Watch*>(watches.getAt(i));
    watches.removeAll();
    acceleratorWindows.removeAll();
    dispatchList.removeAll();
    windows.removeAll();
    mainWindow = nullptr;
}

const char* NApplication::getName() const { return getClassName(); }
const char* NApplication::getClassName() const { return "NApplication"; }

// --- start and loop ----------------------------------------------------------------

bool NApplication::startGdiplus()
{
    if (gdiplusToken)
        return true;
    Gdiplus::GdiplusStartupInput input;  // version 1, no callback, own thread, codecs
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return false;
    gdiplusToken = token;
    return true;
}

bool NApplication::startTimer()
{
    if (!timerId)
        timerId = SetTimer(nullptr, 0, 10, tick);
    return timerId != 0;
}

void NApplication::stopTimer()
{
    if (timerId)
        KillTimer(nullptr, timerId);
    timerId = 0;
}

int NApplication::init(HINSTANCE newInstance, HINSTANCE newPreviousInstance, int /*showCommand*/)
{
    instance = newInstance;
    previousInstance = newPreviousInstance;
    startGdiplus();

    globalApplicationBasic.readCommandLine();
    globalResources.setProgramFolder(globalApplicationBasic.programFolder);
    globalResources.setProgramPath(globalApplicationBasic.programPath);
    globalResources.init();

    startTimer();

    if (!mainWindow) {
        MessageBoxA(nullptr,
                    "Die Anwendnung konnte nicht gestartet \r\nwerden, da kein Hauptfenster "
                    "existiert.\r\n\r\nVerwenden Sie den Korvel-Main-Assistenten zur "
                    "automatischen Erzeugung.",
                    "FEHLER", MB_ICONERROR);
        return 0;
    }
    mainWindow->style |= WS_POPUP;
    if (!mainWindow->create(nullptr))
        return 0;

    const HWND hwnd = mainWindow->hwnd;
    const DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    if (style & WS_MINIMIZE) {
        ShowWindow(hwnd, SW_MINIMIZE);
    } else {
        bringToFront(hwnd);
        ShowWindow(hwnd, (style & WS_MAXIMIZE) ? SW_MAXIMIZE : SW_SHOWNORMAL);
        SetActiveWindow(hwnd);
    }
    SetActiveWindow(hwnd);
    return 1;
}

int NApplication::run()
{
    MSG message = {};
    // An error value (-1) is handled like a message; only the quit ends the loop.
    while (GetMessageA(&message, nullptr, 0, 0) != 0) {
        // Translated first, so a key an accelerator takes still yields its character.
        TranslateMessage(&message);
        if (message.message != WM_KEYDOWN || translateAccelerator(message) == 0)
            DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

// --- the window procedure ---------------------------------------------------------------

void NApplication::reportException(const char* where, UINT message, const char* what)
{
    NString text;
    text.format("Unerwartete Ausnahme in %s bei Nachricht 0x%X: %s", where, message,
                what ? what : "unbekannt");
    globalError.addError(text);
}

LRESULT CALLBACK NApplication::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        return globalApplication.dispatch(hwnd, message, wParam, lParam);
    } catch (const std::exception& e) {
        reportException("NApplication::windowProc(..)", message, e.what());
    } catch (...) {
        reportException("NApplication::windowProc(..)", message, nullptr);
    }
    return 0;
}

void CALLBACK NApplication::tick(HWND, UINT, UINT_PTR, DWORD time)
{
    // windowProc catches whatever a handler throws.
    windowProc(nullptr, WM_TIMER, 0, static_cast<LPARAM>(time));
}

LRESULT NApplication::dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    for (int i = 0; i < dispatchList.getCount(); ++i) {
        NWindow* window = static_cast<NWindow*>(dispatchList.getData()[i]);
        if (hwnd && window->hwnd != hwnd && window->hwnd)
            continue;
        result = window->onMessage(hwnd, message, wParam, lParam, false, 0);
        // A handler may have removed windows from the list (WM_DESTROY does):
        // go on behind this window, or at its old place when it left.
        if (i >= dispatchList.getCount() || dispatchList.getData()[i] != window) {
            const int at = dispatchList.find(window);
            i = at >= 0 ? at : i - 1;
        }
    }
    if (message == WM_TIMER && wParam == 0)
        sound.next();
    return result;
}

// --- windows ----------------------------------------------------------------------------

bool NApplication::registerWindow(NWindow* window, WNDCLASSEXA* windowClass)
{
    dispatchList.add(window, true);
    if (!windowClass)
        return true;
    windowClass->hInstance = instance;
    windowClass->lpfnWndProc = windowProc;
    WNDCLASSEXA known = {};
    known.cbSize = sizeof known;
    if (GetClassInfoExA(instance, windowClass->lpszClassName, &known))
        return true;
    return RegisterClassExA(windowClass) != 0;
}

void NApplication::unregisterWindow(NWindow* window)
{
    dispatchList.removeValue(window);
    for (int i = watches.getCount() - 1; i >= 0; --i) {
        Watch* watch = static_cast<Watch*>(watches.getAt(i));
        if (watch->target == window->hwnd) {
            watches.removeAt(i);
            delete watch;
        }
    }
}

NWindow* NApplication::findWindow(HWND hwnd)
{
    void** data = windows.getData();
    for (int i = 0; i < windows.getCount(); ++i)
        if (static_cast<NWindow*>(data[i])->hwnd == hwnd)
            return static_cast<NWindow*>(data[i]);
    return nullptr;
}

void NApplication::addWindow(NWindow* window)
{
    windows.add(window);
    // Programs construct their main window first; its members come after it.
    if (!mainWindow)
        mainWindow = window;
}

void NApplication::removeWindow(NWindow* window)
{
    windows.removeValue(window);
    if (mainWindow == window)
        mainWindow = nullptr;
}

int NApplication::nextControlId() { return controlId++; }

void NApplication::bringToFront(HWND hwnd)
{
    if (GetWindowLongA(hwnd, GWL_STYLE) & WS_MINIMIZE) {
        ShowWindow(hwnd, SW_MAXIMIZE);
        UpdateWindow(hwnd);
    }
    const HWND foreground = GetForegroundWindow();
    const DWORD foregroundThread =
        foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    const DWORD thisThread = GetCurrentThreadId();
    // Windows lets a thread take the foreground only while it shares the
    // input state of the thread that has it.
    const bool attach = foregroundThread && foregroundThread != thisThread;
    if (attach)
        AttachThreadInput(thisThread, foregroundThread, TRUE);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    if (attach)
        AttachThreadInput(thisThread, foregroundThread, FALSE);
    InvalidateRect(hwnd, nullptr, TRUE);
}

// --- accelerators and watches ---------------------------------------------------------------

int NApplication::regAccelerator(HWND hwnd)
{
    globalDebug.printf("NApplication::regAccelerator(..) HWND=0x%08X",
                       static_cast<unsigned int>(reinterpret_cast<uintptr_t>(hwnd)));
    acceleratorWindows.add(hwnd);
    return 1;
}

LRESULT NApplication::translateAccelerator(MSG message)
{
    for (int i = 0; i < acceleratorWindows.getCount(); ++i) {
        const HWND handle = static_cast<HWND>(acceleratorWindows.getAt(i));
        if (!handle)
            break;
        if (handle != message.hwnd && !IsChild(handle, message.hwnd))
            continue;
        NWindow* window = findWindow(handle);
        if (!window) {
            globalDebug.printf(
                "FEHLER: NApplication::translateAccelerator(..) Kein Fenster f\xFCr %X gefunden",
                static_cast<unsigned int>(reinterpret_cast<uintptr_t>(handle)));
            continue;
        }
        if (window->onAccelerator(message.hwnd, message.message, message.wParam, message.lParam))
            return 1;
    }
    return 0;
}

void NApplication::addWatch(HWND target, HWND watched, UINT message, LPARAM userValue)
{
    watches.add(new Watch{target, watched, message, userValue});
}

void NApplication::relayWatched(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    for (int i = 0; i < watches.getCount(); ++i) {
        const Watch* watch = static_cast<Watch*>(watches.getData()[i]);
        if (watch->watched != hwnd || watch->message != message)
            continue;
        NWatchedMessage data = {hwnd, message, wParam, lParam, watch->userValue};
        SendMessageA(watch->target, NEK_MSG_WATCHED, 0, reinterpret_cast<LPARAM>(&data));
    }
}

bool NApplication::openUserConfigFile() { return globalApplicationBasic.openUserConfigFile(); }

bool NApplication::openComputerConfigFile()
{
    return globalApplicationBasic.openComputerConfigFile();
}
