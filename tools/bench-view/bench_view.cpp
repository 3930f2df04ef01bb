// One frame of the host program's document view for a 1,000,000-triangle
// solid (a torus built through the embedded host's body operations), fitted
// and zoomed in, while turning, side by side with plain GDI drawing the same
// faces one Polygon call each (no hidden-face order at all). Target: a frame
// under 100 ms. Run under Wine (it needs a display; wine-run brings a virtual
// one):
//   build/windows/wine-run build/windows/bin/bench_view.exe [--triangles N] [--repeat N]
#include "CadHost.h"
#include "DocumentView.h"
#include "HostContract.h"

#include <framework.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

CWinApp g_app(L"bench_view");

using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// A torus of about `triangles` triangles as one solid body of a new part.
int BuildTorus(cadhost::Host& host, long triangles) {
    const int around = static_cast<int>(std::sqrt(triangles / 2.0 * 2)); // 2:1 grid
    const int ring = std::max(3, around), tube = std::max(3, static_cast<int>(triangles / 2 / ring));
    const double R = 0.1, r = 0.03, pi = 3.14159265358979323846;
    auto point = [&](int i, int j, double* p) {
        const double u = 2 * pi * (i % ring) / ring, v = 2 * pi * (j % tube) / tube;
        p[0] = (R + r * std::cos(v)) * std::cos(u);
        p[1] = (R + r * std::cos(v)) * std::sin(u);
        p[2] = r * std::sin(v);
    };
    IDispatch* app = host.Application();
    IHostApplication* hostApp = nullptr;
    app->QueryInterface(IID_IHostApplication, reinterpret_cast<void**>(&hostApp));
    IHostPart* part = nullptr;
    hostApp->NewPart(&part);
    IHostBody* body = nullptr;
    part->CreateBody(&body);
    for (int i = 0; i < ring; i++) {
        for (int j = 0; j < tube; j++) {
            double c[12];
            point(i, j, c);
            point(i + 1, j, c + 3);
            point(i + 1, j + 1, c + 6);
            point(i, j + 1, c + 9);
            for (int half = 0; half < 2; half++) {
                double t[9];
                const int k[2][3] = {{0, 1, 2}, {0, 2, 3}};
                for (int m = 0; m < 3; m++)
                    std::memcpy(t + 3 * m, c + 3 * k[half][m], 3 * sizeof(double));
                const double e1[3] = {t[3] - t[0], t[4] - t[1], t[5] - t[2]};
                const double e2[3] = {t[6] - t[0], t[7] - t[1], t[8] - t[2]};
                double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                               e1[0] * e2[1] - e1[1] * e2[0]};
                const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
                for (double& x : n)
                    x /= len;
                body->AddPlanarFace(3, t, n);
            }
        }
    }
    VARIANT_BOOL solid = VARIANT_FALSE;
    body->CreateFromFaces(&solid);
    body->Release();
    part->Release();
    hostApp->Release();
    app->Release();
    return host.ActiveDocumentId();
}

// Every face as one GDI Polygon into dc, in the order stored.
double PlainGdi(const cadhost::DocumentModel& doc, const docview::Projection& view,
                const docview::ScreenMap& map, HDC dc) {
    const Clock::time_point t0 = Clock::now();
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
    for (const cadhost::Body& b : doc.bodies) {
        for (const cadhost::Face& f : b.faces) {
            POINT p[4];
            for (int i = 0; i < f.count; i++) {
                const docview::Projected q = view.Project(f.corners + 3 * i);
                p[i] = {static_cast<LONG>(map.X(q)), static_cast<LONG>(map.Y(q))};
            }
            const unsigned c = docview::FaceColour(view.Shade(f.normal));
            SetDCBrushColor(dc, RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
            Polygon(dc, p, f.count);
        }
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    GdiFlush();
    return Ms(t0, Clock::now());
}

} // namespace

int main(int argc, char** argv) {
    long triangles = 1000000;
    int repeat = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--triangles")) triangles = std::atol(argv[i + 1]);
        if (!std::strcmp(argv[i], "--repeat")) repeat = std::max(1, std::atoi(argv[i + 1]));
    }
    cadhost::Host host;
    host.SetJournalEnabled(false);
    const Clock::time_point b0 = Clock::now();
    const int id = BuildTorus(host, triangles);
    const cadhost::DocumentModel& doc = host.Document(id);
    if (doc.bodies.empty()) {
        std::printf("the host made no body\n");
        return 1;
    }
    std::printf("body: %zu faces (%s), built in %.0f ms\n", doc.bodies[0].faces.size(),
                doc.bodies[0].solid ? "solid" : "sheet", Ms(b0, Clock::now()));

    quorlahost::DocumentView::Register(GetModuleHandleW(nullptr));
    HWND parent = CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP, 0, 0, 800, 600, nullptr,
                                  nullptr, nullptr, nullptr);
    HWND window = quorlahost::DocumentView::Create(parent, host, id);
    MoveWindow(window, 0, 0, 800, 600, FALSE);
    quorlahost::DocumentView* view = quorlahost::DocumentView::From(window);
    view->Fit();
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 800, 600);
    HGDIOBJ old = SelectObject(dc, bitmap);

    std::printf("%-22s %10s %10s %10s %8s\n", "frame (800 x 600)", "view ms", "plain GDI", "ratio",
                "drawn");
    for (double zoom : {1.0, 8.0}) {
        // Zoomed in on the ring, right of the hole.
        if (zoom > 1) view->Zoom(zoom, 680, 300);
        double best = 1e30, worst = 0, gdi = 1e30;
        for (int r = 0; r < repeat; r++) {
            // Turning: each frame from another direction.
            view->Turn(view->Projection().Azimuth() + 0.1, view->Projection().Elevation());
            const Clock::time_point t0 = Clock::now();
            view->Render(dc);
            GdiFlush();
            const double ms = Ms(t0, Clock::now());
            best = std::min(best, ms);
            worst = std::max(worst, ms);
            RECT all{0, 0, 800, 600};
            FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            gdi = std::min(gdi, PlainGdi(doc, view->Projection(), view->Map(), dc));
        }
        const quorlahost::RasterStats& s = view->LastStats();
        char label[32];
        std::snprintf(label, sizeof label, "zoom %gx (worst %.0f)", zoom, worst);
        std::printf("%-22s %10.1f %10.1f %10.2f %8zu\n", label, best, gdi, gdi / best, s.drawn);
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    DestroyWindow(parent);
    return 0;
}
