// TMXRegistry against the real registry, in a private key per run that is
// deleted afterwards: stored encodings read back raw, values written by other
// programs or damaged, key selection and deletion.
#include <TMXRegistry.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

template <class T> Bytes BytesOf(const T& value) {
    Bytes b(sizeof value);
    std::memcpy(b.data(), &value, sizeof value);
    return b;
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = L"Software\\Quorla Tests\\Registry " + std::to_wstring(GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, base_.c_str());
        ASSERT_TRUE(reg.SetKey(base_.c_str(), 1));
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, base_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Quorla Tests");
    }

    CString Path(const wchar_t* sub = nullptr) const {
        return CString((base_ + (sub ? std::wstring(L"\\") + sub : L"")).c_str());
    }

    // The stored value as the registry has it.
    struct Raw {
        DWORD type = 0;
        Bytes data;
        bool found = false;
    };
    Raw ReadRaw(const wchar_t* name, const wchar_t* sub = nullptr) const {
        Raw raw;
        DWORD size = 0;
        CString path = Path(sub);
        if (RegGetValueW(HKEY_CURRENT_USER, path, name, RRF_RT_ANY | RRF_NOEXPAND, &raw.type,
                         nullptr, &size) != ERROR_SUCCESS)
            return raw;
        raw.data.resize(size);
        raw.found = RegGetValueW(HKEY_CURRENT_USER, path, name, RRF_RT_ANY | RRF_NOEXPAND,
                                 &raw.type, raw.data.data(), &size) == ERROR_SUCCESS;
        raw.data.resize(size);
        return raw;
    }
    void WriteRaw(const wchar_t* name, DWORD type, const Bytes& data) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, Path(), name, type, data.data(),
                                  static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
    }
    bool KeyThere(const wchar_t* sub) const {
        HKEY key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, Path(sub), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    std::wstring base_;
    TMXRegistry reg;
};

TEST_F(Registry, EachKindIsStoredInItsEncoding) {
    CPoint point(-3, 7);
    CSize size(640, -480);
    CRect rect(1, -2, 300, 400);
    LOGFONTW lf{};
    lf.lfHeight = -13;
    lf.lfWeight = FW_BOLD;
    wcscpy(lf.lfFaceName, L"Tahoma");
    CFont font;
    ASSERT_TRUE(font.CreateFontIndirect(&lf));
    LOGFONTW stored{};
    ASSERT_EQ(font.GetLogFont(&stored), 92);
    COleDateTime when(2026, 12, 9, 18, 30, 15);

    struct Case {
        const wchar_t* name;
        std::function<int()> write;
        DWORD type;
        Bytes data;
    };
    const Case cases[] = {
        {L"int", [&] { return reg.WriteInt(L"int", -5); }, REG_BINARY, BytesOf(-5)},
        {L"bool", [&] { return reg.WriteBool(L"bool", 5); }, REG_BINARY, BytesOf(5)},
        {L"dword", [&] { return reg.WriteDword(L"dword", 0xFFFFFFFFul); }, REG_BINARY,
         BytesOf(0xFFFFFFFFu)},
        {L"color", [&] { return reg.WriteColor(L"color", RGB(1, 2, 3)); }, REG_BINARY,
         Bytes{1, 2, 3, 0}},
        {L"float", [&] { return reg.WriteFloat(L"float", 0.1); }, REG_BINARY, BytesOf(0.1)},
        {L"date", [&] { return reg.WriteDateTime(L"date", when); }, REG_BINARY,
         Concat(BytesOf(when.m_dt), BytesOf(0))},
        {L"string", [&] { return reg.WriteString(L"string", L"Zoë"); }, REG_SZ,
         Bytes{'Z', 0, 'o', 0, 0xEB, 0, 0, 0}},
        {L"empty", [&] { return reg.WriteString(L"empty", L""); }, REG_SZ, Bytes{0, 0}},
        {L"font", [&] { return reg.WriteFont(L"font", &font); }, REG_BINARY, BytesOf(stored)},
        {L"point", [&] { return reg.WritePoint(L"point", &point); }, REG_BINARY,
         Concat(BytesOf(-3), BytesOf(7))},
        {L"size", [&] { return reg.WriteSize(L"size", &size); }, REG_BINARY,
         Concat(BytesOf(640), BytesOf(-480))},
        {L"rect", [&] { return reg.WriteRect(L"rect", &rect); }, REG_BINARY,
         Concat(Concat(BytesOf(1), BytesOf(-2)), Concat(BytesOf(300), BytesOf(400)))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << c.name);
        EXPECT_EQ(c.write(), 1);
        Raw raw = ReadRaw(c.name);
        EXPECT_EQ(raw.type, c.type);
        EXPECT_EQ(raw.data, c.data);
        EXPECT_EQ(reg.GetDataType(c.name), c.type);
        EXPECT_EQ(reg.GetDataSize(c.name), static_cast<int>(c.data.size()));
    }

    // And each reads back as it was written.
    EXPECT_EQ(reg.ReadInt(L"int", 0), -5);
    EXPECT_EQ(reg.ReadBool(L"bool", 0), 5) << "flags are not reduced to 0 or 1";
    EXPECT_EQ(reg.ReadDword(L"dword", 0), 0xFFFFFFFFul);
    EXPECT_EQ(reg.ReadColor(L"color", 0), RGB(1, 2, 3));
    EXPECT_EQ(reg.ReadFloat(L"float", 0), 0.1);
    COleDateTime back = reg.ReadDateTime(L"date", COleDateTime());
    EXPECT_EQ(back.m_dt, when.m_dt);
    EXPECT_EQ(back.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(std::wstring(reg.ReadString(L"string", L"x")), L"Zoë");
    EXPECT_EQ(std::wstring(reg.ReadString(L"empty", L"x")), L"");
    CPoint p;
    CSize s;
    CRect r;
    EXPECT_TRUE(reg.ReadPoint(L"point", &p) && p == point);
    EXPECT_TRUE(reg.ReadSize(L"size", &s) && s == size);
    EXPECT_TRUE(reg.ReadRect(L"rect", &r) && r == rect);

    // The font comes back as a new handle; the old one is detached, not deleted.
    CFont readFont;
    ASSERT_TRUE(readFont.CreatePointFont(80, L"Arial"));
    HGDIOBJ former = readFont.m_hObject;
    EXPECT_EQ(reg.ReadFont(L"font", &readFont), 1);
    EXPECT_NE(readFont.m_hObject, former);
    EXPECT_EQ(GetObjectType(former), static_cast<DWORD>(OBJ_FONT)) << "former handle deleted";
    DeleteObject(former);
    LOGFONTW readBack{};
    readFont.GetLogFont(&readBack);
    EXPECT_EQ(readBack.lfHeight, -13);
    EXPECT_EQ(readBack.lfWeight, FW_BOLD);
    EXPECT_STREQ(readBack.lfFaceName, L"Tahoma");
    EXPECT_EQ(reg.GetValueCount(), 12);
}

// Values that other programs wrote, or that were damaged: a read gives the
// default (or 0) and leaves the caller's object untouched unless the data is
// exactly of its kind.
TEST_F(Registry, ForeignAndDamagedValues) {
    WriteRaw(L"dword", REG_DWORD, BytesOf(7));
    WriteRaw(L"eight", REG_BINARY, BytesOf(1.5));
    WriteRaw(L"two", REG_BINARY, Bytes{1, 2});
    WriteRaw(L"twenty", REG_BINARY, Bytes(20, 1));
    WriteRaw(L"empty", REG_BINARY, Bytes{});
    WriteRaw(L"status7", REG_BINARY, Concat(BytesOf(45000.5), BytesOf(7)));
    WriteRaw(L"nan", REG_BINARY, Concat(BytesOf(std::nan("")), BytesOf(0)));
    WriteRaw(L"year10000", REG_BINARY, Concat(BytesOf(2958466.5), BytesOf(0)));
    WriteRaw(L"nullDate", REG_BINARY, Concat(BytesOf(0.0), BytesOf(2)));
    WriteRaw(L"noNul", REG_SZ, Bytes{'a', 0, 'b', 0, 'c', 0});
    WriteRaw(L"odd", REG_SZ, Bytes{'a', 0, 'b', 0, 'c'}); // half a character at the end
    WriteRaw(L"expand", REG_EXPAND_SZ, Bytes{'%', 0, 'P', 0, '%', 0, 0, 0});
    WriteRaw(L"binary", REG_BINARY, Bytes{'a', 0, 0, 0});
    WriteRaw(L"shortFont", REG_BINARY, Bytes(60, 0));

    struct IntCase {
        const wchar_t* name;
        int expected;
    };
    for (IntCase c : {IntCase{L"dword", 7}, {L"eight", -1}, {L"two", -1}, {L"empty", -1},
                      {L"missing", -1}}) {
        SCOPED_TRACE(testing::Message() << c.name);
        EXPECT_EQ(reg.ReadInt(c.name, -1), c.expected);
        EXPECT_EQ(reg.ReadBool(c.name, -1), c.expected);
        EXPECT_EQ(static_cast<int>(reg.ReadDword(c.name, 0xFFFFFFFFul)), c.expected);
        EXPECT_EQ(static_cast<int>(reg.ReadColor(c.name, 0xFFFFFFFFul)), c.expected);
    }
    EXPECT_EQ(reg.ReadFloat(L"two", 2.5), 2.5);
    EXPECT_EQ(reg.ReadFloat(L"eight", 2.5), 1.5);

    CPoint point(11, 12);
    CSize size(13, 14);
    CRect rect(1, 2, 3, 4);
    EXPECT_EQ(reg.ReadPoint(L"two", &point), 0);
    EXPECT_EQ(reg.ReadSize(L"dword", &size), 0);
    EXPECT_EQ(reg.ReadRect(L"twenty", &rect), 0);
    EXPECT_EQ(reg.ReadRect(L"eight", &rect), 0);
    EXPECT_EQ(point, CPoint(11, 12));
    EXPECT_EQ(size, CSize(13, 14));
    EXPECT_EQ(rect, CRect(1, 2, 3, 4));
    EXPECT_EQ(reg.ReadPoint(L"eight", nullptr), 0);

    const COleDateTime fallback(2000, 1, 1, 0, 0, 0);
    for (const wchar_t* name : {L"status7", L"nan", L"year10000", L"eight"})
        EXPECT_EQ(reg.ReadDateTime(name, fallback).m_dt, fallback.m_dt)
            << name;
    EXPECT_EQ(reg.ReadDateTime(L"nullDate", fallback).GetStatus(), COleDateTime::null);

    auto text = [&](const wchar_t* name) {
        return std::wstring(reg.ReadString(name, L"default"));
    };
    EXPECT_EQ(text(L"noNul"), L"abc");
    EXPECT_EQ(text(L"odd"), L"ab");
    EXPECT_EQ(text(L"expand"), L"%P%") << "not expanded";
    EXPECT_EQ(text(L"binary"), L"default");
    EXPECT_EQ(text(L"missing"), L"default");

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(80, L"Arial"));
    HGDIOBJ handle = font.m_hObject;
    EXPECT_EQ(reg.ReadFont(L"shortFont", &font), 0);
    EXPECT_EQ(reg.ReadFont(L"shortFont", nullptr), 0);
    EXPECT_EQ(font.m_hObject, handle);

    // A long string both ways.
    std::wstring longText(100000, L'x');
    for (size_t i = 0; i < longText.size(); i += 97)
        longText[i] = static_cast<wchar_t>(L'a' + i % 26);
    EXPECT_EQ(reg.WriteString(L"long", longText.c_str()), 1);
    EXPECT_EQ(std::wstring(reg.ReadString(L"long", L"")), longText);
}

TEST_F(Registry, FontsThatCannotBeReadAreNotWritten) {
    CFont none;
    EXPECT_EQ(reg.WriteFont(L"font", &none), 0);
    EXPECT_EQ(reg.WriteFont(L"font", nullptr), 0);
    CPoint* noPoint = nullptr;
    EXPECT_EQ(reg.WritePoint(L"point", noPoint), 0);
    EXPECT_EQ(reg.GetValueCount(), 0) << "nothing stored";
}

TEST_F(Registry, KeySelection) {
    // With create 0 a missing key is refused and the path stays.
    EXPECT_EQ(reg.SetKey(Path(L"a\\b\\c"), 0), 0);
    EXPECT_EQ(reg.GetCurrentPath(), Path());
    // With create 1 the whole chain is made.
    EXPECT_EQ(reg.SetKey(Path(L"a\\b\\c"), 1), 1);
    EXPECT_TRUE(KeyThere(L"a\\b\\c"));
    EXPECT_EQ(reg.GetCurrentPath(), Path(L"a\\b\\c"));
    EXPECT_EQ(reg.CreateKey(Path(L"d")), 1);
    EXPECT_EQ(reg.GetCurrentPath(), Path(L"d"));

    // Copies are independent values.
    TMXRegistry copy(reg);
    EXPECT_EQ(copy.WriteInt(L"v", 9), 1);
    EXPECT_EQ(reg.ReadInt(L"v", 0), 9);
    EXPECT_EQ(copy.SetKey(Path(L"a"), 0), 1);
    EXPECT_EQ(reg.GetCurrentPath(), Path(L"d"));
    TMXRegistry assigned;
    assigned = copy;
    EXPECT_EQ(assigned.GetCurrentPath(), Path(L"a"));

    // Root keys: only the four predefined ones.
    EXPECT_EQ(reg.SetRootKey(reinterpret_cast<HKEY>(0x80000004)), 0);
    EXPECT_EQ(reg.SetRootKey(reinterpret_cast<HKEY>(0x1234)), 0);
    EXPECT_EQ(reg.GetRootKey(), HKEY_CURRENT_USER);
    EXPECT_EQ(reg.SetRootKey(HKEY_LOCAL_MACHINE), 1);
    EXPECT_EQ(reg.GetCurrentPath(), Path(L"d")) << "the path stays";

    // ClearKey forgets the selection and touches nothing.
    EXPECT_EQ(reg.ClearKey(), 1);
    EXPECT_EQ(reg.GetRootKey(), HKEY_CURRENT_USER);
    EXPECT_EQ(reg.PathIsValid(), 0);
    EXPECT_TRUE(KeyThere(L"d"));
    EXPECT_TRUE(KeyThere(L"a\\b\\c"));

    // An empty path selects the root key: values go straight into it.
    EXPECT_EQ(reg.SetKey(L"", 1), 1);
    const CString name = CString(L"Quorla registry test ") + Path().Mid(Path().ReverseFind(L' ') + 1);
    EXPECT_EQ(reg.WriteInt(name, 3), 1);
    EXPECT_EQ(reg.ReadInt(name, 0), 3);
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExW(HKEY_CURRENT_USER, name, nullptr, &type, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(reg.DeleteValue(name), 1);
    EXPECT_EQ(reg.DeleteValue(name), 0);
}

TEST_F(Registry, KeysThatCannotBeCreatedLeaveThePath) {
    // Under a volatile key the system creates no lasting key.
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Path(L"volatile"), 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(reg.SetKey(Path(L"volatile\\child"), 1), 0);
    EXPECT_EQ(reg.CreateKey(Path(L"volatile\\child")), 0);
    EXPECT_EQ(reg.GetCurrentPath(), Path());
    EXPECT_FALSE(KeyThere(L"volatile\\child"));
}

TEST_F(Registry, DeletingKeysAndValues) {
    ASSERT_TRUE(reg.SetKey(Path(L"parent\\child"), 1));
    EXPECT_EQ(reg.DeleteKey(Path(L"nothing here")), 1) << "a missing key counts as deleted";
    EXPECT_EQ(reg.DeleteKey(Path(L"parent")), 0) << "a key with sub-keys stays";
    EXPECT_TRUE(KeyThere(L"parent\\child"));
    EXPECT_EQ(reg.DeleteKey(L""), 0) << "the root key is never deleted";
    EXPECT_EQ(reg.KeyExists(Path(L"parent")), 1);
    EXPECT_EQ(reg.KeyExists(L"child", HKEY_CURRENT_USER), 0);

    // Writing into a key deleted since it was selected creates nothing.
    EXPECT_EQ(reg.DeleteKey(Path(L"parent\\child")), 1);
    EXPECT_EQ(reg.WriteInt(L"v", 1), 0);
    EXPECT_EQ(reg.WriteString(L"s", L"x"), 0);
    EXPECT_FALSE(KeyThere(L"parent\\child"));
    EXPECT_EQ(reg.GetSubKeyCount(), -1);
    EXPECT_EQ(reg.GetValueCount(), -1);
    EXPECT_EQ(reg.GetDataType(L"v"), 0ul);
    EXPECT_EQ(reg.GetDataSize(L"v"), -1);
    EXPECT_EQ(reg.ReadInt(L"v", 42), 42);

    ASSERT_TRUE(reg.SetKey(Path(L"parent"), 0));
    EXPECT_EQ(reg.GetSubKeyCount(), 0);
    EXPECT_EQ(reg.WriteInt(L"old", 17), 1);
    EXPECT_EQ(reg.WriteInt(L"taken", 1), 1);
    EXPECT_EQ(reg.ValueExists(L"old"), 1);
    reg.RenameValue(L"old", L"taken");
    EXPECT_EQ(reg.ReadInt(L"taken", 0), 1) << "a rename never overwrites";
    reg.RenameValue(L"old", L"new");
    EXPECT_EQ(reg.ValueExists(L"old"), 0);
    EXPECT_EQ(reg.ReadInt(L"new", 0), 17);
    EXPECT_EQ(ReadRaw(L"new", L"parent").type, static_cast<DWORD>(REG_BINARY));
}

} // namespace
