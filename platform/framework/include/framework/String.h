// CString: a reference-counted UTF-16 string. Copies share one buffer until
// one of them is changed (copy on write); the buffer is always allocated and
// freed inside the framework, so strings may cross module boundaries freely.
//
// Varargs functions (Format, AfxMessageBox formats, ...) need the character
// pointer: pass `(LPCWSTR)str` or `str.GetString()`, never the object itself.
#pragma once

#include "Defs.h"

#include <cstdarg>

class FW_API CString {
public:
    CString() noexcept;
    CString(const CString& src) noexcept;
    CString(CString&& src) noexcept;
    CString(LPCWSTR psz);
    CString(LPCWSTR pch, int length);
    CString(wchar_t ch, int repeat = 1);
    // Narrow text is taken in the ANSI code page, as the platform's narrow APIs do.
    CString(LPCSTR psz);
    ~CString();

    CString& operator=(const CString& src) noexcept;
    CString& operator=(CString&& src) noexcept;
    CString& operator=(LPCWSTR psz);
    CString& operator=(LPCSTR psz);
    CString& operator=(wchar_t ch);

    // Access.
    int GetLength() const noexcept;
    bool IsEmpty() const noexcept { return GetLength() == 0; }
    void Empty() noexcept;
    wchar_t GetAt(int index) const noexcept { return m_pszData[index]; }
    wchar_t operator[](int index) const noexcept { return m_pszData[index]; }
    void SetAt(int index, wchar_t ch);
    LPCWSTR GetString() const noexcept { return m_pszData; }
    operator LPCWSTR() const noexcept { return m_pszData; }

    // Direct buffer access: GetBuffer makes the buffer private and at least
    // minLength characters long; ReleaseBuffer fixes the length (-1: up to the NUL).
    LPWSTR GetBuffer(int minLength = 0);
    LPWSTR GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);
    void Preallocate(int length);

    // Concatenation.
    CString& operator+=(const CString& s);
    CString& operator+=(LPCWSTR psz);
    CString& operator+=(wchar_t ch);
    void Append(LPCWSTR pch, int length);
    void AppendChar(wchar_t ch) { Append(&ch, 1); }

    // Comparison: ordinal on UTF-16 code units; NoCase folds with the platform's rules.
    int Compare(LPCWSTR psz) const noexcept;
    int CompareNoCase(LPCWSTR psz) const noexcept;

    // Searching: indexes are zero-based, -1 when nothing was found.
    int Find(wchar_t ch, int start = 0) const noexcept;
    int Find(LPCWSTR sub, int start = 0) const noexcept;
    int ReverseFind(wchar_t ch) const noexcept;
    int FindOneOf(LPCWSTR charSet) const noexcept;

    // Extraction: counts and positions are clamped to the string.
    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;
    CString SpanIncluding(LPCWSTR charSet) const;
    CString SpanExcluding(LPCWSTR charSet) const;

    // Changing in place; each returns the string or a count as noted.
    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();
    CString& Trim();
    CString& Trim(wchar_t ch);
    CString& Trim(LPCWSTR charSet);
    CString& TrimLeft();
    CString& TrimLeft(wchar_t ch);
    CString& TrimLeft(LPCWSTR charSet);
    CString& TrimRight();
    CString& TrimRight(wchar_t ch);
    CString& TrimRight(LPCWSTR charSet);
    int Replace(wchar_t oldCh, wchar_t newCh);     // number of characters replaced
    int Replace(LPCWSTR oldText, LPCWSTR newText); // number of occurrences replaced
    int Remove(wchar_t ch);                        // number removed
    int Insert(int index, wchar_t ch);             // new length
    int Insert(int index, LPCWSTR psz);            // new length
    int Delete(int index, int count = 1);          // new length

    // printf-style formatting. In this wide format %s and %c take wide
    // arguments (%hs/%hc and %S/%C narrow ones, %ls/%lc wide ones); %d %i %u %x
    // %X %o %f %F %e %E %g %G %a %A %p %n-less, with flags, width, precision,
    // `*`, and the size prefixes h l ll I64 I32 z j t.
    void Format(LPCWSTR format, ...);
    void FormatV(LPCWSTR format, va_list args);
    void AppendFormat(LPCWSTR format, ...);
    void AppendFormatV(LPCWSTR format, va_list args);
    void Format(UINT formatId, ...);

    // Loads a string resource through the module state and the resource chain.
    BOOL LoadString(UINT id);
    BOOL LoadString(HINSTANCE instance, UINT id);

    // Number of strings currently sharing this one's buffer (0 for the shared empty string).
    int GetRefCount() const noexcept;

private:
    struct Data;
    Data* GetData() const noexcept;
    void Release() noexcept;
    void AllocBuffer(int length);
    void CopyBeforeWrite(int minCapacity = 0);
    void AssignCopy(LPCWSTR pch, int length);

    LPWSTR m_pszData;
};

FW_API CString operator+(const CString& a, const CString& b);
FW_API CString operator+(const CString& a, LPCWSTR b);
FW_API CString operator+(LPCWSTR a, const CString& b);
FW_API CString operator+(const CString& a, wchar_t b);
FW_API CString operator+(wchar_t a, const CString& b);

inline bool operator==(const CString& a, const CString& b) noexcept {
    return a.Compare(b) == 0;
}
inline bool operator==(const CString& a, LPCWSTR b) noexcept {
    return a.Compare(b) == 0;
}
inline bool operator==(LPCWSTR a, const CString& b) noexcept {
    return b.Compare(a) == 0;
}
inline bool operator!=(const CString& a, const CString& b) noexcept {
    return a.Compare(b) != 0;
}
inline bool operator!=(const CString& a, LPCWSTR b) noexcept {
    return a.Compare(b) != 0;
}
inline bool operator!=(LPCWSTR a, const CString& b) noexcept {
    return b.Compare(a) != 0;
}
inline bool operator<(const CString& a, const CString& b) noexcept {
    return a.Compare(b) < 0;
}
inline bool operator<(const CString& a, LPCWSTR b) noexcept {
    return a.Compare(b) < 0;
}
inline bool operator<(LPCWSTR a, const CString& b) noexcept {
    return b.Compare(a) > 0;
}
inline bool operator>(const CString& a, const CString& b) noexcept {
    return a.Compare(b) > 0;
}
inline bool operator>(const CString& a, LPCWSTR b) noexcept {
    return a.Compare(b) > 0;
}
inline bool operator>(LPCWSTR a, const CString& b) noexcept {
    return b.Compare(a) < 0;
}
inline bool operator<=(const CString& a, const CString& b) noexcept {
    return a.Compare(b) <= 0;
}
inline bool operator<=(const CString& a, LPCWSTR b) noexcept {
    return a.Compare(b) <= 0;
}
inline bool operator<=(LPCWSTR a, const CString& b) noexcept {
    return b.Compare(a) >= 0;
}
inline bool operator>=(const CString& a, const CString& b) noexcept {
    return a.Compare(b) >= 0;
}
inline bool operator>=(const CString& a, LPCWSTR b) noexcept {
    return a.Compare(b) >= 0;
}
inline bool operator>=(LPCWSTR a, const CString& b) noexcept {
    return b.Compare(a) <= 0;
}
