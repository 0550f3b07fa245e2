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
#include "NFrameWindow.h"
#include "NResources.h"
#include "NStatic.h"
#include "NSystem.h"
#include "NToolTip.h"
#include "TestFiles.h"
#include "WindowTestSupport.h"

namespace {

typedef std::vector<std::string> Calls;

class Frame : public frametest::TestFrame {
public:
    explicit Frame(const char* name, NRect at = NRect(60, 60, 500, 350)) : TestFrame(name)
    {
        rect = at;
    }
    void record(const char* what) { calls.push_back(what); }
    void onA() { record("a"); }
    void onB() { record("b"); }
    void onC() { record("c"); }
    void onD() { record("d"); }

    Calls calls;
};

// A child that answers the colour request with its own brush and records
// what the frame passed on.
class AnsweringChild : public NWindow {
public:
    AnsweringChild() : brush(CreateSolidBrush(RGB(1, 2, 3)))
    {
        style = WS_CHILD | WS_VISIBLE;
        rect = NRect(5, 5, 40, 20);
    }
    ~AnsweringChild() override { DeleteObject(brush); }
    LRESULT onMessage(HWND messageWindow, UINT message, WPARAM wParam, LPARAM lParam,
                      bool handled, LRESULT result) override
    {
        if (messageWindow == hwnd && (message == NEK_MSG_CTLCOLOR || message == NEK_MSG_DRAWITEM)) {
            seen.push_back({message, wParam, lParam});
            return message == NEK_MSG_CTLCOLOR ? reinterpret_cast<LRESULT>(brush) : 0;
        }
        return NWindow::onMessage(messageWindow, message, wParam, lParam, handled, result);
    }
    struct Seen {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    HBRUSH brush;
    std::vector<Seen> seen;
};

// A program started in the background; killed if it is still running at the end.
struct Started {
    explicit Started(const char* name)
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string command = "\"" + programFolder() + name + "\"";
        ok = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process) != 0;
    }
    ~Started()
    {
        if (!ok)
            return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    // Its visible window of that title; null after 10 s.
    HWND window(const char* title)
    {
        for (int i = 0; i < 1000; ++i, Sleep(10)) {
            HWND found = FindWindowA(nullptr, title);
            if (found && IsWindowVisible(found))
                return found;
        }
        return nullptr;
    }
    int closeAndWait(HWND window)
    {
        PostMessageA(window, WM_CLOSE, 0, 0);
        DWORD code = static_cast<DWORD>(-1);
        if (WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        return static_cast<int>(code);
    }
    bool ok;
    PROCESS_INFORMATION process = {};
};

const char* const positionTitle = "NEK Rahmenposition";

std::string configPath()
{
    return str(NSystem::getSpecialFolder(CSIDL_APPDATA)) + "\\nek_framepos.cfg";
}

// What the last run saved, read from the file.
std::string stored(const char* key)
{
    NFileIni config;
    if (!config.open(configPath().c_str(), false, true))
        return "";
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
    // One start of the program: `use` works with its window, which is then closed.
    auto run = [](const std::function<void(HWND)>& use) {
        Started program("nek_framepos.exe");
        ASSERT_TRUE(program.ok);
        const HWND window = program.window(positionTitle);
        ASSERT_NE(window, nullptr);
        use(window);
        EXPECT_EQ(program.closeAndWait(window), 0);
    };
    DeleteFileA(configPath().c_str());
    run([](HWND window) {
        EXPECT_EQ(rectOf(window), NRect(100, 100, 400, 300));
        SetWindowPos(window, nullptr, 150, 130, 420, 310, SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(stored("winpos"), "150,130,420,310");
        // Minimized and maximized places are no places to come back to.
        ShowWindow(window, SW_MINIMIZE);
        ShowWindow(window, SW_RESTORE);
        ShowWindow(window, SW_MAXIMIZE);
        EXPECT_TRUE(IsZoomed(window));
        EXPECT_EQ(stored("winpos"), "150,130,420,310");
    });
    EXPECT_EQ(stored("winpostype"), "max");
    run([](HWND window) {
        EXPECT_TRUE(IsZoomed(window));
        ShowWindow(window, SW_RESTORE);
        EXPECT_EQ(rectOf(window), NRect(150, 130, 420, 310));
    });
    EXPECT_EQ(stored("winpostype"), "std");
    run([](HWND window) {
        EXPECT_FALSE(IsZoomed(window));
        EXPECT_EQ(rectOf(window), NRect(150, 130, 420, 310));
    });
    DeleteFileA(configPath().c_str());
}

TEST(NFrameWindow, CannotBeMadeSmallerThanItsProgrammedSize)
{
    // A stored larger rectangle does not raise the minimum.
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
        DeclaringFrame() : Frame("DeclaringFrame", NRect(10, 10, 900, 300))
        {
            for (int i = 0; i < 10; ++i) {
                texts[i].setParent(this);
                texts[i].title = NString("Text ") + NString::fromNumber(i);
            }
        }
        NStatic texts[10];
    } frame;
    ASSERT_TRUE(frame.open());
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(frame.texts[i].isWindow());
        const NRect at = frame.texts[i].getWindowRect(false);
        EXPECT_EQ(at.x, i < 8 ? 20 + 100 * i : 20 + 100 * (i - 8));
        EXPECT_EQ(at.y, i < 8 ? 20 : 60);
        EXPECT_EQ(str(frame.texts[i].getWindowText()), "Text " + std::to_string(i));
    }
}

TEST(NFrameWindow, ColourAndDrawRequestsGoToTheControlExceptForDialogs)
{
    Frame frame("RequestFrame");
    ASSERT_TRUE(frame.open());
    AnsweringChild child;
    ASSERT_TRUE(child.create(&frame));
    HDC dc = GetDC(frame.hwnd);
    const WPARAM context = reinterpret_cast<WPARAM>(dc);
    for (UINT message : {WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN,
                         WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC}) {
        SCOPED_TRACE(message);
        child.seen.clear();
        EXPECT_EQ(frame.sendMessage(message, context, reinterpret_cast<LPARAM>(child.hwnd)),
                  reinterpret_cast<LRESULT>(child.brush));
        ASSERT_EQ(child.seen.size(), 1u);
        EXPECT_EQ(child.seen[0].message, static_cast<UINT>(NEK_MSG_CTLCOLOR));
        EXPECT_EQ(child.seen[0].wParam, context);
    }
    child.seen.clear();
    EXPECT_NE(frame.sendMessage(WM_CTLCOLORDLG, context, reinterpret_cast<LPARAM>(child.hwnd)),
              reinterpret_cast<LRESULT>(child.brush));
    EXPECT_TRUE(child.seen.empty());
    ReleaseDC(frame.hwnd, dc);

    DRAWITEMSTRUCT draw = {};
    draw.hwndItem = child.hwnd;
    EXPECT_EQ(frame.sendMessage(WM_DRAWITEM, 9, reinterpret_cast<LPARAM>(&draw)), 1);
    ASSERT_EQ(child.seen.size(), 1u);
    EXPECT_EQ(child.seen[0].message, static_cast<UINT>(NEK_MSG_DRAWITEM));
    EXPECT_EQ(child.seen[0].lParam, reinterpret_cast<LPARAM>(&draw));
}

TEST(NFrameWindow, TheEventTableCallsEveryMatchingEntryInOrder)
{
    Frame frame("EventFrame");
    ASSERT_TRUE(frame.open());
    frame.addEvent(WM_COMMAND, 700, 0, &frame, &Frame::onA);
    frame.addEvent(WM_COMMAND, 700, 5, &frame, &Frame::onB);
    frame.addEvent(WM_COMMAND, 0, 0, &frame, &Frame::onC);
    frame.addEvent(WM_NOTIFY, 800, static_cast<int>(NM_CLICK), &frame, &Frame::onD);

    NMHDR click = {nullptr, 800, NM_CLICK};
    NMHDR other = {nullptr, 800, NM_RCLICK};
    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        Calls expected;
    };
    const Case cases[] = {
        {WM_COMMAND, 700, 0, {"a", "c"}},
        {WM_COMMAND, MAKEWPARAM(700, 5), 0, {"a", "b", "c"}},
        {WM_COMMAND, MAKEWPARAM(701, 5), 0, {"c"}},
        {WM_NOTIFY, 800, reinterpret_cast<LPARAM>(&click), {"d"}},
        {WM_NOTIFY, 800, reinterpret_cast<LPARAM>(&other), {}},
        {WM_NOTIFY, 801, reinterpret_cast<LPARAM>(&click), {}},
    };
    for (const Case& c : cases) {
        frame.calls.clear();
        frame.sendMessage(c.message, c.wParam, c.lParam);
        EXPECT_EQ(frame.calls, c.expected) << c.message << " " << c.wParam;
    }
}

TEST(NFrameWindow, TheLogoSitsBottomLeftAndItsMenuOffersTheLayouterAndInfo)
{
    Frame frame("LogoFrame");
    frame.showLogo = 1;
    ASSERT_TRUE(frame.open());
    ASSERT_TRUE(frame.logo.isWindow());
    EXPECT_EQ(frame.logo.positionable, 0);
    const NSize client = frame.getClientSize();
    EXPECT_EQ(frame.logo.getWindowRect(false), NRect(0, client.cy - 35, 70, 35));
    ASSERT_NE(frame.logo.getToolTip(), nullptr);
    EXPECT_EQ(str(frame.logo.getToolTip()->getText()),
              "Klicken Sie hier f\xFCr den Realtime-Layouter.\r\n\r\nDiese Anwendung wurde mit der "
              "\r\nNEK erstellt.");
    // It stays in the corner.
    frame.moveWindow(60, 60, 600, 450);
    pump();
    EXPECT_EQ(frame.logo.getWindowRect(false).y, frame.getClientSize().cy - 35);

    const Calls items = {"Positionierung", "Info...", NFrameWindow::webAddress};
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    MenuDriver menus({MenuDriver::keys({VK_DOWN, VK_DOWN, VK_RETURN}),
                      MenuDriver::keys({VK_DOWN, VK_RETURN}),
                      MenuDriver::keys({VK_DOWN, VK_RETURN})});
    auto click = [&] { frame.logo.sendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); };
    click();
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes[0].title, "Info");
    EXPECT_EQ(boxes[0].icon, static_cast<unsigned>(MB_ICONINFORMATION));
    EXPECT_EQ(boxes[0].text,
              "Bevor Sie Ihre Anwendung weitergeben, sollten Sie die \r\nbenutzten Ressourcen und "
              "Einstellungen in das fertige Programm binden.\r\nW\xE4hlen Sie dazu 'Ressourcen "
              "einbinden' im Aktionsmen\xFC der Objektbibliothek.");
    EXPECT_FALSE(frame.isPositioning());
    // Resized above, so the layouter asks first.
    boxes.expect(IDYES);
    click();
    EXPECT_TRUE(frame.isPositioning());
    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes[1].title, "ver\xE4nderte Fenstergr\xF6\xDF" "e");
    click();
    EXPECT_FALSE(frame.isPositioning());
    ASSERT_EQ(menus.count(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(menus[i].texts, items) << i;
    EXPECT_EQ(menus[1].states[0] & MF_CHECKED, 0u);
    EXPECT_EQ(menus[2].states[0] & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    globalResources.getControlPosIni().setSectionText("LogoFrame", "");
}

TEST(NFrameWindow, DraggingTheClientAreaMovesTheWindowOnlyWhenAllowed)
{
    Frame frame("DragFrame");
    ASSERT_TRUE(frame.open());
    const NRect start = frame.getWindowRect(true);
    auto drag = [&frame] {
        frame.sendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 50));
        frame.sendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(80, 70));
    };
    drag();
    EXPECT_EQ(frame.getWindowRect(true), start);
    EXPECT_EQ(GetCapture(), nullptr);

    frame.dragFlags = 1;
    drag();
    EXPECT_EQ(GetCapture(), frame.hwnd);
    EXPECT_EQ(frame.getWindowRect(true), NRect(start.x + 30, start.y + 20, start.width, start.height));
    frame.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
    EXPECT_EQ(GetCapture(), nullptr);

    frame.positioning = 1;
    drag();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(frame.getWindowRect(true), NRect(start.x + 30, start.y + 20, start.width, start.height));
    frame.positioning = 0;
}
