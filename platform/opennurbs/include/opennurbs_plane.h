// Plane: an origin and an orthonormal right-handed frame, with its equation.
#pragma once

#include "opennurbs_point.h"

// a x + b y + c z + d = 0 with (a, b, c) = (x, y, z).
class ON_PlaneEquation {
public:
    double x = 0.0, y = 0.0, z = 0.0, d = 0.0;
    ON_PlaneEquation() = default;
    ON_PlaneEquation(double a, double b, double c, double d_) : x(a), y(b), z(c), d(d_) {}
    double ValueAt(const ON_3dPoint& p) const { return x * p.x + y * p.y + z * p.z + d; }
};

class ON_Plane {
public:
    ON_3dPoint origin;
    ON_3dVector xaxis = ON_3dVector(1, 0, 0);
    ON_3dVector yaxis = ON_3dVector(0, 1, 0);
    ON_3dVector zaxis = ON_3dVector(0, 0, 1);
    ON_PlaneEquation plane_equation = ON_PlaneEquation(0, 0, 1, 0);

    // The world XY plane.
    ON_Plane() = default;
    // Through origin with the given normal; axes chosen perpendicular.
    ON_Plane(const ON_3dPoint& origin, const ON_3dVector& normal);
    // Through origin, x axis along x_dir, y axis in the plane of x_dir and y_dir.
    ON_Plane(const ON_3dPoint& origin, const ON_3dVector& x_dir, const ON_3dVector& y_dir);

    bool CreateFromNormal(const ON_3dPoint& origin, const ON_3dVector& normal);
    bool CreateFromFrame(const ON_3dPoint& origin, const ON_3dVector& x_dir,
                         const ON_3dVector& y_dir);
    // Through three points: origin P, x axis towards Q, R on the positive y side.
    bool CreateFromPoints(const ON_3dPoint& P, const ON_3dPoint& Q, const ON_3dPoint& R);

    bool IsValid() const;
    const ON_3dPoint& Origin() const { return origin; }
    const ON_3dVector& Xaxis() const { return xaxis; }
    const ON_3dVector& Yaxis() const { return yaxis; }
    const ON_3dVector& Normal() const { return zaxis; }
    void SetOrigin(const ON_3dPoint& p);
    bool UpdateEquation();

    ON_3dPoint PointAt(double s, double t) const { return origin + xaxis * s + yaxis * t; }
    ON_3dPoint PointAt(double s, double t, double c) const {
        return origin + xaxis * s + yaxis * t + zaxis * c;
    }
    bool ClosestPointTo(const ON_3dPoint& p, double* s, double* t) const;
    ON_3dPoint ClosestPointTo(const ON_3dPoint& p) const;
    // Signed distance along the normal.
    double DistanceTo(const ON_3dPoint& p) const;
    // Reverses the normal: swaps the x and y axes.
    bool Flip();
    bool Transform(const ON_Xform& xform);

    static const ON_Plane World_xy;
    static const ON_Plane World_yz;
    static const ON_Plane World_zx;
};
