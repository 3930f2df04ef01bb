// TMXToolbar's menus: the right-click menu of the frame's toolbars and the
// menus of drop-down buttons.
#include "TMXToolbar.h"

namespace {
constexpr UINT kCustomizeCommand = 255;

// Window handles are 32 bits; Wine answers some sign-extended, some not.
bool SameWindow(HWND a, HWND b) {
    return static_cast<UINT32>(reinterpret_cast<UINT_PTR>(a)) == static_cast<UINT32>(reinterpret_cast<UINT_PTR>(b));
}
} // namespace

void TMXToolbar::OnContextMenu(CWnd*, CPoint point) {
    // Over an embedded control: the control's own business.
    if (!SameWindow(::WindowFromPoint(point), m_hWnd)) return;
    CPoint client = point;
    ScreenToClient(&client);
    if (!ShowContextMenu(client)) Default();
}

BOOL TMXToolbar::ShowContextMenu(CPoint point) {
    if (SendMessage(TB_BUTTONCOUNT) == 0 || m_aCustomButtons.GetSize() == 0) return FALSE;
    CMenu menu; // destroyed however the tracking ends
    if (!menu.CreatePopupMenu()) return FALSE;
    CWnd* main = AfxGetMainWnd();
    CFrameWnd* frame = main && main->IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? static_cast<CFrameWnd*>(main) : nullptr;
    if (frame) {
        for (POSITION pos = frame->m_listControlBars.GetHeadPosition(); pos;) {
            auto* bar = static_cast<CControlBar*>(frame->m_listControlBars.GetNext(pos));
            if (!bar->IsKindOf(RUNTIME_CLASS(CToolBar)) || !bar->m_hWnd) continue;
            CString title;
            bar->GetWindowText(title);
            menu.AppendMenu(MF_STRING | (bar->IsVisible() ? MF_CHECKED : MF_UNCHECKED),
                            static_cast<UINT_PTR>(bar->GetDlgCtrlID()), title);
        }
        menu.AppendMenu(MF_SEPARATOR);
    }
    menu.AppendMenu(MF_STRING, kCustomizeCommand, L"&Customize...");
    ClientToScreen(&point);
    const UINT command = static_cast<UINT>(menu.TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RETURNCMD, point.x, point.y, this));
    if (command == kCustomizeCommand)
        Customize();
    else if (command && frame)
        frame->OnBarCheck(command);
    return TRUE;
}

TMXToolbar::CDropDownButtonInfo* TMXToolbar::FindDropDownButtonInfo(UINT id) {
    for (CDropDownButtonInfo* info = m_pDropDownList; info; info = info->pNext)
        if (info->uButtonID == id) return info;
    return nullptr;
}

BOOL TMXToolbar::AddDropDownButton(UINT id, UINT menuId, BOOL arrow) {
    CDropDownButtonInfo* info = FindDropDownButtonInfo(id);
    if (!info) {
        info = new CDropDownButtonInfo;
        info->uButtonID = id;
        info->pNext = m_pDropDownList;
        m_pDropDownList = info;
    }
    info->uMenuID = menuId;
    return SetDropDownButton(id, arrow);
}

BOOL TMXToolbar::SetDropDownButton(UINT id, BOOL arrow) {
    SendMessage(TB_SETEXTENDEDSTYLE, 0,
                SendMessage(TB_GETEXTENDEDSTYLE) | TBSTYLE_EX_DRAWDDARROWS);
    const int index = CommandToIndex(id);
    if (index >= 0)
        SetButtonStyle(index, GetButtonStyle(index) | (arrow ? BTNS_DROPDOWN : BTNS_WHOLEDROPDOWN));
    return TRUE;
}

BOOL TMXToolbar::OnToolBarBtnDropDown(NMHDR* header, LRESULT* result) {
    const auto* drop = reinterpret_cast<NMTOOLBARW*>(header);
    const UINT id = static_cast<UINT>(drop->iItem);
    CRect rect(0, 0, 0, 0);
    SendMessage(TB_GETRECT, id, reinterpret_cast<LPARAM>(&rect));
    ClientToScreen(&rect);
    const CDropDownButtonInfo* info = FindDropDownButtonInfo(id);
    if (!info || !info->uMenuID) return FALSE;
    // A menu that is missing, or has no submenu, is the parent's to handle.
    CMenu menu;
    if (!menu.LoadMenu(info->uMenuID)) return FALSE;
    HMENU popup = ::GetSubMenu(menu.m_hMenu, 0);
    if (!popup) return FALSE;
    CWnd* owner = AfxGetMainWnd();
    if (!owner) owner = GetOwner();
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, rect.left, rect.bottom, 0,
                     owner ? owner->m_hWnd : m_hWnd, nullptr);
    *result = TBDDRET_DEFAULT;
    return TRUE;
}
