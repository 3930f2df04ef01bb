#include "EntitySampling.h"

#include <algorithm>
#include <cmath>

namespace docview {

using cadhost::DocumentModel;
using cadhost::Entity;
using cadhost::EntityKind;
using cadhost::Vec3;

namespace {

const double kPi = 3.14159265358979323846;

Vec3 Lerp(const Vec3& a, const Vec3& b, double t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}

// A point of a B-spline by de Boor's algorithm; knots as the host holds them
// (order + count), control points Euclidean.
Vec3 DeBoor(const double* knots, const Vec3* cv, int order, int count, double t) {
    int span = order - 1;
    while (span < count - 1 && t >= knots[span + 1])
        span++;
    std::vector<Vec3> d(cv + span - order + 1, cv + span + 1);
    for (int r = 1; r < order; r++) {
        for (int j = order - 1; j >= r; j--) {
            int i = span - order + 1 + j;
            double denom = knots[i + order - r] - knots[i];
            double a = denom > 0 ? (t - knots[i]) / denom : 0.0;
            d[j] = Lerp(d[j - 1], d[j], a);
        }
    }
    return d[order - 1];
}

// Points of an arc in a plane parallel to XY, from angle a0 over sweep.
void ArcPoints(const Vec3& c, double radius, double a0, double sweep, std::vector<Vec3>& out) {
    int n = std::max(8, static_cast<int>(std::ceil(std::fabs(sweep) / (2 * kPi) * 96)));
    for (int i = 0; i <= n; i++) {
        double a = a0 + sweep * i / n;
        out.push_back({c.x + radius * std::cos(a), c.y + radius * std::sin(a), c.z});
    }
}

} // namespace

std::vector<Vec3> SampleEntity(const DocumentModel& doc, const Entity& e) {
    std::vector<Vec3> out;
    const double* v = doc.Values(e);
    switch (e.kind) {
    case EntityKind::Point:
        out.push_back(doc.At(e, 0));
        break;
    case EntityKind::Line:
        out.push_back(doc.At(e, 0));
        out.push_back(doc.At(e, 1));
        break;
    case EntityKind::Circle:
        ArcPoints(doc.At(e, 0), v[3], 0.0, 2 * kPi, out);
        break;
    case EntityKind::Arc: {
        Vec3 c = doc.At(e, 0), s = doc.At(e, 1), t = doc.At(e, 2);
        double a0 = std::atan2(s.y - c.y, s.x - c.x);
        double a1 = std::atan2(t.y - c.y, t.x - c.x);
        double sweep = e.direction >= 0 ? a1 - a0 : a0 - a1;
        while (sweep <= 1e-12)
            sweep += 2 * kPi;
        ArcPoints(c, std::hypot(s.x - c.x, s.y - c.y), a0, e.direction >= 0 ? sweep : -sweep, out);
        break;
    }
    case EntityKind::SplineThroughPoints:
        for (int i = 0; i < e.count; i++)
            out.push_back(doc.At(e, static_cast<size_t>(i)));
        break;
    case EntityKind::SplineFromNurbs: {
        const int order = e.order, count = e.count;
        const double* knots = doc.Knots(e);
        std::vector<Vec3> cv;
        for (int i = 0; i < count; i++)
            cv.push_back(doc.At(e, static_cast<size_t>(i)));
        if (order < 2 || count < order) break;
        const double t0 = knots[order - 1], t1 = knots[count];
        const int spans = count - order + 1;
        const int n = std::min(2000, std::max(16, spans * 16));
        for (int i = 0; i <= n; i++)
            out.push_back(DeBoor(knots, cv.data(), order, count, t0 + (t1 - t0) * i / n));
        break;
    }
    }
    return out;
}

} // namespace docview
