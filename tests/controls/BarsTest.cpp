// The bars of a frame window with real windows: toolbar pictures and
// tooltips, status bar parts and clicks, and the layout of coolbar, status
// bar and scroll bars.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "FrameTestSupport.h"
#include "MessageBoxCatcher.h"
#include "NToolTip.h"

using frametest::TestFrame;

namespace {

// The text the toolbar gives its tooltip with the mouse at x, y.
std::string tipAt(NToolbar& bar, int x, int y)
{
    bar.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = bar.getToolTip()->getHwnd();
    info.hdr.code = TTN_GETDISPINFOA;
    bar.sendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    return info.lpszText ? info.lpszText : "";
}

int pixelsOf(HWND hwnd, const RECT& area, COLORREF colour)
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

}  // namespace

TEST(NToolbar, ButtonsShowTheirPictureAndTooltipAndBadRequestsAreRefused)
{
    TestFolder folder;
    // Red, with a blue top-left pixel: the mask colour.
    std::vector<uint32_t> pixels(16 * 16, 0xFFFF0000);
    pixels[0] = 0xFF0000FF;
    writeBmp(folder.file("rot.bmp"), 16, 16, pixels);
    TestFrame frame;
    ASSERT_TRUE(frame.open());
    NToolbar& bar = frame.createToolbar();
    EXPECT_GE(bar.addButton("\xD6" "ffnen", folder.file("rot.bmp").c_str(), 0, 0, 0,
                            "Datei \xF6" "ffnen"),
              3000);
    EXPECT_EQ(bar.addButton("Sichern", NString(), 7001), 7001);
    bar.addButton("", NString(), 7002);

    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    EXPECT_EQ(bar.addButton("Fehlt", folder.file("fehlt.bmp").c_str()), -1);
    EXPECT_EQ(bar.getButtonCount(), 3);
    boxes.expect(IDOK);
    const HWND made = bar.hwnd;
    EXPECT_FALSE(bar.createToolbar(&frame));
    EXPECT_EQ(bar.hwnd, made);
    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes[0].text.rfind("NImageList.add(..): Fehler beim Laden des Bitmaps", 0), 0u);
    EXPECT_EQ(boxes[1].text, "createToolbar(..) Die Toolbar wurde bereits erzeugt.");
    EXPECT_EQ(boxes[1].title, "Fehler !");

    RECT button[3];
    for (int i = 0; i < 3; ++i)
        bar.sendMessage(TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&button[i]));
    pumpFor(50);
    EXPECT_GT(pixelsOf(bar.hwnd, button[0], RGB(255, 0, 0)), 150);
    EXPECT_EQ(pixelsOf(bar.hwnd, button[0], RGB(0, 0, 255)), 0);
    EXPECT_EQ(tipAt(bar, button[0].left + 3, 5), "Datei \xF6" "ffnen");
    EXPECT_EQ(tipAt(bar, button[1].left + 3, 5), "Sichern");
    EXPECT_EQ(tipAt(bar, button[2].left + 2, 5), "Toolbar-Schaltfl\xE4" "chen");
    EXPECT_EQ(tipAt(bar, bar.getClientSize().cx - 2, 2), "Toolbar-Schaltfl\xE4" "chen");
}

TEST(NStatusBar, PartsOrOneSimplePartAndClicksReachTheFrameWithThePartIndex)
{
    TestFrame frame;
    ASSERT_TRUE(frame.open());
    NStatusBar& bar = frame.createStatusBar();
    bar.setParts("200");
    EXPECT_TRUE(bar.sendMessage(SB_ISSIMPLE));
    bar.setText(0, "Bereit");
    EXPECT_EQ(frametest::text(bar.getText(0)), "Bereit");

    bar.setParts("100,150,-1");
    EXPECT_FALSE(bar.sendMessage(SB_ISSIMPLE));
    int edges[4] = {};
    ASSERT_EQ(bar.sendMessage(SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 3);
    EXPECT_EQ(std::vector<int>(edges, edges + 3), (std::vector<int>{100, 250, -1}));
    // The simple part's text did not go to the first part.
    EXPECT_EQ(frametest::text(bar.getText(0)), "Status");

    const int middle = bar.getClientSize().cy / 2;
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP})
        bar.sendMessage(message, 0, MAKELPARAM(150, middle));
    for (UINT message : {WM_RBUTTONDOWN, WM_RBUTTONUP})
        bar.sendMessage(message, 0, MAKELPARAM(50, middle));
    bar.sendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(300, middle));
    EXPECT_EQ(frame.clicks, (std::vector<std::string>{"click 1", "rclick 0", "dblclick 2"}));
}

TEST(NFrameWindow, BarsTakeTheirPlacesAndTheScrollBarsDriveTheScrollState)
{
    struct BarFrame : TestFrame {
        void onFirstShow() override
        {
            createMenubar().addMenu("Datei");
            createToolbar().addButton("Neu", NString());
            createStatusBar();
            createScrollBars(true, true);
        }
    } frame;
    // As the application makes its main window: a popup, whose first WM_SIZE
    // comes while it is hidden. Laid out then, when shown, and when larger.
    frame.style |= WS_POPUP;
    ASSERT_TRUE(frame.create());
    EXPECT_EQ(frame.coolbar.sendMessage(RB_GETBANDCOUNT), 2);
    EXPECT_EQ(GetParent(frame.toolbar.hwnd), frame.coolbar.hwnd);
    for (int grow : {-1, 0, 120}) {
        SCOPED_TRACE(grow);
        if (grow == 0)
            frame.show(SW_SHOWNORMAL);
        if (grow > 0)
            frame.moveWindow(60, 60, 640 + grow, 480 + grow);
        pump();
        const NSize client = frame.getClientSize();
        const NRect top = frame.coolbar.getWindowRect(false);
        const NRect bottom = frame.statusBar.getWindowRect(false);
        const NRect across = frame.hScroll.getWindowRect(false);
        const NRect down = frame.vScroll.getWindowRect(false);
        EXPECT_EQ(top, NRect(0, 0, client.cx, top.height));
        EXPECT_GE(top.height, 2 * frame.toolbar.getButtonHeight());
        EXPECT_EQ(bottom.getBottom(), client.cy);
        // The scroll bars frame the free area between coolbar and status bar.
        EXPECT_EQ(across, NRect(0, bottom.y - across.height, client.cx - down.width,
                                GetSystemMetrics(SM_CYHSCROLL)));
        EXPECT_EQ(down, NRect(client.cx - down.width, top.height, GetSystemMetrics(SM_CXVSCROLL),
                              across.y - top.height));
        EXPECT_EQ(frame.getFreeClientRect(),
                  NRect(0, top.height, down.x, across.y - top.height));
    }

    frame.scroll.setContentWidth(3000);
    // What the bar sends when its arrow is clicked.
    frame.sendMessage(WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(frame.hScroll.hwnd));
    EXPECT_GT(frame.scroll.getPositionX(), 0);
    EXPECT_EQ(GetScrollPos(frame.hScroll.hwnd, SB_CTL), frame.scroll.getPositionX());
}
