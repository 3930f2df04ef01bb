#include "TMXCurve.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

double g_absolute_tolerance = 0.0; // 0: the relative default applies

// The curve as a NURBS curve: itself when it is one, else its exact form in
// storage.
const ON_NurbsCurve* AsNurbs(const ON_Curve* curve, ON_NurbsCurve& storage) {
    if (!curve) return nullptr;
    if (const ON_NurbsCurve* n = ON_NurbsCurve::Cast(curve)) return n->IsValid() ? n : nullptr;
    if (!curve->GetNurbForm(storage) || !storage.IsValid()) return nullptr;
    return &storage;
}

// Euclidean CVs; false when a weight is not positive (the curve then need
// not lie in the hull of its CVs).
bool EuclideanCVs(const ON_NurbsCurve& n, std::vector<ON_3dPoint>& cvs) {
    cvs.resize(n.CVCount());
    for (int i = 0; i < n.CVCount(); i++) {
        if (n.IsRational() && !(n.Weight(i) > 0.0)) return false;
        if (!n.GetCV(i, cvs[i])) return false;
    }
    return true;
}

double Size(const std::vector<ON_3dPoint>& cvs) {
    ON_BoundingBox box;
    for (size_t i = 0; i < cvs.size(); i++)
        box.Set(cvs[i], i > 0);
    return box.IsValid() ? box.Diagonal().Length() : 0.0;
}

// The rule stated in the header: the file's tolerance, bounded by the size.
double ToleranceFor(double size) {
    const double least = TMXCurve::RelativeTolerance * size;
    if (!(g_absolute_tolerance > 0.0)) return least;
    return std::max(least, std::min(g_absolute_tolerance, TMXCurve::MaxRelativeTolerance * size));
}

// CVs on the segment a-b, in order along it: with positive weights the
// curve then runs straight from a to b without turning back.
bool CVsOnSegment(const std::vector<ON_3dPoint>& cvs, size_t first, size_t last,
                  const ON_3dPoint& a, const ON_3dPoint& b, double tol) {
    const ON_3dVector d = b - a;
    const double len = d.Length();
    if (!(len > tol)) return false;
    const ON_3dVector u = d / len;
    double prev = -tol;
    for (size_t i = first; i <= last; i++) {
        const ON_3dVector v = cvs[i] - a;
        const double s = v * u;
        if ((v - u * s).Length() > tol) return false;
        if (s < prev - tol || s < -tol || s > len + tol) return false;
        prev = std::max(prev, s);
    }
    return true;
}

// The curve as Bezier spans: Euclidean CVs, span after span, the last CV of
// one span being the first of the next. False when that form cannot be made.
bool BezierCVs(const ON_NurbsCurve& n, std::vector<ON_3dPoint>& bcv, int& degree) {
    ON_NurbsCurve bez(n);
    if (!bez.MakePiecewiseBezier()) return false;
    if (!EuclideanCVs(bez, bcv)) return false;
    degree = bez.Degree();
    return degree >= 1 && bcv.size() >= 2 && (bcv.size() - 1) % (size_t)degree == 0;
}

// Whether deviations sampled at equal steps (two components) stay within tol
// between the samples too, judged by their second differences.
bool WithinBetweenSamples(const std::vector<double>& a, const std::vector<double>& b, double tol) {
    const size_t n = a.size();
    if (n < 3) return true;
    auto bend = [n](const std::vector<double>& f, size_t i) {
        const size_t m = std::min(std::max(i, (size_t)1), n - 2);
        return std::fabs(f[m - 1] - 2.0 * f[m] + f[m + 1]);
    };
    for (size_t i = 0; i + 1 < n; i++) {
        const double ea = std::max(std::fabs(a[i]), std::fabs(a[i + 1])) +
                          std::max(bend(a, i), bend(a, i + 1)) / 8.0;
        const double eb = std::max(std::fabs(b[i]), std::fabs(b[i + 1])) +
                          std::max(bend(b, i), bend(b, i + 1)) / 8.0;
        if (!(std::hypot(ea, eb) <= tol)) return false;
    }
    return true;
}

// What every test starts from: the curve's NURBS form, its Euclidean CVs and
// the tolerance for its size. Ok() is false when the curve cannot be tested.
struct CurveUnderTest {
    ON_NurbsCurve storage; // the exact form of a curve that is not NURBS itself
    const ON_NurbsCurve* n;
    std::vector<ON_3dPoint> cvs;
    bool hasCVs;
    double tol;

    explicit CurveUnderTest(const ON_Curve* curve)
        : n(AsNurbs(curve, storage)), hasCVs(n && EuclideanCVs(*n, cvs)),
          tol(ToleranceFor(hasCVs ? Size(cvs) : 0.0)) {}
    CurveUnderTest(const CurveUnderTest&) = delete;
    CurveUnderTest& operator=(const CurveUnderTest&) = delete;

    bool Ok() const { return hasCVs && tol > 0.0; }
};

} // namespace

void TMXCurve::SetAbsoluteTolerance(double tolerance) {
    if (std::isfinite(tolerance) && tolerance > 0.0) g_absolute_tolerance = tolerance;
}

void TMXCurve::ResetTolerance() {
    g_absolute_tolerance = 0.0;
}

double TMXCurve::AbsoluteTolerance() {
    return g_absolute_tolerance;
}

double TMXCurve::Tolerance(const ON_Curve* curve) {
    return CurveUnderTest(curve).tol;
}

int TMXCurve::IsLine(const ON_Curve* curve, ON_Line& line) {
    const CurveUnderTest c(curve);
    if (!c.Ok()) return 0;
    const ON_NurbsCurve* n = c.n;
    const std::vector<ON_3dPoint>& cvs = c.cvs;
    const double tol = c.tol;
    const ON_3dPoint a = n->PointAtStart(), b = n->PointAtEnd();
    if (!CVsOnSegment(cvs, 0, cvs.size() - 1, a, b, tol)) return 0;
    line = ON_Line(a, b);
    return 1;
}

int TMXCurve::IsArc(const ON_Curve* curve, ON_Arc& arc) {
    const CurveUnderTest c(curve);
    if (!c.Ok()) return 0;
    const ON_NurbsCurve* n = c.n;
    const double tol = c.tol;
    const ON_Interval dom = n->Domain();
    const ON_3dPoint start = n->PointAtStart(), end = n->PointAtEnd();
    const bool closed = start.DistanceTo(end) <= tol;
    // A polygon's sides may all lie within the tolerance of a circle; its
    // corners still make it a polygon.
    if (n->Degree() < 2) return 0;
    // A closed curve: the circle through its start and the points at a third
    // and two thirds of the domain. An open one: through its two ends and the
    // middle, so that the arc ends exactly where the curve does. The normal
    // follows the direction of travel.
    ON_Circle circle;
    const bool made = closed ? circle.Create(start, n->PointAt(dom.ParameterAt(1.0 / 3.0)),
                                             n->PointAt(dom.ParameterAt(2.0 / 3.0)))
                             : circle.Create(start, n->PointAt(dom.ParameterAt(0.5)), end);
    if (!made) return 0;
    const ON_3dPoint C = circle.Center();
    const ON_3dVector N = circle.Normal();
    const double r = circle.Radius();
    if (!(r > tol)) return 0;
    const ON_3dVector X = (start - C) / r;
    const ON_3dVector Y = ON_CrossProduct(N, X);
    // Deviations from the circle at dense samples of each span: in its plane
    // (radial) and along its normal (height). A span of degree d that meets a
    // circle at more than 2d points lies on it; the samples are far more, so
    // that between two of them a curve near the circle strays little further,
    // and the second differences of the deviations bound by how much (linear
    // interpolation of f misses by at most |f''| dt^2 / 8).
    const int per_span = 8 * (n->Degree() + 1);
    const int spans = n->SpanCount();
    std::vector<double> breaks(spans + 1);
    n->GetSpanVector(breaks.data());
    std::vector<double> radial, height;
    radial.reserve((size_t)spans * per_span + 1);
    height.reserve((size_t)spans * per_span + 1);
    double total = 0.0, prev_angle = 0.0;
    for (int s = 0; s < spans; s++) {
        const ON_Interval sd(breaks[s], breaks[s + 1]);
        for (int k = (s == 0 ? 0 : 1); k <= per_span; k++) {
            const double t = k == per_span ? sd[1] : sd.ParameterAt((double)k / per_span);
            const ON_3dPoint P = (s == spans - 1 && k == per_span) ? end : n->PointAt(t);
            const ON_3dVector v = P - C;
            const double h = v * N;
            const ON_3dVector in_plane = v - N * h;
            const double e = in_plane.Length() - r;
            if (!(std::hypot(e, h) <= tol)) return 0;
            radial.push_back(e);
            height.push_back(h);
            const double angle = std::atan2(in_plane * Y, in_plane * X);
            if (s == 0 && k == 0) {
                prev_angle = angle;
                continue;
            }
            // Each step turns forward, by less than half a turn.
            double step = angle - prev_angle;
            while (step < -ON_PI)
                step += 2.0 * ON_PI;
            while (step > ON_PI)
                step -= 2.0 * ON_PI;
            if (step < -tol / r) return 0;
            total += step;
            prev_angle = angle;
        }
    }
    if (!WithinBetweenSamples(radial, height, tol)) return 0;
    if (closed) {
        if (std::fabs(total - 2.0 * ON_PI) > 2.0 * tol / r + 1e-9) return 0;
        total = 2.0 * ON_PI;
    } else if (!(total > 0.0) || total >= 2.0 * ON_PI) {
        return 0;
    }
    ON_Plane plane;
    if (!plane.CreateFromFrame(C, X, Y)) return 0;
    arc = ON_Arc(ON_Circle(plane, r), ON_Interval(0.0, total));
    return 1;
}

// True when the closed chain has at least three distinct vertices that do not
// all lie on one line: anything less runs there and back over itself.
static bool EnclosesArea(const ON_Polyline& chain, double tol) {
    const int n = chain.Count() - 1; // the last vertex closes the chain
    int farthest = -1;
    double best = 0.0;
    for (int i = 1; i < n; i++) {
        const double d = chain[i].DistanceTo(chain[0]);
        if (d > best) {
            best = d;
            farthest = i;
        }
    }
    if (farthest < 0 || !(best > tol)) return false;
    const ON_3dVector u = (chain[farthest] - chain[0]) / best;
    for (int i = 1; i < n; i++) {
        const ON_3dVector v = chain[i] - chain[0];
        if ((v - u * (v * u)).Length() > tol) return true;
    }
    return false;
}

int TMXCurve::IsPolyline(const ON_Curve* curve, ON_Polyline& polyline) {
    const CurveUnderTest c(curve);
    if (!c.Ok()) return 0;
    const ON_NurbsCurve* n = c.n;
    const std::vector<ON_3dPoint>& cvs = c.cvs;
    const double tol = c.tol;
    ON_Polyline result;
    if (n->Degree() == 1) {
        // The CVs are the vertices; consecutive repeats are dropped, but the
        // chain ends on the last CV, the curve's end.
        for (size_t i = 0; i < cvs.size(); i++)
            if (result.Count() == 0 || result[result.Count() - 1].DistanceTo(cvs[i]) > tol)
                result.Append(cvs[i]);
        if (result.Count() >= 2) result[result.Count() - 1] = cvs.back();
    } else {
        std::vector<ON_3dPoint> bcv;
        int deg = 0;
        if (!BezierCVs(*n, bcv, deg)) return 0;
        const size_t spans = (bcv.size() - 1) / (size_t)deg;
        // Vertices are span ends, each with the index of its CV; the CVs
        // between two vertices must lie in order on the segment joining them,
        // which puts the curve there within the tolerance.
        std::vector<size_t> at;
        result.Append(bcv[0]);
        at.push_back(0);
        for (size_t s = 0; s < spans; s++) {
            const size_t a = s * deg, b = (s + 1) * deg;
            if (bcv[a].DistanceTo(bcv[b]) <= tol) {
                // A span of (near) zero length: all of it must stay there.
                for (size_t i = a; i <= b; i++)
                    if (bcv[i].DistanceTo(bcv[a]) > tol) return 0;
                continue;
            }
            if (!CVsOnSegment(bcv, at.back(), b, result[result.Count() - 1], bcv[b], tol)) return 0;
            result.Append(bcv[b]);
            at.push_back(b);
        }
        if (result.Count() >= 2) {
            // Zero-length spans at the end: the chain still ends where the curve does.
            result[result.Count() - 1] = bcv.back();
            at.back() = bcv.size() - 1;
        }
        // Drop span ends where the chain runs straight on, where all the CVs
        // of both segments lie on the one that replaces them.
        for (int i = result.Count() - 2; i >= 1; i--) {
            if (CVsOnSegment(bcv, at[i - 1], at[i + 1], result[i - 1], result[i + 1], tol)) {
                result.Remove(i);
                at.erase(at.begin() + i);
            }
        }
    }
    if (result.Count() < 2) return 0;
    const ON_3dPoint start = n->PointAtStart(), end = n->PointAtEnd();
    result[0] = start;
    result[result.Count() - 1] = end;
    if (start.DistanceTo(end) <= tol && !EnclosesArea(result, tol)) return 0;
    polyline = result;
    return 1;
}
