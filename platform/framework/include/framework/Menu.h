// CMenu: a menu handle. An object that created, loaded or attached a menu
// owns it and destroys it with itself; FromHandle gives a temporary wrapper
// (freed by AfxUnlockTempMaps) that never destroys the menu.
#pragma once

#include "CmdTarget.h"
#include "String.h"

class FW_API CMenu : public CObject {
public:
    DECLARE_DYNAMIC(CMenu)
    CMenu() = default;
    ~CMenu() override; // destroys an owned menu

    HMENU m_hMenu = nullptr;
    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }

    static CMenu* PASCAL FromHandle(HMENU menu);
    BOOL Attach(HMENU menu);
    HMENU Detach();

    // Each fails when the object already holds a menu. LoadMenu looks the
    // resource up through the module state and the resource chain.
    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    BOOL LoadMenu(UINT id);
    BOOL LoadMenu(LPCWSTR name);
    BOOL DestroyMenu();

    BOOL AppendMenu(UINT flags, UINT_PTR idNewItem = 0, LPCWSTR newItem = nullptr) {
        return ::AppendMenuW(m_hMenu, flags, idNewItem, newItem);
    }
    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR idNewItem = 0, LPCWSTR newItem = nullptr) {
        return ::InsertMenuW(m_hMenu, position, flags, idNewItem, newItem);
    }
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR idNewItem = 0, LPCWSTR newItem = nullptr) {
        return ::ModifyMenuW(m_hMenu, position, flags, idNewItem, newItem);
    }
    BOOL RemoveMenu(UINT position, UINT flags) { return ::RemoveMenu(m_hMenu, position, flags); }
    BOOL DeleteMenu(UINT position, UINT flags) { return ::DeleteMenu(m_hMenu, position, flags); }
    UINT CheckMenuItem(UINT id, UINT check) { return ::CheckMenuItem(m_hMenu, id, check); }
    UINT EnableMenuItem(UINT id, UINT enable) { return ::EnableMenuItem(m_hMenu, id, enable); }
    BOOL CheckMenuRadioItem(UINT first, UINT last, UINT item, UINT flags) {
        return ::CheckMenuRadioItem(m_hMenu, first, last, item, flags);
    }
    BOOL SetDefaultItem(UINT item, BOOL byPos = FALSE) {
        return ::SetMenuDefaultItem(m_hMenu, item, byPos);
    }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int pos) const { return ::GetMenuItemID(m_hMenu, pos); }
    UINT GetMenuState(UINT id, UINT flags) const { return ::GetMenuState(m_hMenu, id, flags); }
    int GetMenuString(UINT id, CString& text, UINT flags) const;
    BOOL GetMenuItemInfo(UINT item, LPMENUITEMINFOW info, BOOL byPos = FALSE) const {
        return ::GetMenuItemInfoW(m_hMenu, item, byPos, info);
    }
    CMenu* GetSubMenu(int pos) const; // temporary unless someone owns it
    // The command chosen with TPM_RETURNCMD, else nonzero for success.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* wnd, LPCRECT rect = nullptr);
};
