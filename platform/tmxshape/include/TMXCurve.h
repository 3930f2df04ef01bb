// Curve classification: is a curve a line, an arc (or circle), a polyline?
//
// Tolerance: a test answers 1 only when every point of the curve lies within
// the tolerance of the recognised shape. By default the tolerance is
// TMXCurve::RelativeTolerance (1e-9) times the curve's size, the diagonal of
// the bounding box of its control points. An import run that knows the
// file's absolute tolerance sets it with SetAbsoluteTolerance before it
// converts and calls ResetTolerance afterwards. While set, the tolerance used
// for a curve of size D is
//
//     min(absolute tolerance, MaxRelativeTolerance * D), but at least
//     RelativeTolerance * D,
//
// that is at most 0.1 % of the curve's own size, however large the file's
// tolerance: a deviation that small does not show at the curve's scale, so a
// curve is never recognised as something of another kind at its own scale
// (a small circle in a file whose tolerance is as large as the circle stays
// a circle, not a line there and back). The lower bound keeps exact shapes
// recognisable when the file's tolerance lies below the rounding of their
// coordinates. The setting is process-wide and not thread-safe (the host
// calls us on its user-interface thread only).
//
// What the answers guarantee, within the tolerance used (Tolerance(curve)):
// the recognised line, arc or chain and the curve lie within it of each
// other both ways, and they start and end at the curve's own end points
// (PointAtStart, PointAtEnd): a line from the one to the other, an open arc
// through both, a chain whose first and last vertices are they. A circle
// passes through the curve's start. A closed curve (ends within the
// tolerance) is never a line, and is a chain only of at least three distinct
// segments. Every vertex of a chain is a point of the curve.
//
// Any ON_Curve is accepted; other kinds than NURBS curves are tested through
// their exact NURBS forms, so a NURBS curve that is exactly a line, arc,
// circle or polyline is recognised like the curve it was made from.
// Results: 1 yes (the output is filled), 0 no (the output is untouched).
#pragma once

#include "opennurbs.h"

class TMXCurve {
public:
    // The tolerance when none is set, and the least one used, per unit of size.
    static constexpr double RelativeTolerance = 1e-9;
    // The largest tolerance used, per unit of size, whatever is set.
    static constexpr double MaxRelativeTolerance = 1e-3;

    // A straight segment traversed once from start to end (a two-point
    // polyline is a line; so is a polyline whose vertices all lie on its
    // chord in order). line gets the start and end points.
    static int IsLine(const ON_Curve* curve, ON_Line& line);
    static int IsLine(const ON_Curve& curve, ON_Line& line) { return IsLine(&curve, line); }

    // A circular arc traversed once in one direction, or a full circle. A
    // curve of degree 1 never is: however close its vertices lie to a circle,
    // its corners make it a polygon.
    // arc gets plane (origin at the centre, x axis towards the start point,
    // normal by the right-hand rule of the direction of travel, so a
    // clockwise arc in world XY has normal (0, 0, -1)), radius and the angle
    // interval [0, angle], angle in (0, 2 pi]; 2 pi exactly for a closed curve.
    static int IsArc(const ON_Curve* curve, ON_Arc& arc);
    static int IsArc(const ON_Curve& curve, ON_Arc& arc) { return IsArc(&curve, arc); }

    // A chain of straight segments: polyline gets the vertices first to last
    // (the last repeats the first when the curve is closed). Points where the
    // curve only passes straight on are kept for degree-1 curves (they are
    // its vertices) and dropped for curves of higher degree.
    static int IsPolyline(const ON_Curve* curve, ON_Polyline& polyline);
    static int IsPolyline(const ON_Curve& curve, ON_Polyline& polyline) {
        return IsPolyline(&curve, polyline);
    }

    // The absolute tolerance for the tests above (bounded per curve as said
    // at the top); a value <= 0 or not finite is ignored.
    static void SetAbsoluteTolerance(double tolerance);
    // Back to the relative default.
    static void ResetTolerance();
    // The absolute tolerance in force, or 0 when the relative default applies.
    static double AbsoluteTolerance();
    // The tolerance the tests use for this curve (0 when it cannot be tested).
    static double Tolerance(const ON_Curve* curve);
};
