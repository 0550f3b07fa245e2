// The frame window: position and maximized state kept across program starts,
// the minimum size, the declared controls' places, the requests it hands to
// controls, its event table, the logo with its menu, and dragging by the
// client area.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <functional>

#include "FrameTestSupport.h"
#include "MenuDriver.h"
#include "MessageBoxCatcher.h"
#include "NApplicationBasic.h"
#include "NStatic.h"
#include "NSystem.h"
#include "NToolTip.h"
#include "WindowTestSupport.h"

using frametest::TestFrame;

namespace {

typedef std::vector<std::string> Calls;

class Frame : public TestFrame {
public:
    explicit Frame(const char* name) : TestFrame(name) { rect = NRect(60, 60, 500, 350); }
    void onA() { calls.push_back("a"); }
    void onB() { calls.push_back("b"); }
    void onC() { calls.push_back("c"); }
    Calls calls;
};

// One start of nek_framepos.exe: `use` works with its window, which is then closed.
void runFramePos(const std::function<void(HWND)>& use)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string command = "\"" + programFolder() + "nek_framepos.exe\"";
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    HWND window = nullptr;
    for (int i = 0; i < 1000 && !(window && IsWindowVisible(window)); ++i, Sleep(10))
        window = FindWindowA(nullptr, "NEK Rahmenposition");
    EXPECT_NE(window, nullptr);
    if (window) {
        use(window);
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    DWORD code = 99;
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 99);
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

std::string configPath()
{
    return str(NSystem::getSpecialFolder(CSIDL_APPDATA)) + "\\nek_framepos.cfg";
}

// What the program saved, read from the file.
std::string stored(const char* key)
{
    NFileIni config;
    config.open(configPath().c_str(), false, true);
    return str(config.getValue("PositionedFrame", key));
}

NRect rectOf(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return NRect(r);
}

}  // namespace

TEST(NFrameWindowProgram, PositionAndMaximizedStateSurviveTheNextStart)
{
    DeleteFileA(configPath().c_str());
    runFramePos([](HWND window) {
        EXPECT_EQ(rectOf(window), NRect(100, 100, 400, 300));
        SetWindowPos(window, nullptr, 150, 130, 420, 310, SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(stored("winpos"), "150,130,420,310");
        // Minimized and maximized places are no places to come back to.
        ShowWindow(window, SW_MINIMIZE);
        ShowWindow(window, SW_RESTORE);
        ShowWindow(window, SW_MAXIMIZE);
        EXPECT_EQ(stored("winpos"), "150,130,420,310");
    });
    EXPECT_EQ(stored("winpostype"), "max");
    runFramePos([](HWND window) {
        EXPECT_TRUE(IsZoomed(window));
        ShowWindow(window, SW_RESTORE);
        EXPECT_EQ(rectOf(window), NRect(150, 130, 420, 310));
    });
    EXPECT_EQ(stored("winpostype"), "std");
    runFramePos([](HWND window) {
        EXPECT_FALSE(IsZoomed(window));
        EXPECT_EQ(rectOf(window), NRect(150, 130, 420, 310));
    });
    DeleteFileA(configPath().c_str());
}

TEST(NFrameWindow, CannotBeMadeSmallerThanItsProgrammedSize)
{
    // A larger stored rectangle does not raise the minimum.
    ASSERT_TRUE(globalApplication.openUserConfigFile());
    NFileIni& config = globalApplicationBasic.userConfig;
    config.setValue("MinFrame", "winpos", "40,40,700,500");
    Frame frame("MinFrame");
    frame.savePosition = 1;
    ASSERT_TRUE(frame.open());
    EXPECT_EQ(frame.getWindowRect(true), NRect(40, 40, 700, 500));
    MINMAXINFO info = {};
    frame.sendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 500);
    EXPECT_EQ(info.ptMinTrackSize.y, 350);
    frame.moveWindow(40, 40, 200, 100);
    EXPECT_EQ(frame.getWindowRect(true).getSize(), NSize(500, 350));
    config.setSectionText("MinFrame", "");
    config.save();
}

TEST(NFrameWindow, DeclaredControlsStandInRowsThatWrapAfter750)
{
    struct DeclaringFrame : Frame {
        DeclaringFrame() : Frame("DeclaringFrame")
        {
            rect = NRect(10, 10, 900, 300);
            for (int i = 0; i < 10; ++i) {
                texts[i].setParent(this);
                texts[i].title = NString("Text ") + NString::fromNumber(i);
            }
        }
        NStatic texts[10];
    } frame;
    ASSERT_TRUE(frame.open());
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(frame.texts[i].getWindowRect(false),
                  NRect(20 + 100 * (i % 8), i < 8 ? 20 : 60, 80, 20)) << i;
    }
}

TEST(NFrameWindow, ColourAndDrawRequestsGoToTheControlButNotThoseOfDialogs)
{
    struct Answering : NWindow {
        Answering() : brush(CreateSolidBrush(RGB(1, 2, 3))) { style = WS_CHILD; }
        ~Answering() override { DeleteObject(brush); }
        LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool handled,
                          LRESULT result) override
        {
            if (window != hwnd || (message != NEK_MSG_CTLCOLOR && message != NEK_MSG_DRAWITEM))
                return NWindow::onMessage(window, message, wParam, lParam, handled, result);
            seen.push_back(message == NEK_MSG_DRAWITEM ? lParam : static_cast<LPARAM>(wParam));
            return message == NEK_MSG_CTLCOLOR ? reinterpret_cast<LRESULT>(brush) : 0;
        }
        HBRUSH brush;
        std::vector<LPARAM> seen;
    } child;
    Frame frame("RequestFrame");
    ASSERT_TRUE(frame.open());
    ASSERT_TRUE(child.create(&frame));
    const LPARAM control = reinterpret_cast<LPARAM>(child.hwnd);
    for (UINT message : {WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN,
                         WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC})
        EXPECT_EQ(frame.sendMessage(message, 77, control), reinterpret_cast<LRESULT>(child.brush));
    EXPECT_NE(frame.sendMessage(WM_CTLCOLORDLG, 77, control), reinterpret_cast<LRESULT>(child.brush));
    DRAWITEMSTRUCT draw = {};
    draw.hwndItem = child.hwnd;
    EXPECT_EQ(frame.sendMessage(WM_DRAWITEM, 9, reinterpret_cast<LPARAM>(&draw)), 1);
    EXPECT_EQ(child.seen, (std::vector<LPARAM>{77, 77, 77, 77, 77, reinterpret_cast<LPARAM>(&draw)}));
}

TEST(NFrameWindow, TheEventTableCallsEveryMatchingEntryInOrder)
{
    Frame frame("EventFrame");
    ASSERT_TRUE(frame.open());
    frame.addEvent(WM_COMMAND, 700, 0, &frame, &Frame::onA);
    frame.addEvent(WM_COMMAND, 700, 5, &frame, &Frame::onB);
    frame.addEvent(WM_NOTIFY, 800, static_cast<int>(NM_CLICK), &frame, &Frame::onC);
    NMHDR click = {nullptr, 800, NM_CLICK}, other = {nullptr, 800, NM_RCLICK};
    frame.sendMessage(WM_COMMAND, 700, 0);
    frame.sendMessage(WM_COMMAND, MAKEWPARAM(700, 5), 0);
    frame.sendMessage(WM_COMMAND, MAKEWPARAM(701, 5), 0);
    frame.sendMessage(WM_NOTIFY, 800, reinterpret_cast<LPARAM>(&click));
    frame.sendMessage(WM_NOTIFY, 800, reinterpret_cast<LPARAM>(&other));
    EXPECT_EQ(frame.calls, (Calls{"a", "a", "b", "c"}));
}

TEST(NFrameWindow, TheLogoSitsBottomLeftAndItsMenuOffersTheLayouterAndInfo)
{
    Frame frame("LogoFrame");
    frame.showLogo = 1;
    ASSERT_TRUE(frame.open());
    EXPECT_EQ(frame.logo.getWindowRect(false), NRect(0, frame.getClientSize().cy - 35, 70, 35));
    EXPECT_EQ(str(frame.logo.getToolTip()->getText()),
              "Klicken Sie hier f\xFCr den Realtime-Layouter.\r\n\r\nDiese Anwendung wurde mit der "
              "\r\nNEK erstellt.");

    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    MenuDriver menus({MenuDriver::keys({VK_DOWN, VK_DOWN, VK_RETURN}),
                      MenuDriver::keys({VK_DOWN, VK_RETURN}), MenuDriver::keys({VK_DOWN, VK_RETURN})});
    for (bool positioningAfter : {false, true, false}) {
        frame.logo.sendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        MenuDriver::dropTypedCharacters();
        EXPECT_EQ(frame.isPositioning(), positioningAfter);
    }
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes[0].title, "Info");
    EXPECT_EQ(boxes[0].icon, static_cast<unsigned>(MB_ICONINFORMATION));
    EXPECT_EQ(boxes[0].text,
              "Bevor Sie Ihre Anwendung weitergeben, sollten Sie die \r\nbenutzten Ressourcen und "
              "Einstellungen in das fertige Programm binden.\r\nW\xE4hlen Sie dazu 'Ressourcen "
              "einbinden' im Aktionsmen\xFC der Objektbibliothek.");
    ASSERT_EQ(menus.seen.size(), 3u);
    EXPECT_EQ(menus.seen[0].texts, (Calls{"Positionierung", "Info...", NFrameWindow::webAddress}));
    EXPECT_EQ(menus.seen[1].states[0] & MF_CHECKED, 0u);
    EXPECT_EQ(menus.seen[2].states[0] & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
}

TEST(NFrameWindow, DraggingTheClientAreaMovesTheWindowOnlyWhenAllowed)
{
    Frame frame("DragFrame");
    ASSERT_TRUE(frame.open());
    const NRect start = frame.getWindowRect(true);
    // Not allowed, allowed but positioning, allowed.
    for (int flags : {0, 1, 3}) {
        frame.dragFlags = flags & 1;
        frame.positioning = flags == 1;
        frame.sendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 50));
        frame.sendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(80, 70));
        frame.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
        EXPECT_EQ(frame.getWindowRect(true).x, start.x + (flags == 3 ? 30 : 0)) << flags;
        EXPECT_EQ(frame.getWindowRect(true).y, start.y + (flags == 3 ? 20 : 0)) << flags;
        EXPECT_EQ(GetCapture(), nullptr);
    }
}
