// Toolbars: creation, buttons from resources, the image list they own,
// button information, and command-UI updates of their buttons.
#include "Internal.h"

#include <vector>

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
ON_MESSAGE(TB_SETBITMAPSIZE, OnSetBitmapSize)
ON_MESSAGE(TB_SETBUTTONSIZE, OnSetButtonSize)
END_MESSAGE_MAP()

CToolBar::CToolBar() {
    m_cxLeftBorder = m_cxRightBorder = 4;
    m_cyTopBorder = m_cyBottomBorder = 2;
}

CToolBar::~CToolBar() {
    DestroyWindow(); // before the images it shows go
    m_ctrlView.m_hWnd = nullptr;
    if (m_hImageList) ImageList_Destroy(m_hImageList);
    if (m_hbmImageWell) ::DeleteObject(m_hbmImageWell);
    delete m_pStringMap;
}

BOOL CToolBar::Create(CWnd* parent, DWORD style, UINT id) {
    return CreateEx(parent, 0, style, CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder), id);
}

BOOL CToolBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, CRect borders, UINT id) {
    SetBorders(&borders);
    m_dwStyle = style & CBRS_ALL;
    DWORD windowStyle = (style & ~CBRS_ALL) | ctrlStyle | CCS_NOPARENTALIGN | CCS_NOMOVEY |
                        CCS_NODIVIDER | CCS_NORESIZE;
    if (m_dwStyle & CBRS_TOOLTIPS) windowStyle |= TBSTYLE_TOOLTIPS;
    if (!CWnd::Create(TOOLBARCLASSNAME, nullptr, windowStyle, CRect(0, 0, 0, 0), parent, id))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    SetSizes(m_sizeButton, m_sizeImage);
    return TRUE;
}

CToolBarCtrl& CToolBar::GetToolBarCtrl() const {
    m_ctrlView.m_hWnd = m_hWnd;
    return m_ctrlView;
}

// The command ids and image size of an RT_TOOLBAR resource, in either of
// its layouts: the resource compiler's (16-bit version 1, image width and
// height, item count, ids) or windres's (the same fields without the
// version, each 32 bits). An id of 0 is a separator.
static bool ReadToolBarResource(const BYTE* data, DWORD bytes, CSize& image, std::vector<UINT>& ids) {
    auto word = [data](DWORD i) { return static_cast<UINT>(reinterpret_cast<const WORD*>(data)[i]); };
    auto dword = [data](DWORD i) { return static_cast<UINT>(reinterpret_cast<const DWORD*>(data)[i]); };
    if (bytes >= 8 && word(0) == 1 && bytes == 8 + 2 * word(3)) {
        image = CSize(static_cast<int>(word(1)), static_cast<int>(word(2)));
        for (UINT i = 0; i < word(3); ++i)
            ids.push_back(word(4 + i));
        return true;
    }
    if (bytes >= 12 && dword(2) <= (bytes - 12) / 4 && bytes == 12 + 4 * dword(2)) {
        image = CSize(static_cast<int>(dword(0)), static_cast<int>(dword(1)));
        for (UINT i = 0; i < dword(2); ++i)
            ids.push_back(dword(3 + i));
        return true;
    }
    return false;
}

BOOL CToolBar::LoadToolBar(LPCWSTR name) {
    HINSTANCE instance = AfxFindResourceHandle(name, RT_TOOLBAR);
    HRSRC resource = ::FindResourceW(instance, name, RT_TOOLBAR);
    HGLOBAL global = resource ? ::LoadResource(instance, resource) : nullptr;
    const auto* data = global ? static_cast<const BYTE*>(::LockResource(global)) : nullptr;
    CSize image;
    std::vector<UINT> ids;
    if (!data || !ReadToolBarResource(data, ::SizeofResource(instance, resource), image, ids))
        return FALSE;
    SetSizes(CSize(image.cx + 7, image.cy + 7), image);
    return SetButtons(ids.data(), static_cast<int>(ids.size())) && LoadBitmap(name);
}

BOOL CToolBar::SetButtons(const UINT* ids, int count) {
    if (!m_hWnd || count < 0) return FALSE;
    for (int i = static_cast<int>(SendMessage(TB_BUTTONCOUNT)) - 1; i >= 0; --i)
        SendMessage(TB_DELETEBUTTON, i);
    std::vector<TBBUTTON> buttons(static_cast<size_t>(count));
    int image = 0;
    for (int i = 0; i < count; ++i) {
        TBBUTTON& b = buttons[static_cast<size_t>(i)];
        b.iString = -1;
        if (!ids || ids[i] == ID_SEPARATOR) {
            b.fsStyle = TBSTYLE_SEP;
            b.iBitmap = 8; // the separator's width
        } else {
            b.idCommand = static_cast<int>(ids[i]);
            b.fsStyle = TBSTYLE_BUTTON;
            b.fsState = TBSTATE_ENABLED;
            b.iBitmap = image++;
        }
    }
    if (count && !SendMessage(TB_ADDBUTTONSW, static_cast<WPARAM>(count),
                              reinterpret_cast<LPARAM>(buttons.data())))
        return FALSE;
    m_bDelayedButtonLayout = TRUE;
    return TRUE;
}

BOOL CToolBar::LoadBitmap(LPCWSTR name) {
    HINSTANCE instance = AfxFindResourceHandle(name, reinterpret_cast<LPCWSTR>(RT_BITMAP));
    HRSRC resource = ::FindResourceW(instance, name, reinterpret_cast<LPCWSTR>(RT_BITMAP));
    if (!resource) return FALSE;
    auto bitmap = static_cast<HBITMAP>(
        ::LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap || !SetBitmap(bitmap)) return FALSE;
    m_hInstImageWell = instance;
    m_hRsrcImageWell = resource;
    return TRUE;
}

BOOL CToolBar::SetBitmap(HBITMAP bitmap) {
    if (!bitmap) return FALSE;
    HBITMAP old = m_hbmImageWell;
    m_hbmImageWell = bitmap;
    if (!BuildImageList()) {
        m_hbmImageWell = old;
        ::DeleteObject(bitmap);
        return FALSE;
    }
    if (old && old != bitmap) ::DeleteObject(old);
    return TRUE;
}

BOOL CToolBar::BuildImageList() {
    if (!m_hbmImageWell || m_sizeImage.cx <= 0 || m_sizeImage.cy <= 0) return m_hbmImageWell == nullptr;
    BITMAP bm{};
    if (!::GetObjectW(m_hbmImageWell, sizeof bm, &bm) || bm.bmHeight <= 0) return FALSE;
    // A strip of another height is scaled to the image height first, so its
    // cells keep their images.
    const int width = MulDiv(bm.bmWidth, m_sizeImage.cy, bm.bmHeight);
    const int images = width / m_sizeImage.cx;
    HDC screen = ::GetDC(nullptr);
    HDC source = ::CreateCompatibleDC(screen), target = ::CreateCompatibleDC(screen);
    HBITMAP cells = ::CreateCompatibleBitmap(screen, width > 0 ? width : 1, m_sizeImage.cy);
    HIMAGELIST list = cells ? ImageList_Create(m_sizeImage.cx, m_sizeImage.cy, ILC_COLOR24 | ILC_MASK,
                                               images, 4)
                            : nullptr;
    if (list) {
        HGDIOBJ oldSource = ::SelectObject(source, m_hbmImageWell);
        HGDIOBJ oldTarget = ::SelectObject(target, cells);
        ::SetStretchBltMode(target, COLORONCOLOR);
        ::StretchBlt(target, 0, 0, width, m_sizeImage.cy, source, 0, 0, bm.bmWidth, bm.bmHeight,
                     SRCCOPY);
        ::SelectObject(source, oldSource);
        ::SelectObject(target, oldTarget);
        // Light grey is the strip's background: the button face shows through.
        if (images > 0 && ImageList_AddMasked(list, cells, RGB(192, 192, 192)) < 0) {
            ImageList_Destroy(list);
            list = nullptr;
        }
    }
    if (cells) ::DeleteObject(cells);
    ::DeleteDC(source);
    ::DeleteDC(target);
    ::ReleaseDC(nullptr, screen);
    if (!list) return FALSE;
    if (m_hWnd) SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
    if (m_hImageList) ImageList_Destroy(m_hImageList);
    m_hImageList = list;
    m_bDelayedButtonLayout = TRUE;
    return TRUE;
}

void CToolBar::SetSizes(SIZE button, SIZE image) {
    m_sizeButton = button;
    if (!m_hWnd) {
        m_sizeImage = image;
        return;
    }
    // Through the messages, which keep the sizes and the image list in step.
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(image.cx, image.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(button.cx, button.cy));
    Invalidate();
}

LRESULT CToolBar::OnSetBitmapSize(WPARAM, LPARAM lParam) {
    const CSize size(LOWORD(lParam), HIWORD(lParam));
    LRESULT result = Default();
    if (size != m_sizeImage) {
        m_sizeImage = size;
        BuildImageList();
    }
    return result;
}

LRESULT CToolBar::OnSetButtonSize(WPARAM, LPARAM) {
    LRESULT result = Default();
    // The control may give its buttons more room than asked (for the images).
    DWORD actual = static_cast<DWORD>(SendMessage(TB_GETBUTTONSIZE));
    m_sizeButton = CSize(LOWORD(actual), HIWORD(actual));
    m_bDelayedButtonLayout = TRUE;
    return result;
}

void CToolBar::SetHeight(int height) {
    if (m_dwStyle & CBRS_BORDER_TOP) height -= AFX_CX_BORDER2;
    if (m_dwStyle & CBRS_BORDER_BOTTOM) height -= AFX_CX_BORDER2;
    const int spare = height - m_sizeButton.cy;
    m_cyBottomBorder = spare > 0 ? spare / 2 : 0;
    m_cyTopBorder = spare > 0 ? spare - m_cyBottomBorder : 0; // the odd pixel goes on top
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

int CToolBar::CommandToIndex(UINT id) const {
    return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, id));
}

UINT CToolBar::GetItemID(int index) const {
    TBBUTTON button{};
    _GetButton(index, &button);
    return static_cast<UINT>(button.idCommand);
}

void CToolBar::GetItemRect(int index, LPRECT rect) const {
    if (!SendMessage(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(rect))) ::SetRectEmpty(rect);
}

UINT CToolBar::GetButtonStyle(int index) const {
    TBBUTTON button{};
    _GetButton(index, &button);
    return MAKELONG(button.fsStyle, button.fsState);
}

void CToolBar::SetButtonStyle(int index, UINT style) {
    TBBUTTON button{};
    _GetButton(index, &button);
    if (button.fsStyle == LOBYTE(LOWORD(style)) && button.fsState == LOBYTE(HIWORD(style))) return;
    button.fsStyle = LOBYTE(LOWORD(style));
    button.fsState = LOBYTE(HIWORD(style));
    _SetButton(index, &button);
    m_bDelayedButtonLayout = TRUE;
}

void CToolBar::GetButtonInfo(int index, UINT& id, UINT& style, int& image) const {
    TBBUTTON button{};
    _GetButton(index, &button);
    id = static_cast<UINT>(button.idCommand);
    style = MAKELONG(button.fsStyle, button.fsState);
    image = button.iBitmap;
}

void CToolBar::SetButtonInfo(int index, UINT id, UINT style, int image) {
    TBBUTTON button{};
    _GetButton(index, &button);
    button.idCommand = static_cast<int>(id);
    button.fsStyle = LOBYTE(LOWORD(style));
    button.fsState = LOBYTE(HIWORD(style));
    button.iBitmap = image; // a separator's width
    _SetButton(index, &button);
    m_bDelayedButtonLayout = TRUE;
}

BOOL CToolBar::SetButtonText(int index, LPCWSTR text) {
    if (!text) return FALSE;
    // Each text enters the control's string pool once.
    if (!m_pStringMap) m_pStringMap = new CMapStringToPtr;
    void* stored = nullptr;
    INT_PTR stringIndex;
    if (m_pStringMap->Lookup(text, stored)) {
        stringIndex = reinterpret_cast<INT_PTR>(stored);
    } else {
        // TB_ADDSTRINGW takes a list of strings ended by an empty one.
        std::vector<wchar_t> chars(wcslen(text) + 2, L'\0');
        wcscpy(chars.data(), text);
        stringIndex = SendMessage(TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(chars.data()));
        if (stringIndex == -1) return FALSE;
        m_pStringMap->SetAt(text, reinterpret_cast<void*>(stringIndex));
    }
    TBBUTTON button{};
    _GetButton(index, &button);
    button.iString = stringIndex;
    _SetButton(index, &button);
    m_bDelayedButtonLayout = TRUE;
    return TRUE;
}

CString CToolBar::GetButtonText(int index) const {
    TBBUTTON button{};
    _GetButton(index, &button);
    CString text;
    if (!button.idCommand || button.iString == -1) return text;
    int length = static_cast<int>(SendMessage(TB_GETBUTTONTEXTW, button.idCommand));
    if (length > 0) {
        SendMessage(TB_GETBUTTONTEXTW, button.idCommand,
                    reinterpret_cast<LPARAM>(text.GetBuffer(length + 1)));
        text.ReleaseBuffer(length);
    }
    return text;
}

void CToolBar::_GetButton(int index, TBBUTTON* button) const {
    *button = TBBUTTON{};
    if (!SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(button))) return;
    button->fsState ^= TBSTATE_ENABLED;
}

void CToolBar::_SetButton(int index, TBBUTTON* button) {
    TBBUTTON current{};
    _GetButton(index, &current);
    button->fsState ^= TBSTATE_ENABLED;
    current.fsState ^= TBSTATE_ENABLED;
    const bool sameButState = current.iBitmap == button->iBitmap &&
                              current.idCommand == button->idCommand &&
                              current.fsStyle == button->fsStyle &&
                              current.dwData == button->dwData && current.iString == button->iString;
    // A new state is set in place, unless it moves buttons (a wrap, a hidden
    // button): the control lays them out again only when one is inserted.
    const bool moves = ((current.fsState ^ button->fsState) & (TBSTATE_WRAP | TBSTATE_HIDDEN)) != 0;
    if (sameButState && !moves && current.fsState != button->fsState) {
        SendMessage(TB_SETSTATE, static_cast<WPARAM>(button->idCommand), MAKELPARAM(button->fsState, 0));
    } else if (!sameButState || moves) {
        // Anything else: the button is put in again.
        const bool visible = (GetStyle() & WS_VISIBLE) != 0;
        if (visible) SendMessage(WM_SETREDRAW, FALSE);
        SendMessage(TB_DELETEBUTTON, index);
        SendMessage(TB_INSERTBUTTONW, index, reinterpret_cast<LPARAM>(button));
        if (visible) {
            SendMessage(WM_SETREDRAW, TRUE);
            Invalidate();
        }
    }
    button->fsState ^= TBSTATE_ENABLED;
}

BOOL CToolBar::IsOverItem(CPoint point) const {
    int hit = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
    return hit >= 0 && !(GetButtonStyle(hit) & TBBS_SEPARATOR);
}

void CToolBar::OnPaint() {
    Layout();
    Default();
}

BOOL CToolBar::OnEraseBkgnd(CDC* dc) {
    // The space the buttons leave is the bar's face, whatever the control's class paints.
    CRect client;
    GetClientRect(&client);
    dc->FillSolidRect(&client, ::GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

LRESULT CToolBar::OnPrintClient(WPARAM, LPARAM) {
    Layout();
    return Default();
}

namespace {
// A toolbar button's item: its enabled and checked state.
class CToolCmdUI : public CCmdUI {
public:
    void Enable(BOOL on) override {
        m_bEnableChanged = TRUE;
        auto* bar = static_cast<CToolBar*>(m_pOther);
        UINT style = bar->GetButtonStyle(static_cast<int>(m_nIndex)) & ~TBBS_DISABLED;
        if (!on) style |= TBBS_DISABLED, style &= ~TBBS_PRESSED;
        bar->SetButtonStyle(static_cast<int>(m_nIndex), style);
    }
    void SetCheck(int check) override {
        auto* bar = static_cast<CToolBar*>(m_pOther);
        UINT style = bar->GetButtonStyle(static_cast<int>(m_nIndex)) &
                     ~(TBBS_CHECKED | TBBS_INDETERMINATE);
        if (check == 1) style |= TBBS_CHECKED;
        if (check == 2) style |= TBBS_INDETERMINATE;
        bar->SetButtonStyle(static_cast<int>(m_nIndex), style | TBBS_CHECKBOX);
    }
    void SetText(LPCWSTR) override {} // buttons keep their texts
};
} // namespace

void CToolBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) {
    CToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(SendMessage(TB_BUTTONCOUNT));
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        TBBUTTON button{};
        _GetButton(static_cast<int>(state.m_nIndex), &button);
        if (button.fsStyle & TBSTYLE_SEP) continue;
        state.m_nID = static_cast<UINT>(button.idCommand);
        state.DoUpdate(target, disableIfNoHandler);
    }
}
