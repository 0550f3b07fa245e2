#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include "FrameTestSupport.h"
#include "NToolTip.h"
#include "WindowTestSupport.h"

TEST(NAnchor, ControlsFollowTheEdgesTheyWereCreatedNear)
{
    // Where each starts, and where it is once the parent frame grew by 100 x 50.
    const NRect cases[][2] = {{NRect(500, 10, 80, 20), NRect(600, 10, 80, 20)},
                              {NRect(10, 10, 580, 20), NRect(10, 10, 680, 20)},
                              {NRect(200, 150, 100, 20), NRect(200, 150, 100, 20)},
                              {NRect(200, 350, 100, 30), NRect(200, 400, 100, 30)},
                              {NRect(10, 10, 100, 380), NRect(10, 10, 100, 430)}};
    TestFrame parent("AnchorFrame", NRect(0, 0, 600, 400));
    ASSERT_TRUE(parent.create());
    NWindow controls[5];
    for (int i = 0; i < 5; ++i) {
        NWindow& control = controls[i];
        control.style = WS_CHILD | WS_VISIBLE;
        control.rect = cases[i][0];
        ASSERT_TRUE(control.create(&parent));
        control.anchor.flags = NAnchor::automatic;
        control.anchor.classify(parent.getClientRect(), control.getWindowRect());
        control.anchor.takeReference(control.getWindowRect(), parent.getClientSize());
    }
    parent.moveWindow(0, 0, 700, 450);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(controls[i].getWindowRect(), cases[i][1]) << i;
}

TEST(NToolTip, OneTooltipPerCreatedWindow)
{
    globalError.log = "";
    RecordingWindow window;
    EXPECT_FALSE(window.addToolTip("Hallo"));
    expectLogged("NWindow::addToolTip() kann nur auf schon erzeugte Fenster angewendet werden.");
    ASSERT_TRUE(window.create());
    EXPECT_TRUE(window.addToolTip("Hallo", "Titel", TTI_INFO, 300, true));
    NToolTip* first = window.getToolTip();
    EXPECT_FALSE(window.addToolTip("Zweiter"));
    EXPECT_EQ(window.getToolTip(), first);
    expectLogged("NWindow::addToolTip() kann nicht mehrfach aufgerufen werden.");

    const HWND tip = first->getHwnd();
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_TRUE(GetWindowLongA(tip, GWL_STYLE) & TTS_BALLOON);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 300);
    NMTTDISPINFOA info = {};
    info.hdr = {tip, 0, TTN_GETDISPINFOA};
    SendMessageA(window.hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(info.lpszText, "Hallo");  // the owner answers the text request
    first->setDelay(0);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), static_cast<LRESULT>(GetDoubleClickTime()));

    // A title makes the tip taller, its icon wider; without a delay the system's (made unusual here) stays.
    const UINT doubleClick = GetDoubleClickTime();
    SetDoubleClickTime(doubleClick + 130);
    const struct { const char* title; int icon; } titles[] = {{"", TTI_NONE}, {"Titel", TTI_NONE}, {"Titel", TTI_WARNING}};
    SIZE sizes[3];
    for (int i = 0; i < 3; ++i) {
        RecordingWindow window;
        ASSERT_TRUE(window.create());
        ASSERT_TRUE(window.addToolTip("Hallo", titles[i].title, titles[i].icon));
        const HWND tip = window.getToolTip()->getHwnd();
        TOOLINFOA tool = {TTTOOLINFOA_V2_SIZE, 0, window.hwnd, 0, {}, nullptr, nullptr, 0, nullptr};
        const LRESULT size = SendMessageA(tip, TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&tool));
        sizes[i] = {LOWORD(size), HIWORD(size)};
        EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), static_cast<LRESULT>(doubleClick + 130));
    }
    SetDoubleClickTime(doubleClick);
    EXPECT_GT(sizes[1].cy, sizes[0].cy + 5);
    EXPECT_GT(sizes[2].cx, sizes[1].cx + 10);
    EXPECT_GE(sizes[2].cy, sizes[1].cy);
}

TEST(NScroll, RequestsMoveThePositionTheBarAndTheDeviceOrigin)
{
    struct ScrollingWindow : RecordingWindow {
        void onVScroll() override { ++scrolled; }
        int scrolled = 0;
    } window, missing;
    MessageBoxCatcher boxes(1);
    missing.scroll.showBarVert(true);
    expectErrorBox(boxes[0], "NScroll::showBarVert(..) kann nur auf ein existierendes Fenster "
                             "angewendet werden.\r\nBitte f\xFChren Sie zuerst create(...) aus.");

    window.style |= WS_VSCROLL;
    ASSERT_TRUE(window.create());
    const int page = window.getClientSize().cy;
    window.scroll.setContentHeight(1000);
    SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(window.hwnd, SB_VERT, &info);
    EXPECT_EQ(std::to_string(info.nMax) + "/" + std::to_string(info.nPage), "999/" + std::to_string(page));
    const struct { unsigned int request; int position; } steps[] = {
        {SB_LINEDOWN, 10}, {SB_PAGEDOWN, 10 + page * 90 / 100}, {SB_BOTTOM, 1000 - page}, {SB_LINEDOWN, 1000 - page},
        {SB_PAGEUP, 1000 - page - page * 90 / 100}, {SB_TOP, 0}, {SB_LINEUP, 0}};
    for (const auto& step : steps) {
        window.scrolled = 0;
        SendMessageA(window.hwnd, WM_VSCROLL, step.request, 0);
        const std::vector<int> places = {window.scroll.getPositionY(), GetScrollPos(window.hwnd, SB_VERT),
                                         window.device.getOffsetY()};  // position, bar, device origin
        EXPECT_EQ(places, std::vector<int>(3, step.position)) << "request " << step.request;
        EXPECT_GE(window.scrolled, 1);
    }

    // Content smaller than the page: no request moves it, nothing is drawn shifted.
    window.scroll.setContentHeight(page / 2);
    for (unsigned int request : {SB_BOTTOM, SB_PAGEDOWN, SB_LINEDOWN, SB_LINEUP}) {
        SendMessageA(window.hwnd, WM_VSCROLL, request, 0);
        EXPECT_EQ(window.scroll.getPositionY() | window.device.getOffsetY(), 0) << "request " << request;
    }
    window.scroll.setPosition(0, 40);
    EXPECT_EQ(window.scroll.getPositionY() + window.device.getOffsetY(), 0);
}
