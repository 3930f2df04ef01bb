// Benchmark: keystrokes through TMXRealEdit::OnChar (which remembers the
// text, lets the edit take the key, checks the result and undoes a refused
// key) against the same keystrokes into a plain edit control, as a ratio.
// The keys type a number and take it back with backspaces, so both texts
// stay short; a refused key (a letter, undone with a beep) is timed apart.
// Each figure is the best of interleaved rounds. Under Wine:
//   build/windows/wine-run build/windows/bin/bench_edits.exe [keystrokes]
#include <TMXEdit.h>
#include <BenchClock.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <vector>

namespace {

// Seconds per keystroke for `count` of `keys`, in turn, sent to `edit`.
double Type(HWND edit, int count, const wchar_t* keys, const wchar_t* text = L"") {
    const int n = static_cast<int>(wcslen(keys));
    SetWindowTextW(edit, text);
    double start = Seconds();
    for (int i = 0; i < count; ++i)
        SendMessageW(edit, WM_CHAR, keys[i % n], 1);
    return (Seconds() - start) / count;
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(1000, std::atoi(argv[1])) : 100000;
    CWnd parent;
    if (!parent.CreateEx(0, L"STATIC", L"bench", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr)) return 1;
    CEdit plain;
    TMXRealEdit real;
    CRect r(0, 0, 200, 20);
    if (!plain.Create(WS_CHILD | ES_AUTOHSCROLL, r, &parent, 1) ||
        !real.Create(WS_CHILD | ES_AUTOHSCROLL, r, &parent, 2))
        return 1;
    const wchar_t* typed = L"12.5\b\b\b\b";
    std::vector<double> plainTimes, realTimes, refusedTimes;
    for (int round = 0; round < 5; ++round) {
        plainTimes.push_back(Type(plain.m_hWnd, count / 5, typed));
        realTimes.push_back(Type(real.m_hWnd, count / 5, typed));
        refusedTimes.push_back(Type(real.m_hWnd, count / 50, L"x", L"12.5"));
    }
    const double p = *std::min_element(plainTimes.begin(), plainTimes.end());
    const double t = *std::min_element(realTimes.begin(), realTimes.end());
    const double x = *std::min_element(refusedTimes.begin(), refusedTimes.end());
    std::printf("%d keystrokes (digits, point, backspaces)\n", count);
    std::printf("plain edit      %8.2f us/key\n", p * 1e6);
    std::printf("TMXRealEdit     %8.2f us/key\n", t * 1e6);
    std::printf("ratio           %8.2f   (target: at most 3)\n", t / p);
    std::printf("refused key     %8.2f us/key (undone, with its beep)\n", x * 1e6);
    real.DestroyWindow();
    plain.DestroyWindow();
    parent.DestroyWindow();
    return 0;
}
