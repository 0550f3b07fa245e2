// The three helpers every window carries: anchors after a real resize of
// the parent, the tooltip and the scroll state.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>

#include "MessageBoxCatcher.h"
#include "NToolTip.h"
#include "WindowTestSupport.h"

namespace {

// Re-applies its children's anchors on every resize, as the frame window does.
class AnchorParent : public NWindow {
public:
    AnchorParent()
    {
        style = WS_POPUP | WS_VISIBLE;
        rect = NRect(0, 0, 600, 400);
    }
    void onSize(int, int, int) override
    {
        for (NWindow* child : children)
            child->onParentSize(getClientSize());
    }
    std::vector<NWindow*> children;
};

class ScrollingWindow : public RecordingWindow {
public:
    ScrollingWindow()
    {
        style = WS_POPUP | WS_VISIBLE | WS_VSCROLL;
        rect = NRect(20, 20, 300, 200);
    }
    void onVScroll() override { ++scrolled; }
    int scrolled = 0;
};

}  // namespace

TEST(NAnchor, ControlsFollowTheEdgesTheyWereCreatedNear)
{
    struct Case {
        NRect start;
        unsigned int edges;
        NRect after;  // the parent grows by 100 x 50
    };
    const Case cases[] = {
        {NRect(500, 10, 80, 20), NAnchor::nearRight | NAnchor::nearTop, NRect(600, 10, 80, 20)},
        {NRect(10, 10, 580, 20), NAnchor::nearLeft | NAnchor::nearRight | NAnchor::nearTop,
         NRect(10, 10, 680, 20)},
        {NRect(200, 150, 100, 20), 0, NRect(200, 150, 100, 20)},
        {NRect(200, 350, 100, 30), NAnchor::nearBottom, NRect(200, 400, 100, 30)},
        {NRect(10, 10, 100, 380), NAnchor::nearLeft | NAnchor::nearTop | NAnchor::nearBottom,
         NRect(10, 10, 100, 430)},
    };
    AnchorParent parent;
    ASSERT_TRUE(parent.create());
    ASSERT_EQ(parent.getClientSize(), NSize(600, 400));
    std::vector<std::unique_ptr<NWindow>> controls;
    for (const Case& c : cases) {
        controls.emplace_back(new NWindow());
        NWindow& control = *controls.back();
        control.style = WS_CHILD | WS_VISIBLE;
        control.rect = c.start;
        ASSERT_TRUE(control.create(&parent));
        control.anchor.flags = NAnchor::automatic;
        control.anchor.classify(parent.getClientRect(), control.getWindowRect());
        EXPECT_EQ(control.anchor.flags & NAnchor::edgeFlags, c.edges);
        control.anchor.takeReference(control.getWindowRect(), parent.getClientSize());
        parent.children.push_back(&control);
    }

    parent.moveWindow(0, 0, 700, 450);
    for (size_t i = 0; i < controls.size(); ++i)
        EXPECT_EQ(controls[i]->getWindowRect(), cases[i].after) << "case " << i;
}

TEST(NToolTip, OneTooltipPerCreatedWindow)
{
    globalError.log = "";
    RecordingWindow window;
    EXPECT_FALSE(window.addToolTip("Hallo"));
    EXPECT_EQ(str(globalError.log),
              logged("NWindow::addToolTip() kann nur auf schon erzeugte Fenster angewendet werden."));
    ASSERT_TRUE(window.create());
    EXPECT_TRUE(window.addToolTip("Hallo", "Titel", TTI_INFO, 300, true));
    NToolTip* first = window.getToolTip();
    ASSERT_NE(first, nullptr);

    globalError.log = "";
    EXPECT_FALSE(window.addToolTip("Zweiter"));
    EXPECT_EQ(window.getToolTip(), first);
    EXPECT_EQ(str(globalError.log),
              logged("NWindow::addToolTip() kann nicht mehrfach aufgerufen werden."));
    globalError.log = "";

    const HWND tip = first->getHwnd();
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_TRUE(GetWindowLongA(tip, GWL_STYLE) & TTS_BALLOON);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 300);

    // The owner answers the tooltip's text request with the stored text.
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = tip;
    info.hdr.code = TTN_GETDISPINFOA;
    SendMessageA(window.hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_STREQ(info.lpszText, "Hallo");

    first->setDelay(0);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0),
              static_cast<LRESULT>(GetDoubleClickTime()));
}

TEST(NScroll, RequestsMoveThePositionTheBarAndTheDeviceOrigin)
{
    ScrollingWindow window;
    ASSERT_TRUE(window.create());
    const int page = window.getClientSize().cy;
    window.scroll.setContentHeight(1000);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window.hwnd, SB_VERT, &info);
    EXPECT_EQ(info.nMax, 999);
    EXPECT_EQ(static_cast<int>(info.nPage), page);

    struct Step {
        unsigned int request;
        int position;
    };
    const Step steps[] = {
        {SB_LINEDOWN, 10},
        {SB_PAGEDOWN, 10 + page * 90 / 100},
        {SB_BOTTOM, 1000 - page},
        {SB_LINEDOWN, 1000 - page},
        {SB_PAGEUP, 1000 - page - page * 90 / 100},
        {SB_TOP, 0},
        {SB_LINEUP, 0},
    };
    for (const Step& step : steps) {
        window.scrolled = 0;
        SendMessageA(window.hwnd, WM_VSCROLL, step.request, 0);
        EXPECT_EQ(window.scroll.getPositionY(), step.position) << "request " << step.request;
        EXPECT_EQ(GetScrollPos(window.hwnd, SB_VERT), step.position);
        EXPECT_EQ(window.device.getOffsetY(), step.position);
        EXPECT_GE(window.scrolled, 1);
    }
}

TEST(NScroll, BarsOfAMissingWindowCannotBeShown)
{
    RecordingWindow window;
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    boxes.expect(IDOK);
    window.scroll.showBarHor(true);
    window.scroll.showBarVert(true);
    ASSERT_EQ(boxes.count(), 2u);
    for (int i = 0; i < 2; ++i)
        expectErrorBox(boxes[i], std::string("NScroll::showBar") + (i ? "Vert" : "Hor") +
                                     "(..) kann nur auf ein existierendes Fenster angewendet "
                                     "werden.\r\nBitte f\xFChren Sie zuerst create(...) aus.");
}
