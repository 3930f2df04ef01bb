// Times mesh topology of a 1,000,000-triangle mesh and the curve tests over
// 100,000 curves. Each figure is printed with a ratio to a plain pass over
// the same data measured in the same run, so runs on different machines
// compare. Targets: topology under 1 s natively.
#include "TMXShape.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

double Seconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

template <class F> double Time(F f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return Seconds(t0, std::chrono::steady_clock::now());
}

// A triangle of side n split into n*n triangles: (n+1)(n+2)/2 vertices, as
// the big-mesh fixture has them (n = 1000: 1,000,000 triangles, 501,501
// vertices), each inner vertex shared by six triangles.
ON_Mesh TriangleGrid(int n) {
    ON_Mesh m;
    m.m_V.Reserve((size_t)(n + 1) * (n + 2) / 2);
    m.m_F.Reserve((size_t)n * n);
    std::vector<int> row_start(n + 2);
    for (int r = 0, k = 0; r <= n; r++) {
        row_start[r] = k;
        for (int c = 0; c <= n - r; c++, k++)
            m.m_V.Append(
                ON_3fPoint((float)(c + 0.5 * r), (float)(r * 0.866), (float)((c * r) % 7) * 0.01f));
    }
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n - r; c++) {
            const int a = row_start[r] + c, b = a + 1, d = row_start[r + 1] + c;
            ON_MeshFace& f = m.m_F.AppendNew();
            f.vi[0] = a, f.vi[1] = b, f.vi[2] = f.vi[3] = d;
            if (c < n - r - 1) {
                ON_MeshFace& g = m.m_F.AppendNew();
                g.vi[0] = b, g.vi[1] = d + 1, g.vi[2] = g.vi[3] = d;
            }
        }
    return m;
}

std::vector<std::unique_ptr<ON_NurbsCurve>> Curves(int count) {
    std::vector<std::unique_ptr<ON_NurbsCurve>> curves;
    curves.reserve(count);
    std::srand(7);
    auto r = [] { return (std::rand() % 2000) / 100.0 - 10.0; };
    for (int i = 0; i < count; i++) {
        std::unique_ptr<ON_Curve> c;
        switch (i % 4) {
        case 0:
            c.reset(new ON_LineCurve(ON_3dPoint(r(), r(), r()), ON_3dPoint(r(), r(), r())));
            break;
        case 1: {
            ON_Plane p(ON_3dPoint(r(), r(), r()), ON_3dVector(r(), r(), 1.0));
            c.reset(new ON_ArcCurve(ON_Arc(ON_Circle(p, 1.0 + std::fabs(r())), 0.5 + (i % 6))));
            break;
        }
        case 2: {
            ON_3dPointArray pts;
            for (int k = 0; k < 6; k++)
                pts.Append(r(), r(), r());
            c.reset(new ON_PolylineCurve(pts));
            break;
        }
        default: {
            ON_NurbsCurve* n = new ON_NurbsCurve(3, false, 4, 8);
            for (int k = 0; k < 8; k++)
                n->SetCV(k, ON_3dPoint(k, r(), r()));
            for (int k = 0; k < n->KnotCount(); k++)
                n->SetKnot(k, k < 3 ? 0 : (k > 7 ? 5 : k - 2));
            c.reset(n);
        }
        }
        curves.emplace_back(c->NurbsCurve());
    }
    return curves;
}

} // namespace

int main() {
    std::printf("Mesh topology, 1,000,000 triangles\n");
    ON_Mesh mesh = TriangleGrid(1000);
    std::printf("  mesh: %d vertices, %d faces\n", mesh.VertexCount(), mesh.FaceCount());
    // Peer: copying the mesh, one plain pass over the same arrays.
    double copy_time = Time([&] {
        ON_Mesh copy(mesh);
        if (copy.FaceCount() != mesh.FaceCount()) std::abort();
    });
    int edges = 0;
    const double top_time = Time([&] {
        mesh.DestroyTopology();
        edges = mesh.Topology().TopEdgeCount();
    });
    std::printf("  topology: %.3f s (%d topology vertices, %d edges; target < 1 s)\n", top_time,
                mesh.Topology().TopVertexCount(), edges);
    std::printf("  mesh copy: %.3f s; topology / copy = %.1f\n", copy_time, top_time / copy_time);

    const int count = 100000;
    std::printf("Curve tests, %d curves (lines, arcs, polylines, cubics as NURBS forms)\n", count);
    auto curves = Curves(count);
    // Peer: evaluating every curve at 16 points.
    double sink = 0.0;
    const double eval_time = Time([&] {
        for (auto& c : curves)
            for (int k = 0; k <= 15; k++)
                sink += c->PointAt(c->Domain().ParameterAt(k / 15.0)).x;
    });
    int hits[3] = {0, 0, 0};
    ON_Line line;
    ON_Arc arc;
    ON_Polyline pl;
    const double t_line = Time([&] {
        for (auto& c : curves)
            hits[0] += TMXCurve::IsLine(c.get(), line);
    });
    const double t_arc = Time([&] {
        for (auto& c : curves)
            hits[1] += TMXCurve::IsArc(c.get(), arc);
    });
    const double t_poly = Time([&] {
        for (auto& c : curves)
            hits[2] += TMXCurve::IsPolyline(c.get(), pl);
    });
    std::printf("  IsLine:     %.3f s (%d lines), / evaluation = %.2f\n", t_line, hits[0],
                t_line / eval_time);
    std::printf("  IsArc:      %.3f s (%d arcs), / evaluation = %.2f\n", t_arc, hits[1],
                t_arc / eval_time);
    std::printf("  IsPolyline: %.3f s (%d polylines), / evaluation = %.2f\n", t_poly, hits[2],
                t_poly / eval_time);
    std::printf("  evaluation at 16 points each: %.3f s (checksum %.3g)\n", eval_time, sink);
    return 0;
}
