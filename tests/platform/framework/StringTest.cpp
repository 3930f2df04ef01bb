// CString: sharing and copy on write, editing, searching, formatting, loading.
#include <framework.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

std::wstring S(const CString& s) {
    return std::wstring(s.GetString(), s.GetLength());
}

CString Fmt(LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    CString s;
    s.FormatV(format, args);
    va_end(args);
    return s;
}

TEST(StringSharing, CopiesShareOneBufferUntilOneIsChanged) {
    CString a(L"shared text");
    CString b = a;
    EXPECT_EQ(a.GetString(), b.GetString());
    EXPECT_EQ(a.GetRefCount(), 2);

    b += L"!";
    EXPECT_NE(a.GetString(), b.GetString());
    EXPECT_EQ(S(a), L"shared text");
    EXPECT_EQ(S(b), L"shared text!");
    EXPECT_EQ(a.GetRefCount(), 1);

    // Every kind of change unshares first.
    struct Change {
        const char* name;
        void (*apply)(CString&);
    } changes[] = {
        {"SetAt", [](CString& s) { s.SetAt(0, L'S'); }},
        {"MakeUpper", [](CString& s) { s.MakeUpper(); }},
        {"Replace", [](CString& s) { s.Replace(L'e', L'E'); }},
        {"GetBuffer",
         [](CString& s) {
             s.GetBuffer()[0] = L'X';
             s.ReleaseBuffer();
         }},
        {"Remove", [](CString& s) { s.Remove(L't'); }},
        {"Insert", [](CString& s) { s.Insert(0, L">"); }},
        {"MakeReverse", [](CString& s) { s.MakeReverse(); }},
    };
    for (const Change& c : changes) {
        CString original(L"shared text");
        CString copy = original;
        c.apply(copy);
        EXPECT_EQ(S(original), L"shared text") << c.name << " changed the copy's source";
        EXPECT_NE(S(copy), L"shared text") << c.name << " did nothing";
    }
}

TEST(StringSharing, EmptyStringsAndMoves) {
    CString empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.GetLength(), 0);
    ASSERT_NE(static_cast<LPCWSTR>(empty), nullptr);
    EXPECT_STREQ(empty, L"");
    EXPECT_EQ(CString(static_cast<LPCWSTR>(nullptr)).GetLength(), 0);

    CString a(L"moved");
    LPCWSTR buffer = a.GetString();
    CString b(std::move(a));
    EXPECT_EQ(b.GetString(), buffer);
    EXPECT_TRUE(a.IsEmpty()); // NOLINT: a moved-from string is empty

    b.Empty();
    EXPECT_TRUE(b.IsEmpty());
}

TEST(StringEditing, AppendingToItselfAndBuffers) {
    CString s(L"ab");
    s += s;
    EXPECT_EQ(S(s), L"abab");
    s.Append(s.GetString() + 1, 2); // a source inside the string's own buffer
    EXPECT_EQ(S(s), L"ababba");
    s = s.GetString() + 2; // assigning a tail of itself
    EXPECT_EQ(S(s), L"abba");

    CString b;
    wchar_t* p = b.GetBuffer(10);
    wcscpy(p, L"written");
    b.ReleaseBuffer();
    EXPECT_EQ(S(b), L"written");
    b.GetBufferSetLength(3);
    EXPECT_EQ(S(b), L"wri");

    EXPECT_EQ(S(CString(L"x") + L"y" + CString(L"z") + L'!'), L"xyz!");
    EXPECT_EQ(S(L"pre" + CString(L"fix")), L"prefix");
    EXPECT_EQ(S(CString('-', 3)), L"---");
    EXPECT_EQ(S(CString("narrow")), L"narrow");
    EXPECT_EQ(S(CString(L"abcdef", 3)), L"abc");
}

TEST(StringEditing, TrimReplaceInsertDelete) {
    CString s(L"  \t padded \n ");
    EXPECT_EQ(S(s.Trim()), L"padded");
    EXPECT_EQ(S(CString(L"xxaxx").Trim(L'x')), L"a");
    EXPECT_EQ(S(CString(L"..a,.").TrimRight(L".,")), L"..a");

    CString r(L"one two one");
    EXPECT_EQ(r.Replace(L"one", L"1"), 2);
    EXPECT_EQ(S(r), L"1 two 1");
    EXPECT_EQ(r.Replace(L"1", L""), 2);
    EXPECT_EQ(S(r), L" two ");
    EXPECT_EQ(r.Replace(L"missing", L"x"), 0);

    CString d(L"abcdef");
    EXPECT_EQ(d.Delete(1, 2), 4);
    EXPECT_EQ(S(d), L"adef");
    EXPECT_EQ(d.Delete(3, 100), 3);
    EXPECT_EQ(d.Insert(100, L"!"), 4);
    EXPECT_EQ(S(d), L"ade!");
    EXPECT_EQ(d.Remove(L'e'), 1);
    EXPECT_EQ(S(d), L"ad!");
    EXPECT_EQ(S(CString(L"MiXed").MakeLower()), L"mixed");
}

TEST(StringSearching, FindAndExtractWithClamping) {
    CString s(L"bracket.old.3dm");
    EXPECT_EQ(s.Find(L'.'), 7);
    EXPECT_EQ(s.Find(L'.', 8), 11);
    EXPECT_EQ(s.Find(L'q'), -1);
    EXPECT_EQ(s.Find(L"old"), 8);
    EXPECT_EQ(s.Find(L"old", 9), -1);
    EXPECT_EQ(s.Find(L"b", 100), -1);
    EXPECT_EQ(s.ReverseFind(L'.'), 11);
    EXPECT_EQ(s.FindOneOf(L"3d"), 10);
    EXPECT_EQ(s.FindOneOf(L"xyz"), -1);

    struct {
        CString got;
        const wchar_t* want;
    } cases[] = {
        {s.Left(7), L"bracket"},
        {s.Left(-1), L""},
        {s.Left(99), L"bracket.old.3dm"},
        {s.Mid(8), L"old.3dm"},
        {s.Mid(8, 3), L"old"},
        {s.Mid(-5, 2), L"br"},
        {s.Mid(99), L""},
        {s.Mid(12, 99), L"3dm"},
        {s.Right(3), L"3dm"},
        {s.Right(0), L""},
        {s.Right(99), L"bracket.old.3dm"},
        {s.SpanExcluding(L"."), L"bracket"},
        {s.SpanIncluding(L"abckr"), L"brack"},
    };
    for (auto& c : cases)
        EXPECT_EQ(S(c.got), c.want);
}

TEST(StringComparing, OrdinalAndCaseless) {
    CString a(L"apple"), b(L"banana");
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(b > a);
    EXPECT_TRUE(a == L"apple");
    EXPECT_TRUE(L"apple" == a);
    EXPECT_TRUE(a != b);
    EXPECT_TRUE(a <= CString(L"apple"));
    EXPECT_EQ(a.Compare(L"apple"), 0);
    EXPECT_LT(a.Compare(L"apples"), 0);
    EXPECT_EQ(a.CompareNoCase(L"APPLE"), 0);
    EXPECT_GT(CString(L"b").CompareNoCase(L"A"), 0);
    EXPECT_LT(CString(L"Z").Compare(L"a"), 0) << "ordinal: upper case sorts first";
}

TEST(StringFormat, ConversionsWidthsAndPrecisions) {
    struct {
        CString got;
        const wchar_t* want;
    } cases[] = {
        {Fmt(L"%d", -42), L"-42"},
        {Fmt(L"%5d|%-5d|%05d|%+d", 42, 42, 42, 42), L"   42|42   |00042|+42"},
        {Fmt(L"%i %u", 7, -1), L"7 4294967295"},
        {Fmt(L"%x %X %#x %08x", 255, 255, 255, 0xbeef), L"ff FF 0xff 0000beef"},
        {Fmt(L"%o", 8), L"10"},
        {Fmt(L"%f", 25.4), L"25.400000"},
        {Fmt(L"%.2f|%8.3f|%-8.1f|%08.3f", 3.14159, 3.14159, 2.5, -3.14159),
         L"3.14|   3.142|2.5     |-003.142"},
        {Fmt(L"%g %g %g %.3g", 0.0001, 1e20, 100000.0, 3.14159), L"0.0001 1e+20 100000 3.14"},
        {Fmt(L"%e", 1234.5), L"1.234500e+03"},
        {Fmt(L"%c%c %3c|%-3c|", L'O', L'K', L'x', L'y'), L"OK   x|y  |"},
        {Fmt(L"%s and %ls", L"wide", L"long"), L"wide and long"},
        {Fmt(L"%hs %S", "narrow", "also"), L"narrow also"},
        {Fmt(L"[%6s][%-6s][%.2s]", L"ab", L"ab", L"abcdef"), L"[    ab][ab    ][ab]"},
        {Fmt(L"%*d|%-*d|%.*f", 4, 7, 3, 7, 1, 2.26), L"   7|7  |2.3"},
        {Fmt(L"%d %% complete", 42), L"42 % complete"},
        {Fmt(L"100%%"), L"100%"},
        {Fmt(L"%lld %I64d %zu", LLONG_MIN, 1LL << 40, static_cast<size_t>(5)),
         L"-9223372036854775808 1099511627776 5"},
        {Fmt(L"%ld %hd %hhd", 70000L, 70000, 300), L"70000 4464 44"},
        {Fmt(L"%s", static_cast<LPCWSTR>(nullptr)), L"(null)"},
        {Fmt(L"no conversions"), L"no conversions"},
        {Fmt(L"%y stays"), L"%y stays"},
        {Fmt(L"unicode %s", L"\u00e9\u4e2d"), L"unicode \u00e9\u4e2d"},
    };
    int n = 0;
    for (auto& c : cases)
        EXPECT_EQ(S(c.got), c.want) << "case " << n++;

    // Output longer than any internal buffer.
    CString wide = Fmt(L"%300d|%s", 1, static_cast<LPCWSTR>(CString(L'z', 500)));
    EXPECT_EQ(wide.GetLength(), 300 + 1 + 500);
    EXPECT_EQ(wide[299], L'1');

    CString appended(L"a=");
    appended.AppendFormat(L"%d, b=%s", 1, L"two");
    EXPECT_EQ(S(appended), L"a=1, b=two");
    CString self(L"x");
    self.Format(L"%s%s", static_cast<LPCWSTR>(self), static_cast<LPCWSTR>(self));
    EXPECT_EQ(S(self), L"xx") << "formatting from its own text";
}

TEST(StringLoad, ResourcesOfTheProgram) {
    CString s;
    ASSERT_TRUE(s.LoadString(100));
    EXPECT_EQ(S(s), L"program's string");
    ASSERT_TRUE(s.LoadString(115));
    EXPECT_EQ(S(s), L"last of its block");
    ASSERT_TRUE(s.LoadString(116));
    EXPECT_EQ(S(s), L"first of the next block");
    EXPECT_FALSE(s.LoadString(999));
    EXPECT_EQ(S(s), L"first of the next block") << "a failed load keeps the text";
    EXPECT_EQ(S(CString(MAKEINTRESOURCEW(100))), L"program's string");
    CString f;
    f.Format(101u, 3, L"the box");
    EXPECT_EQ(S(f), L"3 items in the box");
}

} // namespace
