// Popup menus, the map from command ids to menus and the menu bar, with real
// menus driven from a thread timer.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "FrameTestSupport.h"
#include "MenuDriver.h"
#include "NError.h"
#include "NMapNumToMenuPointer.h"
#include "NPopupMenu.h"

using namespace frametest;

namespace {

typedef std::vector<std::string> Texts;

// A plain window that counts the commands it is sent.
class CommandWindow : public NWindow {
public:
    CommandWindow()
    {
        style = WS_POPUP | WS_VISIBLE;
        rect = NRect(100, 100, 300, 200);
    }
    void onCommand(int commandId, HWND, int) override { commands.push_back(commandId); }
    std::vector<int> commands;
};

NPoint screenPoint(NWindow& window) { return window.clientToScreen(NPoint(20, 20)); }

}  // namespace

TEST(NPopupMenu, ItemsAppearInOrderWithChecksSeparatorsAndSubmenus)
{
    CommandWindow owner;
    ASSERT_TRUE(owner.create());
    NPopupMenu menu;
    NPopupMenu sub;
    menu.backColour = RGB(200, 220, 240);
    const int first = menu.addItem("Eins");
    const int second = menu.addItem("Zwei", 0, MF_CHECKED);
    menu.addSeparator();
    menu.addSubMenu("Mehr", &sub);
    const int inner = sub.addItem("Innen", 4711);
    EXPECT_EQ(inner, 4711);
    // Automatic ids are fresh on every menu.
    NPopupMenu other;
    const int otherFirst = other.addItem("Anders");
    EXPECT_NE(first, second);
    EXPECT_NE(otherFirst, first);
    EXPECT_NE(otherFirst, second);
    EXPECT_EQ(sub.backColour, menu.backColour);
    EXPECT_TRUE(sub.getIsSubMenu());
    EXPECT_FALSE(menu.getIsSubMenu());

    // Up from nothing selected is the last item; right opens the submenu.
    MenuDriver driver({MenuDriver::keys({VK_UP, VK_RIGHT, VK_RETURN})});
    EXPECT_EQ(menu.track(owner.hwnd, screenPoint(owner)), 4711);
    ASSERT_EQ(driver.count(), 1u);
    EXPECT_EQ(driver[0].texts, (Texts{"Eins", "Zwei", "", "Mehr"}));
    EXPECT_EQ(driver[0].states[0] & MF_CHECKED, 0u);
    EXPECT_EQ(driver[0].states[1] & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    EXPECT_NE(driver[0].states[2] & MF_SEPARATOR, 0u);
    EXPECT_NE(driver[0].states[3] & MF_POPUP, 0u);
}

TEST(NPopupMenu, TheChoiceIsReturnedAndSentOnlyWhileSendCommandIsSet)
{
    struct Case {
        int sendCommand;
        std::vector<WORD> keys;
        bool chooses;
    };
    const Case cases[] = {
        {1, {VK_DOWN, VK_DOWN, VK_RETURN}, true},
        {0, {VK_DOWN, VK_DOWN, VK_RETURN}, true},
        {1, {VK_ESCAPE}, false},
    };
    for (const Case& c : cases) {
        CommandWindow owner;
        ASSERT_TRUE(owner.create());
        NPopupMenu menu;
        menu.sendCommand = c.sendCommand;
        menu.addItem("Eins", 501);
        menu.addItem("Zwei", 502);
        MenuDriver driver({MenuDriver::keys(c.keys)});
        const int chosen = menu.track(owner.hwnd, screenPoint(owner));
        EXPECT_EQ(driver.count(), 1u);
        EXPECT_EQ(chosen, c.chooses ? 502 : 0);
        const std::vector<int> sent =
            c.chooses && c.sendCommand ? std::vector<int>{502} : std::vector<int>{};
        EXPECT_EQ(owner.commands, sent) << "sendCommand " << c.sendCommand;
    }
}

TEST(NPopupMenu, ChoosingFromAListGivesTheItemsText)
{
    CommandWindow owner;
    ASSERT_TRUE(owner.create());
    NPopupMenu menu;
    {
        // The separator line is passed over by the keys.
        MenuDriver driver({MenuDriver::keys({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN})});
        EXPECT_EQ(str(menu.chooseFromList(owner.hwnd, screenPoint(owner), "Rot|Gr\xFCn||Blau",
                                          "|")),
                  "Blau");
        ASSERT_EQ(driver.count(), 1u);
        EXPECT_EQ(driver[0].texts, (Texts{"Rot", "Gr\xFCn", "", "Blau"}));
    }
    {
        MenuDriver driver({MenuDriver::close()});
        EXPECT_EQ(str(menu.chooseFromList(owner.hwnd, screenPoint(owner), "Rot|Blau", "|")), "");
    }
    // The list's item numbers are no commands of the owner.
    EXPECT_TRUE(owner.commands.empty());
    EXPECT_EQ(menu.getItemCount(), 0);
}

TEST(NPopupMenu, AFailedInsertionIsLoggedAndTheIdStillReturned)
{
    NPopupMenu menu;
    DestroyMenu(menu.getHandle());
    SetLastError(0);
    const NString before = globalError.log;
    EXPECT_EQ(menu.addItem("Weg", 77), 77);
    EXPECT_NE(globalError.log.find("Fehler beim Einf\xFCgen eines Men\xFCpunktes. ("), -1);
    globalError.log = before;
}

TEST(NMapNumToMenuPointer, KeepsInsertionOrderOrSortsAndFindsByKey)
{
    NPopupMenu a, b, c;
    NMapNumToMenuPointer map;
    EXPECT_TRUE(map.setAt(30, &a));
    EXPECT_TRUE(map.setAt(10, &b));
    EXPECT_TRUE(map.setAt(20, &c));
    EXPECT_FALSE(map.setAt(10, &a));
    ASSERT_EQ(map.getCount(), 3);
    EXPECT_EQ(map.getKeyAt(0), 30);
    EXPECT_EQ(map.getKeyAt(1), 10);
    EXPECT_EQ(map.lookup(10), &a);
    EXPECT_EQ(map.lookup(99), nullptr);
    EXPECT_EQ(map.getValueAt(3), nullptr);

    map.setSorted(true);
    EXPECT_EQ(map.getKeyAt(0), 10);
    EXPECT_EQ(map.getKeyAt(2), 30);
    EXPECT_TRUE(map.setAt(5, &c));
    EXPECT_EQ(map.getKeyAt(0), 5);
    for (int key : {5, 10, 20, 30})
        EXPECT_TRUE(map.contains(key)) << key;
    EXPECT_EQ(map.lookup(30), &a);
    map.removeKey(10);
    EXPECT_FALSE(map.contains(10));
    EXPECT_EQ(map.lookup(20), &c);
    EXPECT_EQ(map.getCount(), 3);
}

TEST(NMenubar, AChosenCommandReachesTheFrameOnceAndTheButtonPopsBackUp)
{
    TestFrame frame("MenuFrame");
    ASSERT_TRUE(frame.open());
    NMenubar& bar = frame.createMenubar();
    ASSERT_TRUE(bar.isWindow());
    NPopupMenu* file = bar.addMenu("Datei");
    ASSERT_NE(file, nullptr);
    file->addItem("Neu", 601);
    file->addItem("Ende", 602);
    EXPECT_EQ(file->sendCommand, 0);
    TBBUTTON button = {};
    ASSERT_TRUE(bar.sendMessage(TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&button)));
    const int buttonId = button.idCommand;

    LRESULT stateWhileOpen = 0;
    int openWhileOpen = 0;
    MenuDriver driver({[&](const MenuDriver::Menu& menu) {
        stateWhileOpen = bar.sendMessage(TB_GETSTATE, static_cast<WPARAM>(buttonId));
        openWhileOpen = bar.getOpenButton();
        MenuDriver::keys({VK_DOWN, VK_DOWN, VK_RETURN})(menu);
    }});
    bar.openMenu(buttonId);
    pumpFor(100);
    ASSERT_EQ(driver.count(), 1u);
    EXPECT_EQ(driver[0].texts, (Texts{"Neu", "Ende"}));
    EXPECT_EQ(stateWhileOpen & TBSTATE_PRESSED, TBSTATE_PRESSED);
    EXPECT_EQ(openWhileOpen, buttonId);
    EXPECT_EQ(frame.commands, std::vector<int>{602});
    EXPECT_EQ(bar.sendMessage(TB_GETSTATE, static_cast<WPARAM>(buttonId)) & TBSTATE_PRESSED, 0);
    EXPECT_EQ(bar.getOpenButton(), 0);
}

TEST(NMenubar, MovingTheMouseToTheNextButtonSwitchesMenus)
{
    TestFrame frame("MenuFrame");
    ASSERT_TRUE(frame.open());
    SetForegroundWindow(frame.hwnd);
    NMenubar& bar = frame.createMenubar();
    bar.addMenu("Datei")->addItem("Neu", 611);
    bar.addMenu("Ansicht")->addItem("Gro\xDF", 612);
    TBBUTTON first = {}, second = {};
    bar.sendMessage(TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&first));
    bar.sendMessage(TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&second));
    RECT secondRect = {};
    bar.sendMessage(TB_GETRECT, static_cast<WPARAM>(second.idCommand),
                    reinterpret_cast<LPARAM>(&secondRect));
    const NPoint over = bar.clientToScreen(
        NPoint((secondRect.left + secondRect.right) / 2, (secondRect.top + secondRect.bottom) / 2));

    MenuDriver driver({[&](const MenuDriver::Menu& menu) {
                           SetCursorPos(over.x, over.y);
                           PostMessageA(menu.window, WM_MOUSEMOVE, 0, MAKELPARAM(over.x, over.y));
                       },
                       MenuDriver::keys({VK_DOWN, VK_RETURN})});
    bar.openMenu(first.idCommand);
    pumpFor(300);
    ASSERT_EQ(driver.count(), 2u);
    EXPECT_EQ(driver[0].texts, Texts{"Neu"});
    EXPECT_EQ(driver[1].texts, Texts{"Gro\xDF"});
    EXPECT_EQ(frame.commands, std::vector<int>{612});
}
