// The application object: its dispatcher, the message loop with the
// accelerator offer, watches, the tick, configuration files, and programs
// built on it run as processes.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "MessageBoxCatcher.h"
#include "NApplicationBasic.h"
#include "NResources.h"
#include "NSystem.h"
#include "ProcessRunner.h"
#include "TestFiles.h"
#include "WindowTestSupport.h"

namespace {

typedef std::vector<std::string> Calls;

// A running helper program and the windows it shows.
class Program {
public:
    explicit Program(const char* name)
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string command = "\"" + programFolder() + name + "\"";
        started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process) != 0;
    }
    ~Program()
    {
        if (!started)
            return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    // Its first visible top-level window of that class; null after 10 s.
    HWND waitForWindow(const char* className)
    {
        search = {process.dwProcessId, className, nullptr};
        for (int i = 0; i < 1000 && !search.result; ++i) {
            EnumWindows(found, reinterpret_cast<LPARAM>(&search));
            Sleep(search.result ? 0 : 10);
        }
        return search.result;
    }
    // -1 while it still runs after 10 s.
    int exitCode()
    {
        DWORD code = static_cast<DWORD>(-1);
        if (WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        return static_cast<int>(code);
    }

    bool started;
    PROCESS_INFORMATION process = {};

private:
    struct Search {
        DWORD processId;
        const char* className;
        HWND result;
    } search = {};
    static BOOL CALLBACK found(HWND hwnd, LPARAM lParam)
    {
        Search* s = reinterpret_cast<Search*>(lParam);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        char name[64] = "";
        GetClassNameA(hwnd, name, sizeof name);
        if (owner == s->processId && IsWindowVisible(hwnd) && lstrcmpA(name, s->className) == 0)
            s->result = hwnd;
        return !s->result;
    }
};

// The screen at a point of a window's client area; waits up to 5 s for
// `expected`, since another process paints it.
COLORREF screenPixel(HWND hwnd, int x, int y, COLORREF expected)
{
    POINT p = {x, y};
    ClientToScreen(hwnd, &p);
    COLORREF colour = CLR_INVALID;
    for (int i = 0; i < 500 && colour != expected; ++i, Sleep(colour == expected ? 0 : 10)) {
        HDC screen = GetDC(nullptr);
        colour = GetPixel(screen, p.x, p.y);
        ReleaseDC(nullptr, screen);
    }
    return colour;
}

// A memory copy of a screen area, or of `icon` drawn on the colour of that
// area's top-left pixel.
struct ScreenCopy {
    ScreenCopy(const RECT& r, HICON icon = nullptr) : width(r.right - r.left), height(r.bottom - r.top)
    {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        old = SelectObject(dc, bitmap);
        BitBlt(dc, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
        if (icon) {
            HBRUSH background = CreateSolidBrush(GetPixel(dc, 0, 0));
            RECT all = {0, 0, width, height};
            FillRect(dc, &all, background);
            DeleteObject(background);
            DrawIcon(dc, 0, 0, icon);
        }
    }
    ~ScreenCopy()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    int same(const ScreenCopy& other) const
    {
        int count = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                count += GetPixel(dc, x, y) == GetPixel(other.dc, x, y);
        return count;
    }
    int width, height;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

// A short, silent PCM sound.
void writeWav(const std::string& path)
{
    std::string wav("RIFF\x2C\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1F\0\0\x40\x1F\0\0\x01\0\x08\0"
                    "data\x08\0\0\0\x80\x80\x80\x80\x80\x80\x80\x80",
                    52);
    writeBytes(path, wav);
}

}  // namespace

TEST(NApplication, DispatchReachesTheWindowItsWindowsWithoutHandleAndAllOnBroadcast)
{
    RecordingWindow a;
    RecordingWindow b;
    ASSERT_TRUE(a.create());
    ASSERT_TRUE(b.create());
    RecordingWindow pending;  // in the dispatch list, its window not made yet
    globalApplication.registerWindow(&pending, nullptr);

    SendMessageA(a.hwnd, WM_APP + 1, 0, 0);
    EXPECT_EQ(a.calls.back(), "app");
    EXPECT_NE(b.calls.back(), "app");
    EXPECT_EQ(pending.calls, Calls{"app"});

    // The first window leaves the list on the way; the others still get it.
    a.destroysOnBroadcast = true;
    NApplication::windowProc(nullptr, WM_APP + 1, 0, 0);
    EXPECT_FALSE(IsWindow(a.hwnd));
    for (RecordingWindow* window : {&a, &b, &pending})
        EXPECT_EQ(window->calls.back(), "app broadcast");
}

TEST(NApplication, NoExceptionLeavesTheWindowProcedure)
{
    globalError.log = "";
    RecordingWindow window;
    ASSERT_TRUE(window.create());
    window.throwsOnCommand = true;
    EXPECT_EQ(SendMessageA(window.hwnd, WM_COMMAND, 5, 0), 0);
    EXPECT_EQ(str(globalError.log),
              logged("Unerwartete Ausnahme in NApplication::windowProc(..) bei Nachricht 0x111: kaputt"));
    globalError.log = "";
}

namespace {
volatile int keepWaiting = 1;
void CALLBACK stopWaiting(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    keepWaiting = 0;
}
}  // namespace

TEST(NApplicationBasic, WaitRunsMessagesUntilTheTimeOrTheFlag)
{
    RecordingWindow window;
    ASSERT_TRUE(window.create());
    PostMessageA(window.hwnd, WM_APP + 1, 0, 0);
    DWORD start = GetTickCount();
    EXPECT_TRUE(globalApplicationBasic.wait(60));
    EXPECT_GE(GetTickCount() - start, 50u);
    EXPECT_EQ(window.calls.back(), "app");

    keepWaiting = 1;
    SetTimer(nullptr, 0, 20, stopWaiting);
    start = GetTickCount();
    EXPECT_FALSE(globalApplicationBasic.wait(5000, &keepWaiting));
    EXPECT_LT(GetTickCount() - start, 1000u);

    // The quit message stays for the main loop.
    PostQuitMessage(3);
    EXPECT_FALSE(globalApplicationBasic.wait(5000));
    WPARAM code = 0;
    EXPECT_TRUE(takeQuit(&code));
    EXPECT_EQ(code, 3u);
}

TEST(NApplication, ControlIdsCountUpFrom3000)
{
    NApplication application;
    EXPECT_EQ(application.nextControlId(), 3000);
    EXPECT_EQ(application.nextControlId(), 3001);
    EXPECT_EQ(application.nextControlId(), 3002);
}

TEST(NApplication, LoopTranslatesKeysBeforeTheAcceleratorsSeeThem)
{
    for (bool accelerator : {false, true}) {
        RecordingWindow window;
        ASSERT_TRUE(window.create());
        RecordingWindow child;
        child.handlesKeys = true;
        ASSERT_TRUE(child.createChild(window));
        window.acceleratorKey = accelerator ? 'A' : -1;
        globalApplication.regAccelerator(window.hwnd);
        pump();
        child.calls.clear();

        // A key for the child: the window it belongs to may take it.
        PostMessageA(child.hwnd, WM_KEYDOWN, 'A', 0x001E0001);
        PostQuitMessage(5);
        EXPECT_EQ(globalApplication.run(), 5);
        EXPECT_EQ(child.calls, accelerator ? Calls{"char a"} : (Calls{"keyDown a", "char a"}));

        // Keys of windows outside the registered one are not offered to it.
        RecordingWindow stranger;
        ASSERT_TRUE(stranger.create());
        MSG key = {stranger.hwnd, WM_KEYDOWN, 'A', 0x001E0001, 0, {0, 0}};
        EXPECT_EQ(globalApplication.translateAccelerator(key), 0);
    }
}

TEST(NApplication, WatchersGetTheWatchedMessages)
{
    RecordingWindow watcher;
    RecordingWindow watched;
    ASSERT_TRUE(watcher.create());
    ASSERT_TRUE(watched.create());
    globalApplication.addWatch(watcher.hwnd, watched.hwnd, WM_APP + 2, 42);
    SendMessageA(watched.hwnd, WM_APP + 2, 3, 4);
    SendMessageA(watched.hwnd, WM_APP + 3, 3, 4);
    SendMessageA(watcher.hwnd, WM_APP + 2, 3, 4);
    ASSERT_EQ(watcher.watchedSeen.size(), 1u);
    const NWatchedMessage& seen = watcher.watchedSeen[0];
    EXPECT_EQ(seen.window, watched.hwnd);
    EXPECT_EQ(seen.message, static_cast<UINT>(WM_APP + 2));
    EXPECT_EQ(seen.wParam, 3u);
    EXPECT_EQ(seen.lParam, 4);
    EXPECT_EQ(seen.userValue, 42);
}

TEST(NApplication, TheTickReachesEveryWindowAndOnlyItPlaysTheSoundQueue)
{
    if (!globalResources.isInitialised()) {
        globalResources.setProgramFolder(programFolder().c_str());
        globalResources.init();
    }
    RecordingWindow listening;
    RecordingWindow deaf;
    deaf.setTimerEvents(false);
    ASSERT_TRUE(listening.create());
    ASSERT_TRUE(deaf.create());
    ASSERT_TRUE(globalApplication.startTimer());
    pumpFor(300);
    globalApplication.stopTimer();
    EXPECT_GT(listening.ticks, 5);
    EXPECT_EQ(deaf.ticks, 0);

    TestFolder folder;
    writeWav(folder.file("klick.wav"));
    NSound& sound = globalApplication.getSound();
    sound.queue(folder.file("klick.wav").c_str());
    ASSERT_EQ(sound.getQueue().getCount(), 1);
    SendMessageA(listening.hwnd, WM_TIMER, 7, 0);
    EXPECT_EQ(sound.getQueue().getCount(), 1);
    NApplication::windowProc(nullptr, WM_TIMER, 0, 0);
    EXPECT_EQ(sound.getQueue().getCount(), 0);
    sound.stop();
}

TEST(NApplication, ConfigFilesOpenOnceAndNeedTheProgramsName)
{
    struct Case {
        NFileIni& file;
        bool (NApplicationBasic::*open)();
        int folder;
        const char* operation;
    };
    const Case cases[] = {
        {globalApplicationBasic.userConfig, &NApplicationBasic::openUserConfigFile, CSIDL_APPDATA,
         "openUserConfigFile"},
        {globalApplicationBasic.computerConfig, &NApplicationBasic::openComputerConfigFile,
         CSIDL_COMMON_APPDATA, "openComputerConfigFile"},
    };
    const NString programPath = globalApplicationBasic.programPath;
    for (const Case& c : cases) {
        c.file.close(false);
        ASSERT_TRUE((globalApplicationBasic.*c.open)());
        EXPECT_EQ(str(c.file.getPath()), str(NSystem::getSpecialFolder(c.folder) + "\\test_window.cfg"));
        // A second call keeps the open file, changes and all.
        c.file.setValue("Test", "Wert", "1");
        ASSERT_TRUE((globalApplicationBasic.*c.open)());
        EXPECT_EQ(str(c.file.getValue("Test", "Wert")), "1");
        const std::string path = str(c.file.getPath());
        c.file.close(false);
        DeleteFileA(path.c_str());

        globalApplicationBasic.programPath = "";
        MessageBoxCatcher boxes;
        boxes.expect(IDOK);
        EXPECT_FALSE((globalApplicationBasic.*c.open)());
        globalApplicationBasic.programPath = programPath;
        ASSERT_EQ(boxes.count(), 1u);
        expectErrorBox(boxes[0],
                  std::string("Fehler in NApplication::") + c.operation +
                      "(..): Der Dateiname der Anwendung konnte nicht ermittelt werden.\r\n"
                      "Eventuell haben Sie diese Funktion vor der Verarbeitung der \xDC"
                      "bergabeparameter (z.B. in einem Konstruktor) aufgerufen.");
        EXPECT_FALSE(c.file.isOpen());
    }
}

TEST(NApplicationProgram, APaintedMainWindowShowsAndClosingEndsWithZero)
{
    Program program("nek_painted.exe");
    ASSERT_TRUE(program.started);
    const HWND window = program.waitForWindow("NEK_WINDOW");
    ASSERT_NE(window, nullptr);
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "NEK Malfenster");
    // Above the windows of test programs running beside this one.
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(screenPixel(window, 40, 40, RGB(255, 0, 0)), RGB(255, 0, 0));
    EXPECT_EQ(screenPixel(window, 200, 150, 0xA08D8C), 0xA08D8Cu);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exitCode(), 0);
}

TEST(NApplicationProgram, WithoutMainWindowTheStartUpBoxComesAndTheProgramEndsWithZero)
{
    Program program("nek_nomain.exe");
    ASSERT_TRUE(program.started);
    const HWND box = program.waitForWindow("#32770");
    ASSERT_NE(box, nullptr);
    char title[64] = "";
    GetWindowTextA(box, title, sizeof title);
    char text[512] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_STREQ(title, "FEHLER");
    EXPECT_STREQ(text, "Die Anwendnung konnte nicht gestartet \r\nwerden, da kein Hauptfenster "
                       "existiert.\r\n\r\nVerwenden Sie den Korvel-Main-Assistenten zur "
                       "automatischen Erzeugung.");

    // The icon on the screen is the error icon, not one of the others. The
    // box goes to a corner and on top, away from other test programs' windows.
    const HWND iconControl = GetDlgItem(box, 0x440);
    ASSERT_NE(iconControl, nullptr);
    SetWindowPos(box, HWND_TOPMOST, 880, 700, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    Sleep(200);
    RECT iconRect;
    GetWindowRect(iconControl, &iconRect);
    const ScreenCopy shown(iconRect);
    const int errorMatch = shown.same(ScreenCopy(iconRect, LoadIconA(nullptr, IDI_HAND)));
    for (LPCSTR other : {IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK})
        EXPECT_GT(errorMatch, shown.same(ScreenCopy(iconRect, LoadIconA(nullptr, other))));

    const HWND ok = GetDlgItem(box, IDOK);
    ASSERT_NE(ok, nullptr);
    PostMessageA(ok, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(ok, WM_KEYUP, VK_RETURN, 0xC01C0001);
    EXPECT_EQ(program.exitCode(), 0);
}

TEST(NApplicationProgram, GlobalObjectsAreBuiltInOrderAndDestroyedInReverse)
{
    const ProcessResult result = runProcess("\"" + programFolder() + "nek_order.exe\"", 20000);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out,
              "+1005 .......\n"
              "+1015 E......\n"
              "+1025 EL.....\n"
              "+1035 ELD....\n"
              "+1045 ELDB...\n"
              "+1055 ELDBR..\n"
              "+1065 ELDBRC.\n"
              "+1075 ELDBRCA\n"
              "+main ELDBRCA\n"
              "main window taken\n"
              "WinMain\n"
              "main window still listed\n"
              "-main ???BR?A\n"
              "-1075 ???BR?A\n"
              "-1065 ???BR?.\n"
              "-1055 ???BR?.\n"
              "-1045 ???B.?.\n"
              "-1035 ???..?.\n"
              "-1025 ???..?.\n"
              "-1015 ???..?.\n"
              "-1005 ???..?.\n");
}
