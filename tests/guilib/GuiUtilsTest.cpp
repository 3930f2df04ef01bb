// TMXGUIUtils' messages and path splitting, and the check message box.
#include "ControlProbes.h"
#include "DialogDriver.h"
#include "ProcessProbes.h"
#include "ImportPatch.h"
#include "TMXCheckMessageBox.h"
#include "TMXGUIUtils.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SplitPath, FollowsTheLibraryRulesWithoutALengthLimit) {
    const std::wstring longFolder = L"C:\\" + std::wstring(1000, L'f') + L"\\";
    struct Case {
        std::wstring path, drive, folder, name, extension;
    } const cases[] = {
        {L"C:\\models\\bracket.old.3dm", L"C:", L"\\models\\", L"bracket.old", L"3dm"},
        {L"readme", L"", L"", L"readme", L""},
        {L"sub/file.txt", L"", L"sub/", L"file", L"txt"},
        {L"\\\\server\\share\\part.3dm", L"", L"\\\\server\\share\\", L"part", L"3dm"},
        {L"D:/mixed\\seps/x.y.z", L"D:", L"/mixed\\seps/", L"x.y", L"z"},
        {L".hidden", L"", L"", L"", L"hidden"},
        {L"dir.v2\\noext", L"", L"dir.v2\\", L"noext", L""},
        {L"C:name.", L"C:", L"", L"name", L""},
        {longFolder + L"deep.3dm", L"C:", longFolder.substr(2), L"deep", L"3dm"},
    };
    for (const Case& c : cases) {
        CString drive, folder, name, extension;
        TMXGUIUtils::SplitPath(c.path.c_str(), drive, folder, name, extension);
        const std::string what = testsupport::Narrow(c.path.substr(0, 40));
        EXPECT_EQ(std::wstring(drive), c.drive) << what;
        EXPECT_EQ(std::wstring(folder), c.folder) << what;
        EXPECT_EQ(std::wstring(name), c.name) << what;
        EXPECT_EQ(std::wstring(extension), c.extension) << what;
        EXPECT_EQ(std::wstring(TMXGUIUtils::GetFolder(c.path.c_str())), c.drive + c.folder) << what;
        EXPECT_EQ(std::wstring(TMXGUIUtils::GetName(c.path.c_str())), c.name) << what;
        EXPECT_EQ(std::wstring(TMXGUIUtils::GetExtension(c.path.c_str())), c.extension) << what;
    }
}

TEST(Message, FormatsIntoTheApplicationsBoxWithTheDefaultIcon) {
    testsupport::DialogDriver driver;
    driver.Expect().Click(IDOK);
    TMXGUIUtils::Message(L"%d items in %s", 3, L"bracket.3dm");
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    EXPECT_EQ(driver.Last().message, L"3 items in bracket.3dm");
    EXPECT_EQ(driver.Last().caption, L"TMXUI tests");
    EXPECT_TRUE(driver.Last().OkOnly());
    EXPECT_TRUE(driver.Last().warningIcon) << "the framework's icon for an OK box";
}

// What a box showed, read when it came up.
struct Shape {
    RECT window{};
    RECT check{}; // in the box's client coordinates
    int checkState = -1;
    LONG textHeight = 0, textWidth = 0; // of the check text in the message font
};

Shape Read(HWND box, const wchar_t* checkText) {
    Shape s;
    GetWindowRect(box, &s.window);
    if (HWND check = GetDlgItem(box, 666)) {
        GetWindowRect(check, &s.check);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&s.check), 2);
        s.checkState = static_cast<int>(SendMessageW(check, BM_GETCHECK, 0, 0));
    }
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendDlgItemMessageW(box, 0xFFFF, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, checkText, static_cast<int>(wcslen(checkText)), &extent);
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    s.textHeight = extent.cy;
    s.textWidth = extent.cx;
    return s;
}

TEST(CheckMessageBox, AddsARowAndWidensOnlyForALongCheckText) {
    const wchar_t* text = L"Replace the file?";
    for (const wchar_t* checkText :
         {L"Do not show again",
          L"Do not show this question again, and always answer it the way I just did"}) {
        Shape plain, checked;
        {
            testsupport::DialogDriver driver;
            driver.Expect().Do([&](HWND d) { plain = Read(d, checkText); }).Click(IDNO);
            EXPECT_EQ(AfxMessageBox(text, MB_YESNO), IDNO);
        }
        TMXCheckMessageBox box(nullptr, checkText);
        testsupport::DialogDriver driver;
        driver.Expect().Do([&](HWND d) { checked = Read(d, checkText); }).Click(IDYES);
        EXPECT_EQ(box.Message(text, MB_YESNO), IDYES);
        EXPECT_TRUE(driver.Finished()) << driver.Report();

        const int h = std::min<LONG>(checked.textHeight, 13);
        const int plainWidth = plain.window.right - plain.window.left;
        const int needed = checked.textWidth + 2 * GetSystemMetrics(SM_CXEDGE) + 33;
        EXPECT_EQ(checked.window.bottom - checked.window.top,
                  plain.window.bottom - plain.window.top + h + 6);
        EXPECT_EQ(checked.window.right - checked.window.left, std::max(plainWidth, needed));
        EXPECT_EQ(checked.check.bottom - checked.check.top, h) << "at most 13 pixels high";
        EXPECT_EQ(checked.check.left, 7);
        EXPECT_EQ(checked.checkState, BST_UNCHECKED);
    }
}

TEST(CheckMessageBox, TheCheckStateFollowsTheClicksAndTheSeparatorIsEtched) {
    struct Case {
        int initial, clicks;
        int shown, checked;
    } const cases[] = {{0, 0, 0, 0}, {0, 1, 0, 1}, {0, 2, 0, 0}, {1, 0, 1, 1}, {1, 1, 1, 0}};
    for (const Case& c : cases) {
        TMXCheckMessageBox box;
        box.SetChecked(c.initial);
        COLORREF shadow = 0, light = 0;
        int shown = -1;
        testsupport::DialogDriver driver;
        auto& script = driver.Expect();
        script.Do([&](HWND d) {
            shown = static_cast<int>(SendDlgItemMessageW(d, 666, BM_GETCHECK, 0, 0));
            HWND line = GetDlgItem(d, 111);
            ASSERT_NE(line, nullptr);
            UpdateWindow(line);
            RECT r;
            GetClientRect(line, &r);
            HDC dc = GetDC(line);
            shadow = GetPixel(dc, r.right / 2, (r.bottom - 1) / 2);
            light = GetPixel(dc, r.right / 2, (r.bottom - 1) / 2 + 1);
            ReleaseDC(line, dc);
        });
        for (int i = 0; i < c.clicks; ++i)
            script.Click(666);
        script.Click(IDOK);
        EXPECT_EQ(box.Message(L"Saved.", MB_OK), IDOK);
        EXPECT_TRUE(driver.Finished()) << driver.Report();
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(box.GetChecked(), c.checked);
        EXPECT_EQ(shadow, GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(light, GetSysColor(COLOR_BTNHIGHLIGHT));
    }
    int ticked = -1;
    testsupport::DialogDriver driver;
    driver.Expect().Click(666).Click(IDCANCEL);
    EXPECT_EQ(TMXGUIUtils::CheckMessageBox(nullptr, L"Go on?", ticked, MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(ticked, 1);
}

int WINAPI NoMessageBox(HWND, LPCWSTR, LPCWSTR, UINT) {
    return 0; // as when the system cannot make the box
}

TEST(CheckMessageBox, NoBoxLeavesNoHookBehind) {
    TMXCheckMessageBox box;
    testsupport::DialogDriver driver;
    {
        testsupport::ImportPatch fail(GetModuleHandleW(L"framework.dll"), "user32.dll",
                                      "MessageBoxW", &NoMessageBox);
        ASSERT_TRUE(fail.Active());
        EXPECT_EQ(box.Message(L"never shown", MB_OK), 0);
    }
    EXPECT_EQ(driver.Count(), 0);
    // The thread's next window, made without the framework, stays nobody's.
    HWND next = CreateWindowExW(0, L"STATIC", L"next", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(next), nullptr);
    EXPECT_EQ(box.m_hWnd, nullptr);
    DestroyWindow(next);
}

// Ink of `text` drawn in the dialog font at a weight, on white.
int InkAtWeight(HWND dialog, const wchar_t* text, int weight) {
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    lf.lfWeight = weight;
    HFONT font = CreateFontIndirectW(&lf);
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 400, -20, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap), oldFont = SelectObject(dc, font);
    RECT r{0, 0, 400, 20};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawTextW(dc, text, -1, &r, DT_NOPREFIX | DT_SINGLELINE);
    GdiFlush();
    int ink = 0;
    for (int i = 0; i < 400 * 20; ++i)
        ink += (static_cast<const DWORD*>(bits)[i] & 0xFFFFFF) != 0xFFFFFF;
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteObject(font);
    DeleteDC(dc);
    return ink;
}

TEST(About, ShowsTheProductInBoldWithItsLinksFromTheLibrarysTemplate) {
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, nullptr, L"main", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
    HWND parent = main.m_hWnd;
    const wchar_t* title = L"R&D Tools 2026 version 1.0";
    int productInk = 0, normalInk = 0, boldInk = 0, linkBlue = 0;
    testsupport::DialogDriver driver;
    driver.Expect(std::wstring(L"About ") + title).Do([&](HWND d) {
        HWND product = GetDlgItem(d, 1013);
        UpdateWindow(product);
        productInk = guitest::Snapshot(product).Ink(GetSysColor(COLOR_BTNFACE));
        normalInk = InkAtWeight(d, title, FW_NORMAL);
        boldInk = InkAtWeight(d, title, FW_BOLD);
        HWND web = GetDlgItem(d, 1016);
        UpdateWindow(web);
        linkBlue = guitest::Snapshot(web).CountOf(RGB(0, 0, 255));
    }).Click(IDOK);
    TMXGUIUtils::About(title, &parent);
    EXPECT_TRUE(driver.Finished()) << driver.Report() << "the library's template, not the program's 100";
    const testsupport::SeenDialog& seen = driver.Last();
    EXPECT_EQ(seen.owner, parent);
    EXPECT_EQ(seen.texts.at(1013), title) << "the ampersand kept";
    EXPECT_GT(boldInk, normalInk);
    EXPECT_GT(productInk, (normalInk + boldInk) / 2) << "bold: " << boldInk << ", normal: " << normalInk;
    EXPECT_GT(linkBlue, 10) << "the web-site link in link colour";
    main.DestroyWindow();

    // A hundred boxes leave no GDI objects behind.
    auto about = [] {
        testsupport::DialogDriver box;
        box.AnswerOthers(IDOK);
        TMXGUIUtils::About(L"Quorla", nullptr);
        return box.Count();
    };
    EXPECT_EQ(about(), 1); // fills the system's caches
    const int before = testsupport::GdiObjectCount();
    if (before < 0) GTEST_SKIP() << "no GDI handle table";
    for (int i = 0; i < 100; ++i)
        about();
    EXPECT_EQ(testsupport::GdiObjectCount(), before);
}

} // namespace
