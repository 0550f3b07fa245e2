#include <windows.h>
#include <shlobj.h>


#include <thread>

#include "NApplicationBasic.h"
#include "NSystem.h"
#include "ProcessRunner.h"
#include "ScreenPixels.h"
#include "WindowTestSupport.h"

TEST(NApplication, DispatchReachesTheWindowItsWindowsWithoutHandleAllOnBroadcastAndWatchersIdsCountFrom3000)
{
    RecordingWindow a, b, pending;  // pending: in the dispatch list, its window not made yet
    ASSERT_TRUE(a.create() && b.create());
    globalApplication.registerWindow(&pending, nullptr);
    SendMessageA(a.hwnd, WM_APP + 1, 0, 0);
    EXPECT_EQ(a.calls.back(), "app");
    EXPECT_NE(b.calls.back(), "app");
    EXPECT_EQ(pending.calls, Calls{"app"});

    // The first window leaves the list on the way; the others still get it.
    a.destroysOnBroadcast = true;
    NApplication::windowProc(nullptr, WM_APP + 1, 0, 0);
    EXPECT_FALSE(IsWindow(a.hwnd));
    for (RecordingWindow* window : {&a, &b, &pending}) EXPECT_EQ(window->calls.back(), "app broadcast");

    // What a handler throws stays in the window procedure.
    globalError.log = "";
    b.throwsOnCommand = true;
    EXPECT_EQ(SendMessageA(b.hwnd, WM_COMMAND, 5, 0), 0);
    expectLogged("Unerwartete Ausnahme in NApplication::windowProc(..) bei Nachricht 0x111: kaputt");

    NApplication application;
    EXPECT_EQ(application.nextControlId() + application.nextControlId(), 3000 + 3001);

    Calls log;
    RecordingWindow target, watched, other;
    for (RecordingWindow* window : {&target, &watched, &other}) {
        ASSERT_TRUE(window->create());
        window->shared = &log;
    }
    target.title = "Ziel";
    watched.title = "Beobachtet";
    globalApplication.addWatch(target.hwnd, watched.hwnd, WM_APP + 1, 42);
    // Another window's message, or another message, is not relayed.
    SendMessageA(other.hwnd, WM_APP + 1, 7, 9);
    SendMessageA(watched.hwnd, WM_APP + 2, 7, 9);
    SendMessageA(watched.hwnd, WM_APP + 1, 7, 9);
    EXPECT_EQ(log, (Calls{"Aufzeichnung: app", "Beobachtet: app", "Ziel: watched Beobachtet 32769 7 9 42"}));
}

TEST(NApplicationBasic, WaitRunsMessagesUntilTheTimeOrTheFlag)
{
    RecordingWindow window;
    ASSERT_TRUE(window.create());
    PostMessageA(window.hwnd, WM_APP + 1, 0, 0);
    DWORD start = GetTickCount();
    EXPECT_TRUE(globalApplicationBasic.wait(60));
    EXPECT_GE(GetTickCount() - start, 50u);
    EXPECT_EQ(window.calls.back(), "app");

    static volatile int keepWaiting = 1;
    std::thread stopper([] { Sleep(20); keepWaiting = 0; });
    start = GetTickCount();
    EXPECT_FALSE(globalApplicationBasic.wait(5000, &keepWaiting));
    EXPECT_LT(GetTickCount() - start, 1000u);
    stopper.join();

    // The quit message stays for the main loop.
    PostQuitMessage(3);
    EXPECT_FALSE(globalApplicationBasic.wait(5000));
    WPARAM code = 0;
    EXPECT_TRUE(takeQuit(&code) && code == 3u);
}

TEST(NApplication, LoopTranslatesKeysBeforeTheAcceleratorsSeeThem)
{
    for (bool accelerator : {false, true}) {
        RecordingWindow window, child, stranger;
        child.handlesKeys = true;
        ASSERT_TRUE(window.create() && child.createChild(window) && stranger.create());
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
        const MSG key = {stranger.hwnd, WM_KEYDOWN, 'A', 0x001E0001, 0, {0, 0}};
        EXPECT_EQ(globalApplication.translateAccelerator(key), 0);
    }
}

TEST(NApplication, TheTickReachesEveryWindowAndOnlyItPlaysTheSoundQueue)
{
    useProgramResources();
    RecordingWindow listening, deaf;
    deaf.setTimerEvents(false);
    ASSERT_TRUE(listening.create() && deaf.create());
    ASSERT_TRUE(globalApplication.startTimer());
    EXPECT_TRUE(pumpUntil([&listening] { return listening.ticks > 5; }));
    globalApplication.stopTimer();
    EXPECT_EQ(deaf.ticks, 0);

    TestFolder folder;
    writeBytes(folder.file("klick.wav"), "RIFF");
    NSound& sound = globalApplication.getSound();
    sound.queue(folder.file("klick.wav").c_str());
    SendMessageA(listening.hwnd, WM_TIMER, 7, 0);
    EXPECT_EQ(sound.getQueue().getCount(), 1);
    NApplication::windowProc(nullptr, WM_TIMER, 0, 0);
    EXPECT_EQ(sound.getQueue().getCount(), 0);
    sound.stop();
}

TEST(NApplication, ConfigFilesOpenOnceAndNeedTheProgramsName)
{
    const NString programPath = globalApplicationBasic.programPath;
    for (bool user : {true, false}) {
        NFileIni& file = user ? globalApplicationBasic.userConfig : globalApplicationBasic.computerConfig;
        auto open = [user] {
            return user ? globalApplicationBasic.openUserConfigFile() : globalApplicationBasic.openComputerConfigFile();
        };
        file.close(false);
        const std::string path = str(NSystem::getSpecialFolder(user ? CSIDL_APPDATA : CSIDL_COMMON_APPDATA)) +
                                 "\\test_window.cfg";
        DeleteFileA(path.c_str());
        ASSERT_TRUE(open());
        EXPECT_EQ(str(file.getPath()), path);
        // A second call keeps the open file, its change unsaved.
        file.setValue("Test", "Wert", "1");
        ASSERT_TRUE(open());
        EXPECT_EQ(readBytes(path), "");
        file.close(false);
        DeleteFileA(path.c_str());

        globalApplicationBasic.programPath = "";
        MessageBoxCatcher boxes(1);
        EXPECT_FALSE(open());
        globalApplicationBasic.programPath = programPath;
        expectErrorBox(boxes[0], std::string("Fehler in NApplication::") +
                                     (user ? "openUserConfigFile" : "openComputerConfigFile") +
                                     "(..): Der Dateiname der Anwendung konnte nicht ermittelt werden.\r\nEventuell "
                                     "haben Sie diese Funktion vor der Verarbeitung der \xDC" "bergabeparameter (z.B. "
                                     "in einem Konstruktor) aufgerufen.");
        EXPECT_FALSE(file.isOpen());
    }
}

TEST(NApplicationProgram, WithoutMainWindowTheStartUpBoxComesAndTheProgramEndsWithZero)
{
    EXPECT_EQ(runProgram("nek_nomain.exe", "#32770", [](HWND box) {
                  char title[64] = "", text[512] = "";
                  GetWindowTextA(box, title, sizeof title);
                  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                  EXPECT_EQ(std::string(title) + "|" + text,
                            "FEHLER|Die Anwendnung konnte nicht gestartet \r\nwerden, da kein "
                            "Hauptfenster existiert.\r\n\r\nVerwenden Sie den "
                            "Korvel-Main-Assistenten zur automatischen Erzeugung.");
                  // The error icon's red disc on the screen (the other icons are yellow or
                  // blue); the box on top, away from other programs' windows.
                  SetWindowPos(box, HWND_TOPMOST, 880, 700, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
                  auto red = [box] {
                      RECT icon = {};
                      GetWindowRect(GetDlgItem(box, 0x440), &icon);
                      int n = 0;
                      for (uint32_t c : capture(nullptr, icon.left, icon.top, 32, 32).bits)
                          n += (c >> 16 & 0xFF) > 160 && (c >> 8 & 0xFF) < 96 && (c & 0xFF) < 96;
                      return n;
                  };
                  for (DWORD start = GetTickCount(); red() <= 100 && GetTickCount() - start < 5000;)
                      Sleep(20);
                  EXPECT_GT(red(), 100);
                  PostMessageA(GetDlgItem(box, IDOK), WM_KEYDOWN, VK_RETURN, 0x001C0001);
                  PostMessageA(GetDlgItem(box, IDOK), WM_KEYUP, VK_RETURN, 0xC01C0001);
              }),
              0);
}

TEST(NApplicationProgram, GlobalObjectsAreBuiltInOrderAndDestroyedInReverse)
{
    const ProcessResult result = runProcess("\"" + programFolder() + "nek_order.exe\"", 20000);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "+1005 .......|+1015 E......|+1025 EL.....|+1035 ELD....|+1045 ELDB...|"
                          "+1055 ELDBR..|+1065 ELDBRC.|+1075 ELDBRCA|+main ELDBRCA|main taken|main listed|"
                          "-main ???BR?A|-1075 ???BR?A|-1065 ???BR?.|-1055 ???BR?.|-1045 ???B.?.|"
                          "-1035 ???..?.|-1025 ???..?.|-1015 ???..?.|-1005 ???..?.|");
}
