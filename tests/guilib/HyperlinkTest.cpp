// The hyperlink: colours by state through the reflected WM_CTLCOLORSTATIC,
// clicks and addresses through the shell recorder, the text repaint, the
// tooltip, the hand cursor taken from the help viewer's module, the font of
// a window without one, and GDI objects over many paints.
#include "ControlProbes.h"
#include "GuiTestSupport.h"
#include "ProcessProbes.h"
#include "TMXHyperlink.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const COLORREF kParentColor = RGB(0, 128, 128);
const COLORREF kLink = RGB(0, 0, 255), kHover = RGB(255, 0, 0), kVisited = RGB(5, 34, 143);
const int kLinkId = 51;

class Parent : public CWnd {
public:
    int clicks = 0;
    WPARAM clickW = 0;
    LPARAM clickL = -1;

protected:
    LRESULT OnLinkClicked(WPARAM wParam, LPARAM lParam) {
        ++clicks, clickW = wParam, clickL = lParam;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Parent, CWnd)
ON_MESSAGE(0x465, OnLinkClicked)
END_MESSAGE_MAP()

class Probe : public TMXHyperlink {
public:
    using TMXHyperlink::m_hLinkCursor;
    using TMXHyperlink::m_toolTip;
};

// The Windows folder as TMXUI.dll sees it, for the cursor's module.
struct WindowsFolder {
    static inline std::wstring path;
    static inline UINT answer = 0; // when nonzero, the length reported instead
    static UINT WINAPI Get(LPWSTR buffer, UINT size) {
        if (answer) return answer;
        if (path.size() + 1 > size) return static_cast<UINT>(path.size() + 1);
        wcscpy(buffer, path.c_str());
        return static_cast<UINT>(path.size());
    }
};

class Hyperlinks : public ::testing::Test {
protected:
    void SetUp() override {
        static HBRUSH background = CreateSolidBrush(kParentColor);
        ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0, nullptr, background), L"links",
                                    WS_POPUP | WS_VISIBLE, 40, 40, 400, 200, nullptr, nullptr));
        font = CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
        ASSERT_TRUE(shell.Active()) << "TMXUI.dll imports ShellExecuteW";
    }
    void TearDown() override {
        link.DestroyWindow();
        parent.DestroyWindow();
        DeleteObject(font);
    }

    // A dialog-style static with a font, then bound to the object.
    void Bind(TMXHyperlink& target, const wchar_t* text, int y = 10) {
        HWND raw = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT, 10, y, 300,
                                   24, parent.m_hWnd, reinterpret_cast<HMENU>(kLinkId), nullptr,
                                   nullptr);
        ASSERT_NE(raw, nullptr);
        SendMessageW(raw, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        ASSERT_TRUE(target.SubclassWindow(raw));
    }
    // The text colour, background mode and brush the parent answers for the link.
    COLORREF AskColour() {
        HDC dc = CreateCompatibleDC(nullptr);
        SetBkMode(dc, OPAQUE);
        LRESULT brush = parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(link.m_hWnd));
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
        COLORREF color = GetTextColor(dc);
        DeleteDC(dc);
        return color;
    }
    void Click() {
        link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        link.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }

    Parent parent;
    Probe link;
    HFONT font = nullptr;
    guitest::ShellRecorder shell;
};

TEST_F(Hyperlinks, ColoursFollowHoverAndVisits) {
    Bind(link, L"www.example.com");
    EXPECT_TRUE(link.GetStyle() & SS_NOTIFY);
    struct Step {
        const char* what;
        UINT message; // 0: none, WM_LBUTTONDOWN: a click
        int x, y;
        COLORREF colour;
        bool captured;
    } steps[] = {
        {"unvisited", 0, 0, 0, kLink, false},
        {"mouse over", WM_MOUSEMOVE, 5, 5, kHover, true},
        {"mouse still over", WM_MOUSEMOVE, 20, 5, kHover, true},
        {"mouse gone", WM_MOUSEMOVE, -5, 40, kLink, false},
        {"clicked", WM_LBUTTONDOWN, 0, 0, kVisited, false},
        {"visited and hovered", WM_MOUSEMOVE, 5, 5, kVisited, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.message == WM_LBUTTONDOWN)
            Click();
        else if (step.message)
            link.SendMessage(step.message, 0, MAKELPARAM(step.x, step.y));
        EXPECT_EQ(AskColour(), step.colour);
        EXPECT_EQ(GetCapture() == link.m_hWnd, step.captured);
    }
    ReleaseCapture();
    link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(-5, -5));

    // The paint itself asks the parent, and the answer reaches the screen.
    link.SetVisitedColor(RGB(200, 0, 200));
    link.RedrawWindow();
    EXPECT_GT(guitest::Snapshot(link.m_hWnd).CountOf(RGB(200, 0, 200)), 20);
}

TEST_F(Hyperlinks, AddressesOpenMinimisedThroughTheShell) {
    Bind(link, L"");
    struct Row {
        const wchar_t* url;
        const wchar_t* windowText;
        INT_PTR result;
        const wchar_t* file;
        bool ok;
    } rows[] = {
        {L"https://example.com/x", L"Visit us", 42, L"https://example.com/x", true},
        {L"", L"info@example.com", 42, L"mailto:info@example.com", true},
        {L"", L"www.example.com", 42, L"www.example.com", true},
        {L"someone@example.com", L"text", 42, L"someone@example.com", true}, // given as it is
        {L"", L"www.example.com", 32, L"www.example.com", false},
        {L"", L"www.example.com", 33, L"www.example.com", true},
        {L"", L"www.example.com", 2, L"www.example.com", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(&row - rows));
        shell.calls.clear();
        shell.result = row.result;
        link.SetWindowText(row.windowText);
        EXPECT_EQ(link.GoToLinkUrl(row.url), row.ok);
        ASSERT_EQ(shell.calls.size(), 1u);
        const auto& call = shell.calls[0];
        EXPECT_EQ(call.file, row.file);
        EXPECT_TRUE(call.hasVerb);
        EXPECT_EQ(call.verb, L"open");
        EXPECT_EQ(call.owner, nullptr);
        EXPECT_FALSE(call.hasParameters);
        EXPECT_FALSE(call.hasDirectory);
        EXPECT_EQ(call.show, 2) << "minimised";
    }
}

TEST_F(Hyperlinks, ClickOpensTheAddressOrTellsTheParent) {
    Bind(link, L"Home page");
    link.SetLinkUrl(L"https://example.com/home");
    EXPECT_EQ(link.GetLinkUrl(), L"https://example.com/home");
    shell.result = 32; // a failure is ignored: the link is visited all the same
    Click();
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].file, L"https://example.com/home");
    EXPECT_EQ(AskColour(), kVisited);
    EXPECT_EQ(parent.clicks, 0);

    link.DestroyWindow();
    Bind(link, L"Tell the parent");
    link.SetFireChild(TRUE);
    shell.calls.clear();
    Click();
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_EQ(parent.clicks, 1);
    EXPECT_EQ(parent.clickW, static_cast<WPARAM>(kLinkId));
    EXPECT_EQ(parent.clickL, 0);
    EXPECT_EQ(AskColour(), kVisited);
}

TEST_F(Hyperlinks, NewTextLeavesNoOldGlyphs) {
    Bind(link, L"WWWWWWWWWWWWWWWW");
    EXPECT_TRUE(link.GetLinkText().IsEmpty()) << "only SetLinkText sets it";
    parent.UpdateWindow();
    const RECT before = guitest::Snapshot(link.m_hWnd).InkBox(kParentColor);
    ASSERT_GT(before.right, 100);
    link.SetLinkText(L"i");
    EXPECT_EQ(link.GetLinkText(), L"i");
    EXPECT_EQ(guitest::WindowText(link.m_hWnd), L"i");
    const RECT after = guitest::Snapshot(link.m_hWnd).InkBox(kParentColor);
    EXPECT_GT(after.right, 0);
    EXPECT_LT(after.right, 20) << "the wide text is gone";
}

TEST_F(Hyperlinks, TooltipTakesTextOnlyWhenActiveAndSeesTheMouse) {
    Bind(link, L"Tipped");
    ASSERT_NE(link.m_toolTip.m_hWnd, nullptr);
    EXPECT_FALSE(link.m_toolTip.IsWindowVisible());
    auto tipText = [this] {
        wchar_t text[80] = {};
        TTTOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.hwnd = link.m_hWnd;
        info.uId = 1001;
        info.lpszText = text;
        link.m_toolTip.SendMessage(TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
        return std::wstring(text);
    };
    link.SetTootTipText(L"too early");
    EXPECT_EQ(tipText(), L"");
    link.ActiveToolTip(TRUE);
    link.SetTootTipText(L"Opens the site");
    EXPECT_EQ(tipText(), L"Opens the site");
    link.ActiveToolTip(FALSE);
    link.SetTootTipText(L"ignored");
    EXPECT_EQ(tipText(), L"Opens the site");

    guitest::MessageCounter relayed(link.m_toolTip.m_hWnd);
    MSG move{link.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3), GetTickCount(), {}};
    EXPECT_FALSE(AfxPreTranslateMessage(&move));
    EXPECT_EQ(relayed.Count(TTM_RELAYEVENT), 1);
}

TEST_F(Hyperlinks, WindowWithoutAFontGetsTheGuiFontUnderlined) {
    ASSERT_TRUE(link.Create(L"No font", WS_VISIBLE, CRect(10, 10, 200, 30), &parent, kLinkId));
    LOGFONTW got{}, gui{};
    ASSERT_EQ(GetObjectW(link.GetFont(), sizeof got, &got), static_cast<int>(sizeof got));
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
    EXPECT_STREQ(got.lfFaceName, gui.lfFaceName);
    EXPECT_EQ(got.lfHeight, gui.lfHeight);
    EXPECT_TRUE(got.lfUnderline);
    EXPECT_TRUE(link.GetStyle() & SS_NOTIFY);
}

// A folder holding a copy of this program named Winhlp32.exe: its cursor 106
// stands in for the help viewer's hand.
std::wstring FolderWithViewer() {
    wchar_t temp[MAX_PATH], self[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder = std::wstring(temp) + L"tmxlink-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    CopyFileW(self, (folder + L"\\Winhlp32.exe").c_str(), FALSE);
    return folder;
}

TEST_F(Hyperlinks, HandCursorIsACopyFromTheViewersModule) {
    testsupport::ImportPatch windows(GetModuleHandleW(L"TMXUI.dll"), "kernel32.dll",
                                     "GetWindowsDirectoryW", &WindowsFolder::Get);
    ASSERT_TRUE(windows.Active());
    const std::wstring viewer = FolderWithViewer();
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    struct Row {
        const char* what;
        std::wstring folder;
        UINT answer;
        bool cursor;
    } rows[] = {
        {"no folder", L"", 0, false}, // the empty path reports length 0
        {"a folder longer than the buffer", viewer, 400, false},
        {"a folder without the viewer", temp, 0, false},
        {"the viewer's folder", viewer, 0, true},
    };
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        WindowsFolder::path = row.folder;
        if (!row.folder.empty() && row.folder.back() == L'\\') WindowsFolder::path.pop_back();
        WindowsFolder::answer = row.answer;
        HCURSOR cursor = nullptr;
        {
            Probe hand;
            Bind(hand, L"hand");
            cursor = hand.m_hLinkCursor;
            EXPECT_EQ(cursor != nullptr, row.cursor);
            EXPECT_EQ(GetModuleHandleW(L"Winhlp32.exe"), nullptr) << "the module is freed";
            SetCursor(nullptr);
            hand.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(hand.m_hWnd),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            EXPECT_EQ(GetCursor(), row.cursor ? cursor : arrow);
            if (cursor) {
                ICONINFO info{};
                ASSERT_TRUE(GetIconInfo(cursor, &info)) << "still valid after the module went";
                EXPECT_FALSE(info.fIcon);
                EXPECT_EQ(info.xHotspot, 5u);
                DeleteObject(info.hbmMask);
                if (info.hbmColor) DeleteObject(info.hbmColor);
            }
        }
        if (cursor) {
            SetCursor(arrow);
            ICONINFO info{};
            EXPECT_FALSE(GetIconInfo(cursor, &info)) << "destroyed with the control";
        }
    }
    WindowsFolder::answer = 0;
    WindowsFolder::path.clear();
    DeleteFileW((viewer + L"\\Winhlp32.exe").c_str());
    RemoveDirectoryW(viewer.c_str());
}

TEST_F(Hyperlinks, PaintsAndLinksLeaveNoGdiObjects) {
    testsupport::ImportPatch windows(GetModuleHandleW(L"TMXUI.dll"), "kernel32.dll",
                                     "GetWindowsDirectoryW", &WindowsFolder::Get);
    const std::wstring viewer = FolderWithViewer();
    WindowsFolder::path = viewer;
    auto makeAndDrop = [this] {
        Probe once;
        Bind(once, L"once", 60);
        once.RedrawWindow();
    };
    Bind(link, L"Painted often");
    link.RedrawWindow();
    makeAndDrop(); // warm-up
    const int before = testsupport::GdiObjectCount();
    if (before < 0) GTEST_SKIP() << "no GDI handle table";
    for (int i = 0; i < 1000; ++i) {
        link.SendMessage(WM_MOUSEMOVE, 0, i % 2 ? MAKELPARAM(-5, -5) : MAKELPARAM(5, 5));
        link.RedrawWindow();
    }
    for (int i = 0; i < 20; ++i)
        makeAndDrop();
    EXPECT_EQ(testsupport::GdiObjectCount(), before);
    WindowsFolder::path.clear();
    DeleteFileW((viewer + L"\\Winhlp32.exe").c_str());
    RemoveDirectoryW(viewer.c_str());
}

} // namespace
