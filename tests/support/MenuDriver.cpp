#include "MenuDriver.h"

namespace {

thread_local MenuDriver* current = nullptr;

struct Search {
    HWND found;
};

BOOL CALLBACK findMenuWindow(HWND hwnd, LPARAM lParam)
{
    Search* search = reinterpret_cast<Search*>(lParam);
    char name[16] = "";
    GetClassNameA(hwnd, name, sizeof name);
    if (lstrcmpA(name, "#32768") == 0 && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

MenuDriver::MenuDriver(std::vector<Step> steps)
    : timer(SetTimer(nullptr, 0, 20, &tick)), steps(std::move(steps)), handledAt(0),
      menuOpen(false), previous(current)
{
    current = this;
}

MenuDriver::~MenuDriver()
{
    KillTimer(nullptr, timer);
    current = previous;
}

MenuDriver::Step MenuDriver::keys(std::vector<WORD> virtualKeys)
{
    return [virtualKeys](const Menu& menu) {
        for (WORD key : virtualKeys) {
            PostMessageA(menu.window, WM_KEYDOWN, key, 0);
            PostMessageA(menu.window, WM_KEYUP, key, 0xC0000000);
        }
    };
}

MenuDriver::Step MenuDriver::close()
{
    return [](const Menu&) { EndMenu(); };
}

void CALLBACK MenuDriver::tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (current)
        current->poll();
}

void MenuDriver::poll()
{
    Search search = {nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &findMenuWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) {
        menuOpen = false;
        return;
    }
    const HMENU menu = reinterpret_cast<HMENU>(SendMessageA(search.found, MN_GETHMENU, 0, 0));
    if (menuOpen && menu == seen.back().menu) {
        // A step that did not close its menu: the menu goes after two seconds.
        if (GetTickCount() - handledAt > 2000)
            EndMenu();
        return;
    }
    menuOpen = true;
    Menu shown;
    shown.window = search.found;
    shown.menu = menu;
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        shown.texts.push_back(text);
        shown.states.push_back(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION));
    }
    seen.push_back(shown);
    handledAt = GetTickCount();
    const size_t index = seen.size() - 1;
    if (index < steps.size() && steps[index])
        steps[index](shown);
    else
        EndMenu();
}
