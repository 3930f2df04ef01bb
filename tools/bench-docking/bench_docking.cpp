// Benchmark: CFrameWnd::RecalcLayout of a frame with 8 toolbars of 20
// buttons docked at its top (rows form as the width allows), at frame widths
// from 200 to 2,000 pixels, against moving the same windows to the same
// places in one DeferWindowPos batch. Before each timed pass every bar is
// moved aside (not timed), so both passes move every window. Each figure is
// the best of interleaved rounds. Under Wine:
//   build/windows/wine-run build/windows/bin/bench_docking.exe [passes]
#include <framework.h>
#include <BenchClock.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Placed {
    HWND hwnd;
    CRect rect; // in its parent's client area
};

CRect InParent(HWND hwnd) {
    CRect r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<LPPOINT>(&r), 2);
    return r;
}

void MoveAside(const std::vector<Placed>& windows) {
    for (const Placed& w : windows)
        SetWindowPos(w.hwnd, nullptr, w.rect.left + 3, w.rect.top + 1, w.rect.Width() - 1,
                     w.rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

int main(int argc, char** argv) {
    const int passes = argc > 1 ? std::max(5, std::atoi(argv[1])) : 30;
    auto* frame = new CFrameWnd;
    if (!frame->Create(nullptr, L"bench", WS_OVERLAPPEDWINDOW, CRect(0, 0, 1000, 600))) return 1;
    if (!frame->EnableDocking(CBRS_ALIGN_ANY)) return 1;
    // 20 buttons with a separator after every fifth, and a plain strip.
    std::vector<UINT> ids;
    for (UINT i = 0; i < 20; ++i) {
        ids.push_back(1000 + i);
        if (i % 5 == 4 && i < 19) ids.push_back(ID_SEPARATOR);
    }
    std::vector<CToolBar*> bars;
    for (int b = 0; b < 8; ++b) {
        auto* bar = new CToolBar;
        if (!bar->CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER,
                           CRect(0, 0, 0, 0), AFX_IDW_TOOLBAR + b) ||
            !bar->SetButtons(ids.data(), static_cast<int>(ids.size())))
            return 1;
        HDC screen = GetDC(nullptr);
        bar->SetBitmap(CreateCompatibleBitmap(screen, 20 * 16, 15));
        ReleaseDC(nullptr, screen);
        bar->EnableDocking(CBRS_ALIGN_ANY);
        bars.push_back(bar);
    }
    // Each bar beside the one before, as a program docks them: rows form as
    // the width allows (and stay when it grows, so the bars dock anew at each width).
    auto dockAll = [&] {
        for (size_t b = 0; b < bars.size(); ++b) {
            CRect beside;
            if (b) {
                bars[b - 1]->GetWindowRect(&beside);
                beside.OffsetRect(1, 0);
            }
            frame->DockControlBar(bars[b], AFX_IDW_DOCKBAR_TOP, b ? &beside : nullptr);
            frame->RecalcLayout();
        }
    };
    frame->ShowWindow(SW_SHOWNA);

    std::printf("%d docked toolbars of 20 buttons; best of 5 rounds of %d passes\n", 8, passes);
    std::printf("width (client)   rows   RecalcLayout   DeferWindowPos   ratio\n");
    double worst = 0;
    for (int width = 200; width <= 2000; width += 200) {
        frame->SetWindowPos(nullptr, 0, 0, width, 600, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        for (CToolBar* bar : bars) // from a fresh start at this width
            frame->FloatControlBar(bar, CPoint(0, 700));
        dockAll();
        // Where the layout puts every window: the dock bars, then the bars.
        std::vector<Placed> windows;
        for (HWND child = GetTopWindow(frame->m_hWnd); child; child = GetNextWindow(child, GW_HWNDNEXT))
            windows.push_back({child, InParent(child)});
        for (CToolBar* bar : bars)
            windows.push_back({bar->m_hWnd, InParent(bar->m_hWnd)});
        auto* top = static_cast<CDockBar*>(frame->GetControlBar(AFX_IDW_DOCKBAR_TOP));
        int rows = 0;
        for (int i = 1; i < top->m_arrBars.GetSize(); ++i)
            rows += top->m_arrBars[i] == nullptr;
        std::vector<double> layoutTimes, moveTimes;
        for (int round = 0; round < 5; ++round) {
            double layout = 0, move = 0;
            for (int p = 0; p < passes; ++p) {
                MoveAside(windows);
                double start = Seconds();
                frame->RecalcLayout();
                layout += Seconds() - start;
            }
            for (int p = 0; p < passes; ++p) {
                MoveAside(windows);
                double start = Seconds();
                HDWP batch = BeginDeferWindowPos(static_cast<int>(windows.size()));
                for (const Placed& w : windows)
                    batch = DeferWindowPos(batch, w.hwnd, nullptr, w.rect.left, w.rect.top,
                                           w.rect.Width(), w.rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
                EndDeferWindowPos(batch);
                move += Seconds() - start;
            }
            layoutTimes.push_back(layout / passes);
            moveTimes.push_back(move / passes);
        }
        const double l = *std::min_element(layoutTimes.begin(), layoutTimes.end());
        const double m = *std::min_element(moveTimes.begin(), moveTimes.end());
        worst = std::max(worst, l / m);
        // The system keeps a frame within its largest size: the client width says what it got.
        CRect client;
        frame->GetClientRect(&client);
        std::printf("%5d (%5d)   %4d   %9.3f ms   %11.3f ms   %5.2f\n", width, client.Width(), rows,
                    l * 1e3, m * 1e3, l / m);
    }
    std::printf("largest ratio   %5.2f   (target: at most 2)\n", worst);
    frame->DestroyWindow();
    for (CToolBar* bar : bars)
        delete bar;
    return 0;
}
