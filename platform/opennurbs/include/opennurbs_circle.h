// Circle: a plane (centre at its origin) and a radius.
#pragma once

#include "opennurbs_plane.h"

class ON_Circle {
public:
    ON_Plane plane;
    double radius = 1.0;

    ON_Circle() = default;
    ON_Circle(const ON_Plane& plane, double radius);
    ON_Circle(const ON_3dPoint& center, double radius); // in a plane parallel to world XY
    ON_Circle(const ON_Plane& plane, const ON_3dPoint& center, double radius);
    // Through three points; the plane's x axis points at P, the normal follows P, Q, R.
    ON_Circle(const ON_3dPoint& P, const ON_3dPoint& Q, const ON_3dPoint& R);
    virtual ~ON_Circle() = default;

    bool Create(const ON_Plane& plane, double radius);
    bool Create(const ON_3dPoint& center, double radius);
    bool Create(const ON_Plane& plane, const ON_3dPoint& center, double radius);
    bool Create(const ON_3dPoint& P, const ON_3dPoint& Q, const ON_3dPoint& R);

    bool IsValid() const;
    const ON_3dPoint& Center() const { return plane.origin; }
    const ON_3dVector& Normal() const { return plane.zaxis; }
    const ON_Plane& Plane() const { return plane; }
    double Radius() const { return radius; }
    double Diameter() const { return 2.0 * radius; }
    double Circumference() const { return 2.0 * ON_PI * std::fabs(radius); }

    // Point at angle t radians: centre + r cos(t) xaxis + r sin(t) yaxis.
    ON_3dPoint PointAt(double t) const;
    ON_3dVector DerivativeAt(int order, double t) const;
    ON_3dVector TangentAt(double t) const;
    // Angle of the point's projection onto the plane, in [0, 2 pi).
    bool ClosestPointTo(const ON_3dPoint& p, double* t) const;
    ON_3dPoint ClosestPointTo(const ON_3dPoint& p) const;
    // Similarities only (see ON_Geometry::Transform).
    bool Transform(const ON_Xform& xform);
    bool Reverse(); // flips the plane: angle t becomes -t
    // Rational quadratic form: 4 spans of 90 degrees, 9 CVs, knots at
    // multiples of pi/2 on the angle domain [0, 2 pi].
    int GetNurbForm(ON_NurbsCurve& nurbs) const;
};
