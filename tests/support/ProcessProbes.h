// Probes of process-wide state for tests: the numeric locale, and the count
// of GDI objects the process holds.
#pragma once

#include <windows.h>

#include <clocale>
#include <cstdio>
#include <string>

namespace testsupport {

// Switches the C library's numeric locale for a scope (for example to
// "German", where the decimal point is a comma) and restores it after.
class LocaleGuard {
public:
    explicit LocaleGuard(const char* name) {
        if (const char* current = std::setlocale(LC_NUMERIC, nullptr)) saved_ = current;
        active_ = std::setlocale(LC_NUMERIC, name) != nullptr;
    }
    ~LocaleGuard() { std::setlocale(LC_NUMERIC, saved_.c_str()); }
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;

    // The locale was found and is in force.
    bool Active() const { return active_; }
    // What the C library now writes for 2.5.
    static std::string TwoAndAHalf() {
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", 2.5);
        return text;
    }

private:
    std::string saved_ = "C";
    bool active_ = false;
};

// The GDI objects (fonts, brushes, bitmaps, DCs, regions, ...) the process
// holds now, from the used cells of the GDI handle table that the process
// environment block points to. GetGuiResources is a stub under Wine; the
// table is exact: each creation fills a cell, each deletion empties it.
// -1 when the table cannot be found.
inline int GdiObjectCount() {
#if defined(_WIN64)
    struct Entry { // one cell of the table
        unsigned long long object;
        unsigned long owner;
        unsigned short unique;
        unsigned char type;
        unsigned char flags;
        unsigned long long user;
    };
    static_assert(sizeof(Entry) == 24, "GDI handle table cell");
    // The process environment block, from the process's basic information.
    struct BasicInformation {
        LONG_PTR exitStatus;
        const BYTE* peb;
        ULONG_PTR affinity, priority, id, parentId;
    } info{};
    using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    if (!query || query(GetCurrentProcess(), 0, &info, sizeof info, nullptr) != 0 || !info.peb)
        return -1;
    const BYTE* peb = info.peb;
    const auto* table = *reinterpret_cast<const Entry* const*>(peb + 0xF8); // GdiSharedHandleTable
    if (!table) return -1;
    int used = 0;
    for (int i = 0; i < 0x10000; ++i)
        used += table[i].type != 0;
    return used;
#else
    return -1;
#endif
}

} // namespace testsupport
