// Sampling of NURBS curves for fitting a spline through points.
//
// GetPoints(curve, points, angle): points on the curve, first to last (the
// curve's start and end points included; for a closed curve the last point
// repeats the first). angle is the largest turn, in degrees, of the tangent
// between neighbouring points (the importer passes 15.0). Besides, a piece
// between neighbouring points is halved until the parabola through its ends
// and the curve point halfway between them stays, at the quarter points,
// within TMXNurbsCurve::RelativeTolerance (1e-6) of the curve's size (the
// diagonal of its control points' box), or within TMXCurve::AbsoluteTolerance()
// while an import run has set one: then a smooth spline through the points
// follows the curve that closely. Every knot of the curve is a point, so
// kinks are kept. At most MaxPointsPerSpan points per knot span.
#pragma once

#include "opennurbs.h"

class TMXNurbsCurve {
public:
    static constexpr double RelativeTolerance = 1e-6;
    static constexpr int MaxPointsPerSpan = 4096;

    // Returns the number of points appended, or -1 for an invalid curve or an
    // angle outside (0, 180] (points unchanged then).
    static int GetPoints(const ON_NurbsCurve& curve, ON_3dPointArray& points,
                         double max_angle_degrees);
};
