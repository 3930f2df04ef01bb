// Line segment from -> to; the parameter t in [0, 1] runs along it.
#pragma once

#include "opennurbs_point.h"

class ON_Line {
public:
    ON_3dPoint from;
    ON_3dPoint to;
    ON_Line() = default;
    ON_Line(const ON_3dPoint& from_pt, const ON_3dPoint& to_pt) : from(from_pt), to(to_pt) {}

    ON_3dPoint& operator[](int i) { return i ? to : from; }
    const ON_3dPoint& operator[](int i) const { return i ? to : from; }
    bool Create(const ON_3dPoint& from_pt, const ON_3dPoint& to_pt);
    bool IsValid() const;
    ON_3dVector Direction() const { return to - from; }
    ON_3dVector Tangent() const;
    double Length() const { return from.DistanceTo(to); }
    ON_3dPoint PointAt(double t) const;
    // Parameter of the closest point on the infinite line.
    bool ClosestPointTo(const ON_3dPoint& p, double* t) const;
    // Closest point on the segment.
    ON_3dPoint ClosestPointTo(const ON_3dPoint& p) const;
    double DistanceTo(const ON_3dPoint& p) const;
    bool Transform(const ON_Xform& xform);
    void Reverse();
    ON_BoundingBox BoundingBox() const;
};
