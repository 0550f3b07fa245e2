// Popup menus, the map from command ids to menus and the menu bar, with real
// menus answered from a thread timer.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "FrameTestSupport.h"
#include "MenuDriver.h"
#include "NMapNumToMenuPointer.h"
#include "NPopupMenu.h"

using frametest::TestFrame;
typedef std::vector<std::string> Texts;

TEST(NPopupMenu, ReturnsTheChoiceAndSendsItOnlyWhileSendCommandIsSet)
{
    struct Case {
        int sendCommand;
        std::vector<WORD> keys;
        int chosen;
    };
    const Case cases[] = {
        {1, {VK_DOWN, VK_DOWN, VK_RETURN}, 502},
        {0, {VK_DOWN, VK_DOWN, VK_RETURN}, 502},
        // Up from nothing selected is the last item; right opens its submenu.
        {1, {VK_UP, VK_RIGHT, VK_RETURN}, 4711},
        {1, {VK_ESCAPE}, 0},
    };
    for (const Case& c : cases) {
        TestFrame owner;
        ASSERT_TRUE(owner.open());
        NPopupMenu menu, sub, other, another;
        menu.backColour = RGB(200, 220, 240);
        menu.sendCommand = c.sendCommand;
        menu.addItem("Eins", 501);
        menu.addItem("Zwei", 502, MF_CHECKED);
        menu.addSeparator();
        menu.addSubMenu("Mehr", &sub);
        sub.addItem("Innen", 4711);
        EXPECT_EQ(sub.backColour, menu.backColour);
        // Automatic ids are fresh across menus.
        EXPECT_NE(other.addItem("Neu"), another.addItem("Neu"));
        MenuDriver driver({MenuDriver::keys(c.keys)});
        EXPECT_EQ(menu.track(owner.hwnd, owner.clientToScreen(NPoint(20, 20))), c.chosen);
        ASSERT_EQ(driver.seen.size(), 1u);
        EXPECT_EQ(driver.seen[0].texts, (Texts{"Eins", "Zwei", "", "Mehr"}));
        EXPECT_EQ(driver.seen[0].states[0] & MF_CHECKED, 0u);
        EXPECT_EQ(driver.seen[0].states[1] & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
        EXPECT_NE(driver.seen[0].states[3] & MF_POPUP, 0u);
        const std::vector<int> sent =
            c.chosen && c.sendCommand ? std::vector<int>{c.chosen} : std::vector<int>{};
        EXPECT_EQ(owner.commands, sent) << "sendCommand " << c.sendCommand;
    }
}

TEST(NPopupMenu, ChoosingFromAListGivesTheItemsTextAndSendsNothing)
{
    TestFrame owner;
    ASSERT_TRUE(owner.open());
    NPopupMenu menu;
    // The separator line is passed over by the keys.
    MenuDriver driver({MenuDriver::keys({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN})});
    EXPECT_EQ(frametest::text(menu.chooseFromList(owner.hwnd, NPoint(100, 100),
                                                  "Rot|Gr\xFCn||Blau", "|")),
              "Blau");
    ASSERT_EQ(driver.seen.size(), 1u);
    EXPECT_EQ(driver.seen[0].texts, (Texts{"Rot", "Gr\xFCn", "", "Blau"}));
    EXPECT_TRUE(owner.commands.empty());
}

TEST(NMapNumToMenuPointer, KeepsInsertionOrderOrSortsAndFindsByKey)
{
    NPopupMenu a, b;
    NMapNumToMenuPointer map;
    EXPECT_TRUE(map.setAt(30, &a));
    EXPECT_TRUE(map.setAt(10, &b));
    EXPECT_FALSE(map.setAt(30, &b));
    EXPECT_EQ(map.getKeyAt(0), 30);
    map.setSorted(true);
    EXPECT_TRUE(map.setAt(20, &a));
    EXPECT_EQ((std::vector<int>{map.getKeyAt(0), map.getKeyAt(1), map.getKeyAt(2)}),
              (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(map.lookup(30), &b);
    EXPECT_EQ(map.lookup(99), nullptr);
}

TEST(NMenubar, TheMouseOnTheNextButtonSwitchesMenusAndTheChoiceIsSentOnce)
{
    TestFrame frame;
    ASSERT_TRUE(frame.open());
    NMenubar& bar = frame.createMenubar();
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
    pumpFor(300);
    ASSERT_EQ(driver.seen.size(), 2u);
    EXPECT_EQ(driver.seen[0].texts, Texts{"Neu"});
    EXPECT_EQ(driver.seen[1].texts, Texts{"Gro\xDF"});
    EXPECT_EQ(pressed, TBSTATE_PRESSED);
    EXPECT_EQ(bar.sendMessage(TB_GETSTATE, second.idCommand) & TBSTATE_PRESSED, 0);
    EXPECT_EQ(frame.commands, std::vector<int>{612});
}
