// Quorla.dll's resources: the options dialog template found through the
// framework while the add-in runs, whatever the program has, and the
// module's version record.
#include "QuorlaExports.h"

#include <framework.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr UINT kOptionsDialog = 17768;
LPCWSTR const kDlgInit = MAKEINTRESOURCEW(240);

class AddinResources : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryW(L"Quorla.dll");
        ASSERT_NE(module, nullptr);
        find = reinterpret_cast<QuorlaFindResourceFn>(
            reinterpret_cast<void*>(GetProcAddress(module, QUORLA_FINDRESOURCE_EXPORT)));
        ASSERT_NE(find, nullptr);
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }
    HMODULE module = nullptr;
    QuorlaFindResourceFn find = nullptr;
};

std::wstring Text(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetWindowTextW(hwnd, buffer, 256);
    return buffer;
}

// One control of a dialog template, as the template states it.
struct Item {
    WORD id;
    std::wstring cls; // class name, or "#128"... for the predefined class atoms
    std::wstring text;
    DWORD style;
    short x, y, cx, cy;
};

struct Template {
    DWORD style = 0;
    short cx = 0, cy = 0;
    std::wstring title, font;
    WORD pointSize = 0;
    std::vector<Item> items;
};

// Reads an extended dialog template (DLGTEMPLATEEX and its items).
class TemplateReader {
public:
    TemplateReader(const BYTE* data, DWORD size) : p_(data), end_(data + size) {}

    bool Read(Template* t) {
        WORD version = Word(), signature = Word();
        if (version != 1 || signature != 0xFFFF) return false;
        Dword(); // help id
        Dword(); // extended style
        t->style = Dword();
        WORD count = Word();
        Word(); // x
        Word(); // y
        t->cx = static_cast<short>(Word());
        t->cy = static_cast<short>(Word());
        NameOrOrdinal(); // menu
        NameOrOrdinal(); // class
        t->title = String();
        if (t->style & DS_SETFONT) {
            t->pointSize = Word();
            Word();  // weight
            p_ += 2; // italic, character set
            t->font = String();
        }
        for (WORD i = 0; i < count && ok_; ++i) {
            Align();
            Item item{};
            Dword(); // help id
            Dword(); // extended style
            item.style = Dword();
            item.x = static_cast<short>(Word());
            item.y = static_cast<short>(Word());
            item.cx = static_cast<short>(Word());
            item.cy = static_cast<short>(Word());
            item.id = static_cast<WORD>(Dword());
            item.cls = NameOrOrdinal();
            item.text = NameOrOrdinal();
            p_ += Word(); // creation data
            t->items.push_back(item);
        }
        return ok_;
    }

private:
    WORD Word() {
        if (end_ - p_ < 2) return ok_ = false, 0;
        WORD w;
        std::memcpy(&w, p_, 2);
        p_ += 2;
        return w;
    }
    DWORD Dword() {
        DWORD low = Word();
        return low | (static_cast<DWORD>(Word()) << 16);
    }
    std::wstring String() {
        std::wstring s;
        for (WORD c = Word(); ok_ && c; c = Word())
            s += static_cast<wchar_t>(c);
        return s;
    }
    std::wstring NameOrOrdinal() {
        WORD first = Word();
        if (first == 0) return L"";
        if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
        return static_cast<wchar_t>(first) + String();
    }
    void Align() {
        while (reinterpret_cast<UINT_PTR>(p_) % 4)
            ++p_;
    }
    const BYTE* p_;
    const BYTE* end_;
    bool ok_ = true;
};

// The predefined class atom for a class the template names by its name.
std::wstring Atom(const std::wstring& cls) {
    const std::pair<const wchar_t*, const wchar_t*> atoms[] = {
        {L"button", L"#128"}, {L"static", L"#130"}, {L"combobox", L"#133"}};
    for (const auto& [name, atom] : atoms)
        if (_wcsicmp(cls.c_str(), name) == 0) return atom;
    return cls;
}

} // namespace

TEST_F(AddinResources, TheAddinFindsItsOwnOptionsTemplateWhileItRuns) {
    HMODULE program = GetModuleHandleW(nullptr);
    EXPECT_EQ(find(MAKEINTRESOURCEW(kOptionsDialog), RT_DIALOG), module);
    EXPECT_EQ(find(MAKEINTRESOURCEW(kOptionsDialog), kDlgInit), module);
    EXPECT_EQ(AfxGetModuleState(), AfxGetAppModuleState()) << "the export restored the state";

    // The program finds its own template first, the add-in's list data through the chain.
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEW(kOptionsDialog), RT_DIALOG), program);
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEW(kOptionsDialog), kDlgInit), module);

    FreeLibrary(module);
    module = nullptr;
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEW(kOptionsDialog), kDlgInit), program)
        << "unloaded, the add-in has left the resource chain";
}

TEST_F(AddinResources, TheOptionsTemplateIsAsDesigned) {
    HMODULE found = find(MAKEINTRESOURCEW(kOptionsDialog), RT_DIALOG);
    ASSERT_EQ(found, module);
    HRSRC res = FindResourceW(found, MAKEINTRESOURCEW(kOptionsDialog), RT_DIALOG);
    ASSERT_NE(res, nullptr);
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(found, res)));
    Template t;
    ASSERT_TRUE(TemplateReader(data, SizeofResource(found, res)).Read(&t));

    EXPECT_EQ(t.title, L"Quorla for SolidWorks Options");
    EXPECT_EQ(t.font, L"MS Sans Serif");
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.cx, 204);
    EXPECT_EQ(t.cy, 161);
    const DWORD frame = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(t.style & frame, frame);

    // Every control: WS_CHILD | WS_VISIBLE and exactly these styles.
    const DWORD group = WS_GROUP, tab = WS_TABSTOP;
    const std::wstring button = L"#128", statics = L"#130", combo = L"#133";
    const std::vector<Item> expected = {
        {0xFFFF, statics, L"Import curves as", SS_LEFT | group, 7, 7, 53, 8},
        {1022, button, L"3D Sketch in a part document", BS_AUTORADIOBUTTON | group, 65, 7, 111, 10},
        {1023, button, L"3D Sketch in an assembly document", BS_AUTORADIOBUTTON, 65, 21, 131, 10},
        {1032, button, L"2D Curves in a drawing document", BS_AUTORADIOBUTTON, 65, 35, 123, 10},
        {0xFFFF, statics, L"Import meshes as", SS_LEFT | group, 7, 49, 56, 8},
        {1034, button, L"Solid in a part document", BS_AUTORADIOBUTTON | group, 65, 49, 92, 10},
        {1035, button, L"3D Sketch in a part document", BS_AUTORADIOBUTTON, 65, 63, 111, 10},
        {1036, button, L"Create multibody part (in case of multiple meshes)",
         BS_AUTOCHECKBOX | group | tab, 7, 79, 170, 10},
        {0xFFFF, statics, L"Units", SS_LEFT | group, 7, 96, 17, 8},
        {1024, combo, L"", CBS_DROPDOWNLIST | WS_VSCROLL, 65, 94, 61, 94},
        {1027, button, L"Show progress", BS_AUTOCHECKBOX | tab, 7, 113, 63, 10},
        {0xFFFF, statics, L"", SS_ETCHEDHORZ, 7, 130, 189, 1},
        {IDOK, button, L"&OK", BS_DEFPUSHBUTTON | tab, 48, 140, 50, 14},
        {IDCANCEL, button, L"&Cancel", BS_PUSHBUTTON | tab, 106, 140, 50, 14},
    };
    ASSERT_EQ(t.items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Item& want = expected[i];
        const Item& got = t.items[i];
        SCOPED_TRACE("control " + std::to_string(i) + " (id " + std::to_string(want.id) + ")");
        EXPECT_EQ(got.id, want.id);
        // The class by atom or by name, whichever the resource compiler wrote.
        bool sameClass = Atom(got.cls) == want.cls;
        EXPECT_TRUE(sameClass) << std::string(got.cls.begin(), got.cls.end());
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.style, want.style | WS_CHILD | WS_VISIBLE) << std::hex << got.style;
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
    }
}

TEST_F(AddinResources, TheOptionsDialogIsBuiltFromTheAddinsTemplate) {
    AFX_MANAGE_STATE(AfxGetModuleStateOf(module)); // as the add-in's commands run
    CDialog dlg(kOptionsDialog);
    ASSERT_TRUE(dlg.Create(kOptionsDialog));
    HWND hwnd = dlg.m_hWnd;
    EXPECT_EQ(Text(hwnd), L"Quorla for SolidWorks Options") << "not the program's template";

    // The unit list's items from the template's initial data, unsorted, none selected.
    HWND units = GetDlgItem(hwnd, 1024);
    std::vector<std::wstring> items;
    for (LRESULT i = 0, n = SendMessageW(units, CB_GETCOUNT, 0, 0); i < n; ++i) {
        wchar_t item[64] = {};
        SendMessageW(units, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        items.push_back(item);
    }
    EXPECT_EQ(items, (std::vector<std::wstring>{L"Millimeters", L"Centimeters", L"Meters",
                                                L"Inches", L"Feet"}));
    EXPECT_EQ(SendMessageW(units, CB_GETCURSEL, 0, 0), CB_ERR);
    dlg.DestroyWindow();
}

TEST_F(AddinResources, TheVersionRecordIsOurs) {
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(module, path, MAX_PATH), 0u);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    const std::pair<const wchar_t*, const wchar_t*> strings[] = {
        {L"CompanyName", L"Tamrix"},  {L"ProductName", L"Quorla for SolidWorks"},
        {L"FileVersion", L"1.0.0.0"}, {L"ProductVersion", L"1.0.0.0"},
        {L"InternalName", L"Quorla"}, {L"OriginalFilename", L"Quorla.dll"},
    };
    for (const auto& [name, value] : strings) {
        std::wstring key = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
        wchar_t* text = nullptr;
        ASSERT_TRUE(
            VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&text), &length))
            << "no " << std::string(key.begin(), key.end());
        EXPECT_STREQ(text, value);
    }
}
