// printf-style formatting for CString. Numbers are formatted by the C
// library into a narrow buffer and widened; strings and characters are
// handled here, so that %s means a wide string in a wide format whichever C
// library the module was linked with.
#include "framework/String.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

enum class Size { Default, Char, Short, Long, LongLong, SizeT, LongDouble, Wide, Narrow };

struct Spec {
    bool left = false;
    char flags[8] = {};
    int width = -1;
    int precision = -1;
    Size size = Size::Default;
};

void Pad(CString& out, int count, wchar_t ch) {
    for (int i = 0; i < count; ++i)
        out.AppendChar(ch);
}

void AppendPadded(CString& out, const Spec& spec, LPCWSTR text, int length) {
    int pad = spec.width > length ? spec.width - length : 0;
    if (!spec.left) Pad(out, pad, L' ');
    out.Append(text, length);
    if (spec.left) Pad(out, pad, L' ');
}

void AppendNarrow(CString& out, const char* text, int length) {
    for (int i = 0; i < length; ++i)
        out.AppendChar(static_cast<unsigned char>(text[i]));
}

// Formats one number with the C library's narrow printf.
template <typename T>
void AppendNumber(CString& out, const Spec& spec, const char* lengthMod, char conv, T value) {
    char format[48];
    char* f = format;
    *f++ = '%';
    for (const char* p = spec.flags; *p; ++p)
        *f++ = *p;
    if (spec.left) *f++ = '-';
    if (spec.width >= 0) f += std::sprintf(f, "%d", spec.width);
    if (spec.precision >= 0) f += std::sprintf(f, ".%d", spec.precision);
    f += std::sprintf(f, "%s%c", lengthMod, conv);
    char small[128];
    int n = std::snprintf(small, sizeof small, format, value);
    if (n < 0) return;
    if (n < static_cast<int>(sizeof small)) {
        AppendNarrow(out, small, n);
        return;
    }
    char* big = new char[static_cast<size_t>(n) + 1];
    std::snprintf(big, static_cast<size_t>(n) + 1, format, value);
    AppendNarrow(out, big, n);
    delete[] big;
}

int ReadNumber(LPCWSTR& p) {
    int v = 0;
    while (*p >= L'0' && *p <= L'9') {
        if (v < 100000000) v = v * 10 + (*p - L'0');
        ++p;
    }
    return v;
}

} // namespace

void CString::AppendFormatV(LPCWSTR format, va_list argsIn) {
    if (!format) return;
    va_list args;
    va_copy(args, argsIn);
    LPCWSTR p = format;
    while (*p) {
        LPCWSTR run = p;
        while (*p && *p != L'%')
            ++p;
        if (p != run) Append(run, static_cast<int>(p - run));
        if (!*p) break;
        LPCWSTR start = p++; // at '%'
        if (*p == L'%') {
            AppendChar(L'%');
            ++p;
            continue;
        }
        Spec spec;
        int nflags = 0;
        for (;; ++p) {
            if (*p == L'-')
                spec.left = true;
            else if (*p == L'+' || *p == L' ' || *p == L'#' || *p == L'0') {
                if (nflags < 6 && !strchr(spec.flags, static_cast<char>(*p)))
                    spec.flags[nflags++] = static_cast<char>(*p);
            } else
                break;
        }
        if (*p == L'*') {
            spec.width = va_arg(args, int);
            if (spec.width < 0) spec.left = true, spec.width = -spec.width;
            ++p;
        } else if (*p >= L'0' && *p <= L'9') {
            spec.width = ReadNumber(p);
        }
        if (*p == L'.') {
            ++p;
            if (*p == L'*') {
                spec.precision = va_arg(args, int);
                if (spec.precision < 0) spec.precision = -1;
                ++p;
            } else {
                spec.precision = ReadNumber(p);
            }
        }
        // Size prefixes.
        if (p[0] == L'h' && p[1] == L'h')
            spec.size = Size::Char, p += 2;
        else if (*p == L'h')
            spec.size = Size::Short, ++p;
        else if (p[0] == L'l' && p[1] == L'l')
            spec.size = Size::LongLong, p += 2;
        else if (*p == L'l')
            spec.size = Size::Long, ++p;
        else if (*p == L'w')
            spec.size = Size::Wide, ++p;
        else if (*p == L'L')
            spec.size = Size::LongDouble, ++p;
        else if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4')
            spec.size = Size::LongLong, p += 3;
        else if (p[0] == L'I' && p[1] == L'3' && p[2] == L'2')
            spec.size = Size::Default, p += 3;
        else if (*p == L'I' || *p == L'z' || *p == L't')
            spec.size = Size::SizeT, ++p;
        else if (*p == L'j')
            spec.size = Size::LongLong, ++p;

        wchar_t conv = *p;
        if (!conv) {
            Append(start, static_cast<int>(p - start));
            break;
        }
        ++p;
        switch (conv) {
        case L'd':
        case L'i': {
            long long v;
            switch (spec.size) {
            case Size::Char:
                v = static_cast<signed char>(va_arg(args, int));
                break;
            case Size::Short:
                v = static_cast<short>(va_arg(args, int));
                break;
            case Size::Long:
                v = va_arg(args, long);
                break;
            case Size::LongLong:
                v = va_arg(args, long long);
                break;
            case Size::SizeT:
                v = va_arg(args, ptrdiff_t);
                break;
            default:
                v = va_arg(args, int);
                break;
            }
            AppendNumber(*this, spec, "ll", 'd', v);
            break;
        }
        case L'u':
        case L'x':
        case L'X':
        case L'o': {
            unsigned long long v;
            switch (spec.size) {
            case Size::Char:
                v = static_cast<unsigned char>(va_arg(args, unsigned));
                break;
            case Size::Short:
                v = static_cast<unsigned short>(va_arg(args, unsigned));
                break;
            case Size::Long:
                v = va_arg(args, unsigned long);
                break;
            case Size::LongLong:
                v = va_arg(args, unsigned long long);
                break;
            case Size::SizeT:
                v = va_arg(args, size_t);
                break;
            default:
                v = va_arg(args, unsigned);
                break;
            }
            AppendNumber(*this, spec, "ll", static_cast<char>(conv), v);
            break;
        }
        case L'f':
        case L'F':
        case L'e':
        case L'E':
        case L'g':
        case L'G':
        case L'a':
        case L'A': {
            double v = spec.size == Size::LongDouble
                           ? static_cast<double>(va_arg(args, long double))
                           : va_arg(args, double);
            AppendNumber(*this, spec, "", static_cast<char>(conv), v);
            break;
        }
        case L'p': {
            // As the platform prints pointers: all hex digits, upper case, no prefix.
            Spec hex = spec;
            hex.flags[0] = '0';
            hex.flags[1] = 0;
            hex.precision = -1;
            if (hex.width < 0) hex.width = static_cast<int>(2 * sizeof(void*));
            unsigned long long v = reinterpret_cast<uintptr_t>(va_arg(args, void*));
            AppendNumber(*this, hex, "ll", 'X', v);
            break;
        }
        case L'c':
        case L'C': {
            bool narrow = spec.size == Size::Short || spec.size == Size::Char ||
                          (conv == L'C' && spec.size != Size::Long && spec.size != Size::Wide);
            int raw = va_arg(args, int);
            wchar_t ch = static_cast<wchar_t>(raw);
            if (narrow) {
                char c = static_cast<char>(raw);
                wchar_t w = 0;
                ch = MultiByteToWideChar(CP_ACP, 0, &c, 1, &w, 1) == 1 ? w : L'?';
            }
            AppendPadded(*this, spec, &ch, 1);
            break;
        }
        case L's':
        case L'S': {
            bool narrow = spec.size == Size::Short || spec.size == Size::Char ||
                          (conv == L'S' && spec.size != Size::Long && spec.size != Size::Wide);
            if (narrow) {
                const char* s = va_arg(args, const char*);
                if (!s) s = "(null)";
                int n =
                    static_cast<int>(spec.precision >= 0 ? strnlen(s, spec.precision) : strlen(s));
                CString wide;
                int w = n ? MultiByteToWideChar(CP_ACP, 0, s, n, nullptr, 0) : 0;
                if (w > 0) {
                    MultiByteToWideChar(CP_ACP, 0, s, n, wide.GetBuffer(w), w);
                    wide.ReleaseBuffer(w);
                }
                AppendPadded(*this, spec, wide, wide.GetLength());
            } else {
                LPCWSTR s = va_arg(args, LPCWSTR);
                if (!s) s = L"(null)";
                int n =
                    static_cast<int>(spec.precision >= 0 ? wcsnlen(s, spec.precision) : wcslen(s));
                AppendPadded(*this, spec, s, n);
            }
            break;
        }
        case L'n':
            // Writing through an argument pointer is refused, as the platform's CRT does.
            (void)va_arg(args, void*);
            break;
        default:
            // Not a conversion: keep the text as written.
            Append(start, static_cast<int>(p - start));
            break;
        }
    }
    va_end(args);
}
