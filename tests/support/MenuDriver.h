#ifndef MENUDRIVER_H
#define MENUDRIVER_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// While it lives, the popup menus the creating thread opens are answered
// from a thread timer, so that no test blocks in a menu's modal loop. Each
// menu that appears is recorded (its item texts and states) and handed to
// the next step; a menu beyond the given steps is closed with EndMenu, and
// so is a menu a step left open for two seconds.
//
//   MenuDriver menus({MenuDriver::keys({VK_DOWN, VK_RETURN})});
//   ... code that tracks a menu ...
//   ASSERT_EQ(menus.count(), 1u);
//   EXPECT_EQ(menus[0].texts[0], "Neu");
class MenuDriver {
public:
    struct Menu {
        HWND window = nullptr;
        HMENU menu = nullptr;
        std::vector<std::string> texts;  // separators as ""
        std::vector<UINT> states;        // GetMenuState flags (MF_CHECKED, MF_POPUP ...)
    };
    typedef std::function<void(const Menu& menu)> Step;

    explicit MenuDriver(std::vector<Step> steps = {});
    ~MenuDriver();
    MenuDriver(const MenuDriver&) = delete;
    MenuDriver& operator=(const MenuDriver&) = delete;

    // A step that posts key presses to the menu window.
    static Step keys(std::vector<WORD> virtualKeys);
    // A step that closes the menu with EndMenu.
    static Step close();

    size_t count() const { return seen.size(); }
    const Menu& operator[](size_t i) const { return seen.at(i); }

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    void poll();

    UINT_PTR timer;
    std::vector<Step> steps;
    std::vector<Menu> seen;
    DWORD handledAt;
    // The menu last handed to a step is still on the screen.
    bool menuOpen;
    MenuDriver* previous;
};

#endif
