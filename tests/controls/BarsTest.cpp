#include <windows.h>
#include <commctrl.h>


#include <algorithm>

#include "FrameTestSupport.h"
#include "MenuDriver.h"
#include "NPopupMenu.h"
#include "NToolTip.h"
#include "ScreenPixels.h"

typedef std::vector<std::string> Texts;

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
    bar.addButton("\xD6" "ffnen", folder.file("rot.bmp").c_str(), 0, 0, 0, "Datei \xF6" "ffnen");
    bar.addButton("Sichern", NString());
    bar.addButton("", NString());
    MessageBoxCatcher boxes(2);
    EXPECT_EQ(bar.addButton("Fehlt", folder.file("fehlt.bmp").c_str()), -1);
    EXPECT_FALSE(bar.createToolbar(&frame));
    expectErrorBox(boxes[1], "createToolbar(..) Die Toolbar wurde bereits erzeugt.");
    // The picture's red face without its blue mask colour, once painted.
    RECT button[4] = {{}, {}, {}, {bar.getClientSize().cx - 5, 0, 0, 0}};
    bar.sendMessage(TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button[0]));
    auto count = [&](uint32_t rgb) {
        const std::vector<uint32_t> face = capture(bar.hwnd, button[0].left, button[0].top, 20, 20).bits;
        return std::count_if(face.begin(), face.end(), [rgb](uint32_t p) { return (p & 0xFFFFFF) == rgb; });
    };
    EXPECT_TRUE(pumpUntil([&] { return count(0xFF0000) > 150; }));
    EXPECT_EQ(count(0x0000FF), 0);

    // The text the toolbar gives its tooltip with the mouse over each button and beyond them.
    const char* const tips[] = {"Datei \xF6" "ffnen", "Sichern", "Toolbar-Schaltfl\xE4" "chen",
                                "Toolbar-Schaltfl\xE4" "chen"};
    for (int i = 0; i < 4; ++i) {
        bar.sendMessage(TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&button[i]));
        bar.sendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(button[i].left + 3, 5));
        NMTTDISPINFOA info = {};
        info.hdr = {bar.getToolTip()->getHwnd(), 0, TTN_GETDISPINFOA};
        bar.sendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_STREQ(info.lpszText, tips[i]) << i;
    }
}

TEST(NFrameWindow, BarsTakeTheirPlacesTheScrollBarsDriveTheScrollStateAndStatusClicksArrive)
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
    for (int grow : {-1, 0, 120}) {
        SCOPED_TRACE(grow);
        if (grow == 0) frame.show(SW_SHOWNORMAL);
        if (grow > 0) frame.moveWindow(60, 60, 640 + grow, 480 + grow);
        pump();
        const NSize client = frame.getClientSize();
        const NRect top = frame.coolbar.getWindowRect(false), bottom = frame.statusBar.getWindowRect(false);
        const NRect across = frame.hScroll.getWindowRect(false), down = frame.vScroll.getWindowRect(false);
        EXPECT_EQ(top, NRect(0, 0, client.cx, top.height));
        EXPECT_GE(top.height, 2 * frame.toolbar.getButtonHeight());
        EXPECT_EQ(bottom.getBottom(), client.cy);
        // The scroll bars frame the free area between coolbar and status bar.
        const NRect free(0, top.height, client.cx - GetSystemMetrics(SM_CXVSCROLL),
                         bottom.y - top.height - GetSystemMetrics(SM_CYHSCROLL));
        EXPECT_EQ(frame.getFreeClientRect(), free);
        EXPECT_EQ(across, NRect(0, free.getBottom(), free.width, GetSystemMetrics(SM_CYHSCROLL)));
        EXPECT_EQ(down, NRect(free.getRight(), free.y, GetSystemMetrics(SM_CXVSCROLL), free.height));
    }
    frame.scroll.setContentWidth(3000);
    // What the bar sends when its arrow is clicked.
    frame.sendMessage(WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(frame.hScroll.hwnd));
    EXPECT_GT(frame.scroll.getPositionX(), 0);
    EXPECT_EQ(GetScrollPos(frame.hScroll.hwnd, SB_CTL), frame.scroll.getPositionX());

    // The status bar's parts; clicks reach the frame with the part's index.
    NStatusBar& bar = frame.statusBar;
    bar.setParts("100,150,-1");
    int edges[4] = {};
    ASSERT_EQ(bar.sendMessage(SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 3);
    EXPECT_EQ(std::vector<int>(edges, edges + 3), (std::vector<int>{100, 250, -1}));
    EXPECT_EQ(str(bar.getText(0)), "Status");
    const int middle = bar.getClientSize().cy / 2;
    for (const auto& m : {std::make_pair(WM_LBUTTONDOWN, 150), {WM_LBUTTONUP, 150}, {WM_RBUTTONDOWN, 50},
                          {WM_RBUTTONUP, 50}, {WM_LBUTTONDBLCLK, 300}})
        bar.sendMessage(m.first, 0, MAKELPARAM(m.second, middle));
    EXPECT_EQ(frame.clicks, (Texts{"click 1", "rclick 0", "dblclick 2"}));
}

TEST(NPopupMenu, ReturnsTheChoiceSendsItOnlyWhileSendCommandIsSetAndTheMenuBarSwitchesMenus)
{
    const struct {
        int sendCommand;
        std::vector<WORD> keys;
        int chosen;
    } cases[] = {
        {1, {VK_DOWN, VK_DOWN, VK_RETURN}, 502},
        {0, {VK_DOWN, VK_DOWN, VK_RETURN}, 502},
        // Up from nothing selected is the last item; right opens its submenu.
        {1, {VK_UP, VK_RIGHT, VK_RETURN}, 4711},
    };
    TestFrame owner;
    ASSERT_TRUE(owner.open());
    for (const auto& c : cases) {
        NPopupMenu menu, sub;
        menu.sendCommand = c.sendCommand;
        menu.addItem("Eins", 501);
        menu.addItem("Zwei", 502, MF_CHECKED);
        menu.addSeparator();
        menu.addSubMenu("Mehr", &sub);
        sub.addItem("Innen", 4711);
        owner.commands.clear();
        MenuDriver driver({MenuDriver::keys(c.keys)});
        EXPECT_EQ(menu.track(owner.hwnd, owner.clientToScreen(NPoint(20, 20))), c.chosen);
        ASSERT_EQ(driver.seen.size(), 1u);
        EXPECT_EQ(driver.seen[0].texts, (Texts{"Eins", "Zwei", "", "Mehr"}));
        EXPECT_EQ(driver.seen[0].states[1] & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
        EXPECT_EQ(owner.commands, c.chosen && c.sendCommand ? std::vector<int>{c.chosen} : std::vector<int>{})
            << "sendCommand " << c.sendCommand;
    }
    // A choice from a list comes back as its text; the owner hears nothing of it.
    {
        owner.commands.clear();
        MenuDriver driver({MenuDriver::keys({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN})});
        const NString chosen = NPopupMenu().chooseFromList(owner.hwnd, owner.clientToScreen(NPoint(20, 20)),
                                                           "Rot|Gr\xFCn||Blau", "|");
        EXPECT_EQ(str(chosen), "Blau");
        ASSERT_EQ(driver.seen.size(), 1u);
        EXPECT_EQ(driver.seen[0].texts, (Texts{"Rot", "Gr\xFCn", "", "Blau"}));
        EXPECT_TRUE(owner.commands.empty());
    }
    // The menu bar: the mouse on the next button switches menus, the choice is sent once.
    owner.commands.clear();
    NMenubar& bar = owner.createMenubar();
    bar.addMenu("Datei")->addItem("Neu", 611);
    bar.addMenu("Ansicht")->addItem("Gro\xDF", 612);
    TBBUTTON first = {}, second = {};
    bar.sendMessage(TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&first));
    bar.sendMessage(TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&second));
    RECT r = {};
    bar.sendMessage(TB_GETRECT, static_cast<WPARAM>(second.idCommand), reinterpret_cast<LPARAM>(&r));
    const NPoint over = bar.clientToScreen(NPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    LRESULT pressed = 0;
    MenuDriver driver({[&](const MenuDriver::Menu& menu) {
                           pressed = bar.sendMessage(TB_GETSTATE, first.idCommand) & TBSTATE_PRESSED;
                           SetCursorPos(over.x, over.y);
                           PostMessageA(menu.window, WM_MOUSEMOVE, 0, MAKELPARAM(over.x, over.y));
                       },
                       MenuDriver::keys({VK_DOWN, VK_RETURN})});
    bar.openMenu(first.idCommand);
    // A busy machine may take seconds to move the pointer and switch the menus.
    ASSERT_TRUE(pumpUntil([&] { return !owner.commands.empty(); }, 15000));
    ASSERT_EQ(driver.seen.size(), 2u);
    EXPECT_EQ(driver.seen[0].texts, Texts{"Neu"});
    EXPECT_EQ(driver.seen[1].texts, Texts{"Gro\xDF"});
    EXPECT_EQ(pressed, TBSTATE_PRESSED);
    EXPECT_EQ(bar.sendMessage(TB_GETSTATE, second.idCommand) & TBSTATE_PRESSED, 0);
    EXPECT_EQ(owner.commands, std::vector<int>{612});
}
