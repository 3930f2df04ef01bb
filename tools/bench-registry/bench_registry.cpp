// Benchmark: each typed read and write of TMXRegistry against the raw
// registry calls on the same values, in a private key that is deleted
// afterwards. TMXRegistry keeps no handle open, so the like-for-like raw
// loop opens, queries (or sets) and closes the key per call too; the raw
// call on a key held open is printed beside it, for what the open costs.
// Each figure is the best of several interleaved rounds. Run it under Wine:
//   build/windows/wine-run build/windows/bin/bench_registry.exe [calls]
#include <TMXRegistry.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

const wchar_t kKey[] = L"Software\\Quorla Benchmarks\\Registry";

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Best time per call over the rounds.
double Best(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}

struct Kind {
    const char* name;
    const wchar_t* value;
    DWORD type;
    std::vector<BYTE> data;             // what the raw loop stores
    std::function<void()> read, write;  // one TMXRegistry call each
};

} // namespace

int main(int argc, char** argv) {
    long calls = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 20000;
    if (calls <= 0) calls = 20000;
    const int rounds = 5;

    TMXRegistry reg;
    if (!reg.SetKey(kKey, 1)) {
        std::fprintf(stderr, "cannot create HKCU\\%ls\n", kKey);
        return 1;
    }
    HKEY open = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, &open);

    CFont font;
    font.CreatePointFont(90, L"Arial");
    LOGFONTW lf{};
    font.GetLogFont(&lf);
    CPoint point(3, 4);
    CSize size(5, 6);
    CRect rect(1, 2, 3, 4);
    COleDateTime when(2026, 12, 9, 12, 0, 0);
    const CString text(L"C:\\Users\\someone\\Documents\\Models\\bracket.3dm");
    volatile long sink = 0;

    auto bytes = [](const void* p, size_t n) {
        const BYTE* b = static_cast<const BYTE*>(p);
        return std::vector<BYTE>(b, b + n);
    };
    const int four = 7;
    const double eight = 0.25;
    BYTE dateBytes[12];
    memcpy(dateBytes, &when.m_dt, 8);
    memset(dateBytes + 8, 0, 4);
    std::vector<Kind> kinds = {
        {"Int", L"int", REG_BINARY, bytes(&four, 4), [&] { sink += reg.ReadInt(L"int", 0); },
         [&] { reg.WriteInt(L"int", 7); }},
        {"Bool", L"bool", REG_BINARY, bytes(&four, 4), [&] { sink += reg.ReadBool(L"bool", 0); },
         [&] { reg.WriteBool(L"bool", 7); }},
        {"Dword", L"dword", REG_BINARY, bytes(&four, 4),
         [&] { sink += static_cast<long>(reg.ReadDword(L"dword", 0)); },
         [&] { reg.WriteDword(L"dword", 7); }},
        {"Color", L"color", REG_BINARY, bytes(&four, 4),
         [&] { sink += static_cast<long>(reg.ReadColor(L"color", 0)); },
         [&] { reg.WriteColor(L"color", 7); }},
        {"Float", L"float", REG_BINARY, bytes(&eight, 8),
         [&] { sink += static_cast<long>(reg.ReadFloat(L"float", 0)); },
         [&] { reg.WriteFloat(L"float", 0.25); }},
        {"DateTime", L"date", REG_BINARY, bytes(dateBytes, 12),
         [&] { sink += reg.ReadDateTime(L"date", COleDateTime()).GetStatus(); },
         [&] { reg.WriteDateTime(L"date", when); }},
        {"String", L"string", REG_SZ,
         bytes(static_cast<LPCWSTR>(text), (text.GetLength() + 1) * sizeof(wchar_t)),
         [&] { sink += reg.ReadString(L"string", L"").GetLength(); },
         [&] { reg.WriteString(L"string", text); }},
        {"Font", L"font", REG_BINARY, bytes(&lf, sizeof lf),
         [&] {
             CFont f;
             sink += reg.ReadFont(L"font", &f);
         },
         [&] { reg.WriteFont(L"font", &font); }},
        {"Point", L"point", REG_BINARY, bytes(&point, 8),
         [&] {
             CPoint p;
             sink += reg.ReadPoint(L"point", &p);
         },
         [&] { reg.WritePoint(L"point", &point); }},
        {"Size", L"size", REG_BINARY, bytes(&size, 8),
         [&] {
             CSize s;
             sink += reg.ReadSize(L"size", &s);
         },
         [&] { reg.WriteSize(L"size", &size); }},
        {"Rect", L"rect", REG_BINARY, bytes(&rect, 16),
         [&] {
             CRect r;
             sink += reg.ReadRect(L"rect", &r);
         },
         [&] { reg.WriteRect(L"rect", &rect); }},
    };

    std::printf("calls per figure %ld, best of %d rounds; times in microseconds per call\n", calls,
                rounds);
    std::printf("%-9s %-5s %10s %10s %10s %8s\n", "kind", "op", "TMXRegistry", "raw", "raw open",
                "ratio");
    double worst = 0;
    for (const Kind& k : kinds) {
        for (int write = 0; write < 2; write++) {
            std::vector<double> ours, raw, rawOpen;
            BYTE buffer[512];
            for (int round = 0; round < rounds; round++) {
                double t0 = Seconds();
                for (long i = 0; i < calls; i++)
                    write ? k.write() : k.read();
                ours.push_back((Seconds() - t0) / calls);

                // The same registry work by hand: open, one call, close.
                t0 = Seconds();
                for (long i = 0; i < calls; i++) {
                    HKEY key;
                    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, write ? KEY_WRITE : KEY_READ,
                                      &key) != ERROR_SUCCESS)
                        continue;
                    if (write) {
                        RegSetValueExW(key, k.value, 0, k.type, k.data.data(),
                                       static_cast<DWORD>(k.data.size()));
                    } else {
                        DWORD got = static_cast<DWORD>(k.data.size()) + 2;
                        sink += RegQueryValueExW(key, k.value, nullptr, nullptr, buffer, &got);
                    }
                    RegCloseKey(key);
                }
                raw.push_back((Seconds() - t0) / calls);

                t0 = Seconds();
                for (long i = 0; i < calls; i++) {
                    if (write) {
                        RegSetValueExW(open, k.value, 0, k.type, k.data.data(),
                                       static_cast<DWORD>(k.data.size()));
                    } else {
                        DWORD got = static_cast<DWORD>(k.data.size()) + 2;
                        sink += RegQueryValueExW(open, k.value, nullptr, nullptr, buffer, &got);
                    }
                }
                rawOpen.push_back((Seconds() - t0) / calls);
            }
            const double ratio = Best(ours) / Best(raw);
            worst = std::max(worst, ratio);
            std::printf("%-9s %-5s %10.2f %10.2f %10.2f %8.2f\n", k.name, write ? "write" : "read",
                        Best(ours) * 1e6, Best(raw) * 1e6, Best(rawOpen) * 1e6, ratio);
        }
    }
    std::printf("largest ratio TMXRegistry / raw (open, call, close): %.2f (target <= 1.5)\n",
                worst);
    RegCloseKey(open);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quorla Benchmarks");
    return 0;
}
