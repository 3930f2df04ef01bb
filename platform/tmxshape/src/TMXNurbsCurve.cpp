#include "TMXNurbsCurve.h"
#include "TMXCurve.h"

#include <cmath>
#include <vector>

namespace {

struct Sample {
    double t;
    ON_3dPoint p;
    ON_3dVector d; // first derivative
};

bool SampleAt(const ON_NurbsCurve& c, double t, int side, Sample& s) {
    double v[6] = {0, 0, 0, 0, 0, 0};
    const int dim = c.Dimension();
    if (dim > 3) return false;
    double w[8] = {0};
    if (!c.Evaluate(t, 1, dim, w, side)) return false;
    for (int i = 0; i < dim; i++)
        v[i] = w[i], v[3 + i] = w[dim + i];
    s.t = t;
    s.p = ON_3dPoint(v[0], v[1], v[2]);
    s.d = ON_3dVector(v[3], v[4], v[5]);
    return s.p.IsValid() && s.d.IsValid();
}

// Angle between two derivatives; 0 when either vanishes (a cusp gives no
// direction to turn from).
double TurnAngle(const ON_3dVector& a, const ON_3dVector& b) {
    const ON_3dVector ua = a.UnitVector(), ub = b.UnitVector();
    if (ua.IsZero() || ub.IsZero()) return 0.0;
    return std::atan2(ON_CrossProduct(ua, ub).Length(), ua * ub);
}

// How far a smooth curve through a, the curve's point halfway between them
// and b strays from the curve: the parabola through the three, measured at
// the quarter parameters. (A cubic through the end points with the curve's
// own tangents would reproduce every cubic span exactly, while a spline
// through points knows no tangents.)
double ThreePointError(const ON_NurbsCurve& c, const Sample& a, const Sample& b) {
    const double h = b.t - a.t;
    const ON_3dVector A(a.p), M(c.PointAt(a.t + 0.5 * h)), B(b.p);
    double err = 0.0;
    for (double s : {0.25, 0.75}) {
        const ON_3dVector q =
            A * ((1 - s) * (1 - 2 * s)) + M * (4 * s * (1 - s)) + B * (s * (2 * s - 1));
        err = std::max(err, ON_3dPoint(q).DistanceTo(c.PointAt(a.t + s * h)));
    }
    return err;
}

} // namespace

int TMXNurbsCurve::GetPoints(const ON_NurbsCurve& curve, ON_3dPointArray& points,
                             double max_angle_degrees) {
    if (!curve.IsValid() || curve.Dimension() > 3 || !(max_angle_degrees > 0.0) ||
        max_angle_degrees > 180.0)
        return -1;
    const double max_angle = max_angle_degrees * ON_DEGREES_TO_RADIANS;
    double tol = TMXCurve::AbsoluteTolerance();
    if (!(tol > 0.0)) {
        const ON_BoundingBox box = curve.BoundingBox();
        tol = RelativeTolerance * (box.IsValid() ? box.Diagonal().Length() : 0.0);
    }
    const int spans = curve.SpanCount();
    std::vector<double> breaks(spans + 1);
    if (!curve.GetSpanVector(breaks.data())) return -1;
    const int before = points.Count();
    points.Append(curve.PointAtStart());
    for (int s = 0; s < spans; s++) {
        // Each span on its own, so the derivatives at its ends are its own
        // (a kink at a knot does not spoil the test).
        Sample a, b;
        if (!SampleAt(curve, breaks[s], 1, a) || !SampleAt(curve, breaks[s + 1], -1, b)) return -1;
        // Depth-first subdivision; a stack of right halves.
        std::vector<Sample> stack;
        stack.push_back(b);
        int count = 0;
        const double min_step = (breaks[s + 1] - breaks[s]) / MaxPointsPerSpan;
        while (!stack.empty()) {
            const Sample right = stack.back();
            bool split = right.t - a.t > min_step && count < MaxPointsPerSpan;
            if (split) {
                split = TurnAngle(a.d, right.d) > max_angle ||
                        (tol > 0.0 && ThreePointError(curve, a, right) > tol);
            }
            if (split) {
                Sample m;
                if (!SampleAt(curve, 0.5 * (a.t + right.t), 1, m)) return -1;
                stack.push_back(m);
                continue;
            }
            a = right;
            stack.pop_back();
            count++;
            points.Append(stack.empty() && s == spans - 1 ? curve.PointAtEnd() : a.p);
        }
    }
    return points.Count() - before;
}
