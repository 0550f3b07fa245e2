#ifndef NEK_NPOPUPMENU_H
#define NEK_NPOPUPMENU_H

#include <windows.h>

#include "NPoint.h"
#include "NString.h"

// NPopupMenu: one Win32 popup menu whose items are appended in order and
// which is shown at a point and returns the chosen command (also sent to
// the owner as WM_COMMAND while sendCommand is set). Each object owns its
// own menu handle, also when the menu is a submenu of another one.
class NPopupMenu {
public:
    NPopupMenu();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NPopupMenu();
    // Runs just before the menu is shown.
    virtual void onBeforeTrack();

    // id 0 takes the next control id; flags are MF_ state flags (MF_CHECKED ...).
    // Returns the item's id.
    int addItem(const NString& text, int itemId = 0, unsigned int flags = 0);
    int addSeparator();
    // The submenu takes this menu's background colour; it stays owned by the caller.
    int addSubMenu(const NString& text, NPopupMenu* subMenu, unsigned int flags = 0);
    // The chosen command, 0 when the menu was dismissed.
    int track(HWND owner, const NPoint& screenPoint);
    // Items separated by `separator` (an empty one is a separator line);
    // returns the chosen item's text, empty when none.
    NString chooseFromList(HWND owner, const NPoint& screenPoint, const NString& items,
                           const NString& separator);
    HMENU getHandle() const { return menu; }
    int getItemCount() const;
    void setChecked(int itemId, bool checked);
    // The state flags (MF_CHECKED ...) of the item with that id; -1 when there is none.
    int getItemState(int itemId) const;
    NString getItemText(int itemId) const;
    bool getIsSubMenu() const { return isSubMenu; }

    int trackFlags;
    int sendCommand;
    int alignFlags;
    COLORREF backColour;

private:
    NPopupMenu(const NPopupMenu&) = delete;
    NPopupMenu& operator=(const NPopupMenu&) = delete;
    int insertItem(MENUITEMINFOA& item, int itemId);

    HMENU menu;
    bool isSubMenu;
};

#endif
