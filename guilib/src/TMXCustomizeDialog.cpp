// TMXCustomizeDialog: the option lists added to the toolbar's customise dialog.
#include "TMXCustomizeDialog.h"

namespace {
enum : UINT { kTextList = 1000, kIconList = 1001 };
constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST;
const wchar_t* const kTextItems[] = {L"Show Text Labels", L"Selective Text on Right", L"No Text Labels"};
const wchar_t* const kIconItems[] = {L"Small Icons", L"Large Icons"};
} // namespace

IMPLEMENT_DYNAMIC(TMXCustomizeDialog, CWnd)

BEGIN_MESSAGE_MAP(TMXCustomizeDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, OnInitDialog)
ON_MESSAGE(WM_HELP, OnHelp)
ON_CONTROL(CBN_SELENDOK, kTextList, OnTextOptionsChosen)
ON_CONTROL(CBN_SELENDOK, kIconList, OnIconOptionsChosen)
END_MESSAGE_MAP()

TMXCustomizeDialog::TMXCustomizeDialog(TMXToolbar* toolbar)
    : m_pToolBar(toolbar), m_eTextOptions(toolbar->GetTextOptions()),
      m_eIconOptions(toolbar->GetIconOptions()) {}

LRESULT TMXCustomizeDialog::OnInitDialog(WPARAM, LPARAM) {
    CRect client, window;
    GetClientRect(&client);
    GetWindowRect(&window);
    HFONT font = GetFont();
    // Dialog units from the client area's left and bottom edges.
    auto place = [&](int x, int y, int cx, int cy) {
        CRect r(x, y, x + cx, y + cy);
        ::MapDialogRect(m_hWnd, &r);
        r.OffsetRect(client.left, client.bottom);
        return r;
    };
    auto put = [&](CWnd& control, const CRect& r) {
        control.SetFont(font);
        control.SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    };
    const CRect textLabel = place(4, 2, 49, 8), textList = place(52, 0, 123, 50);
    const CRect iconLabel = place(4, 20, 49, 8), iconList = place(52, 18, 123, 50);
    if (m_wndTextLabel.Create(L"Te&xt options:", WS_CHILD | WS_VISIBLE, textLabel, this))
        put(m_wndTextLabel, textLabel);
    if (m_wndTextOptions.Create(kListStyle, textList, this, kTextList)) {
        put(m_wndTextOptions, textList);
        for (const wchar_t* item : kTextItems)
            m_wndTextOptions.AddString(item);
        m_wndTextOptions.SetCurSel(m_eTextOptions);
    }
    if (m_wndIconLabel.Create(L"Ico&n options:", WS_CHILD | WS_VISIBLE, iconLabel, this))
        put(m_wndIconLabel, iconLabel);
    if (m_wndIconOptions.Create(kListStyle, iconList, this, kIconList)) {
        put(m_wndIconOptions, iconList);
        for (const wchar_t* item : kIconItems)
            m_wndIconOptions.AddString(item);
        m_wndIconOptions.SetCurSel(m_eIconOptions);
    }
    CRect grow(0, 0, 0, 34);
    ::MapDialogRect(m_hWnd, &grow);
    SetWindowPos(nullptr, 0, 0, window.Width(), window.Height() + grow.bottom + 3,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CString name;
    m_pToolBar->GetWindowText(name);
    if (!name.IsEmpty()) {
        CString title;
        GetWindowText(title);
        SetWindowText(title + L" - " + name);
    }
    return Default();
}

LRESULT TMXCustomizeDialog::OnHelp(WPARAM, LPARAM lParam) {
    const auto* help = reinterpret_cast<const HELPINFO*>(lParam);
    if (help && (help->iCtrlId == static_cast<int>(kTextList) || help->iCtrlId == static_cast<int>(kIconList)))
        return TRUE;
    return Default();
}

void TMXCustomizeDialog::OnTextOptionsChosen() {
    const int choice = m_wndTextOptions.GetCurSel();
    if (choice < toTextLabels || choice > toNoTextLabels) return;
    m_eTextOptions = static_cast<TextOptions>(choice);
    m_pToolBar->SetTextOptions(m_eTextOptions, TRUE);
}

void TMXCustomizeDialog::OnIconOptionsChosen() {
    const int choice = m_wndIconOptions.GetCurSel();
    if (choice < ioSmallIcons || choice > ioLargeIcons) return;
    m_eIconOptions = static_cast<IconOptions>(choice);
}

void TMXCustomizeDialog::SetOptions(TextOptions text, IconOptions icon) {
    if (m_wndTextOptions.m_hWnd) m_wndTextOptions.SetCurSel(text);
    if (m_wndIconOptions.m_hWnd) m_wndIconOptions.SetCurSel(icon);
    m_eTextOptions = text;
    m_eIconOptions = icon;
}
