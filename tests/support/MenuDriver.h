#ifndef MENUDRIVER_H
#define MENUDRIVER_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// While it lives, the popup menus the thread opens are answered from a thread timer, so no test blocks in a
// menu's modal loop. Each new menu is recorded (item texts, separators as "", and GetMenuState flags) and
// handed to the next step; without a step, or when a step leaves its menu open for five seconds, the menu is
// closed with EndMenu.
class MenuDriver {
public:
    struct Menu {
        HWND window = nullptr;
        HMENU menu = nullptr;
        std::vector<std::string> texts;
        std::vector<UINT> states;
    };
    typedef std::function<void(const Menu&)> Step;

    explicit MenuDriver(std::vector<Step> steps = {}) : steps(std::move(steps)), previous(current)
    {
        current = this;
        timer = SetTimer(nullptr, 0, 20, &tick);
    }
    ~MenuDriver()
    {
        KillTimer(nullptr, timer);
        current = previous;
        dropTypedCharacters();
    }

    // A step that posts key presses to the menu.
    static Step keys(std::vector<WORD> virtualKeys)
    {
        return [virtualKeys](const Menu& menu) {
            for (WORD key : virtualKeys) PostMessageA(menu.window, WM_KEYDOWN, key, 0);
        };
    }

    // The menu loop translates the keys posted to it; a character left over would close the next menu.
    static void dropTypedCharacters()
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE)) {}
    }

    std::vector<Menu> seen;

private:
    static inline thread_local MenuDriver* current = nullptr;
    static BOOL CALLBACK findMenu(HWND hwnd, LPARAM found)
    {
        char name[16] = "";
        GetClassNameA(hwnd, name, sizeof name);
        if (lstrcmpA(name, "#32768") != 0 || !IsWindowVisible(hwnd)) return TRUE;
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) { current->poll(); }
    void poll()
    {
        // This thread's menu: test programs running beside may have menus open too.
        HWND window = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &findMenu, reinterpret_cast<LPARAM>(&window));
        if (!window) {
            open = false;
            return;
        }
        const HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
        if (open && menu == seen.back().menu) {
            if (GetTickCount() - shownAt > 5000) EndMenu();
            return;
        }
        open = true;
        shownAt = GetTickCount();
        Menu shown{window, menu, {}, {}};
        for (UINT i = 0; i < UINT(GetMenuItemCount(menu)); ++i) {
            char itemText[256] = "";
            GetMenuStringA(menu, i, itemText, sizeof itemText, MF_BYPOSITION);
            shown.texts.push_back(itemText);
            shown.states.push_back(GetMenuState(menu, i, MF_BYPOSITION));
        }
        seen.push_back(shown);
        if (seen.size() <= steps.size()) steps[seen.size() - 1](shown);
        else EndMenu();
    }

    std::vector<Step> steps;
    MenuDriver* previous;
    UINT_PTR timer = 0;
    bool open = false;
    DWORD shownAt = 0;
};

#endif
