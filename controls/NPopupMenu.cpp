#include "NPopupMenu.h"

#include "NApplication.h"
#include "NError.h"
#include "NStringList.h"

NPopupMenu::NPopupMenu()
    : trackFlags(0),
      sendCommand(1),
      alignFlags(0),
      backColour(GetSysColor(COLOR_MENU)),
      menu(CreatePopupMenu()),
      isSubMenu(false)
{
}

const char* NPopupMenu::getName() const { return getClassName(); }
const char* NPopupMenu::getClassName() const { return "NPopupMenu"; }

NPopupMenu::~NPopupMenu()
{
    if (!menu)
        return;
    // Submenus belong to their own objects: detached first, DestroyMenu would
    // take them along.
    for (int i = GetMenuItemCount(menu) - 1; i >= 0; --i)
        if (GetSubMenu(menu, i))
            RemoveMenu(menu, static_cast<UINT>(i), MF_BYPOSITION);
    DestroyMenu(menu);
}

void NPopupMenu::onBeforeTrack() {}

int NPopupMenu::getItemCount() const { return menu ? GetMenuItemCount(menu) : 0; }

int NPopupMenu::insertItem(MENUITEMINFOA& item, int itemId)
{
    item.cbSize = sizeof item;
    item.fMask |= MIIM_ID;
    if (itemId == 0)
        itemId = globalApplication.nextControlId();
    item.wID = static_cast<UINT>(itemId);
    if (!menu || !InsertMenuItemA(menu, static_cast<UINT>(getItemCount()), TRUE, &item))
        globalError.addError(NString("Fehler beim Einf\xFCgen eines Men\xFCpunktes. (") +
                             NError::getSystemMessage(GetLastError()) + ")");
    return itemId;
}

int NPopupMenu::addItem(const NString& text, int itemId, unsigned int flags)
{
    MENUITEMINFOA item = {};
    item.fMask = MIIM_STRING | MIIM_STATE;
    item.dwTypeData = const_cast<char*>(text.getBuffer());
    item.fState = flags;
    return insertItem(item, itemId);
}

int NPopupMenu::addSeparator()
{
    MENUITEMINFOA item = {};
    item.fMask = MIIM_FTYPE;
    item.fType = MFT_SEPARATOR;
    return insertItem(item, 0);
}

int NPopupMenu::addSubMenu(const NString& text, NPopupMenu* subMenu, unsigned int flags)
{
    MENUITEMINFOA item = {};
    item.fMask = MIIM_STRING | MIIM_STATE;
    item.dwTypeData = const_cast<char*>(text.getBuffer());
    item.fState = flags;
    if (subMenu) {
        item.fMask |= MIIM_SUBMENU;
        item.hSubMenu = subMenu->menu;
        subMenu->backColour = backColour;
        subMenu->isSubMenu = true;
    }
    return insertItem(item, 0);
}

void NPopupMenu::setChecked(int itemId, bool checked)
{
    if (menu)
        CheckMenuItem(menu, static_cast<UINT>(itemId), checked ? MF_CHECKED : MF_UNCHECKED);
}

int NPopupMenu::getItemState(int itemId) const
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE;
    if (!menu || !GetMenuItemInfoA(menu, static_cast<UINT>(itemId), FALSE, &item))
        return -1;
    return static_cast<int>(item.fState);
}

NString NPopupMenu::getItemText(int itemId) const
{
    char text[256] = "";
    if (menu)
        GetMenuStringA(menu, static_cast<UINT>(itemId), text, sizeof text, MF_BYCOMMAND);
    return NString(text);
}

int NPopupMenu::track(HWND owner, const NPoint& screenPoint)
{
    if (!menu)
        return 0;
    const UINT flags = static_cast<UINT>(alignFlags | trackFlags) | TPM_NONOTIFY |
                       TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_VERPOSANIMATION;
    const HBRUSH brush = CreateSolidBrush(backColour);
    MENUINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND | MIM_APPLYTOSUBMENUS;
    info.hbrBack = brush;
    SetMenuInfo(menu, &info);
    onBeforeTrack();
    const int command = static_cast<int>(
        TrackPopupMenuEx(menu, flags, screenPoint.x, screenPoint.y, owner, nullptr));
    if (sendCommand && command != 0)
        SendMessageA(owner, WM_COMMAND, static_cast<WPARAM>(command), 0);
    // The menu must not keep a brush that is gone.
    info.hbrBack = nullptr;
    SetMenuInfo(menu, &info);
    DeleteObject(brush);
    return command;
}

NString NPopupMenu::chooseFromList(HWND owner, const NPoint& screenPoint, const NString& items,
                                   const NString& separator)
{
    NStringList texts;
    texts.split(items, separator);
    NPopupMenu list;
    list.trackFlags = trackFlags;
    list.alignFlags = alignFlags;
    list.backColour = backColour;
    // The ids 1, 2 ... mean nothing to the owner.
    list.sendCommand = 0;
    for (int i = 0; i < texts.getCount(); ++i) {
        if (texts.getAt(i).isEmpty()) {
            MENUITEMINFOA item = {};
            item.fMask = MIIM_FTYPE;
            item.fType = MFT_SEPARATOR;
            list.insertItem(item, i + 1);
        } else {
            list.addItem(texts.getAt(i), i + 1);
        }
    }
    const int chosen = list.track(owner, screenPoint);
    return chosen >= 1 && chosen <= texts.getCount() ? texts.getAt(chosen - 1) : NString();
}
