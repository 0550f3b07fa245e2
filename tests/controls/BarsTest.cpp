// The bars of a frame window: toolbar with pictures and tooltips, coolbar,
// status bar with its part clicks, scroll bars, and how the frame lays them
// out, with real windows.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "FrameTestSupport.h"
#include "MessageBoxCatcher.h"
#include "NToolTip.h"

using namespace frametest;

namespace {

const char* const noButtonTip = "Toolbar-Schaltfl\xE4" "chen";

// A 16 x 16 picture: red, with a blue top-left pixel that becomes the mask colour.
std::string writeRedPicture(const TestFolder& folder)
{
    std::vector<uint32_t> pixels(16 * 16, 0xFFFF0000);
    pixels[0] = 0xFF0000FF;
    const std::string path = folder.file("rot.bmp");
    writeBmp(path, 16, 16, pixels);
    return path;
}

int countPixels(HWND hwnd, const RECT& area, COLORREF colour)
{
    UpdateWindow(hwnd);
    HDC dc = GetDC(hwnd);
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += GetPixel(dc, x, y) == colour;
    ReleaseDC(hwnd, dc);
    return count;
}

// The text the toolbar gives its tooltip for the mouse at x, y.
std::string tipAt(NToolbar& bar, int x, int y)
{
    bar.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = bar.getToolTip() ? bar.getToolTip()->getHwnd() : nullptr;
    info.hdr.code = TTN_GETDISPINFOA;
    bar.sendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    return info.lpszText ? info.lpszText : "";
}

RECT buttonRect(NToolbar& bar, int index)
{
    RECT r = {};
    bar.sendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

class RecordingStatusBar : public NStatusBar {
public:
    bool onClick(int part) override
    {
        parts.push_back(part);
        return true;
    }
    std::vector<int> parts;
};

// Clicks the status bar as the mouse would, at x in the middle of its height.
void clickAt(NWindow& bar, int x, UINT down, UINT up)
{
    const LPARAM at = MAKELPARAM(x, bar.getClientSize().cy / 2);
    bar.sendMessage(down, 0, at);
    bar.sendMessage(up, 0, at);
}

}  // namespace

TEST(NToolbar, ButtonsShowTheirPictureAndTellTheirTooltips)
{
    TestFolder folder;
    const std::string picture = writeRedPicture(folder);
    TestFrame frame;
    ASSERT_TRUE(frame.open());
    NToolbar& bar = frame.createToolbar();
    ASSERT_TRUE(bar.isWindow());

    const int open = bar.addButton("\xD6" "ffnen", picture.c_str(), 0, BTNS_BUTTON, 0,
                                   "Datei \xF6" "ffnen");
    const int save = bar.addButton("Sichern", NString(), 7001);
    const int blank = bar.addButton("", NString(), 7002);
    EXPECT_GE(open, 3000);
    EXPECT_EQ(save, 7001);
    EXPECT_EQ(blank, 7002);
    ASSERT_EQ(bar.getButtonCount(), 3);
    {
        MessageBoxCatcher boxes;
        boxes.expect(IDOK);
        EXPECT_EQ(bar.addButton("Fehlt", folder.file("fehlt.bmp").c_str()), -1);
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes[0].text.rfind("NImageList.add(..): Fehler beim Laden des Bitmaps", 0), 0u);
    }
    EXPECT_EQ(bar.getButtonCount(), 3);

    // The picture is on the screen, its mask colour is not.
    pumpFor(50);
    const RECT first = buttonRect(bar, 0);
    EXPECT_GT(countPixels(bar.hwnd, first, RGB(255, 0, 0)), 150);
    EXPECT_EQ(countPixels(bar.hwnd, first, RGB(0, 0, 255)), 0);
    EXPECT_EQ(countPixels(bar.hwnd, buttonRect(bar, 1), RGB(255, 0, 0)), 0);

    const RECT second = buttonRect(bar, 1);
    const RECT third = buttonRect(bar, 2);
    EXPECT_EQ(tipAt(bar, first.left + 3, first.top + 3), "Datei \xF6" "ffnen");
    EXPECT_EQ(tipAt(bar, second.left + 3, second.top + 3), "Sichern");
    EXPECT_EQ(tipAt(bar, third.left + 2, third.top + 3), noButtonTip);
    EXPECT_EQ(tipAt(bar, bar.getClientSize().cx - 2, 2), noButtonTip);
}

TEST(NToolbar, IsMadeOnceAndOnlyWithAParent)
{
    TestFrame frame;
    ASSERT_TRUE(frame.open());
    NToolbar bar;
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    EXPECT_FALSE(bar.createToolbar(nullptr));
    ASSERT_TRUE(bar.createToolbar(&frame));
    const HWND made = bar.hwnd;
    boxes.expect(IDOK);
    EXPECT_FALSE(bar.createToolbar(&frame));
    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes[0].text, "createToolbar(..) muss ein g\xFCltigen pParent \xFC" "bergeben bekommen.");
    EXPECT_EQ(boxes[1].text, "createToolbar(..) Die Toolbar wurde bereits erzeugt.");
    for (const auto& box : boxes.all()) {
        EXPECT_EQ(box.title, "Fehler !");
        EXPECT_EQ(box.icon, static_cast<unsigned>(MB_ICONERROR));
    }
    EXPECT_EQ(bar.hwnd, made);
    EXPECT_TRUE(IsWindow(made));
}

TEST(NCoolbar, HoldsToolbarAndMenuBarAsBandsAndReservesTheirHeight)
{
    TestFrame frame;
    ASSERT_TRUE(frame.open());
    NToolbar& tools = frame.createToolbar();
    tools.addButton("Neu", NString());
    ASSERT_TRUE(frame.coolbar.isWindow());
    EXPECT_EQ(GetParent(tools.hwnd), frame.coolbar.hwnd);
    EXPECT_EQ(frame.coolbar.sendMessage(RB_GETBANDCOUNT), 1);
    pump();
    const int oneBand = frame.coolbar.getWindowRect(false).height;
    EXPECT_GE(oneBand, tools.getButtonHeight());
    EXPECT_EQ(frame.clientInsets.y, oneBand);

    NMenubar& menus = frame.createMenubar();
    menus.addMenu("Datei");
    pump();
    EXPECT_EQ(frame.coolbar.sendMessage(RB_GETBANDCOUNT), 2);
    EXPECT_EQ(GetParent(menus.hwnd), frame.coolbar.hwnd);
    const NRect bar = frame.coolbar.getWindowRect(false);
    EXPECT_GT(bar.height, oneBand);
    EXPECT_EQ(frame.getFreeClientRect().y, bar.height);
    EXPECT_EQ(bar.y, 0);
    EXPECT_EQ(bar.width, frame.getClientSize().cx);
    // The same bars again: nothing new.
    EXPECT_EQ(&frame.createToolbar(), &tools);
    EXPECT_EQ(frame.coolbar.sendMessage(RB_GETBANDCOUNT), 2);
}

TEST(NStatusBar, OneWidthMakesASimpleBarMoreMakeParts)
{
    TestFrame frame;
    ASSERT_TRUE(frame.open());
    NStatusBar& bar = frame.createStatusBar();
    ASSERT_TRUE(bar.isWindow());

    bar.setParts("200");
    EXPECT_TRUE(bar.isSimple());
    EXPECT_TRUE(bar.sendMessage(SB_ISSIMPLE));
    bar.setText(0, "Bereit");
    EXPECT_EQ(str(bar.getText(0)), "Bereit");

    bar.setParts("100,150,-1");
    EXPECT_FALSE(bar.isSimple());
    EXPECT_FALSE(bar.sendMessage(SB_ISSIMPLE));
    int edges[4] = {};
    ASSERT_EQ(bar.sendMessage(SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 3);
    EXPECT_EQ(edges[0], 100);
    EXPECT_EQ(edges[1], 250);
    EXPECT_EQ(edges[2], -1);
    bar.setText(1, "Zeile 3");
    EXPECT_EQ(str(bar.getText(1)), "Zeile 3");
    // The simple bar's text went to its own part, not to the first one.
    EXPECT_EQ(str(bar.getText(0)), "Status");
}

TEST(NStatusBar, PartClicksReachTheFrameAndTheBarWithThePartIndex)
{
    TestFrame frame;
    ASSERT_TRUE(frame.open());
    NStatusBar& bar = frame.createStatusBar();
    bar.setParts("100,100,-1");
    clickAt(bar, 150, WM_LBUTTONDOWN, WM_LBUTTONUP);
    clickAt(bar, 50, WM_RBUTTONDOWN, WM_RBUTTONUP);
    bar.sendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(250, bar.getClientSize().cy / 2));
    EXPECT_EQ(frame.clicks, (std::vector<std::string>{"click 1", "rclick 0", "dblclick 2"}));

    RecordingStatusBar own;
    ASSERT_NE(own.createCtrl(&frame, "Eigene", 0, 0), 0);
    own.setParts("60,-1");
    clickAt(own, 80, WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_EQ(own.parts, std::vector<int>{1});
}

TEST(NFrameWindow, BarsTakeTheirPlacesAndFollowTheWindowsSize)
{
    // Made where programs make them: before the frame is first shown.
    struct BarFrame : TestFrame {
        void onFirstShow() override
        {
            createToolbar().addButton("Neu", NString());
            createStatusBar();
            createScrollBars(true, true);
        }
    } frame;
    // As the application makes its main window: a popup, whose first WM_SIZE
    // comes while it is hidden. Laid out already then, and when shown, and
    // when larger.
    frame.style |= WS_POPUP;
    ASSERT_TRUE(frame.create());
    NStatusBar& status = frame.statusBar;
    ASSERT_TRUE(frame.hScroll.isWindow());
    ASSERT_TRUE(frame.vScroll.isWindow());
    EXPECT_TRUE(frame.vScroll.isVertical());

    for (int grow : {-1, 0, 120}) {
        if (grow == 0)
            frame.show(SW_SHOWNORMAL);
        if (grow > 0)
            frame.moveWindow(60, 60, 640 + grow, 480 + grow);
        if (grow >= 0)
            pump();
        const NSize client = frame.getClientSize();
        const NRect top = frame.coolbar.getWindowRect(false);
        const NRect bottom = status.getWindowRect(false);
        const NRect across = frame.hScroll.getWindowRect(false);
        const NRect down = frame.vScroll.getWindowRect(false);
        SCOPED_TRACE(grow);
        EXPECT_EQ(bottom.getBottom(), client.cy);
        EXPECT_EQ(bottom.width, client.cx);
        EXPECT_EQ(across.height, GetSystemMetrics(SM_CYHSCROLL));
        EXPECT_EQ(down.width, GetSystemMetrics(SM_CXVSCROLL));
        // Scroll bars frame the free area between coolbar and status bar.
        EXPECT_EQ(across.getBottom(), bottom.y);
        EXPECT_EQ(across.x, 0);
        EXPECT_EQ(across.width, client.cx - down.width);
        EXPECT_EQ(down.y, top.height);
        EXPECT_EQ(down.getRight(), client.cx);
        EXPECT_EQ(down.getBottom(), across.y);
        const NRect free = frame.getFreeClientRect();
        EXPECT_EQ(free, NRect(0, top.height, client.cx - down.width,
                              across.y - top.height));
    }
}

TEST(NScrollBar, DrivesTheFramesScrollStateThroughTheControl)
{
    TestFrame frame;
    ASSERT_TRUE(frame.open());
    frame.createScrollBars(true, false);
    EXPECT_FALSE(frame.vScroll.isCreated());
    frame.scroll.setContentWidth(3000);
    frame.scroll.update();
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(frame.hScroll.hwnd, SB_CTL, &info));
    EXPECT_EQ(info.nMax, 2999);
    // What the bar sends when its arrow is clicked.
    frame.sendMessage(WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(frame.hScroll.hwnd));
    pump();
    EXPECT_GT(frame.scroll.getPositionX(), 0);
    EXPECT_EQ(GetScrollPos(frame.hScroll.hwnd, SB_CTL), frame.scroll.getPositionX());
    EXPECT_EQ(GetScrollPos(frame.hwnd, SB_HORZ), 0);
}
