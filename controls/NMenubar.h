#ifndef NEK_NMENUBAR_H
#define NEK_NMENUBAR_H

#include "NMapNumToMenuPointer.h"
#include "NToolbar.h"

class NPopupMenu;

// NMenubar: a menu bar made of a toolbar: pressing a button drops down its
// popup menu, and moving the mouse along the bar while a menu is open
// switches to the neighbouring menu, as a system menu bar does. The chosen
// command goes to the bar's parent as WM_COMMAND.
class NMenubar : public NToolbar {
public:
    // Posted to the bar to open the menu of a button (wParam: button id).
    static const UINT openMenuMessage = 0x7E9;

    NMenubar();
    LRESULT onMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                      bool handled = false, LRESULT result = 0) override;
    const char* getName() const override;
    const char* getClassName() const override;
    ~NMenubar() override;
    LRESULT onReflect(int code, NMHDR* header) override;

    // A new button with an empty menu for the caller to fill; the bar owns
    // it. Null while the bar does not exist.
    NPopupMenu* addMenu(const NString& menuTitle);
    NPopupMenu* getMenu(int buttonId) const { return menus.lookup(buttonId); }
    void openMenu(int buttonId);
    // The button whose menu is open, 0 when none.
    int getOpenButton() const { return openButton; }

private:
    static LRESULT CALLBACK messageHook(int code, WPARAM wParam, LPARAM lParam);
    void runMenu(int buttonId);

    NMapNumToMenuPointer menus;
    int openButton;
    HHOOK hook;
    HWND barWindow;
    RECT barRect;
};

#endif
