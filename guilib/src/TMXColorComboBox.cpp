// The colour combo box.
#include "TMXColorComboBox.h"

namespace {

struct NamedColor {
    const wchar_t* name;
    COLORREF color;
};

const NamedColor kStandardColors[] = {
    {L"White", RGB(255, 255, 255)},      {L"Light Gray", RGB(230, 230, 230)},
    {L"Gray", RGB(190, 190, 190)},       {L"Dark Gray", RGB(128, 128, 128)},
    {L"Black", RGB(0, 0, 0)},            {L"Red", RGB(255, 0, 0)},
    {L"Brown", RGB(191, 63, 63)},        {L"Orange", RGB(255, 127, 0)},
    {L"Gold", RGB(255, 191, 0)},         {L"Yellow", RGB(255, 255, 0)},
    {L"Chartreuse", RGB(127, 255, 0)},   {L"Green", RGB(0, 255, 0)},
    {L"Dark Green", RGB(0, 127, 0)},     {L"Sea Green", RGB(63, 191, 127)},
    {L"Aquamarine", RGB(127, 255, 191)}, {L"Cyan", RGB(0, 255, 255)},
    {L"Turquoise", RGB(63, 191, 191)},   {L"Lavender", RGB(191, 191, 255)},
    {L"Blue", RGB(0, 0, 255)},           {L"Dark Blue", RGB(0, 0, 191)},
    {L"Purple", RGB(191, 63, 255)},      {L"Magenta", RGB(255, 0, 255)},
    {L"Violet", RGB(255, 127, 255)},     {L"Pink", RGB(255, 191, 191)},
};

const wchar_t kCustom[] = L"Custom...";

} // namespace

BEGIN_MESSAGE_MAP(TMXColorComboBox, CComboBox)
ON_CBN_SELCHANGE_REFLECT(OnSelchange)
END_MESSAGE_MAP()

TMXColorComboBox::TMXColorComboBox() = default;
TMXColorComboBox::~TMXColorComboBox() = default;

void TMXColorComboBox::PreSubclassWindow() {
    CComboBox::PreSubclassWindow();
    Initialise();
}

void TMXColorComboBox::Initialise() {
    for (const NamedColor& c : kStandardColors)
        AddColor(c.name, c.color);
    AddColor(kCustom, RGB(255, 255, 255));
    SetCurSel(0);
}

void TMXColorComboBox::AddColor(LPCWSTR name, COLORREF color) {
    int index = AddString(name);
    if (index >= 0) SetItemData(index, color);
}

COLORREF TMXColorComboBox::GetColor() const {
    return static_cast<COLORREF>(GetItemData(GetCurSel()));
}

void TMXColorComboBox::SetColor(COLORREF color) {
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        if (static_cast<COLORREF>(GetItemData(i)) == color) {
            SetCurSel(i);
            return;
        }
    }
    if (count <= 0) return;
    SetItemData(count - 1, color);
    SetCurSel(count - 1);
}

void TMXColorComboBox::OnSelchange() {
    const int index = GetCurSel();
    CString text;
    GetLBText(index, text);
    if (text != kCustom) return;
    CColorDialog dialog(static_cast<COLORREF>(GetItemData(index)));
    if (dialog.DoModal() == IDOK) SetItemData(index, dialog.GetColor());
}

void TMXColorComboBox::DrawItem(LPDRAWITEMSTRUCT item) {
    if (!item) return;
    HDC dc = item->hDC;
    const RECT& r = item->rcItem;
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
    COLORREF back = ::GetSysColor(COLOR_WINDOW);
    if (selected) {
        text = ~text & 0x00FFFFFF;
        back = ::GetSysColor(COLOR_HIGHLIGHT);
    }
    HBRUSH backBrush = ::CreateSolidBrush(back);
    ::FillRect(dc, &r, backBrush);
    ::DeleteObject(backBrush);
    if (item->itemState & ODS_FOCUS) ::DrawFocusRect(dc, &r);
    if (static_cast<int>(item->itemID) == -1) return;

    const int quarter = (r.right - r.left) / 4;
    RECT swatch{r.left + 2, r.top + 2, quarter, r.bottom - 2};
    COLORREF color = static_cast<COLORREF>(item->itemData);
    if (item->itemState & ODS_DISABLED) color = text = ::GetSysColor(COLOR_INACTIVECAPTIONTEXT);

    CString name;
    GetLBText(static_cast<int>(item->itemID), name);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldText = ::SetTextColor(dc, text);
    ::TextOutW(dc, r.left + quarter + 2, r.top + 2, name, name.GetLength());
    ::SetTextColor(dc, oldText);
    ::SetBkMode(dc, oldMode);

    HBRUSH swatchBrush = ::CreateSolidBrush(color);
    ::FillRect(dc, &swatch, swatchBrush);
    ::DeleteObject(swatchBrush);
    ::FrameRect(dc, &swatch, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}
