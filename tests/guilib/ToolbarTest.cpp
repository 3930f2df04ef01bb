// TMXToolbar in a docking frame: CDockBarEx packing, FrameEnableDocking
// replacing the framework's dock bars, TMXGUIUtils::DockToolbar; image
// strips from damaged and intact bitmaps; the text and icon options; hot
// buttons and borders checked pixel by pixel in pinned system colours.
#include "DialogDriver.h"
#include "GuiTestSupport.h"
#include "ImportPatch.h"
#include "ProcessProbes.h"

#include "TMXGUIUtils.h"
#include "TMXToolbar.h"
#include "ToolbarStrip.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The button colours pinned to values no strip grey equals, for a test's lifetime.
class PinnedColours {
public:
    static constexpr COLORREF kFace = RGB(200, 180, 120), kShadow = RGB(90, 40, 30),
                              kHighlight = RGB(250, 250, 200), kText = RGB(20, 0, 90);
    PinnedColours() {
        for (int i = 0; i < 4; ++i)
            m_saved[i] = GetSysColor(kElements[i]);
        const COLORREF pinned[] = {kFace, kShadow, kHighlight, kText};
        SetSysColors(4, kElements, pinned);
    }
    ~PinnedColours() { SetSysColors(4, kElements, m_saved); }

private:
    static constexpr int kElements[4] = {COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNTEXT};
    COLORREF m_saved[4];
};

// Opens the toolbar's protected parts to the tests; button 402 alone shows
// its label in toTextOnRight mode.
class TestToolbar : public TMXToolbar {
public:
    using TMXToolbar::Draw3DBorders;
    using TMXToolbar::m_aCustomButtons;
    using TMXToolbar::m_nOriginalButtonCount;
    using TMXToolbar::m_strRegSubKey;
    using TMXToolbar::m_strRegValue;
    BOOL HasButtonText(int id) override { return id == 402; }
};

const UINT kButtons[] = {401, 402, ID_SEPARATOR, 403};

CRect ScreenRect(const CWnd& wnd) {
    CRect r;
    wnd.GetWindowRect(&r);
    return r;
}

// An MDI frame (as DockToolbar takes) that runs the toolbars' commands, so
// their buttons stay enabled.
class CommandFrame : public CMDIFrameWnd {
public:
    std::vector<UINT> commands;
    std::vector<WPARAM> controlNotifications; // WM_COMMAND from controls: code and id
    std::vector<int> dropDowns;               // TBN_DROPDOWN that reached the frame

protected:
    void OnButton(UINT id) { commands.push_back(id); }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (lParam) controlNotifications.push_back(wParam);
        return CMDIFrameWnd::OnCommand(wParam, lParam);
    }
    void OnDropDown(NMHDR* header, LRESULT* result) {
        dropDowns.push_back(reinterpret_cast<NMTOOLBARW*>(header)->iItem);
        *result = TBDDRET_DEFAULT;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CommandFrame, CMDIFrameWnd)
ON_COMMAND_RANGE(401, 599, OnButton)
ON_NOTIFY(TBN_DROPDOWN, 0xE801, OnDropDown)
END_MESSAGE_MAP()

// A frame with the toolbars a test adds.
class ToolbarFrame : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new CommandFrame; // deletes itself
        ASSERT_TRUE(frame->Create(nullptr, L"Toolbars", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  CRect(40, 40, 680, 480)));
        frameHwnd = frame->m_hWnd;
    }
    void TearDown() override {
        if (frameHwnd && IsWindow(frameHwnd)) frame->DestroyWindow();
        frameHwnd = nullptr;
        guitest::PumpMessages();
        for (CToolBar* bar : bars) delete bar;
        bars.clear();
    }
    template <class Bar> Bar* AddBar(DWORD ctrlStyle, UINT id) {
        auto* bar = new Bar;
        bars.push_back(bar);
        EXPECT_TRUE(bar->CreateEx(frame, ctrlStyle, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC,
                                  CRect(0, 0, 0, 0), id));
        EXPECT_TRUE(bar->SetButtons(kButtons, 4));
        bar->EnableDocking(CBRS_ALIGN_ANY);
        return bar;
    }
    CDockBar* Dock(UINT id) { return static_cast<CDockBar*>(frame->GetControlBar(id)); }

    CommandFrame* frame = nullptr;
    HWND frameHwnd = nullptr;
    std::vector<CToolBar*> bars;
};

TEST_F(ToolbarFrame, NeighboursOverlapByTwoPixelsUnlessBothAreFlatToolbarsOnADockBarEx) {
    struct Case {
        bool ex, tmx;
        DWORD ctrlStyle;
        int overlap;
    } cases[] = {
        {true, true, TBSTYLE_FLAT, 0},  {true, true, 0, 2},       {true, false, TBSTYLE_FLAT, 2},
        {false, true, TBSTYLE_FLAT, 2}, {false, false, TBSTYLE_FLAT, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "ex " << c.ex << " tmx " << c.tmx << " style " << c.ctrlStyle);
        TearDown();
        SetUp();
        ASSERT_NE(frame->m_hWnd, nullptr);
        if (c.ex)
            TMXToolbar::FrameEnableDocking(frame, CBRS_ALIGN_ANY);
        else
            frame->EnableDocking(CBRS_ALIGN_ANY);
        ASSERT_NE(Dock(AFX_IDW_DOCKBAR_TOP), nullptr);
        EXPECT_EQ(Dock(AFX_IDW_DOCKBAR_TOP)->IsKindOf(RUNTIME_CLASS(CDockBarEx)), c.ex);
        CToolBar* a = c.tmx ? AddBar<TMXToolbar>(c.ctrlStyle, 0xE801) : AddBar<CToolBar>(c.ctrlStyle, 0xE801);
        CToolBar* b = c.tmx ? AddBar<TMXToolbar>(c.ctrlStyle, 0xE802) : AddBar<CToolBar>(c.ctrlStyle, 0xE802);
        frame->DockControlBar(a, AFX_IDW_DOCKBAR_TOP);
        frame->RecalcLayout();
        TMXGUIUtils::DockToolbar(frame, b, a);
        frame->RecalcLayout();
        const CRect ra = ScreenRect(*a), rb = ScreenRect(*b), dock = ScreenRect(*Dock(AFX_IDW_DOCKBAR_TOP));
        EXPECT_EQ(rb.top, ra.top);
        EXPECT_EQ(rb.left, ra.right - c.overlap);
        EXPECT_EQ(ra.left, dock.left - c.overlap);
        EXPECT_EQ(ra.top, dock.top - c.overlap);
    }
}

TEST_F(ToolbarFrame, DockToolbarPutsTheBarRightOfItsNeighbourInTheNeighboursRow) {
    TMXToolbar::FrameEnableDocking(frame, CBRS_ALIGN_ANY);
    TMXToolbar* a = AddBar<TMXToolbar>(TBSTYLE_FLAT, 0xE801);
    TMXToolbar* b = AddBar<TMXToolbar>(TBSTYLE_FLAT, 0xE802);
    TMXToolbar* c = AddBar<TMXToolbar>(TBSTYLE_FLAT, 0xE803);
    const UINT sides[] = {AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT};
    for (UINT side : sides) {
        SCOPED_TRACE(side);
        // A bar already in a row below the neighbour's on the same side must not attract b.
        frame->DockControlBar(a, side);
        frame->DockControlBar(c, side);
        frame->RecalcLayout();
        TMXGUIUtils::DockToolbar(frame, b, a);
        frame->RecalcLayout();
        CDockBar* dock = Dock(side);
        EXPECT_EQ(b->m_pDockBar, dock);
        const bool horz = side == AFX_IDW_DOCKBAR_BOTTOM;
        const CRect ra = ScreenRect(*a), rb = ScreenRect(*b);
        EXPECT_EQ(horz ? rb.top : rb.left, horz ? ra.top : ra.left);
        EXPECT_EQ(horz ? rb.left : rb.top, horz ? ra.right : ra.bottom);
        // Rows {a, b} and {c}.
        EXPECT_EQ(dock->GetDockedCount(), 3);
        EXPECT_EQ(dock->m_arrBars.GetSize(), 6);
    }
}

// Refuses the creation of dock bars (and nothing else) while it is installed.
HHOOK g_refuseHook;
LRESULT CALLBACK RefuseDockBars(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
        const UINT id = static_cast<UINT>(reinterpret_cast<UINT_PTR>(create->lpcs->hMenu));
        if ((create->lpcs->style & WS_CHILD) && id >= AFX_IDW_DOCKBAR_TOP && id <= AFX_IDW_DOCKBAR_BOTTOM)
            return 1;
    }
    return CallNextHookEx(g_refuseHook, code, wParam, lParam);
}

TEST_F(ToolbarFrame, FrameEnableDockingReplacesTheDockBarsInPlaceWithTheirBars) {
    ASSERT_TRUE(frame->EnableDocking(CBRS_ALIGN_ANY));
    TMXToolbar* a = AddBar<TMXToolbar>(TBSTYLE_FLAT, 0xE801);
    TMXToolbar* b = AddBar<TMXToolbar>(TBSTYLE_FLAT, 0xE802);
    frame->DockControlBar(a, AFX_IDW_DOCKBAR_TOP);
    frame->DockControlBar(b, AFX_IDW_DOCKBAR_LEFT);
    const UINT ids[] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT,
                        AFX_IDW_DOCKBAR_RIGHT};
    auto zOrder = [&] {
        std::vector<UINT> order;
        for (HWND w = GetWindow(frame->m_hWnd, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
            for (UINT id : ids)
                if (GetDlgCtrlID(w) == static_cast<int>(id)) order.push_back(id);
        return order;
    };
    const std::vector<UINT> before = zOrder();
    ASSERT_EQ(before.size(), 4u);
    const HWND oldTop = Dock(AFX_IDW_DOCKBAR_TOP)->m_hWnd;

    // The new dock bars cannot be made: the old ones stay, with their bars.
    g_refuseHook = SetWindowsHookExW(WH_CBT, RefuseDockBars, nullptr, GetCurrentThreadId());
    TMXToolbar::FrameEnableDocking(frame, CBRS_ALIGN_ANY);
    UnhookWindowsHookEx(g_refuseHook);
    EXPECT_EQ(Dock(AFX_IDW_DOCKBAR_TOP)->m_hWnd, oldTop);
    EXPECT_FALSE(Dock(AFX_IDW_DOCKBAR_TOP)->IsKindOf(RUNTIME_CLASS(CDockBarEx)));
    EXPECT_EQ(a->GetParent()->m_hWnd, oldTop);

    TMXToolbar::FrameEnableDocking(frame, CBRS_ALIGN_ANY);
    EXPECT_FALSE(IsWindow(oldTop));
    EXPECT_EQ(zOrder(), before);
    for (UINT id : ids)
        EXPECT_TRUE(Dock(id)->IsKindOf(RUNTIME_CLASS(CDockBarEx))) << id;
    EXPECT_EQ(a->m_pDockBar, Dock(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(a->GetParent(), Dock(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(b->m_pDockBar, Dock(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_EQ(Dock(AFX_IDW_DOCKBAR_TOP)->GetDockedCount(), 1);
    // Laid out in the new one: the flat bar no longer hides its border.
    frame->RecalcLayout();
    EXPECT_EQ(ScreenRect(*a).top, ScreenRect(*Dock(AFX_IDW_DOCKBAR_TOP)).top);
    // A second call changes nothing.
    const HWND newTop = Dock(AFX_IDW_DOCKBAR_TOP)->m_hWnd;
    TMXToolbar::FrameEnableDocking(frame, CBRS_ALIGN_ANY);
    EXPECT_EQ(Dock(AFX_IDW_DOCKBAR_TOP)->m_hWnd, newTop);
}

// A packed DIB of 4 x 1 pixels: light grey, (191,192,192), black and
// (10,20,30), or the first two of them for 1 bit.
std::vector<BYTE> MakeDib(int bits, DWORD clrUsed = 0, DWORD compression = BI_RGB, DWORD headerSize = 40,
                          const DWORD* masks = nullptr) {
    const COLORREF colours[] = {RGB(192, 192, 192), RGB(191, 192, 192), RGB(0, 0, 0), RGB(10, 20, 30)};
    const int width = bits == 1 ? 2 : 4;
    BITMAPV5HEADER h{};
    h.bV5Size = headerSize;
    h.bV5Width = width;
    h.bV5Height = 1;
    h.bV5Planes = 1;
    h.bV5BitCount = static_cast<WORD>(bits);
    h.bV5Compression = compression;
    h.bV5ClrUsed = clrUsed;
    std::vector<BYTE> dib(headerSize);
    if (masks && headerSize > 40) h.bV5RedMask = masks[0], h.bV5GreenMask = masks[1], h.bV5BlueMask = masks[2];
    std::memcpy(dib.data(), &h, std::min<size_t>(headerSize, sizeof h));
    if (masks && headerSize == 40) dib.insert(dib.end(), reinterpret_cast<const BYTE*>(masks),
                                              reinterpret_cast<const BYTE*>(masks) + 12);
    std::vector<BYTE> row;
    if (bits <= 8) {
        const size_t entries = clrUsed ? clrUsed : size_t{1} << bits;
        for (size_t i = 0; i < entries; ++i) {
            const COLORREF c = i < 4 ? colours[i] : RGB(1, 2, 3);
            const BYTE quad[] = {GetBValue(c), GetGValue(c), GetRValue(c), 0};
            dib.insert(dib.end(), quad, quad + 4);
        }
        if (bits == 1) row = {0x40};             // 0, 1
        if (bits == 4) row = {0x01, 0x23};       // 0, 1, 2, 3
        if (bits == 8) row = {0, 1, 2, 3};
    } else {
        for (COLORREF c : colours) {
            if (bits == 24) row.insert(row.end(), {GetBValue(c), GetGValue(c), GetRValue(c)});
            if (bits == 32) {
                DWORD v = 0;
                for (int k = 0; k < 3; ++k) { // red, green, blue into their masks
                    const BYTE part = k == 0 ? GetRValue(c) : k == 1 ? GetGValue(c) : GetBValue(c);
                    DWORD m = masks[k];
                    int shift = 0;
                    while (!(m & 1)) m >>= 1, ++shift;
                    v |= static_cast<DWORD>(part) << shift;
                }
                row.insert(row.end(), reinterpret_cast<BYTE*>(&v), reinterpret_cast<BYTE*>(&v) + 4);
            }
        }
    }
    row.resize((row.size() + 3) / 4 * 4, 0);
    dib.insert(dib.end(), row.begin(), row.end());
    return dib;
}

COLORREF StripPixel(HBITMAP strip, int x, int y) {
    DIBSECTION section{};
    if (!GetObjectW(strip, sizeof section, &section) || !section.dsBm.bmBits) return CLR_INVALID;
    const DWORD v = static_cast<const DWORD*>(section.dsBm.bmBits)[y * section.dsBm.bmWidth + x];
    return RGB(v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF);
}

TEST(ToolbarStrip, ReadsEachBitCountWithItsOwnTableAndMasksAndRecoloursOnlyExactGreys) {
    PinnedColours pinned;
    const DWORD standard[] = {0xFF0000, 0xFF00, 0xFF}, swapped[] = {0xFF, 0xFF00, 0xFF0000};
    struct Case {
        const char* name;
        std::vector<BYTE> dib;
    } cases[] = {
        {"1-bit", MakeDib(1)},
        {"4-bit, 4 colours", MakeDib(4, 4)},
        {"4-bit, full table", MakeDib(4)},
        {"8-bit, 5 colours", MakeDib(8, 5)},
        {"8-bit, full table", MakeDib(8)},
        {"24-bit", MakeDib(24)},
        {"32-bit bit fields", MakeDib(32, 0, BI_BITFIELDS, 40, standard)},
        {"32-bit bit fields, red low", MakeDib(32, 0, BI_BITFIELDS, 40, swapped)},
        {"32-bit, version 5 header", MakeDib(32, 0, BI_BITFIELDS, sizeof(BITMAPV5HEADER), swapped)},
    };
    const COLORREF expected[] = {PinnedColours::kFace, RGB(191, 192, 192), PinnedColours::kText, RGB(10, 20, 30)};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int width = c.name[0] == '1' ? 2 : 4;
        HBITMAP strip = toolbarstrip::Build(c.dib.data(), c.dib.size(), width, 1);
        ASSERT_NE(strip, nullptr);
        for (int x = 0; x < width; ++x)
            EXPECT_EQ(StripPixel(strip, x, 0), expected[x]) << x;
        DeleteObject(strip);
        // One byte short of its pixels: refused.
        EXPECT_EQ(toolbarstrip::Build(c.dib.data(), c.dib.size() - 1, width, 1), nullptr);
    }
}

TEST(ToolbarStrip, RefusesHeadersItCannotReadWhole) {
    auto patched = [](std::vector<BYTE> dib, size_t offset, DWORD value, size_t bytes = 4) {
        std::memcpy(dib.data() + offset, &value, bytes);
        return dib;
    };
    const std::vector<BYTE> good = MakeDib(4, 4);
    struct Case {
        const char* name;
        std::vector<BYTE> dib;
        size_t size;
    } cases[] = {
        {"shorter than a header", good, 39},
        {"core header", patched(good, 0, 12), good.size()},
        {"header larger than the data", patched(good, 0, 4000), good.size()},
        {"more colours than 4 bits hold", patched(good, 32, 17), good.size()},
        {"colour table past the end", patched(good, 32, 16), good.size()},
        {"2 bits", patched(good, 14, 2, 2), good.size()},
        {"run-length compressed", patched(good, 16, BI_RLE4), good.size()},
        {"no rows", patched(good, 8, 0), good.size()},
        {"rows past the end", patched(good, 8, 0x7FFFFFFF), good.size()},
        {"widths past the end", patched(good, 4, 0x7FFFFFFF), good.size()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(toolbarstrip::Build(c.dib.data(), c.size, 4, 1), nullptr);
    }
    EXPECT_EQ(toolbarstrip::Build(nullptr, 0, 4, 1), nullptr);
}

TEST_F(ToolbarFrame, IconAndTextOptionsInEveryCombination) {
    PinnedColours pinned;
    TMXToolbar::FrameEnableDocking(frame, CBRS_ALIGN_ANY);
    auto* bar = AddBar<TestToolbar>(TBSTYLE_FLAT, 0xE801);
    frame->DockControlBar(bar, AFX_IDW_DOCKBAR_TOP);
    EXPECT_FALSE(bar->LoadBitmapW(799));
    ASSERT_TRUE(bar->LoadBitmapW(700));
    EXPECT_EQ(bar->GetTextOptions(), -1);
    bar->SetToolBarInfoForCustomization();
    EXPECT_EQ(bar->m_nOriginalButtonCount, 4);
    EXPECT_EQ(bar->GetTextOptions(), toNoTextLabels);
    EXPECT_EQ(bar->GetIconOptions(), ioSmallIcons);
    EXPECT_TRUE(bar->GetStyle() & CCS_ADJUSTABLE);
    EXPECT_EQ(bar->m_aCustomButtons[0].strText, CString(L"Open"));
    EXPECT_EQ(bar->m_aCustomButtons[3].strText, CString(L"Prints it"));
    EXPECT_EQ(bar->m_aCustomButtons[2].strText, CString(L""));

    int heights[2][3] = {};
    for (IconOptions icon : {ioSmallIcons, ioLargeIcons})
        for (TextOptions text : {toTextLabels, toTextOnRight, toNoTextLabels}) {
            SCOPED_TRACE(::testing::Message() << "icon " << icon << " text " << text);
            bar->SetIconOptions(icon, TRUE);
            bar->SetTextOptions(text, TRUE);
            EXPECT_EQ(bar->GetIconOptions(), icon);
            EXPECT_EQ(bar->GetTextOptions(), text);
            const int size = icon == ioSmallIcons ? 16 : 24;
            int cx = 0, cy = 0;
            ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(bar->SendMessage(TB_GETIMAGELIST)), &cx, &cy);
            EXPECT_EQ(cx, size);
            EXPECT_EQ(cy, size);
            BITMAP strip{};
            ASSERT_TRUE(GetObjectW(bar->m_hbmImageWell, sizeof strip, &strip));
            EXPECT_EQ(strip.bmWidth, 3 * size); // the three buttons, not the separator
            EXPECT_EQ(strip.bmHeight, size);
            EXPECT_EQ(bar->SendMessage(TB_GETTEXTROWS), text == toNoTextLabels ? 0 : 1);
            EXPECT_EQ((bar->GetStyle() & TBSTYLE_LIST) != 0, text == toTextOnRight);
            for (UINT id : {401u, 402u, 403u}) {
                TBBUTTON b{};
                bar->SendMessage(TB_GETBUTTON, bar->CommandToIndex(id), reinterpret_cast<LPARAM>(&b));
                // Selective text keeps the labels it does not show.
                if (text != toTextOnRight) {
                    EXPECT_EQ(b.iString != -1, text == toTextLabels) << id;
                }
                EXPECT_EQ((b.fsStyle & BTNS_SHOWTEXT) != 0, text == toTextOnRight && id == 402) << id;
            }
            if (text == toTextLabels) {
                EXPECT_EQ(bar->GetButtonText(0), CString(L"Open"));
            }
            CRect item;
            bar->SendMessage(TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
            heights[icon][text] = item.Height();
            EXPECT_GE(item.Height(), size + 6);
        }
    for (int text = 0; text < 3; ++text)
        EXPECT_GT(heights[ioLargeIcons][text], heights[ioSmallIcons][text]) << text;
    EXPECT_GT(heights[ioSmallIcons][toTextLabels], heights[ioSmallIcons][toNoTextLabels]);
}

// A 32-bit top-down DIB section selected into a memory DC.
struct Canvas {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    void* bits = nullptr;
    Canvas(int width, int height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, bitmap);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

TEST_F(ToolbarFrame, WrapsToOneRowDockedAtTopOrBottomOneColumnAtTheSidesAndToItsWidthFloating) {
    TMXToolbar::FrameEnableDocking(frame, CBRS_ALIGN_ANY);
    auto* bar = AddBar<TestToolbar>(TBSTYLE_FLAT, 0xE801);
    ASSERT_TRUE(bar->LoadBitmapW(700));
    bar->SetToolBarInfoForCustomization();
    auto tops = [&] {
        std::vector<int> rows;
        for (int i : {0, 1, 3}) {
            CRect item;
            bar->SendMessage(TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
            rows.push_back(item.top);
        }
        return rows;
    };
    for (UINT side : {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT}) {
        SCOPED_TRACE(side);
        frame->DockControlBar(bar, side);
        frame->RecalcLayout();
        guitest::PumpMessages();
        const std::vector<int> rows = tops();
        const CRect window = ScreenRect(*bar);
        if (side == AFX_IDW_DOCKBAR_TOP || side == AFX_IDW_DOCKBAR_BOTTOM) {
            EXPECT_EQ(rows[0], rows[1]);
            EXPECT_EQ(rows[1], rows[2]);
            EXPECT_GT(window.Width(), window.Height());
        } else {
            EXPECT_LT(rows[0], rows[1]);
            EXPECT_LT(rows[1], rows[2]);
            EXPECT_LT(window.Width(), window.Height());
        }
    }
    // Floating, as wide as two buttons: the last one wraps at the separator.
    frame->FloatControlBar(bar, CPoint(200, 200));
    CRect item;
    bar->SendMessage(TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    bar->CalcDynamicLayout(2 * item.Width() + 4, LM_HORZ | LM_COMMIT);
    guitest::PumpMessages();
    const std::vector<int> rows = tops();
    EXPECT_EQ(rows[0], rows[1]);
    EXPECT_LT(rows[1], rows[2]);
}

// A key under HKEY_CURRENT_USER for a test's lifetime, deleted with all it holds.
class TestKey {
public:
    explicit TestKey(const wchar_t* path) : m_path(path) { RegDeleteTreeW(HKEY_CURRENT_USER, path); }
    ~TestKey() { RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str()); }
    void Write(const wchar_t* value, const std::vector<DWORD>& data, size_t bytes) const {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), 0);
        RegSetValueExW(key, value, 0, REG_BINARY, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(bytes));
        RegCloseKey(key);
    }
    std::vector<DWORD> Read(const wchar_t* sub, const wchar_t* value) const {
        std::vector<DWORD> data(256);
        DWORD bytes = static_cast<DWORD>(data.size() * sizeof(DWORD));
        const std::wstring path = m_path + L"\\" + sub;
        if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), value, RRF_RT_REG_BINARY, nullptr, data.data(), &bytes))
            return {};
        data.resize(bytes / sizeof(DWORD));
        return data;
    }

private:
    std::wstring m_path;
};

// The application's registry key for a test's lifetime.
class RegistryKeyed {
public:
    explicit RegistryKeyed(const wchar_t* key) { AfxGetApp()->SetRegistryKey(key); }
    ~RegistryKeyed() { AfxGetApp()->m_pszRegistryKey = nullptr; }
};

TEST(ToolbarNames, NumberedByConstructionWithNoSubkeyWithoutARegistryKey) {
    TestToolbar first;
    TestToolbar second;
    int n = 0;
    ASSERT_EQ(swscanf(first.m_strRegValue, L"TMXToolBar%d", &n), 1);
    EXPECT_EQ(second.m_strRegValue, [&] { CString s; s.Format(L"TMXToolBar%d", n + 1); return s; }());
    EXPECT_TRUE(first.m_strRegSubKey.IsEmpty());
    {
        RegistryKeyed keyed(L"TMXUI Toolbar Tests");
        TestToolbar third;
        EXPECT_EQ(third.m_strRegSubKey, CString(L"Software\\TMXUI Toolbar Tests\\TMXUI tests\\Settings"));
    }
}

const UINT kSaveButtons[] = {401, 402, ID_SEPARATOR, 403, ID_SEPARATOR, 404, ID_SEPARATOR, 405};
const wchar_t kSettings[] = L"Software\\TMXUI Toolbar Tests\\TMXUI tests\\Settings";

std::vector<std::pair<int, BYTE>> Buttons(CToolBar& bar) { // command id and style
    std::vector<std::pair<int, BYTE>> buttons;
    for (int i = 0, n = static_cast<int>(bar.SendMessage(TB_BUTTONCOUNT)); i < n; ++i) {
        TBBUTTON b{};
        bar.SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
        buttons.emplace_back(b.idCommand, static_cast<BYTE>(b.fsStyle & TBSTYLE_SEP));
    }
    return buttons;
}

class ToolbarState : public ToolbarFrame {
protected:
    void SetUp() override {
        ToolbarFrame::SetUp();
        TMXToolbar::FrameEnableDocking(frame, CBRS_ALIGN_ANY);
        bar = AddBar<TestToolbar>(TBSTYLE_FLAT, 0xE801);
        ASSERT_TRUE(bar->SetButtons(kSaveButtons, 8));
        ASSERT_TRUE(bar->LoadBitmapW(700));
        frame->DockControlBar(bar, AFX_IDW_DOCKBAR_TOP);
        CRect place(0, 0, 90, 120);
        combo = bar->InsertControl(RUNTIME_CLASS(CComboBox), L"", place, 405, CBS_DROPDOWNLIST | WS_VSCROLL);
        ASSERT_NE(combo, nullptr);
        bar->SetToolBarInfoForCustomization();
        bar->m_strRegSubKey = kSettings;
        frame->RecalcLayout();
        saved = Buttons(*bar);
    }
    TestKey key{L"Software\\TMXUI Toolbar Tests"};
    TestToolbar* bar = nullptr;
    CWnd* combo = nullptr;
    std::vector<std::pair<int, BYTE>> saved;
};

TEST_F(ToolbarState, ARoundTripBringsBackSeparatorsControlPlacesAndBothOptions) {
    bar->SetTextOptions(toTextLabels, TRUE);
    bar->SetIconOptions(ioLargeIcons, TRUE);
    // Every block the library allocates for a save it frees again.
    static int blocks = 0;
    testsupport::ImportPatch alloc(GetModuleHandleW(L"TMXUI.dll"), "kernel32.dll", "GlobalAlloc",
                                   +[](UINT flags, SIZE_T bytes) -> HGLOBAL {
                                       ++blocks;
                                       return HeapAlloc(GetProcessHeap(), 0, bytes + (flags & 0));
                                   });
    testsupport::ImportPatch free(GetModuleHandleW(L"TMXUI.dll"), "kernel32.dll", "GlobalFree",
                                  +[](HGLOBAL block) -> HGLOBAL {
                                      --blocks;
                                      HeapFree(GetProcessHeap(), 0, block);
                                      return nullptr;
                                  });
    ASSERT_TRUE(alloc.Active() && free.Active());
    bar->SaveState();
    EXPECT_EQ(blocks, 0);
    const std::vector<DWORD> record = key.Read(L"TMXUI tests\\Settings", bar->m_strRegValue);
    ASSERT_GE(record.size(), 2u);
    EXPECT_EQ(record[0], static_cast<DWORD>(ioLargeIcons));
    EXPECT_EQ(record[1], static_cast<DWORD>(toTextLabels));
    // Take the bar apart and change both options.
    for (int i = 6; i >= 1; --i)
        bar->SendMessage(TB_DELETEBUTTON, i);
    bar->SetTextOptions(toNoTextLabels, TRUE);
    bar->SetIconOptions(ioSmallIcons, TRUE);
    bar->RestoreState();
    EXPECT_EQ(Buttons(*bar), saved);
    EXPECT_EQ(bar->GetTextOptions(), toTextLabels);
    EXPECT_EQ(bar->GetIconOptions(), ioLargeIcons);
    // The combo box is back on its place.
    CRect item;
    bar->SendMessage(TB_GETITEMRECT, bar->CommandToIndex(405), reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.Width(), 90);
}

TEST_F(ToolbarState, DamagedRecordsLeaveTheButtonsOrTheOptions) {
    bar->SetTextOptions(toTextOnRight, TRUE);
    TestKey settings(kSettings);
    const std::vector<DWORD> ids = {401, 0, 402};
    struct Case {
        const char* name;
        std::vector<DWORD> data;
        size_t bytes;
        bool buttonsRestored;
        TextOptions text;
        IconOptions icon;
    } cases[] = {
        {"empty", {}, 0, false, toTextOnRight, ioSmallIcons},
        {"4 bytes", {1}, 4, false, toTextOnRight, ioSmallIcons},
        {"7 bytes", {1, 0}, 7, false, toTextOnRight, ioSmallIcons},
        {"icon option 2", {2, 0, 401, 0, 402}, 20, true, toTextOnRight, ioSmallIcons},
        {"text option 3", {1, 3, 401, 0, 402}, 20, true, toTextOnRight, ioSmallIcons},
        {"negative text option", {0, 0xFFFFFFFF, 401, 0, 402}, 20, true, toTextOnRight, ioSmallIcons},
        {"in range", {1, 0, 401, 0, 402}, 20, true, toTextLabels, ioLargeIcons},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bar->SetButtons(kSaveButtons, 8);
        bar->SetTextOptions(toTextOnRight, TRUE);
        bar->SetIconOptions(ioSmallIcons, TRUE);
        std::vector<DWORD> data = c.data;
        data.resize(8);
        settings.Write(bar->m_strRegValue, data, c.bytes);
        bar->RestoreState();
        std::vector<std::pair<int, BYTE>> expected;
        if (c.buttonsRestored)
            expected = {{401, 0}, {0, TBSTYLE_SEP}, {402, 0}};
        else
            for (UINT id : kSaveButtons)
                expected.emplace_back(static_cast<int>(id), id ? 0 : TBSTYLE_SEP);
        EXPECT_EQ(Buttons(*bar), expected);
        EXPECT_EQ(bar->GetTextOptions(), c.text);
        EXPECT_EQ(bar->GetIconOptions(), c.icon);
    }
}

TEST_F(ToolbarState, WithoutASubkeyNothingIsSavedOrRestored) {
    bar->m_strRegSubKey.Empty();
    bar->SaveState();
    HKEY root;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, nullptr, 0, KEY_READ, &root), 0);
    EXPECT_NE(RegQueryValueExW(root, bar->m_strRegValue, nullptr, nullptr, nullptr, nullptr), 0);
    RegCloseKey(root);
    bar->RestoreState();
    EXPECT_EQ(Buttons(*bar), saved);
}

TEST_F(ToolbarState, ControlsShowCentredDockedAtTopOrBottomAndHideAtTheSides) {
    for (UINT side : {AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_RIGHT, AFX_IDW_DOCKBAR_BOTTOM}) {
        SCOPED_TRACE(side);
        frame->DockControlBar(bar, side);
        frame->RecalcLayout();
        guitest::PumpMessages();
        const bool vertical = side == AFX_IDW_DOCKBAR_LEFT || side == AFX_IDW_DOCKBAR_RIGHT;
        EXPECT_EQ(combo->IsWindowVisible() != 0, !vertical);
        CRect item(0, 0, 0, 0), control, button;
        bar->SendMessage(TB_GETITEMRECT, bar->CommandToIndex(405), reinterpret_cast<LPARAM>(&item));
        bar->SendMessage(TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
        combo->GetWindowRect(&control);
        bar->ScreenToClient(&control);
        if (vertical) {
            EXPECT_LT(ScreenRect(*bar).Width(), 90); // the place takes no room
        } else {
            EXPECT_EQ(control.left, item.left);
            EXPECT_EQ(control.top, item.top + std::max(0, (item.Height() - control.Height()) / 2));
        }
    }
    // The combo box's notifications reach the frame.
    combo->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"One"));
    combo->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Two"));
    frame->controlNotifications.clear();
    combo->SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_NE(std::find(frame->controlNotifications.begin(), frame->controlNotifications.end(),
                        MAKEWPARAM(405, CBN_SELCHANGE)),
              frame->controlNotifications.end());
}

TEST_F(ToolbarState, DropDownsOpenTheirMenuOrLeaveTheNotificationToTheParent) {
    AfxGetApp()->m_pMainWnd = frame;
    bar->AddDropDownButton(401, 710, TRUE);
    bar->AddDropDownButton(402, 799, FALSE); // no such menu
    bar->AddDropDownButton(404, 711, FALSE); // no submenu
    bar->AddDropDownButton(403, 0, FALSE);   // no menu
    bar->AddDropDownButton(401, 710, FALSE); // the same button again: the whole button drops down
    frame->RecalcLayout();
    testsupport::MenuPicker picker;
    picker.Pick(502);
    for (UINT id : {401u, 402u, 404u, 403u}) {
        CRect item;
        bar->SendMessage(TB_GETITEMRECT, bar->CommandToIndex(id), reinterpret_cast<LPARAM>(&item));
        bar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(item.left + 4, item.top + 4));
        bar->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(item.left + 4, item.top + 4));
        guitest::PumpMessages();
    }
    AfxGetApp()->m_pMainWnd = nullptr;
    EXPECT_TRUE(picker.Finished());
    ASSERT_EQ(picker.Seen().size(), 1u);
    EXPECT_EQ(picker.Seen()[0].items.size(), 2u);
    EXPECT_FALSE(IsMenu(picker.Seen()[0].menu)); // destroyed after tracking
    EXPECT_EQ(frame->commands, std::vector<UINT>{502});
    EXPECT_EQ(frame->dropDowns, (std::vector<int>{402, 404, 403}));
}

TEST_F(ToolbarState, TheContextMenuListsTheMainFramesToolbarsAndTogglesThem) {
    AfxGetApp()->m_pMainWnd = frame;
    bar->SetWindowText(L"Standard");
    auto* other = AddBar<TestToolbar>(TBSTYLE_FLAT, 0xE802);
    other->SetWindowText(L"Drawing");
    frame->DockControlBar(other, AFX_IDW_DOCKBAR_BOTTOM);
    frame->ShowControlBar(other, FALSE, FALSE);
    frame->RecalcLayout();
    CRect item;
    bar->SendMessage(TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    CPoint onButton = item.CenterPoint(), onCombo(4, 4);
    bar->ClientToScreen(&onButton);
    combo->ClientToScreen(&onCombo);
    testsupport::MenuPicker picker;
    picker.Pick(0xE802);
    bar->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(bar->m_hWnd), MAKELPARAM(onButton.x, onButton.y));
    bar->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(combo->m_hWnd), MAKELPARAM(onCombo.x, onCombo.y));
    EXPECT_TRUE(picker.Finished());
    ASSERT_EQ(picker.Seen().size(), 1u);
    const auto& items = picker.Seen()[0].items;
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].text, L"Standard");
    EXPECT_TRUE(items[0].checked);
    EXPECT_EQ(items[1].text, L"Drawing");
    EXPECT_FALSE(items[1].checked);
    EXPECT_TRUE(items[2].separator);
    EXPECT_EQ(items[3].text, L"&Customize...");
    EXPECT_EQ(items[3].id, 255u);
    EXPECT_FALSE(IsMenu(picker.Seen()[0].menu));
    EXPECT_TRUE(other->IsWindowVisible());

    // A thousand right-clicks (each menu costs some 15 ms under Wine) leave
    // none of their menus behind, and a menu, a GDI object and a window can
    // still be made.
    testsupport::MenuPicker many;
    many.Cancel(1000);
    for (int i = 0; i < 1000; ++i)
        bar->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(bar->m_hWnd), MAKELPARAM(onButton.x, onButton.y));
    AfxGetApp()->m_pMainWnd = nullptr;
    EXPECT_TRUE(many.Finished());
    ASSERT_EQ(many.Seen().size(), 1000u);
    int alive = 0;
    for (const auto& seen : many.Seen())
        alive += IsMenu(seen.menu) != 0;
    EXPECT_EQ(alive, 0);
    HMENU menu = CreatePopupMenu();
    EXPECT_NE(menu, nullptr);
    DestroyMenu(menu);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_NE(brush, nullptr);
    DeleteObject(brush);
    HWND window = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(window, nullptr);
    DestroyWindow(window);
}

// The control's customise dialog with the toolbar's lists, driven by messages.
void ChooseOption(HWND dialog, int list, int index) {
    HWND combo = GetDlgItem(dialog, list);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(list, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
}

TEST_F(ToolbarState, TheCustomiseDialogGetsTheOptionListsAndRunsOneAtATime) {
    bar->SetWindowText(L"Standard");
    auto* other = AddBar<TestToolbar>(TBSTYLE_FLAT, 0xE802);
    ASSERT_TRUE(other->SetButtons(kButtons, 4));
    other->SetToolBarInfoForCustomization();
    frame->DockControlBar(other, AFX_IDW_DOCKBAR_BOTTOM);
    frame->RecalcLayout();
    testsupport::DialogDriver driver;
    std::vector<std::wstring> texts, icons;
    int grown = 0;
    LRESULT second = -1;
    TextOptions textInside = static_cast<TextOptions>(-1);
    IconOptions iconInside = static_cast<IconOptions>(-1);
    driver.Expect()
        .Inspect([&](HWND dialog, testsupport::SeenDialog&) {
            for (int list : {1000, 1001}) {
                HWND combo = GetDlgItem(dialog, list);
                for (int i = 0, n = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0)); i < n; ++i) {
                    wchar_t item[64] = {};
                    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
                    (list == 1000 ? texts : icons).push_back(item);
                }
            }
            // The lists lie below what the dialog had, inside its client area.
            CRect client, list;
            GetClientRect(dialog, &client);
            GetWindowRect(GetDlgItem(dialog, 1001), &list);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&list), 2);
            grown = client.bottom - list.top;
        })
        .Do([&](HWND dialog) {
            ChooseOption(dialog, 1000, toTextLabels);
            ChooseOption(dialog, 1001, ioLargeIcons);
            textInside = bar->GetTextOptions();
            iconInside = bar->GetIconOptions();
            second = other->SendMessage(TB_CUSTOMIZE);
        })
        .Click(IDCANCEL);
    bar->Customize();
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    ASSERT_EQ(driver.Count(), 1) << driver.Report();
    const testsupport::SeenDialog& seen = driver.Last();
    EXPECT_GE(seen.caption.size(), 11u);
    EXPECT_EQ(seen.caption.substr(seen.caption.size() - 11), L" - Standard");
    EXPECT_EQ(seen.selections.at(1000), toNoTextLabels);
    EXPECT_EQ(seen.selections.at(1001), ioSmallIcons);
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"Show Text Labels", L"Selective Text on Right", L"No Text Labels"}));
    EXPECT_EQ(icons, (std::vector<std::wstring>{L"Small Icons", L"Large Icons"}));
    EXPECT_GT(grown, 0);
    EXPECT_EQ(textInside, toTextLabels);  // at once
    EXPECT_EQ(iconInside, ioSmallIcons);  // when the dialog closes
    EXPECT_EQ(second, FALSE);             // refused while this one runs
    EXPECT_EQ(bar->GetTextOptions(), toTextLabels);
    EXPECT_EQ(bar->GetIconOptions(), ioLargeIcons);
    // Closing saved the state.
    const std::vector<DWORD> record = key.Read(L"TMXUI tests\\Settings", bar->m_strRegValue);
    ASSERT_GE(record.size(), 2u);
    EXPECT_EQ(record[0], static_cast<DWORD>(ioLargeIcons));
    EXPECT_EQ(record[1], static_cast<DWORD>(toTextLabels));

    // More openings leave no GDI objects behind (each costs some 175 ms under Wine).
    testsupport::DialogDriver many;
    for (int i = 0; i < 30; ++i)
        many.Expect().Click(IDCANCEL);
    const int gdi = testsupport::GdiObjectCount();
    for (int i = 0; i < 30; ++i)
        bar->Customize();
    EXPECT_TRUE(many.Finished()) << many.Report();
    EXPECT_LE(testsupport::GdiObjectCount(), gdi);
    HMENU menu = CreatePopupMenu();
    EXPECT_NE(menu, nullptr);
    DestroyMenu(menu);
}

TEST_F(ToolbarState, ResetBringsBackTheDefaultSetWithoutLabels) {
    bar->SendMessage(TB_DELETEBUTTON, 1); // 402 is not in the default set
    bar->MarkDefaultState();
    bar->SendMessage(TB_DELETEBUTTON, 0); // 401 is
    bar->SetTextOptions(toTextLabels, TRUE);
    NMHDR reset{bar->m_hWnd, 0xE801, static_cast<UINT>(TBN_RESET)};
    LRESULT result = frame->SendMessage(WM_NOTIFY, 0xE801, reinterpret_cast<LPARAM>(&reset));
    EXPECT_EQ(result, TRUE);
    std::vector<std::pair<int, BYTE>> expected = saved;
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(Buttons(*bar), expected);
    EXPECT_EQ(bar->GetTextOptions(), toNoTextLabels);
}

// The client area as the toolbar prints it on its face colour.
struct Printed {
    std::vector<DWORD> pixels;
    int width = 0;
    COLORREF At(int x, int y) const {
        const DWORD v = pixels[static_cast<size_t>(y) * width + x];
        return RGB(v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF);
    }
};
Printed PrintClient(CWnd& wnd, COLORREF background) {
    CRect client;
    wnd.GetClientRect(&client);
    Canvas canvas(client.Width(), client.Height());
    CDC::FromHandle(canvas.dc)->FillSolidRect(&client, background);
    wnd.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc), PRF_CLIENT);
    GdiFlush();
    Printed printed;
    printed.width = client.Width();
    const auto* p = static_cast<const DWORD*>(canvas.bits);
    printed.pixels.assign(p, p + static_cast<size_t>(client.Width()) * client.Height());
    return printed;
}

TEST_F(ToolbarFrame, AHotButtonShowsItsImagesSilhouetteOnADarkerFaceInAShadowFrame) {
    PinnedColours pinned;
    TMXToolbar::FrameEnableDocking(frame, CBRS_ALIGN_ANY);
    auto* bar = AddBar<TestToolbar>(TBSTYLE_FLAT, 0xE801);
    frame->SendMessageToDescendants(WM_SYSCOLORCHANGE);
    frame->DockControlBar(bar, AFX_IDW_DOCKBAR_TOP);
    ASSERT_TRUE(bar->LoadBitmapW(700));
    bar->SetToolBarInfoForCustomization();
    frame->RecalcLayout();
    // Button 402 asks for an image the strip does not have: no image, the rest as usual.
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_IMAGE;
    info.iImage = 40;
    bar->SendMessage(TB_SETBUTTONINFOW, 402, reinterpret_cast<LPARAM>(&info));
    const COLORREF face = PinnedColours::kFace, shadow = PinnedColours::kShadow;
    const COLORREF dark = RGB(200 - 14, 180 - 12, 120 - 8); // 7 %, truncated
    for (int index : {0, 1, 3}) {
        SCOPED_TRACE(index);
        bar->SendMessage(TB_SETHOTITEM, index);
        const Printed printed = PrintClient(*bar, face);
        CRect item;
        bar->SendMessage(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        ASSERT_GE(item.Width(), 16 + 7); // room for the image at 6 inside the frame
        const int image = index == 3 ? 2 : index == 0 ? 0 : -1;
        int silhouette = 0, mismatches = 0;
        for (int y = item.top; y < item.bottom; ++y)
            for (int x = item.left; x < item.right; ++x) {
                const bool frameLine = x == item.left || y == item.top || x == item.right - 1 || y == item.bottom - 1;
                const int ix = x - item.left - 6, iy = y - item.top - 4;
                COLORREF expected = dark;
                if (frameLine)
                    expected = shadow;
                else if (image >= 0 && ix >= 0 && ix < 16 && iy >= 0 && iy < 16 &&
                         StripPixel(bar->m_hbmImageWell, image * 16 + ix, iy) != face)
                    expected = shadow, ++silhouette;
                mismatches += printed.At(x, y) != expected;
                if (printed.At(x, y) != expected && mismatches < 4)
                    ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << printed.At(x, y)
                                  << " instead of " << expected;
            }
        EXPECT_EQ(mismatches, 0);
        EXPECT_EQ(silhouette > 0, image >= 0);
        // Beside the item the face is untouched.
        EXPECT_EQ(printed.At(item.right + 1 < printed.width ? item.right + 1 : item.left - 1, item.top + 2), face);
    }
}

TEST_F(ToolbarFrame, FlatBordersAreOnePixelWithTheBackgroundFillOverTheLeftAndTop) {
    PinnedColours pinned;
    auto* bar = AddBar<TestToolbar>(TBSTYLE_FLAT, 0xE801);
    frame->SendMessageToDescendants(WM_SYSCOLORCHANGE);
    Canvas canvas(20, 10);
    HDC dc = canvas.dc;
    const COLORREF background = RGB(1, 2, 3);
    CDC* cdc = CDC::FromHandle(dc);
    struct Case {
        DWORD style;
        bool docking;
        COLORREF row0, row1;
        CRect shrunk;
    } cases[] = {
        {CBRS_BORDER_ANY, true, background, background, CRect(1, 1, 19, 9)},
        {CBRS_BORDER_ANY | CBRS_BORDER_3D, false, PinnedColours::kShadow, PinnedColours::kHighlight, CRect(1, 1, 19, 9)},
        {CBRS_BORDER_TOP | CBRS_BORDER_RIGHT, true, background, background, CRect(0, 1, 19, 10)},
    };
    CDockContext* context = bar->m_pDockContext;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        bar->m_dwStyle = (bar->m_dwStyle & ~(CBRS_BORDER_ANY | CBRS_BORDER_3D)) | c.style;
        bar->m_pDockContext = c.docking ? context : nullptr;
        cdc->SetBkColor(background);
        CRect rect(0, 0, 20, 10);
        bar->Draw3DBorders(cdc, rect);
        GdiFlush();
        EXPECT_EQ(rect, c.shrunk);
        EXPECT_EQ(GetPixel(dc, 0, 5), background);  // the left line, filled over
        EXPECT_EQ(GetPixel(dc, 19, 5), PinnedColours::kShadow);
        EXPECT_EQ(GetPixel(dc, 10, 9), PinnedColours::kShadow);
        EXPECT_EQ(GetPixel(dc, 10, 0), c.row0);
        EXPECT_EQ(GetPixel(dc, 10, 1), c.row1);
        EXPECT_EQ(GetPixel(dc, 10, 5), background);
    }
    bar->m_pDockContext = context;
}

} // namespace
