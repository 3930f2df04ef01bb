// The product title from the host's revision text and, for the first major
// version, its build code.
#include "ProductTitle.h"

#include <framework.h>

#include <climits>
#include <cwctype>
#include <string>

wchar_t ProductTitle[kProductTitleSize] = {};

const wchar_t* const HostVersionNames[kHostVersionCount] = {
    L"SolidWorks ????",    L"SolidWorks 95",   L"SolidWorks 96",        L"SolidWorks 97",
    L"SolidWorks 97 Plus", L"SolidWorks 98",   L"SolidWorks 98 Plus",   L"SolidWorks 99",
    L"SolidWorks 2000",    L"SolidWorks 2001", L"SolidWorks 2001 Plus", L"SolidWorks 2003",
    L"SolidWorks 2004",    L"SolidWorks 2005", L"SolidWorks 2006",      L"SolidWorks 2007",
    L"SolidWorks 2008",
};

namespace {

// The add-in's own version.
constexpr int kMajorVersion = 1;
constexpr int kMinorVersion = 0;

// Major version 1 is told apart by build code: each entry is the first code
// of its version (indexes 1 to 7); codes below the first are unknown.
constexpr long kFirstBuildCodes[] = {95359, 96175, 97001, 97215, 1998083, 1998293, 1999207};

// Leading decimal integer, as the C library reads one: blanks, a sign,
// digits; no digits give 0. Out-of-range values stick at the limits, which
// are no version in the table.
long ReadMajor(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && std::iswspace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        int digit = text[i] - L'0';
        if (value > (LONG_MAX - digit) / 10) return negative ? LONG_MIN : LONG_MAX;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

} // namespace

int HostVersionIndex(HostAppHandle host) {
    std::wstring revision;
    HostRevisionText(host, &revision);
    std::size_t dot = revision.find(L'.');
    long major = dot == std::wstring::npos ? 0 : ReadMajor(revision.substr(0, dot));

    if (major == 1) {
        long code = 0;
        HostBuildCode(host, &code);
        int index = 0;
        for (long first : kFirstBuildCodes) {
            if (code < first) break;
            ++index;
        }
        return index;
    }
    if (major >= 8 && major <= 16) return static_cast<int>(major);
    return 0;
}

void FormProductTitle(HostAppHandle host) {
    CString title;
    title.Format(L"%s %s version %d.%d", L"Quorla for", HostVersionNames[HostVersionIndex(host)],
                 kMajorVersion, kMinorVersion);
    int length = title.GetLength();
    if (length >= kProductTitleSize) length = kProductTitleSize - 1;
    wmemcpy(ProductTitle, title.GetString(), static_cast<std::size_t>(length));
    ProductTitle[length] = L'\0';
}
