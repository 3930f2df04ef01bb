// Points and curves into sketch entities.
#include "Convert.h"
#include "Finite.h"
#include "StageProgress.h"

#include <TMXCurve.h>
#include <TMXNurbsCurve.h>

#include <cmath>
#include <vector>

namespace {

// Arcs are made natively only in the world XY plane, within this distance.
constexpr double kPlaneTolerance = 1e-12;
// A full circle: angle interval 2 pi within this.
constexpr double kFullCircleTolerance = 1e-12;
// Largest tangent turn between sampled points, in degrees.
constexpr double kSampleAngle = 15.0;

void Line(HostDocHandle doc, const ON_3dPoint& a, const ON_3dPoint& b, double f,
          HostStatus* status = nullptr) {
    const double v[6] = {a.x * f, a.y * f, a.z * f, b.x * f, b.y * f, b.z * f};
    // Left out, like a line the host refuses.
    HostStatus s = SendableOrCounted(v, 6)
                       ? DocCreateLine(doc, v[0], v[1], v[2], v[3], v[4], v[5], nullptr)
                       : E_INVALIDARG;
    if (status) *status = s;
}

bool InWorldXY(const ON_Arc& arc) {
    for (int k = 0; k < 8; k++)
        if (!(std::fabs(arc.PointAt(k * ON_PI / 4.0).z) <= kPlaneTolerance)) return false;
    return true;
}

// A spline fitted through points sampled along the curve; ends, when given,
// replace the first and last sample.
void SplineThroughSamples(HostDocHandle doc, const ON_NurbsCurve& curve, double f,
                          const ON_3dPoint* ends = nullptr) {
    ON_3dPointArray samples;
    TMXNurbsCurve::GetPoints(curve, samples, kSampleAngle);
    const int n = samples.Count();
    if (n <= 0) return;
    if (ends && n >= 2) {
        samples[0] = ends[0];
        samples[n - 1] = ends[1];
    }
    std::vector<double> xyz(static_cast<size_t>(n) * 3);
    for (int i = 0; i < n; i++) {
        xyz[3 * i] = samples[i].x * f;
        xyz[3 * i + 1] = samples[i].y * f;
        xyz[3 * i + 2] = samples[i].z * f;
    }
    if (SendableOrCounted(xyz.data(), xyz.size()))
        DocCreateSplineThroughPoints(doc, n, xyz.data(), nullptr);
}

// True when the control points have one common, nonzero weight: then their
// Euclidean form on the same knots is the same curve without weights.
bool WeightsUniform(const ON_NurbsCurve& curve) {
    if (!curve.IsRational()) return true;
    const double w0 = curve.Weight(0);
    if (!(w0 != 0.0) || !std::isfinite(w0)) return false;
    for (int i = 1; i < curve.CVCount(); i++)
        if (curve.Weight(i) != w0) return false;
    return true;
}

// The spline on the curve's own knots and Euclidean control points.
void SplineFromNurbs(HostDocHandle doc, const ON_NurbsCurve& curve, double f) {
    const int order = curve.Order();
    const int n = curve.CVCount();
    const int knotCount = curve.KnotCount();
    if (knotCount <= 0 || !curve.Knot()) return;
    const int properties[4] = {3, order, n, curve.IsPeriodic() ? 1 : 0};
    // openNURBS leaves out the two end knots of the textbook vector: repeat
    // the first and the last.
    std::vector<double> knots(static_cast<size_t>(knotCount) + 2);
    knots[0] = curve.Knot(0);
    for (int i = 0; i < knotCount; i++)
        knots[i + 1] = curve.Knot(i);
    knots[knotCount + 1] = curve.Knot(knotCount - 1);
    std::vector<double> cvs(static_cast<size_t>(n) * 3);
    for (int i = 0; i < n; i++) {
        ON_3dPoint p;
        if (!curve.GetCV(i, p)) return; // storage the curve does not have
        cvs[3 * i] = p.x * f;
        cvs[3 * i + 1] = p.y * f;
        cvs[3 * i + 2] = p.z * f;
    }
    if (SendableOrCounted(knots.data(), knots.size()) && SendableOrCounted(cvs.data(), cvs.size()))
        DocCreateSplineFromNurbs(doc, properties, knots.data(), cvs.data(), nullptr);
}

void NurbsRule(HostDocHandle doc, const ON_NurbsCurve& curve, double f,
               const ON_3dPoint* ends = nullptr) {
    // Closed curves, and rational ones whose weights differ (dropping the
    // weights would change their shape; a weight of 0 has no Euclidean
    // point at all), are fitted through samples.
    if (curve.IsClosed() || !WeightsUniform(curve))
        SplineThroughSamples(doc, curve, f, ends);
    else
        SplineFromNurbs(doc, curve, f);
}

// The arc recognised in curve: its ends are the curve's own, so that
// neighbouring entities meet where the curves do.
void ArcRule(HostDocHandle doc, const ON_NurbsCurve& curve, const ON_Arc& arc, double f) {
    const ON_3dPoint ends[2] = {curve.PointAtStart(), curve.PointAtEnd()};
    if (!InWorldXY(arc)) {
        ON_NurbsCurve nurbs;
        if (arc.GetNurbForm(nurbs)) NurbsRule(doc, nurbs, f, arc.IsCircle() ? nullptr : ends);
        return;
    }
    const ON_3dPoint c = arc.Center();
    if (std::fabs(arc.m_angle.Length() - 2.0 * ON_PI) <= kFullCircleTolerance) {
        const double v[4] = {c.x * f, c.y * f, c.z * f, arc.Radius() * f};
        if (SendableOrCounted(v, 4)) DocCreateCircle(doc, v[0], v[1], v[2], v[3], nullptr);
        return;
    }
    const ON_3dPoint& s = ends[0];
    const ON_3dPoint& e = ends[1];
    const long direction = arc.plane.zaxis.z > 0.0 ? 1 : -1;
    const double v[9] = {c.x * f, c.y * f, c.z * f, s.x * f, s.y * f, s.z * f, e.x * f, e.y * f, e.z * f};
    if (SendableOrCounted(v, 9))
        DocCreateArc(doc, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], direction, nullptr);
}

// A curve whose control polygon has no length, or is shorter than the
// file's absolute tolerance: no shape at the file's precision, and for the
// host a degenerate spline. The curve lies within its control polygon's
// length of its start, so nothing longer than that is lost.
bool TooShort(const ON_NurbsCurve& curve) {
    const double tol = TMXCurve::AbsoluteTolerance(); // 0 when the file's is not known
    double length = 0.0;
    ON_3dPoint previous;
    for (int i = 0; i < curve.CVCount(); i++) {
        ON_3dPoint p;
        if (!curve.GetCV(i, p)) return false; // a weight of 0: left to the rules
        if (i > 0) length += p.DistanceTo(previous);
        if (length > 0.0 && !(length < tol)) return false;
        previous = p;
    }
    return true;
}

} // namespace

int ConvertPoints(HostDocHandle doc, const ON_3dPointArray& points, double unitFactor,
                  int progress) {
    StageProgress window(L"Creating points", progress);
    window.Start(points.Count());
    for (int i = 0; i < points.Count(); i++) {
        window.Step();
        const ON_3dPoint& p = points[i];
        const double v[3] = {p.x * unitFactor, p.y * unitFactor, p.z * unitFactor};
        if (SendableOrCounted(v, 3)) DocCreatePoint(doc, v[0], v[1], v[2], nullptr);
    }
    window.End();
    return 1;
}

int ConvertCurveArray(HostDocHandle doc, const ON_ClassArray<ON_NurbsCurve>& curves,
                      double unitFactor, int progress) {
    StageProgress window(L"Creating curves", progress);
    // Filled by the tests, reused from curve to curve.
    ON_Line line;
    ON_Arc arc;
    ON_Polyline polyline;
    window.Start(curves.Count());
    for (int i = 0; i < curves.Count(); i++) {
        window.Step();
        const ON_NurbsCurve& curve = curves[i];
        if (TooShort(curve)) {
            ConversionCountsToFill().shortCurves++;
        } else if (TMXCurve::IsLine(&curve, line) == 1) {
            Line(doc, line.from, line.to, unitFactor);
        } else if (TMXCurve::IsArc(&curve, arc) == 1) {
            ArcRule(doc, curve, arc, unitFactor);
        } else if (TMXCurve::IsPolyline(&curve, polyline) == 1) {
            // A refused segment ends the chain.
            for (int k = 0; k + 1 < polyline.Count(); k++) {
                HostStatus status = 0;
                Line(doc, polyline[k], polyline[k + 1], unitFactor, &status);
                if (status != 0) break;
            }
        } else {
            NurbsRule(doc, curve, unitFactor);
        }
    }
    window.End();
    return 1;
}
