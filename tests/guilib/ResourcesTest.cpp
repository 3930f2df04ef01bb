// TMXUI's resources as they are stored in the DLL: dialog templates (ids,
// sizes, fonts, controls), the combo box data, the bitmap and the version record.
#include "GuiTestSupport.h"

#include <TMXProgress.h>

#include <gtest/gtest.h>

#include <cstring>
#include <cwctype>
#include <map>
#include <sstream>

namespace {

HMODULE Library() {
    return GetModuleHandleW(L"TMXUI.dll");
}

const BYTE* FindData(LPCWSTR name, LPCWSTR type, DWORD* size) {
    HRSRC res = FindResourceW(Library(), name, type);
    if (!res) return nullptr;
    *size = SizeofResource(Library(), res);
    return static_cast<const BYTE*>(LockResource(LoadResource(Library(), res)));
}

// Reader of an extended dialog template.
class TemplateReader {
public:
    TemplateReader(const BYTE* p, DWORD size) : m_p(p), m_end(p + size) {}
    WORD Word() {
        WORD v = 0;
        Copy(&v, 2);
        return v;
    }
    DWORD Dword() {
        DWORD v = 0;
        Copy(&v, 4);
        return v;
    }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() {
        BYTE v = 0;
        Copy(&v, 1);
        return v;
    }
    // A string or an ordinal (written "#n").
    std::wstring SzOrOrd() {
        WORD first = Word();
        if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
        std::wstring s;
        for (WORD c = first; c; c = Word())
            s += static_cast<wchar_t>(c);
        return s;
    }
    void AlignDword(const BYTE* base) {
        while ((m_p - base) % 4)
            ++m_p;
    }
    void Skip(size_t n) { m_p += n; }
    bool Ok() const { return m_p <= m_end; }

private:
    void Copy(void* out, size_t n) {
        if (m_p + n <= m_end) std::memcpy(out, m_p, n);
        m_p += n;
    }
    const BYTE* m_p;
    const BYTE* m_end;
};

struct Control {
    int id;
    int x, y, cx, cy;
    std::wstring cls;
    std::wstring text;
    DWORD style;
};

struct Dialog {
    int cx = 0, cy = 0;
    DWORD style = 0;
    std::wstring caption, font;
    int points = 0;
    std::vector<Control> controls;
};

bool ReadDialog(int id, Dialog& d) {
    DWORD size = 0;
    const BYTE* base = FindData(MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5), &size);
    if (!base) return false;
    TemplateReader r(base, size);
    if (r.Word() != 1 || r.Word() != 0xFFFF) return false; // DLGTEMPLATEEX
    r.Dword();                                             // help id
    r.Dword();                                             // extended style
    d.style = r.Dword();
    int count = r.Word();
    r.Short(), r.Short();
    d.cx = r.Short(), d.cy = r.Short();
    r.SzOrOrd(); // menu
    r.SzOrOrd(); // class
    d.caption = r.SzOrOrd();
    if (d.style & DS_SETFONT) {
        d.points = r.Word();
        r.Word(), r.Byte(), r.Byte();
        d.font = r.SzOrOrd();
    }
    for (int i = 0; i < count; ++i) {
        r.AlignDword(base);
        Control c{};
        r.Dword(); // help id
        r.Dword(); // extended style
        c.style = r.Dword();
        c.x = r.Short(), c.y = r.Short(), c.cx = r.Short(), c.cy = r.Short();
        c.id = static_cast<int>(static_cast<short>(r.Dword()));
        c.cls = r.SzOrOrd();
        c.text = r.SzOrOrd();
        r.Skip(r.Word());
        d.controls.push_back(c);
    }
    return r.Ok();
}

// Class of a template item, as one name: the predefined ordinals and their
// names compare equal, case does not matter.
std::wstring ClassKey(const std::wstring& cls) {
    static const std::map<std::wstring, std::wstring> ordinals = {
        {L"#128", L"button"},  {L"#129", L"edit"},      {L"#130", L"static"},
        {L"#131", L"listbox"}, {L"#132", L"scrollbar"}, {L"#133", L"combobox"}};
    auto it = ordinals.find(cls);
    if (it != ordinals.end()) return it->second;
    std::wstring lower = cls;
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(towlower(c));
    return lower;
}

const Control* FindControl(const Dialog& d, int id, int x, int y) {
    for (const Control& c : d.controls)
        if (c.id == id && c.x == x && c.y == y) return &c;
    return nullptr;
}

// Expected control: id (-1 for unnamed), position and, where it is fixed, size and text.
struct Expect {
    int id, x, y, cx, cy;
    const wchar_t* cls;  // "#128" button, "#129" edit, "#130" static, "#133" combo box
    const wchar_t* text; // nullptr: not checked
};

struct DialogCase {
    int id;
    int cx, cy;
    const wchar_t* caption; // nullptr: not checked
    bool sysMenu;
    std::vector<Expect> controls;
};

class LibraryDialogs : public ::testing::TestWithParam<DialogCase> {};

TEST_P(LibraryDialogs, TemplateHasItsSizeFontAndControls) {
    const DialogCase& e = GetParam();
    Dialog d;
    ASSERT_TRUE(ReadDialog(e.id, d)) << "dialog " << e.id << " missing or malformed";
    EXPECT_EQ(d.cx, e.cx);
    EXPECT_EQ(d.cy, e.cy);
    EXPECT_EQ(d.font, L"MS Sans Serif");
    EXPECT_EQ(d.points, 8);
    if (e.caption) {
        EXPECT_EQ(d.caption, e.caption);
    }
    EXPECT_EQ((d.style & WS_SYSMENU) != 0, e.sysMenu);
    EXPECT_TRUE(d.style & WS_CAPTION);
    for (const Expect& x : e.controls) {
        const Control* c = FindControl(d, x.id, x.x, x.y);
        ASSERT_NE(c, nullptr) << "dialog " << e.id << ": no control " << x.id << " at (" << x.x
                              << ", " << x.y << ")";
        if (x.cx >= 0) {
            EXPECT_EQ(c->cx, x.cx) << "width of " << x.id << " in " << e.id;
        }
        if (x.cy >= 0) {
            EXPECT_EQ(c->cy, x.cy) << "height of " << x.id << " in " << e.id;
        }
        if (x.cls) {
            EXPECT_EQ(ClassKey(c->cls), ClassKey(x.cls)) << "class of " << x.id << " in " << e.id;
        }
        if (x.text) {
            EXPECT_EQ(c->text, x.text) << "text of " << x.id << " in " << e.id;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    All, LibraryDialogs,
    ::testing::Values(DialogCase{8001,
                                 249,
                                 42,
                                 L"Progress",
                                 false,
                                 {{8000, 7, 7, 235, 8, L"#130", L"Status"},
                                  {8001, 7, 21, 235, 14, L"msctls_progress32", nullptr}}},
                      DialogCase{100,
                                 277,
                                 260,
                                 nullptr,
                                 true,
                                 {{-1, 48, 7, 181, 64, L"#130", L"#22000"},
                                  {1013, 7, 80, 181, 8, L"#130", L"[Product Name] version 1.0.1"},
                                  {-1, 7, 92, -1, -1, L"#130", nullptr},
                                  {-1, 7, 104, -1, -1, L"#130", L"Web Site"},
                                  {1016, 41, 104, 78, 8, L"#130", nullptr},
                                  {-1, 7, 116, -1, -1, L"#130", L"E-Mail"},
                                  {1017, 41, 116, 58, 8, L"#130", nullptr},
                                  {-1, 7, 181, 262, 49, L"#128", nullptr},
                                  {1, 113, 239, 50, 14, L"#128", L"&OK"}}},
                      DialogCase{144,
                                 216,
                                 57,
                                 L"Coordinates",
                                 true,
                                 {{1006, 19, 7, 50, 12, L"#129", nullptr},
                                  {-1, 7, 9, -1, -1, L"#130", L"X"},
                                  {1007, 89, 7, 50, 12, L"#129", nullptr},
                                  {-1, 77, 9, -1, -1, L"#130", L"Y"},
                                  {1008, 159, 7, 50, 12, L"#129", nullptr},
                                  {-1, 147, 9, -1, -1, L"#130", L"Z"},
                                  {1, 54, 36, 50, 14, L"#128", L"&OK"},
                                  {2, 112, 36, 50, 14, L"#128", L"&Cancel"},
                                  {-1, 7, 27, 202, 1, L"#130", nullptr}}},
                      DialogCase{6006,
                                 258,
                                 57,
                                 L"Unit Converter",
                                 true,
                                 {{6006, 7, 7, 55, 12, L"#129", nullptr},
                                  {6005, 67, 7, 55, -1, L"#133", nullptr},
                                  {-1, 127, 9, -1, -1, L"#130", L"="},
                                  {6007, 136, 7, 55, 12, L"#129", nullptr},
                                  {6008, 196, 7, 55, -1, L"#133", nullptr},
                                  {1, 104, 36, 50, 14, L"#128", L"&Close"},
                                  {-1, 7, 27, 244, 1, L"#130", nullptr}}},
                      DialogCase{22001,
                                 157,
                                 57,
                                 L"Real Number",
                                 true,
                                 {{22001, 7, 9, 90, 8, L"#130", L"Prompt"},
                                  {22000, 100, 7, 50, 12, L"#129", nullptr},
                                  {1, 25, 36, 50, 14, L"#128", L"&OK"},
                                  {2, 83, 36, 50, 14, L"#128", L"&Cancel"},
                                  {-1, 7, 28, 143, 1, L"#130", nullptr}}}),
    [](const ::testing::TestParamInfo<DialogCase>& info) {
        return "Dialog" + std::to_string(info.param.id);
    });

TEST(LibraryDialogStyles, ProgressIsAVisibleCentredPopupAndTheReadOnlyResultIsReadOnly) {
    Dialog progress, units, about;
    ASSERT_TRUE(ReadDialog(8001, progress));
    EXPECT_TRUE(progress.style & WS_VISIBLE);
    EXPECT_TRUE(progress.style & DS_CENTER);
    EXPECT_TRUE(progress.style & DS_MODALFRAME);
    EXPECT_TRUE(progress.style & WS_POPUP);
    EXPECT_TRUE(progress.controls[1].style & WS_BORDER);
    ASSERT_TRUE(ReadDialog(6006, units));
    EXPECT_TRUE(FindControl(units, 6007, 136, 7)->style & ES_READONLY);
    EXPECT_EQ(FindControl(units, 6005, 67, 7)->style & (CBS_DROPDOWNLIST | CBS_SORT),
              DWORD(CBS_DROPDOWNLIST));
    EXPECT_EQ(FindControl(units, 6008, 196, 7)->style & (CBS_DROPDOWNLIST | CBS_SORT),
              DWORD(CBS_DROPDOWNLIST));
    ASSERT_TRUE(ReadDialog(100, about));
    EXPECT_TRUE(FindControl(about, 1013, 7, 80)->style & SS_NOPREFIX);
    EXPECT_EQ(FindControl(about, -1, 48, 7)->style & (SS_BITMAP | SS_SUNKEN),
              DWORD(SS_BITMAP | SS_SUNKEN));
    EXPECT_EQ(FindControl(about, 1, 113, 239)->style & 0xF, DWORD(BS_DEFPUSHBUTTON));
}

const wchar_t* const kUnits[] = {L"Microns",    L"Millimeters", L"Centimeters", L"Meters",
                                 L"Kilometers", L"Microinches", L"Mils",        L"Inches",
                                 L"Feet",       L"Miles"};

TEST(LibraryResources, UnitConverterComboDataListsTheTenUnitsInOrderForBothBoxes) {
    DWORD size = 0;
    const BYTE* p = FindData(MAKEINTRESOURCEW(6006), MAKEINTRESOURCEW(240), &size);
    ASSERT_NE(p, nullptr);
    const BYTE* end = p + size;
    std::map<int, std::vector<std::string>> items;
    while (end - p >= 2) {
        WORD id, msg;
        DWORD n;
        std::memcpy(&id, p, 2);
        if (!id) break;
        std::memcpy(&msg, p + 2, 2);
        std::memcpy(&n, p + 4, 4);
        p += 8;
        ASSERT_LE(n, static_cast<DWORD>(end - p));
        EXPECT_EQ(msg, 0x0403);
        items[id].push_back(std::string(reinterpret_cast<const char*>(p)));
        p += n;
    }
    for (int box : {6005, 6008}) {
        ASSERT_EQ(items[box].size(), 10u) << "combo box " << box;
        for (int i = 0; i < 10; ++i) {
            std::wstring w(items[box][i].begin(), items[box][i].end());
            EXPECT_EQ(w, kUnits[i]) << "combo box " << box << " item " << i;
        }
    }
}

TEST(LibraryResources, UnitConverterBuiltFromTheLibraryFillsItsCombos) {
    // Created under the library's module state, as its own entries will do.
    AFX_MANAGE_STATE(AfxGetModuleStateOf(Library()));
    CDialog dialog;
    ASSERT_TRUE(dialog.Create(6006u));
    for (int box : {6005, 6008}) {
        HWND combo = GetDlgItem(dialog.m_hWnd, box);
        ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 10);
        for (int i = 0; i < 10; ++i) {
            wchar_t text[64] = {};
            SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            EXPECT_STREQ(text, kUnits[i]) << "combo box " << box << " item " << i;
        }
    }
    dialog.DestroyWindow();
}

TEST(LibraryResources, AboutBitmapIs270By102With24Bits) {
    DWORD size = 0;
    const BYTE* p = FindData(MAKEINTRESOURCEW(22000), MAKEINTRESOURCEW(2), &size);
    ASSERT_NE(p, nullptr);
    ASSERT_GE(size, sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, p, sizeof header);
    EXPECT_EQ(header.biWidth, 270);
    EXPECT_EQ(header.biHeight, 102);
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_GE(size, sizeof header + 812u * 102u) << "pixel rows are missing";

    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(Library(), MAKEINTRESOURCEW(22000), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 270);
    EXPECT_EQ(info.bmHeight, 102);
    EXPECT_EQ(info.bmBitsPixel, 24);
    DeleteObject(bitmap);
}

std::wstring VersionString(const std::vector<BYTE>& data, const wchar_t* name) {
    wchar_t path[128];
    swprintf(path, 128, L"\\StringFileInfo\\040904b0\\%ls", name);
    LPVOID value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), path, &value, &length) || !value) return L"";
    return static_cast<const wchar_t*>(value);
}

TEST(LibraryResources, VersionRecordSays1060AndNamesMakerAndLibrary) {
    wchar_t path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(Library(), path, MAX_PATH), 0u);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<LPVOID*>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00060000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00060000u);
    EXPECT_EQ(VersionString(data, L"CompanyName"), L"Tamrix");
    EXPECT_EQ(VersionString(data, L"ProductName"), L"TMXUI");
    EXPECT_EQ(VersionString(data, L"FileVersion"), L"1.0.6.0");
    EXPECT_EQ(VersionString(data, L"OriginalFilename"), L"TMXUI.dll");
}

TEST(LibraryModule, HasItsOwnStateApplicationAndChainEntry) {
    AFX_MODULE_STATE* library = AfxGetModuleStateOf(Library());
    EXPECT_NE(library, AfxGetAppModuleState());
    EXPECT_TRUE(library->m_bDLL);
    EXPECT_TRUE(library->m_bInitialized);
    EXPECT_EQ(library->m_hCurrentResourceHandle, Library());
    ASSERT_NE(library->m_pCurrentWinApp, nullptr);
    EXPECT_NE(library->m_pCurrentWinApp, AfxGetApp())
        << "the library shares the program's application";
    // Under the program's state: its own 8001 first, the library's bitmap through the chain.
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEW(8001), MAKEINTRESOURCEW(5)),
              GetModuleHandleW(nullptr));
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEW(22000), MAKEINTRESOURCEW(2)), Library());
}

} // namespace
