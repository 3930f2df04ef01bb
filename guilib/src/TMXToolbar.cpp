// TMXToolbar: construction and numbering, creation, the text and icon
// options, the image strip and the buttons the customise dialog offers.
#include "TMXToolbar.h"

#include "ToolbarLayout.h"
#include "ToolbarStrip.h"

#include <cwchar>
#include <vector>

IMPLEMENT_DYNCREATE(TMXToolbar, CToolBar)

BEGIN_MESSAGE_MAP(TMXToolbar, CToolBar)
ON_WM_CREATE()
ON_WM_PAINT()
ON_WM_SYSCOLORCHANGE()
ON_WM_CONTEXTMENU()
ON_WM_NCPAINT()
ON_MESSAGE(TB_CUSTOMIZE, OnCustomize)
ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
ON_NOTIFY_REFLECT_EX(TBN_DROPDOWN, OnToolBarBtnDropDown)
ON_NOTIFY_REFLECT(TBN_BEGINADJUST, OnToolBarBeginAdjust)
ON_NOTIFY_REFLECT(TBN_ENDADJUST, OnToolBarEndAdjust)
ON_NOTIFY_REFLECT(TBN_CUSTHELP, OnToolBarCustomHelp)
ON_NOTIFY_REFLECT(TBN_INITCUSTOMIZE, OnInitCustomize)
ON_NOTIFY_REFLECT(TBN_QUERYINSERT, OnToolBarQueryInsert)
ON_NOTIFY_REFLECT(TBN_QUERYDELETE, OnToolBarQueryDelete)
ON_NOTIFY_REFLECT(TBN_GETBUTTONINFOW, OnToolBarGetButtonInfo)
ON_NOTIFY_REFLECT(TBN_RESET, OnToolBarReset)
ON_NOTIFY_REFLECT(TBN_TOOLBARCHANGE, OnToolBarChange)
ON_NOTIFY_REFLECT(TBN_SAVE, OnSave)
ON_NOTIFY_REFLECT(TBN_RESTORE, OnRestore)
END_MESSAGE_MAP()

const TextOptions TMXToolbar::m_eInitialTextOptions = toNoTextLabels;
const IconOptions TMXToolbar::m_eInitialIconOptions = ioSmallIcons;
const CSize TMXToolbar::m_szImageSmall(16, 16);
const CSize TMXToolbar::m_szImageLarge(24, 24);
int TMXToolbar::m_nBarNumber = 0;

TMXToolbar::TMXToolbar()
    : m_crHighlight(::GetSysColor(COLOR_BTNHIGHLIGHT)), m_crShadow(::GetSysColor(COLOR_BTNSHADOW)),
      m_crFace(::GetSysColor(COLOR_BTNFACE)) {
    ++m_nBarNumber;
    m_strRegValue.Format(L"TMXToolBar%d", m_nBarNumber);
    // No application or no registry key: no subkey, so nothing is saved
    // under a made-up name.
    CWinApp* app = AfxGetApp();
    if (app && app->m_pszRegistryKey && *app->m_pszRegistryKey && app->m_pszProfileName)
        m_strRegSubKey.Format(L"Software\\%s\\%s\\Settings", app->m_pszRegistryKey,
                              app->m_pszProfileName);
}

TMXToolbar::~TMXToolbar() {
    while (CDropDownButtonInfo* info = m_pDropDownList) {
        m_pDropDownList = info->pNext;
        delete info;
    }
    if (m_pOwnedControls) {
        for (POSITION pos = m_pOwnedControls->GetHeadPosition(); pos;)
            delete m_pOwnedControls->GetNext(pos);
        delete m_pOwnedControls;
    }
    m_aCustomButtons.RemoveAll();
}

int TMXToolbar::OnCreate(LPCREATESTRUCT cs) {
    if (CToolBar::OnCreate(cs) == -1) return -1;
    DetermineCommonControlsVersion();
    return 0;
}

BOOL TMXToolbar::LoadBitmapW(LPCWSTR name) {
    const auto* type = reinterpret_cast<LPCWSTR>(RT_BITMAP);
    HINSTANCE instance = AfxFindResourceHandle(name, type);
    HRSRC resource = ::FindResourceW(instance, name, type);
    if (!resource) return FALSE;
    m_hInstImageWell = instance;
    m_hRsrcImageWell = resource;
    return TRUE;
}

BOOL TMXToolbar::HasButtonText(int) {
    return TRUE;
}

void TMXToolbar::SetTextOptions(TextOptions text, BOOL update) {
    m_eText = text;
    const DWORD extended = static_cast<DWORD>(SendMessage(TB_GETEXTENDEDSTYLE));
    if (text == toTextOnRight) {
        ModifyStyle(0, TBSTYLE_LIST);
        SendMessage(TB_SETEXTENDEDSTYLE, 0, extended | TBSTYLE_EX_MIXEDBUTTONS);
    } else {
        ModifyStyle(TBSTYLE_LIST, 0);
        SendMessage(TB_SETEXTENDEDSTYLE, 0, extended & ~TBSTYLE_EX_MIXEDBUTTONS);
    }
    for (INT_PTR i = 0; i < m_aCustomButtons.GetSize(); ++i) {
        CToolBarButtonInfo& entry = m_aCustomButtons[i];
        const int index = CommandToIndex(static_cast<UINT>(entry.tbButton.idCommand));
        if (index < 0) continue;
        TBBUTTON button;
        _GetButton(index, &button);
        if (button.fsStyle & TBSTYLE_SEP) continue;
        INT_PTR string = -1;
        if (text != toNoTextLabels) {
            if (!m_pStringMap) m_pStringMap = new CMapStringToPtr(10);
            void* known = nullptr;
            if (m_pStringMap->Lookup(entry.strText, known) && reinterpret_cast<INT_PTR>(known) != -1) {
                string = reinterpret_cast<INT_PTR>(known);
            } else {
                // The control reads a list of labels ended by an empty one.
                std::vector<wchar_t> chars(static_cast<size_t>(entry.strText.GetLength()) + 2, L'\0');
                std::wmemcpy(chars.data(), entry.strText, static_cast<size_t>(entry.strText.GetLength()));
                string = SendMessage(TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(chars.data()));
                if (string != -1) m_pStringMap->SetAt(entry.strText, reinterpret_cast<void*>(string));
            }
        }
        button.fsStyle = static_cast<BYTE>((button.fsStyle & ~BTNS_SHOWTEXT) | TBSTYLE_AUTOSIZE);
        switch (text) {
        case toTextLabels:
            button.iString = string;
            break;
        case toTextOnRight:
            if (string != -1 && HasButtonText(button.idCommand)) {
                button.iString = string;
                button.fsStyle |= BTNS_SHOWTEXT;
            }
            break;
        default:
            button.iString = -1;
            break;
        }
        entry.tbButton.iString = button.iString;
        entry.tbButton.fsStyle = button.fsStyle;
        _SetButton(index, &button);
    }
    SendMessage(TB_SETMAXTEXTROWS, text == toNoTextLabels ? 0 : 1);
    m_bDelayedButtonLayout = TRUE;
    if (update) UpdateFrame();
}

void TMXToolbar::SetIconOptions(IconOptions icon, BOOL update) {
    m_eIcon = icon;
    if (icon == ioSmallIcons || icon == ioLargeIcons) {
        const CSize size = icon == ioSmallIcons ? m_szImageSmall : m_szImageLarge;
        m_sizeImage = size;
        // Without a strip of its own the toolbar keeps its images, at the new size.
        if (!SetIconOptionBitmap(icon)) BuildImageList();
        SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(size.cx, size.cy));
    }
    // The control measures its buttons again only when its text rows change.
    const LRESULT rows = SendMessage(TB_GETTEXTROWS);
    SendMessage(WM_SETREDRAW, FALSE);
    SendMessage(TB_SETMAXTEXTROWS, static_cast<WPARAM>(rows + 1));
    SendMessage(TB_SETMAXTEXTROWS, static_cast<WPARAM>(rows));
    SendMessage(WM_SETREDRAW, TRUE);
    Invalidate();
    m_bDelayedButtonLayout = TRUE;
    if (update) UpdateFrame();
}

BOOL TMXToolbar::SetIconOptionBitmap(IconOptions icon) {
    if (!m_hRsrcImageWell || (icon != ioSmallIcons && icon != ioLargeIcons)) return FALSE;
    int images = 0;
    for (int i = 0; i < m_nOriginalButtonCount && i < m_aCustomButtons.GetSize(); ++i)
        images += m_aCustomButtons[i].tbButton.idCommand != 0;
    if (images == 0) return FALSE;
    const CSize size = icon == ioSmallIcons ? m_szImageSmall : m_szImageLarge;
    HGLOBAL global = ::LoadResource(m_hInstImageWell, m_hRsrcImageWell);
    const auto* data = global ? static_cast<const BYTE*>(::LockResource(global)) : nullptr;
    if (!data) return FALSE;
    HBITMAP strip = toolbarstrip::Build(data, ::SizeofResource(m_hInstImageWell, m_hRsrcImageWell),
                                        images * size.cx, size.cy);
    // SetBitmap takes the strip, and frees it when it cannot use it.
    return strip && SetBitmap(strip);
}

void TMXToolbar::OnSysColorChange() {
    Default();
    m_crShadow = ::GetSysColor(COLOR_BTNSHADOW);
    m_crHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    m_crFace = ::GetSysColor(COLOR_BTNFACE);
    SetIconOptions(m_eIcon, TRUE);
}

void TMXToolbar::SetToolBarInfoForCustomization(
    const CArray<CToolBarButtonInfo, CToolBarButtonInfo&>* additional) {
    const int count = static_cast<int>(SendMessage(TB_BUTTONCOUNT));
    m_aCustomButtons.RemoveAll();
    m_aCustomButtons.SetSize(count);
    for (int i = 0; i < count; ++i) {
        CToolBarButtonInfo& entry = m_aCustomButtons[i];
        SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&entry.tbButton));
        // A command's string reads "prompt\nlabel": the label is the last line.
        CString text;
        if (entry.tbButton.idCommand > 0 && text.LoadString(static_cast<UINT>(entry.tbButton.idCommand))) {
            const int lineFeed = text.ReverseFind(L'\n');
            if (lineFeed >= 0) text = text.Mid(lineFeed + 1);
        }
        entry.strText = text;
        entry.bInitiallyVisible = TRUE;
    }
    m_nOriginalButtonCount = count;
    if (additional)
        for (INT_PTR i = 0; i < additional->GetSize(); ++i) {
            CToolBarButtonInfo copy = (*additional)[i];
            m_aCustomButtons.Add(copy);
        }
    m_aCustomButtons.FreeExtra();
    ModifyStyle(0, CCS_ADJUSTABLE);
    SetTextOptions(toNoTextLabels, TRUE);
    SetIconOptions(ioSmallIcons, TRUE);
}

BOOL TMXToolbar::MarkDefaultState() {
    for (INT_PTR i = 0; i < m_aCustomButtons.GetSize(); ++i) {
        CToolBarButtonInfo& entry = m_aCustomButtons[i];
        const TBBUTTON& b = entry.tbButton;
        entry.bInitiallyVisible = ((b.fsStyle & TBSTYLE_SEP) && b.idCommand <= 0) ||
                                  CommandToIndex(static_cast<UINT>(b.idCommand)) != -1;
    }
    return TRUE;
}

BOOL TMXToolbar::IsVertDocked() const {
    CWnd* parent = GetParent();
    const int id = parent ? parent->GetDlgCtrlID() : 0;
    return id == AFX_IDW_DOCKBAR_LEFT || id == AFX_IDW_DOCKBAR_RIGHT;
}

void TMXToolbar::PositionControls() {
    SendMessage(TB_AUTOSIZE);
    m_bDelayedButtonLayout = TRUE;
}

void TMXToolbar::UpdateFrame() {
    PositionControls();
    if (CFrameWnd* frame = GetParentFrame()) frame->RecalcLayout();
    // The buttons' command states at once, as the idle update would set them.
    SendMessage(WM_IDLEUPDATECMDUI, TRUE);
}
