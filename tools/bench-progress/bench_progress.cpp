// Benchmark: 1,000,000 TMXProgress::StepIt calls on an open progress window,
// next to the same loop sending PBM_SETPOS to the window's bar every time.
// Prints calls per second for both and their ratio. Run it under Wine:
//   build/windows/wine-run build/windows/bin/bench_progress.exe [calls]
#include <TMXProgress.h>
#include <BenchClock.h>

#include <cstdio>
#include <cstdlib>

namespace {

HWND FindBar(LPCWSTR title) {
    HWND dialog = FindWindowW(L"#32770", title);
    return dialog ? GetDlgItem(dialog, 8001) : nullptr;
}

} // namespace

int main(int argc, char** argv) {
    long calls = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1000000;
    if (calls <= 0) calls = 1000000;
    const wchar_t* title = L"Progress benchmark";

    TMXProgress progress(title, CString(), 0.0, static_cast<double>(calls), nullptr);
    progress.StartProgress();
    HWND bar = FindBar(title);
    if (!bar) {
        std::fprintf(stderr, "no progress window\n");
        return 1;
    }

    double t0 = Seconds();
    for (long i = 0; i < calls; ++i)
        progress.StepIt(1.0);
    double stepIt = Seconds() - t0;

    // The naive loop: the same percentage, sent to the bar on every call.
    t0 = Seconds();
    for (long i = 1; i <= calls; ++i)
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(i * 100.0 / calls), 0);
    double setPos = Seconds() - t0;
    progress.EndProgress();

    double stepRate = calls / (stepIt > 0 ? stepIt : 1e-9);
    double posRate = calls / (setPos > 0 ? setPos : 1e-9);
    std::printf("calls                      %ld\n", calls);
    std::printf("TMXProgress::StepIt        %14.0f calls/s  (%.3f s)\n", stepRate, stepIt);
    std::printf("SendMessage(PBM_SETPOS)    %14.0f calls/s  (%.3f s)\n", posRate, setPos);
    std::printf("ratio StepIt / PBM_SETPOS  %14.1f\n", stepRate / posRate);
    return 0;
}
