

#include "FrameTestSupport.h"
#include "MenuDriver.h"
#include "NApplicationBasic.h"
#include "NStatic.h"
#include "NToolTip.h"
#include "WindowTestSupport.h"

TEST(NFrameWindow, PlaceAndMaximizedStateAreRestoredNeverBelowTheProgrammedSizeAndClientDragsMoveItWhenAllowed)
{
    ASSERT_TRUE(globalApplication.openUserConfigFile());
    NFileIni& config = globalApplicationBasic.userConfig;
    auto stored = [&config](const char* key) {
        NFileIni file;
        file.open(config.getPath(), false, true);
        return str(file.getValue("MinFrame", key));
    };
    // A larger stored rectangle does not raise the minimum.
    config.setValue("MinFrame", "winpos", "40,40,700,500");
    for (bool again : {false, true}) {
        TestFrame frame("MinFrame");
        frame.rect = NRect(60, 60, 500, 350);
        frame.savePosition = 1;
        frame.show(SW_SHOW);
        ASSERT_TRUE(frame.create());
        if (again) {
            // Maximized, with the place to go back to.
            EXPECT_TRUE(IsZoomed(frame.hwnd));
            ShowWindow(frame.hwnd, SW_RESTORE);
            EXPECT_EQ(frame.getWindowRect(true), NRect(150, 130, 620, 410));
            break;
        }
        EXPECT_EQ(frame.getWindowRect(true), NRect(40, 40, 700, 500));
        MINMAXINFO info = {};
        frame.sendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(NSize(info.ptMinTrackSize.x, info.ptMinTrackSize.y), NSize(500, 350));
        // Moves are stored; minimized and maximized places are no places to come back to.
        SetWindowPos(frame.hwnd, nullptr, 150, 130, 620, 410, SWP_NOZORDER | SWP_NOACTIVATE);
        for (int command : {SW_MINIMIZE, SW_RESTORE, SW_MAXIMIZE}) ShowWindow(frame.hwnd, command);
        EXPECT_EQ(stored("winpos"), "150,130,620,410");
        frame.sendMessage(WM_CLOSE);
        EXPECT_EQ(stored("winpostype"), "max");
    }
    config.setSectionText("MinFrame", "");
    config.save();

    for (int flags : {0, 1}) {
        TestFrame frame("DragFrame");
        frame.dragFlags = flags;
        ASSERT_TRUE(frame.open());
        frame.sendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 50));
        frame.sendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 70));
        frame.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(60, 70));
        EXPECT_EQ(frame.getWindowRect(true), NRect(60 + 10 * flags, 60 + 20 * flags, 640, 480)) << flags;
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

TEST(NFrameWindow, DeclaredControlsStandInRowsThatWrapAfter750ColourRequestsGoToTheControlOthersToTheEventTable)
{
    struct Answering : NWindow {
        LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool handled, LRESULT result) override
        {
            if (window == hwnd && message == NEK_MSG_CTLCOLOR) return 1000 + wParam;
            return NWindow::onMessage(window, message, wParam, lParam, handled, result);
        }
    } child;
    struct EventFrame : TestFrame {
        EventFrame() : TestFrame("EventFrame")
        {
            rect = NRect(10, 10, 900, 300);
            for (NStatic& text : texts) text.setParent(this);
        }
        void onA() { calls.push_back("a"); }
        void onB() { calls.push_back("b"); }
        void onC() { calls.push_back("c"); }
        NStatic texts[10];
        Calls calls;
    } frame;
    child.style = WS_CHILD;
    ASSERT_TRUE(frame.open());
    const std::pair<int, NRect> declared[] = {
        {0, NRect(20, 20, 80, 20)}, {7, NRect(720, 20, 80, 20)}, {8, NRect(20, 60, 80, 20)}, {9, NRect(120, 60, 80, 20)}};
    for (const auto& d : declared) EXPECT_EQ(frame.texts[d.first].getWindowRect(false), d.second) << d.first;
    ASSERT_TRUE(child.create(&frame));
    const LPARAM control = reinterpret_cast<LPARAM>(child.hwnd);
    // Dialogs colour themselves.
    for (UINT message : {WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN, WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC,
                         WM_CTLCOLORDLG})
        EXPECT_EQ(frame.sendMessage(message, 77, control) == 1077, message != WM_CTLCOLORDLG);
    // Every matching entry, in order.
    frame.addEvent(WM_COMMAND, 700, 0, &frame, &EventFrame::onA);
    frame.addEvent(WM_COMMAND, 700, 5, &frame, &EventFrame::onB);
    frame.addEvent(WM_NOTIFY, 800, static_cast<int>(NM_CLICK), &frame, &EventFrame::onC);
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
    TestFrame frame("LogoFrame");
    frame.showLogo = 1;
    ASSERT_TRUE(frame.open());
    EXPECT_EQ(frame.logo.getWindowRect(false), NRect(0, frame.getClientSize().cy - 35, 70, 35));
    EXPECT_EQ(str(frame.logo.getToolTip()->getText()),
              "Klicken Sie hier f\xFCr den Realtime-Layouter.\r\n\r\nDiese Anwendung wurde mit der "
              "\r\nNEK erstellt.");
    MessageBoxCatcher boxes(1);
    MenuDriver menus({MenuDriver::keys({VK_DOWN, VK_DOWN, VK_RETURN}),
                      MenuDriver::keys({VK_DOWN, VK_RETURN}), MenuDriver::keys({VK_DOWN, VK_RETURN})});
    for (bool positioningAfter : {false, true, false}) {
        frame.logo.sendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        MenuDriver::dropTypedCharacters();
        EXPECT_EQ(frame.isPositioning(), positioningAfter);
    }
    expectBox(boxes[0], "Info", "Bevor Sie Ihre Anwendung weitergeben, sollten Sie die \r\nbenutzten Ressourcen "
              "und Einstellungen in das fertige Programm binden.\r\nW\xE4hlen Sie dazu 'Ressourcen "
              "einbinden' im Aktionsmen\xFC der Objektbibliothek.", MB_ICONINFORMATION);
    ASSERT_EQ(menus.seen.size(), 3u);
    EXPECT_EQ(menus.seen[0].texts, (Calls{"Positionierung", "Info...", NFrameWindow::webAddress}));
    EXPECT_EQ(menus.seen[1].states[0] & MF_CHECKED, 0u);
    EXPECT_EQ(menus.seen[2].states[0] & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
}
