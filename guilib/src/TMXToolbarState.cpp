// TMXToolbar's saved state and the customise dialog's notifications: the
// buttons it offers, what may be inserted and deleted, Reset and changes.
#include "TMXToolbar.h"

#include "TMXCustomizeDialog.h"

#include <cwchar>

namespace {
constexpr UINT kOptionBytes = 2 * sizeof(DWORD); // icon option, text option
} // namespace

HHOOK TMXToolbar::m_hCBTHook = nullptr;
TMXCustomizeDialog* TMXToolbar::m_pCustomizeDlg = nullptr;

void TMXToolbar::Customize() {
    SendMessage(TB_CUSTOMIZE);
}

LRESULT TMXToolbar::OnCustomize(WPARAM, LPARAM) {
    // The hook and the extension are the process's: one dialog at a time.
    if (m_pCustomizeDlg || m_hCBTHook) return FALSE;
    m_pCustomizeDlg = new TMXCustomizeDialog(this);
    m_hCBTHook = ::SetWindowsHookExW(WH_CBT, &CBTProc, nullptr, ::GetCurrentThreadId());
    const LRESULT result = Default();
    if (m_hCBTHook) ::UnhookWindowsHookEx(m_hCBTHook);
    m_hCBTHook = nullptr;
    if (TMXCustomizeDialog* extension = m_pCustomizeDlg) {
        m_pCustomizeDlg = nullptr;
        if (extension->m_eIconOptions != m_eIcon) SetIconOptions(extension->m_eIconOptions, TRUE);
        delete extension;
    }
    SaveState();
    return result;
}

LRESULT CALLBACK TMXToolbar::CBTProc(int code, WPARAM wParam, LPARAM lParam) {
    const LRESULT next = ::CallNextHookEx(m_hCBTHook, code, wParam, lParam);
    // The first window made while the dialog starts is the dialog.
    if (code == HCBT_CREATEWND && m_pCustomizeDlg && !m_pCustomizeDlg->m_hWnd &&
        !m_pCustomizeDlg->SubclassWindow(reinterpret_cast<HWND>(wParam))) {
        // The dialog runs without the option lists.
        ::UnhookWindowsHookEx(m_hCBTHook);
        m_hCBTHook = nullptr;
        delete m_pCustomizeDlg;
        m_pCustomizeDlg = nullptr;
    }
    return next;
}

void TMXToolbar::SaveState() {
    if (m_strRegSubKey.IsEmpty() || !m_hWnd) return;
    TBSAVEPARAMSW params{HKEY_CURRENT_USER, m_strRegSubKey, m_strRegValue};
    SendMessage(TB_SAVERESTOREW, TRUE, reinterpret_cast<LPARAM>(&params));
    // The control frees only a block it allocated itself.
    if (m_pSaveData) ::GlobalFree(m_pSaveData);
    m_pSaveData = nullptr;
}

void TMXToolbar::RestoreState() {
    if (m_strRegSubKey.IsEmpty() || !m_hWnd) return;
    const TextOptions text = m_eText;
    const IconOptions icon = m_eIcon;
    TBSAVEPARAMSW params{HKEY_CURRENT_USER, m_strRegSubKey, m_strRegValue};
    SendMessage(TB_SAVERESTOREW, FALSE, reinterpret_cast<LPARAM>(&params));
    // OnRestore read the options the record holds, if any.
    const TextOptions newText = m_eText;
    const IconOptions newIcon = m_eIcon;
    m_eText = text, m_eIcon = icon;
    if (newText != text)
        SetTextOptions(newText, TRUE);
    else if (text >= toTextLabels && text <= toNoTextLabels)
        SetTextOptions(text, FALSE); // restored buttons get the labels of the current mode
    if (newIcon != icon) SetIconOptions(newIcon, TRUE);
    UpdateFrame();
}

void TMXToolbar::OnSave(NMHDR* header, LRESULT* result) {
    auto* save = reinterpret_cast<NMTBSAVE*>(header);
    *result = 0;
    if (save->iItem != -1) return;
    // Before the buttons: room for both options at the start.
    void* block = ::GlobalAlloc(GMEM_FIXED, save->cbData + kOptionBytes);
    if (!block) return; // the control saves the buttons alone
    m_pSaveData = static_cast<DWORD*>(block);
    save->cbData += kOptionBytes;
    save->pData = m_pSaveData;
    save->pData[0] = static_cast<DWORD>(m_eIcon);
    save->pData[1] = static_cast<DWORD>(m_eText);
    save->pCurrent = save->pData + 2;
}

void TMXToolbar::OnRestore(NMHDR* header, LRESULT* result) {
    auto* restore = reinterpret_cast<NMTBRESTORE*>(header);
    *result = 0;
    if (restore->iItem == -1) {
        // Shorter than the options: not ours, the control keeps its buttons.
        if (restore->cbData < kOptionBytes || !restore->pData || restore->cbBytesPerRecord <= 0) {
            *result = 1;
            return;
        }
        restore->cButtons = static_cast<int>((restore->cbData - kOptionBytes) /
                                             static_cast<UINT>(restore->cbBytesPerRecord));
        const auto icon = static_cast<int>(restore->pCurrent[0]);
        const auto text = static_cast<int>(restore->pCurrent[1]);
        restore->pCurrent += 2;
        // Values out of range keep the current options; the buttons still come back.
        if (icon >= ioSmallIcons && icon <= ioLargeIcons && text >= toTextLabels && text <= toNoTextLabels) {
            m_eIcon = static_cast<IconOptions>(icon);
            m_eText = static_cast<TextOptions>(text);
        }
        return;
    }
    // Each button from the entry of its command (a separator for id 0), so
    // separators and control places come back as they were.
    for (INT_PTR i = 0; i < m_aCustomButtons.GetSize(); ++i) {
        const TBBUTTON& entry = m_aCustomButtons[i].tbButton;
        if (entry.idCommand != restore->tbButton.idCommand) continue;
        if (entry.idCommand == 0 && !(entry.fsStyle & TBSTYLE_SEP)) continue;
        restore->tbButton = entry;
        return;
    }
    if (restore->tbButton.idCommand == 0) {
        restore->tbButton.fsStyle = TBSTYLE_SEP;
        restore->tbButton.iBitmap = 8;
    }
}

void TMXToolbar::OnToolBarBeginAdjust(NMHDR*, LRESULT* result) {
    *result = 0;
}

void TMXToolbar::OnToolBarEndAdjust(NMHDR*, LRESULT*) {}

void TMXToolbar::OnToolBarCustomHelp(NMHDR*, LRESULT*) {}

void TMXToolbar::OnInitCustomize(NMHDR*, LRESULT* result) {
    *result = TBNRF_HIDEHELP;
}

void TMXToolbar::OnToolBarQueryInsert(NMHDR*, LRESULT* result) {
    *result = TRUE;
}

void TMXToolbar::OnToolBarQueryDelete(NMHDR* header, LRESULT* result) {
    const auto* query = reinterpret_cast<NMTOOLBARW*>(header);
    *result = !(query->tbButton.idCommand != 0 && (query->tbButton.fsState & TBSTATE_HIDDEN));
}

void TMXToolbar::OnToolBarGetButtonInfo(NMHDR* header, LRESULT* result) {
    auto* info = reinterpret_cast<NMTOOLBARW*>(header);
    *result = FALSE;
    if (info->iItem < 0 || info->iItem >= m_aCustomButtons.GetSize()) return;
    const CToolBarButtonInfo& entry = m_aCustomButtons[info->iItem];
    info->tbButton = entry.tbButton;
    if (info->pszText && info->cchText > 0) {
        std::wcsncpy(info->pszText, entry.strText, static_cast<size_t>(info->cchText));
        info->pszText[info->cchText - 1] = L'\0';
    }
    *result = TRUE;
}

void TMXToolbar::OnToolBarReset(NMHDR*, LRESULT* result) {
    for (int i = static_cast<int>(SendMessage(TB_BUTTONCOUNT)) - 1; i >= 0; --i)
        SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(i));
    for (INT_PTR i = 0; i < m_aCustomButtons.GetSize(); ++i)
        if (m_aCustomButtons[i].bInitiallyVisible)
            SendMessage(TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&m_aCustomButtons[i].tbButton));
    if (m_pCustomizeDlg) m_pCustomizeDlg->SetOptions(toNoTextLabels, ioSmallIcons);
    SetTextOptions(toNoTextLabels, TRUE);
    *result = TRUE;
}

void TMXToolbar::OnToolBarChange(NMHDR*, LRESULT*) {
    SetTextOptions(m_eText, FALSE); // buttons put in get the current labels
    UpdateFrame();
}
