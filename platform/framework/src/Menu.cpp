// Menus: owned handles and the thread's temporary wrappers.
#include "Internal.h"

CMenu::~CMenu() {
    DestroyMenu();
}

CMenu* PASCAL CMenu::FromHandle(HMENU menu) {
    if (!menu) return nullptr;
    AfxThreadState* ts = AfxGetThreadState();
    CMenu*& temp = ts->tempMenus[menu];
    if (!temp) {
        temp = new CMenu;
        temp->m_hMenu = menu;
    }
    return temp;
}

BOOL CMenu::Attach(HMENU menu) {
    if (!menu || m_hMenu) return FALSE;
    m_hMenu = menu;
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU menu = m_hMenu;
    m_hMenu = nullptr;
    return menu;
}

BOOL CMenu::CreateMenu() {
    return !m_hMenu && Attach(::CreateMenu());
}

BOOL CMenu::CreatePopupMenu() {
    return !m_hMenu && Attach(::CreatePopupMenu());
}

BOOL CMenu::LoadMenu(UINT id) {
    return LoadMenu(MAKEINTRESOURCEW(id));
}

BOOL CMenu::LoadMenu(LPCWSTR name) {
    if (m_hMenu) return FALSE;
    HINSTANCE instance = AfxFindResourceHandle(name, reinterpret_cast<LPCWSTR>(RT_MENU));
    return Attach(::LoadMenuW(instance, name));
}

BOOL CMenu::DestroyMenu() {
    if (!m_hMenu) return FALSE;
    return ::DestroyMenu(Detach());
}

int CMenu::GetMenuString(UINT id, CString& text, UINT flags) const {
    text.Empty();
    int length = ::GetMenuStringW(m_hMenu, id, nullptr, 0, flags);
    if (length <= 0) return 0;
    int got = ::GetMenuStringW(m_hMenu, id, text.GetBuffer(length + 1), length + 1, flags);
    text.ReleaseBuffer(got);
    return got;
}

CMenu* CMenu::GetSubMenu(int pos) const {
    return FromHandle(::GetSubMenu(m_hMenu, pos));
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* wnd, LPCRECT rect) {
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, AfxGetSafeHwnd(wnd), rect);
}
