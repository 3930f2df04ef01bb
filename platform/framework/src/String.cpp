#include "framework/String.h"
#include "framework/Module.h"

#include <cwchar>
#include <cstdlib>
#include <utility>

// Header in front of every character buffer. refs < 0 marks the shared empty
// string, which is never freed nor written.
struct CString::Data {
    LONG refs;
    int length;
    int capacity; // characters, without the terminating NUL
    wchar_t* chars() noexcept { return reinterpret_cast<wchar_t*>(this + 1); }
};

// Layout of the shared empty string: header immediately followed by a NUL.
static struct {
    LONG refs = -1;
    int length = 0;
    int capacity = 0;
    wchar_t zero[2] = {0, 0};
} s_nil;

static_assert(sizeof(LONG) + 2 * sizeof(int) == 12, "string header layout");

static wchar_t* NilChars() noexcept {
    return s_nil.zero;
}

// Nothing may be thrown across a module boundary, and a string that cannot
// get its memory leaves its caller nothing sensible to continue with.
[[noreturn]] static void OutOfMemory() {
    std::abort();
}

static int SafeLength(LPCWSTR psz) noexcept {
    return psz ? static_cast<int>(wcslen(psz)) : 0;
}

CString::Data* CString::GetData() const noexcept {
    return reinterpret_cast<Data*>(m_pszData) - 1;
}

CString::CString() noexcept : m_pszData(NilChars()) {}

CString::CString(const CString& src) noexcept : m_pszData(src.m_pszData) {
    Data* d = GetData();
    if (d->refs >= 0) InterlockedIncrement(&d->refs);
}

CString::CString(CString&& src) noexcept : m_pszData(src.m_pszData) {
    src.m_pszData = NilChars();
}

CString::CString(LPCWSTR psz) : m_pszData(NilChars()) {
    // A resource id in the pointer loads the string, as the framework's callers expect.
    if (psz && IS_INTRESOURCE(psz)) {
        LoadString(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(psz)));
        return;
    }
    AssignCopy(psz, SafeLength(psz));
}

CString::CString(LPCWSTR pch, int length) : m_pszData(NilChars()) {
    AssignCopy(pch, pch && length > 0 ? length : 0);
}

CString::CString(wchar_t ch, int repeat) : m_pszData(NilChars()) {
    if (repeat <= 0) return;
    AllocBuffer(repeat);
    for (int i = 0; i < repeat; ++i)
        m_pszData[i] = ch;
}

CString::CString(LPCSTR psz) : m_pszData(NilChars()) {
    *this = psz;
}

CString::~CString() {
    Release();
}

void CString::Release() noexcept {
    if (m_pszData != NilChars()) {
        Data* d = GetData();
        if (InterlockedDecrement(&d->refs) == 0) std::free(d);
        m_pszData = NilChars();
    }
}

// Gives this string a new private buffer of `length` characters (NUL at the end).
void CString::AllocBuffer(int length) {
    if (length <= 0) {
        Release();
        return;
    }
    size_t bytes = sizeof(Data) + (static_cast<size_t>(length) + 1) * sizeof(wchar_t);
    Data* d = static_cast<Data*>(std::malloc(bytes));
    if (!d) OutOfMemory();
    d->refs = 1;
    d->length = length;
    d->capacity = length;
    d->chars()[length] = 0;
    Release();
    m_pszData = d->chars();
}

void CString::AssignCopy(LPCWSTR pch, int length) {
    if (length <= 0) {
        Release();
        return;
    }
    // The source may lie inside our own buffer: copy before letting go of it.
    CString fresh;
    fresh.AllocBuffer(length);
    wmemcpy(fresh.m_pszData, pch, length);
    *this = std::move(fresh);
}

// Makes the buffer private and able to hold minCapacity characters.
void CString::CopyBeforeWrite(int minCapacity) {
    Data* d = GetData();
    if (d->refs == 1 && d->capacity >= minCapacity) return;
    int length = d->length;
    int capacity = minCapacity > length ? minCapacity : length;
    if (capacity == 0) return; // stays the shared empty string
    if (d->refs == 1 && capacity > d->capacity) capacity += capacity / 2; // amortised growth
    size_t bytes = sizeof(Data) + (static_cast<size_t>(capacity) + 1) * sizeof(wchar_t);
    Data* n = static_cast<Data*>(std::malloc(bytes));
    if (!n) OutOfMemory();
    n->refs = 1;
    n->length = length;
    n->capacity = capacity;
    wmemcpy(n->chars(), m_pszData, length + 1);
    Release();
    m_pszData = n->chars();
}

CString& CString::operator=(const CString& src) noexcept {
    if (m_pszData != src.m_pszData) {
        Data* d = src.GetData();
        if (d->refs >= 0) InterlockedIncrement(&d->refs);
        Release();
        m_pszData = src.m_pszData;
    }
    return *this;
}

CString& CString::operator=(CString&& src) noexcept {
    if (this != &src) {
        Release();
        m_pszData = src.m_pszData;
        src.m_pszData = NilChars();
    }
    return *this;
}

CString& CString::operator=(LPCWSTR psz) {
    AssignCopy(psz, SafeLength(psz));
    return *this;
}

CString& CString::operator=(LPCSTR psz) {
    if (!psz || !*psz) {
        Release();
        return *this;
    }
    int n = MultiByteToWideChar(CP_ACP, 0, psz, -1, nullptr, 0);
    CString fresh;
    if (n > 1) {
        fresh.AllocBuffer(n - 1);
        MultiByteToWideChar(CP_ACP, 0, psz, -1, fresh.m_pszData, n);
    }
    *this = std::move(fresh);
    return *this;
}

CString& CString::operator=(wchar_t ch) {
    AssignCopy(&ch, 1);
    return *this;
}

int CString::GetLength() const noexcept {
    return GetData()->length;
}

void CString::Empty() noexcept {
    Release();
}

int CString::GetRefCount() const noexcept {
    LONG r = GetData()->refs;
    return r < 0 ? 0 : static_cast<int>(r);
}

void CString::SetAt(int index, wchar_t ch) {
    if (index < 0 || index >= GetLength()) return;
    CopyBeforeWrite();
    m_pszData[index] = ch;
}

LPWSTR CString::GetBuffer(int minLength) {
    if (minLength < 0) minLength = 0;
    if (GetData()->refs < 0 && minLength == 0) {
        // A writable empty buffer: one character of room for the NUL.
        AllocBuffer(1);
        m_pszData[0] = 0;
        GetData()->length = 0;
        return m_pszData;
    }
    CopyBeforeWrite(minLength);
    return m_pszData;
}

LPWSTR CString::GetBufferSetLength(int length) {
    GetBuffer(length);
    if (GetData()->refs >= 0) {
        GetData()->length = length;
        m_pszData[length] = 0;
    }
    return m_pszData;
}

void CString::ReleaseBuffer(int newLength) {
    Data* d = GetData();
    if (d->refs < 0) return;
    if (newLength < 0) newLength = static_cast<int>(wcsnlen(m_pszData, d->capacity));
    if (newLength > d->capacity) newLength = d->capacity;
    d->length = newLength;
    m_pszData[newLength] = 0;
    if (newLength == 0) Release();
}

void CString::Preallocate(int length) {
    if (length > GetLength()) CopyBeforeWrite(length);
}

void CString::Append(LPCWSTR pch, int length) {
    if (!pch || length <= 0) return;
    int old = GetLength();
    if (old == 0 && GetData()->refs < 0) {
        AssignCopy(pch, length);
        return;
    }
    // pch may point into our own buffer, which CopyBeforeWrite can move.
    const wchar_t* base = m_pszData;
    bool inside = pch >= base && pch < base + old;
    ptrdiff_t offset = pch - base;
    CopyBeforeWrite(old + length);
    if (inside) pch = m_pszData + offset;
    wmemmove(m_pszData + old, pch, length);
    GetData()->length = old + length;
    m_pszData[old + length] = 0;
}

CString& CString::operator+=(const CString& s) {
    if (IsEmpty()) return *this = s;
    Append(s.m_pszData, s.GetLength());
    return *this;
}

CString& CString::operator+=(LPCWSTR psz) {
    Append(psz, SafeLength(psz));
    return *this;
}

CString& CString::operator+=(wchar_t ch) {
    Append(&ch, 1);
    return *this;
}

CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString& a, LPCWSTR b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(LPCWSTR a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString& a, wchar_t b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(wchar_t a, const CString& b) {
    CString r(a, 1);
    r += b;
    return r;
}

int CString::Compare(LPCWSTR psz) const noexcept {
    if (!psz) psz = L"";
    int r = wcscmp(m_pszData, psz);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::CompareNoCase(LPCWSTR psz) const noexcept {
    if (!psz) psz = L"";
    int r = CompareStringOrdinal(m_pszData, -1, psz, -1, TRUE);
    return r == CSTR_LESS_THAN ? -1 : (r == CSTR_GREATER_THAN ? 1 : 0);
}

int CString::Find(wchar_t ch, int start) const noexcept {
    int n = GetLength();
    if (start < 0) start = 0;
    for (int i = start; i < n; ++i)
        if (m_pszData[i] == ch) return i;
    return -1;
}

int CString::Find(LPCWSTR sub, int start) const noexcept {
    int n = GetLength();
    if (!sub || start < 0 || start > n) return -1;
    const wchar_t* p = wcsstr(m_pszData + start, sub);
    return p ? static_cast<int>(p - m_pszData) : -1;
}

int CString::ReverseFind(wchar_t ch) const noexcept {
    for (int i = GetLength() - 1; i >= 0; --i)
        if (m_pszData[i] == ch) return i;
    return -1;
}

int CString::FindOneOf(LPCWSTR charSet) const noexcept {
    if (!charSet) return -1;
    size_t i = wcscspn(m_pszData, charSet);
    return static_cast<int>(i) < GetLength() ? static_cast<int>(i) : -1;
}

CString CString::Mid(int first, int count) const {
    int n = GetLength();
    if (first < 0) first = 0;
    if (first > n) first = n;
    if (count < 0) count = 0;
    if (count > n - first) count = n - first;
    if (first == 0 && count == n) return *this;
    return CString(m_pszData + first, count);
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}
CString CString::Left(int count) const {
    return Mid(0, count);
}
CString CString::Right(int count) const {
    int n = GetLength();
    if (count < 0) count = 0;
    if (count > n) count = n;
    return Mid(n - count, count);
}

CString CString::SpanIncluding(LPCWSTR charSet) const {
    return Left(charSet ? static_cast<int>(wcsspn(m_pszData, charSet)) : 0);
}

CString CString::SpanExcluding(LPCWSTR charSet) const {
    return charSet ? Left(static_cast<int>(wcscspn(m_pszData, charSet))) : *this;
}

CString& CString::MakeUpper() {
    if (IsEmpty()) return *this;
    CopyBeforeWrite();
    CharUpperBuffW(m_pszData, GetLength());
    return *this;
}

CString& CString::MakeLower() {
    if (IsEmpty()) return *this;
    CopyBeforeWrite();
    CharLowerBuffW(m_pszData, GetLength());
    return *this;
}

CString& CString::MakeReverse() {
    int n = GetLength();
    if (n < 2) return *this;
    CopyBeforeWrite();
    for (int i = 0, j = n - 1; i < j; ++i, --j)
        std::swap(m_pszData[i], m_pszData[j]);
    return *this;
}

static bool IsSpace(wchar_t c) {
    return iswspace(c) != 0;
}

CString& CString::TrimLeft() {
    int n = GetLength(), i = 0;
    while (i < n && IsSpace(m_pszData[i]))
        ++i;
    if (i) *this = Mid(i);
    return *this;
}
CString& CString::TrimRight() {
    int n = GetLength(), j = n;
    while (j > 0 && IsSpace(m_pszData[j - 1]))
        --j;
    if (j != n) *this = Left(j);
    return *this;
}
CString& CString::TrimLeft(LPCWSTR set) {
    if (!set) return *this;
    int i = static_cast<int>(wcsspn(m_pszData, set));
    if (i) *this = Mid(i);
    return *this;
}
CString& CString::TrimRight(LPCWSTR set) {
    if (!set) return *this;
    int n = GetLength(), j = n;
    while (j > 0 && wcschr(set, m_pszData[j - 1]))
        --j;
    if (j != n) *this = Left(j);
    return *this;
}
CString& CString::TrimLeft(wchar_t ch) {
    wchar_t set[2] = {ch, 0};
    return ch ? TrimLeft(set) : *this;
}
CString& CString::TrimRight(wchar_t ch) {
    wchar_t set[2] = {ch, 0};
    return ch ? TrimRight(set) : *this;
}
CString& CString::Trim() {
    return TrimRight().TrimLeft();
}
CString& CString::Trim(wchar_t ch) {
    return TrimRight(ch).TrimLeft(ch);
}
CString& CString::Trim(LPCWSTR set) {
    return TrimRight(set).TrimLeft(set);
}

int CString::Replace(wchar_t oldCh, wchar_t newCh) {
    if (oldCh == newCh || Find(oldCh) < 0) return 0;
    CopyBeforeWrite();
    int count = 0;
    for (int i = 0, n = GetLength(); i < n; ++i)
        if (m_pszData[i] == oldCh) m_pszData[i] = newCh, ++count;
    return count;
}

int CString::Replace(LPCWSTR oldText, LPCWSTR newText) {
    int oldLen = SafeLength(oldText);
    if (oldLen == 0) return 0;
    int newLen = SafeLength(newText);
    CString result;
    int count = 0, pos = 0;
    for (int hit; (hit = Find(oldText, pos)) >= 0; pos = hit + oldLen, ++count) {
        result.Append(m_pszData + pos, hit - pos);
        result.Append(newText, newLen);
    }
    if (count == 0) return 0;
    result.Append(m_pszData + pos, GetLength() - pos);
    *this = std::move(result);
    return count;
}

int CString::Remove(wchar_t ch) {
    if (Find(ch) < 0) return 0;
    CopyBeforeWrite();
    int n = GetLength(), j = 0;
    for (int i = 0; i < n; ++i)
        if (m_pszData[i] != ch) m_pszData[j++] = m_pszData[i];
    GetData()->length = j;
    m_pszData[j] = 0;
    if (j == 0) Release();
    return n - j;
}

int CString::Insert(int index, LPCWSTR psz) {
    int n = GetLength();
    if (index < 0) index = 0;
    if (index > n) index = n;
    int add = SafeLength(psz);
    if (add == 0) return n;
    CString result(m_pszData, index);
    result.Append(psz, add);
    result.Append(m_pszData + index, n - index);
    *this = std::move(result);
    return GetLength();
}

int CString::Insert(int index, wchar_t ch) {
    wchar_t s[2] = {ch, 0};
    return ch ? Insert(index, s) : GetLength();
}

int CString::Delete(int index, int count) {
    int n = GetLength();
    if (index < 0) index = 0;
    if (count <= 0 || index >= n) return n;
    if (count > n - index) count = n - index;
    CString result(m_pszData, index);
    result.Append(m_pszData + index + count, n - index - count);
    *this = std::move(result);
    return GetLength();
}

void CString::Format(LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

void CString::FormatV(LPCWSTR format, va_list args) {
    CString result;
    result.AppendFormatV(format, args);
    *this = std::move(result);
}

void CString::Format(UINT formatId, ...) {
    CString format;
    if (!format.LoadString(formatId)) return;
    va_list args;
    va_start(args, formatId);
    FormatV(format, args);
    va_end(args);
}

BOOL CString::LoadString(UINT id) {
    return LoadString(AfxFindStringResourceHandle(id), id);
}

BOOL CString::LoadString(HINSTANCE instance, UINT id) {
    LPCWSTR text = nullptr;
    int length = AfxGetStringResource(instance, id, &text);
    if (length < 0) return FALSE;
    AssignCopy(text, length);
    return TRUE;
}
