// The product title for every host version the table knows, the build-code
// ranges of the first major version and their bounds.
#include "AddinTestSupport.h"

#include <climits>

using cadhost::Op;

namespace {

struct TitleCase {
    std::wstring revision;
    long buildCode;
    const wchar_t* version; // the host version name in the title
    bool asksBuildCode;
};

std::string Narrow(const std::wstring& s) {
    return std::string(s.begin(), s.end());
}

} // namespace

TEST_F(AddinTest, ProductTitleNamesTheHostVersion) {
    const std::vector<TitleCase> cases = {
        // Majors 8 to 16 name themselves; the build code is not asked.
        {L"8.2", 0, L"SolidWorks 2000", false},
        {L"9.0", 0, L"SolidWorks 2001", false},
        {L"10.0", 0, L"SolidWorks 2001 Plus", false},
        {L"11.0", 0, L"SolidWorks 2003", false},
        {L"12.0", 0, L"SolidWorks 2004", false},
        {L"13.0", 0, L"SolidWorks 2005", false},
        {L"14.0", 0, L"SolidWorks 2006", false},
        {L"15.1", 0, L"SolidWorks 2007", false},
        {L"16.0.0", 0, L"SolidWorks 2008", false},
        // Outside the table.
        {L"17.0", 0, L"SolidWorks ????", false},
        {L"7.0", 0, L"SolidWorks ????", false},
        {L"2.0", 0, L"SolidWorks ????", false},
        {L"0.9", 0, L"SolidWorks ????", false},
        {L"-16.0", 0, L"SolidWorks ????", false},
        {L"99999999999999999999.0", 0, L"SolidWorks ????", false},
        // Not a number before the first ".", or no "." at all.
        {L"abc.1", 0, L"SolidWorks ????", false},
        {L".16", 0, L"SolidWorks ????", false},
        {L"16", 0, L"SolidWorks ????", false},
        {L"", 0, L"SolidWorks ????", false},
        // Leading digits are the major version, as a decimal read takes them.
        {L" 16.0", 0, L"SolidWorks 2008", false},
        {L"16abc.0", 0, L"SolidWorks 2008", false},
        {L"9a", 0, L"SolidWorks ????", false},
        // Major 1: the build code picks the version; lower bounds belong to the range.
        {L"1.0", LONG_MIN, L"SolidWorks ????", true},
        {L"1.0", 0, L"SolidWorks ????", true},
        {L"1.0", 95358, L"SolidWorks ????", true},
        {L"1.0", 95359, L"SolidWorks 95", true},
        {L"1.0", 96174, L"SolidWorks 95", true},
        {L"1.0", 96175, L"SolidWorks 96", true},
        {L"1.0", 97000, L"SolidWorks 96", true},
        {L"1.0", 97001, L"SolidWorks 97", true},
        {L"1.0", 97214, L"SolidWorks 97", true},
        {L"1.0", 97215, L"SolidWorks 97 Plus", true},
        {L"1.0", 1998082, L"SolidWorks 97 Plus", true},
        {L"1.0", 1998083, L"SolidWorks 98", true},
        {L"1.0", 1998292, L"SolidWorks 98", true},
        {L"1.0", 1998293, L"SolidWorks 98 Plus", true},
        {L"1.0", 1999206, L"SolidWorks 98 Plus", true},
        {L"1.0", 1999207, L"SolidWorks 99", true},
        {L"1.0", LONG_MAX, L"SolidWorks 99", true},
        {L"01.7.3", 97001, L"SolidWorks 97", true},
    };
    ASSERT_EQ(Init(), 1);
    for (const TitleCase& c : cases) {
        SCOPED_TRACE("revision \"" + Narrow(c.revision) + "\", build " +
                     std::to_string(c.buildCode));
        host.SetRevisionText(c.revision);
        host.SetBuildCode(c.buildCode);
        host.ClearJournal();
        EXPECT_EQ(Title(), std::wstring(L"Quorla for ") + c.version + L" version 1.0");
        EXPECT_EQ(host.Journal(Op::HostRevisionText).size(), 1u);
        EXPECT_EQ(host.Journal(Op::HostBuildCode).size(), c.asksBuildCode ? 1u : 0u);
    }
}

TEST_F(AddinTest, ProductTitleWhenTheHostCannotSay) {
    wchar_t buffer[64] = L"untouched";
    EXPECT_EQ(productTitle(buffer, 64), -1) << "before InitUserDLL3";
    EXPECT_STREQ(buffer, L"");

    ASSERT_EQ(Init(), 1);
    host.RefuseAll(Op::HostRevisionText);
    EXPECT_EQ(Title(), L"Quorla for SolidWorks ???? version 1.0");
    host.AcceptAll();
    host.SetRevisionText(L"1.0");
    host.SetBuildCode(1998083);
    host.RefuseAll(Op::HostBuildCode);
    EXPECT_EQ(Title(), L"Quorla for SolidWorks ???? version 1.0") << "a refused build code is 0";
    host.AcceptAll();

    // The title is rewritten at every call, as the host reports now.
    EXPECT_EQ(Title(), L"Quorla for SolidWorks 98 version 1.0");
    host.SetRevisionText(L"13.4");
    EXPECT_EQ(Title(), L"Quorla for SolidWorks 2005 version 1.0");

    const std::wstring full = L"Quorla for SolidWorks 2005 version 1.0";
    std::vector<wchar_t> exact(full.size() + 1, L'x');
    EXPECT_EQ(productTitle(exact.data(), static_cast<int>(exact.size())),
              static_cast<int>(full.size()));
    EXPECT_EQ(std::wstring(exact.data()), full);
    std::vector<wchar_t> small(full.size(), L'x');
    EXPECT_EQ(productTitle(small.data(), static_cast<int>(small.size())), -1);
    EXPECT_EQ(small[0], L'\0');
    EXPECT_EQ(productTitle(nullptr, 10), -1);
    EXPECT_EQ(productTitle(buffer, 0), -1);
}
