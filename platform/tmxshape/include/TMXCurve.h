// Curve classification: is a curve a line, an arc (or circle), a polyline?
//
// Tolerance: a test answers 1 only when every point of the curve lies within
// the tolerance of the recognised shape. By default the tolerance is
// TMXCurve::RelativeTolerance (1e-9) times the curve's size, the diagonal of
// the bounding box of its control points. An import run that knows the
// file's absolute tolerance sets it with SetAbsoluteTolerance before it
// converts and calls ResetTolerance afterwards; while set, that absolute
// value is the tolerance. The setting is process-wide and not thread-safe
// (the host calls us on its user-interface thread only).
//
// Any ON_Curve is accepted; other kinds than NURBS curves are tested through
// their exact NURBS forms, so a NURBS curve that is exactly a line, arc,
// circle or polyline is recognised like the curve it was made from.
// Results: 1 yes (the output is filled), 0 no (the output is untouched).
#pragma once

#include "opennurbs.h"

class TMXCurve {
public:
    static constexpr double RelativeTolerance = 1e-9;

    // A straight segment traversed once from start to end (a two-point
    // polyline is a line; so is a polyline whose vertices all lie on its
    // chord in order). line gets the start and end points.
    static int IsLine(const ON_Curve* curve, ON_Line& line);
    static int IsLine(const ON_Curve& curve, ON_Line& line) { return IsLine(&curve, line); }

    // A circular arc traversed once in one direction, or a full circle.
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

    // The absolute tolerance for the tests above; a value <= 0 or not finite
    // is ignored (the relative default stays).
    static void SetAbsoluteTolerance(double tolerance);
    // Back to the relative default.
    static void ResetTolerance();
    // The absolute tolerance in force, or 0 when the relative default applies.
    static double AbsoluteTolerance();
    // The tolerance the tests use for this curve.
    static double Tolerance(const ON_Curve* curve);
};
