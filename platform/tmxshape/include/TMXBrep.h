// Edge curves of a B-rep.
#pragma once

#include "opennurbs.h"

class TMXBrep {
public:
    // Appends one NURBS curve per edge, in edge order: the edge's 3D curve
    // over the edge's part of it, reversed where the edge runs against it,
    // on the edge's own domain. An edge shared by several faces is one edge
    // and gives one curve. Returns 1 when every edge gave its curve, 0 when
    // an edge had no usable 3D curve (that edge is skipped; the others are
    // appended).
    static int GetEdgeCurves(const ON_Brep& brep, ON_ClassArray<ON_NurbsCurve>& curves);
};
