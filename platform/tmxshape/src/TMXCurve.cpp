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

double ToleranceFor(double size) {
    return g_absolute_tolerance > 0.0 ? g_absolute_tolerance : TMXCurve::RelativeTolerance * size;
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
    // Circle through the start and the points at a third and two thirds of
    // the domain; its normal follows the direction of travel.
    ON_Circle circle;
    if (!circle.Create(start, n->PointAt(dom.ParameterAt(1.0 / 3.0)),
                       n->PointAt(dom.ParameterAt(2.0 / 3.0))))
        return 0;
    const ON_3dPoint C = circle.Center();
    const ON_3dVector N = circle.Normal();
    const double r = circle.Radius();
    if (!(r > tol)) return 0;
    const ON_3dVector X = (start - C) / r;
    const ON_3dVector Y = ON_CrossProduct(N, X);
    // A span of degree d that meets a circle at more than 2d points lies on
    // it, so 2d + 3 samples per span (ends included) decide exactly, up to
    // the tolerance.
    const int per_span = 2 * n->Degree() + 2;
    const int spans = n->SpanCount();
    std::vector<double> breaks(spans + 1);
    n->GetSpanVector(breaks.data());
    double total = 0.0, prev_angle = 0.0;
    for (int s = 0; s < spans; s++) {
        const ON_Interval sd(breaks[s], breaks[s + 1]);
        for (int k = (s == 0 ? 0 : 1); k <= per_span; k++) {
            const double t = k == per_span ? sd[1] : sd.ParameterAt((double)k / per_span);
            const ON_3dPoint P = (s == spans - 1 && k == per_span) ? end : n->PointAt(t);
            const ON_3dVector v = P - C;
            const double h = v * N;
            if (std::fabs(h) > tol) return 0;
            const ON_3dVector in_plane = v - N * h;
            if (std::fabs(in_plane.Length() - r) > tol) return 0;
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

int TMXCurve::IsPolyline(const ON_Curve* curve, ON_Polyline& polyline) {
    const CurveUnderTest c(curve);
    if (!c.Ok()) return 0;
    const ON_NurbsCurve* n = c.n;
    const std::vector<ON_3dPoint>& cvs = c.cvs;
    const double tol = c.tol;
    ON_Polyline result;
    if (n->Degree() == 1) {
        // The CVs are the vertices; consecutive repeats are dropped.
        for (size_t i = 0; i < cvs.size(); i++)
            if (result.Count() == 0 || result[result.Count() - 1].DistanceTo(cvs[i]) > tol)
                result.Append(cvs[i]);
    } else {
        ON_NurbsCurve bez(*n);
        if (!bez.MakePiecewiseBezier()) return 0;
        std::vector<ON_3dPoint> bcv;
        if (!EuclideanCVs(bez, bcv)) return 0;
        const int deg = bez.Degree();
        const size_t spans = (bcv.size() - 1) / (size_t)deg;
        result.Append(bcv[0]);
        for (size_t s = 0; s < spans; s++) {
            const ON_3dPoint& a = bcv[s * deg];
            const ON_3dPoint& b = bcv[(s + 1) * deg];
            if (a.DistanceTo(b) <= tol) {
                // A span of (near) zero length: all of it must stay there.
                for (size_t i = s * deg; i <= (s + 1) * deg; i++)
                    if (bcv[i].DistanceTo(a) > tol) return 0;
                continue;
            }
            if (!CVsOnSegment(bcv, s * deg, (s + 1) * deg, a, b, tol)) return 0;
            result.Append(b);
        }
        // Drop span ends where the chain runs straight on.
        for (int i = result.Count() - 2; i >= 1; i--) {
            std::vector<ON_3dPoint> three = {result[i - 1], result[i], result[i + 1]};
            if (CVsOnSegment(three, 0, 2, three[0], three[2], tol)) result.Remove(i);
        }
    }
    if (result.Count() < 2) return 0;
    polyline = result;
    return 1;
}
