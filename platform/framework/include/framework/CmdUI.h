// CCmdUI: the user-interface item of one command (a menu item, a toolbar
// button, a control) while its update handler runs. The frame's
// ON_UPDATE_COMMAND_UI handlers set its state through Enable, SetCheck,
// SetRadio and SetText; each kind of item has its own class that knows how
// to show that state.
#pragma once

#include "CmdTarget.h"

class CMenu;

class FW_API CCmdUI {
public:
    CCmdUI() = default;
    virtual ~CCmdUI() = default;

    virtual void Enable(BOOL on = TRUE);
    virtual void SetCheck(int check = 1); // 0 clear, 1 checked, 2 indeterminate
    virtual void SetRadio(BOOL on = TRUE);
    virtual void SetText(LPCWSTR text);
    // The handler leaves the item to the next command target.
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Runs the update handler `target` routes to; with `disableIfNoHandler`
    // an item whose handler did not set its enabled state is enabled exactly
    // when some command target has a handler for the command.
    BOOL DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler);

    UINT m_nID = 0;
    UINT m_nIndex = 0;      // menu item position, or button index
    CMenu* m_pMenu = nullptr; // the menu of a menu item
    CMenu* m_pSubMenu = nullptr;
    CMenu* m_pParentMenu = nullptr;
    CWnd* m_pOther = nullptr; // the window of any other item
    UINT m_nIndexMax = 0;
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;
};

// Whether command `id` is enabled by the update handler `target` routes to
// (TRUE when no handler says otherwise). A command that has become disabled
// since its menu item or button was drawn is not run.
FW_API BOOL AFXAPI AfxIsCommandEnabled(CCmdTarget* target, UINT id);
