#include "opennurbs.h"

const ON_Plane ON_Plane::World_xy;
const ON_Plane ON_Plane::World_yz(ON_3dPoint::Origin, ON_3dVector::YAxis, ON_3dVector::ZAxis);
const ON_Plane ON_Plane::World_zx(ON_3dPoint::Origin, ON_3dVector::ZAxis, ON_3dVector::XAxis);

ON_Plane::ON_Plane(const ON_3dPoint& o, const ON_3dVector& normal) {
    CreateFromNormal(o, normal);
}

ON_Plane::ON_Plane(const ON_3dPoint& o, const ON_3dVector& x_dir, const ON_3dVector& y_dir) {
    CreateFromFrame(o, x_dir, y_dir);
}

bool ON_Plane::CreateFromNormal(const ON_3dPoint& o, const ON_3dVector& normal) {
    origin = o;
    zaxis = normal;
    const bool ok = zaxis.Unitize();
    xaxis.PerpendicularTo(zaxis);
    yaxis = ON_CrossProduct(zaxis, xaxis);
    yaxis.Unitize();
    UpdateEquation();
    return ok;
}

bool ON_Plane::CreateFromFrame(const ON_3dPoint& o, const ON_3dVector& x_dir,
                               const ON_3dVector& y_dir) {
    origin = o;
    xaxis = x_dir;
    if (!xaxis.Unitize()) return false;
    // Gram-Schmidt: the y axis is the part of y_dir perpendicular to x.
    yaxis = y_dir - xaxis * (xaxis * y_dir);
    if (!yaxis.Unitize()) return false;
    zaxis = ON_CrossProduct(xaxis, yaxis);
    if (!zaxis.Unitize()) return false;
    return UpdateEquation();
}

bool ON_Plane::CreateFromPoints(const ON_3dPoint& P, const ON_3dPoint& Q, const ON_3dPoint& R) {
    return CreateFromFrame(P, Q - P, R - P);
}

bool ON_Plane::IsValid() const {
    if (!origin.IsValid() || !xaxis.IsUnitVector() || !yaxis.IsUnitVector() ||
        !zaxis.IsUnitVector())
        return false;
    const double tol = ON_SQRT_EPSILON;
    return std::fabs(xaxis * yaxis) <= tol && std::fabs(yaxis * zaxis) <= tol &&
           std::fabs(zaxis * xaxis) <= tol &&
           (ON_CrossProduct(xaxis, yaxis) - zaxis).Length() <= tol;
}

void ON_Plane::SetOrigin(const ON_3dPoint& p) {
    origin = p;
    UpdateEquation();
}

bool ON_Plane::UpdateEquation() {
    plane_equation = ON_PlaneEquation(zaxis.x, zaxis.y, zaxis.z, -(zaxis * ON_3dVector(origin)));
    return zaxis.IsValid();
}

bool ON_Plane::ClosestPointTo(const ON_3dPoint& p, double* s, double* t) const {
    const ON_3dVector v = p - origin;
    if (s) *s = v * xaxis;
    if (t) *t = v * yaxis;
    return true;
}

ON_3dPoint ON_Plane::ClosestPointTo(const ON_3dPoint& p) const {
    double s = 0.0, t = 0.0;
    ClosestPointTo(p, &s, &t);
    return PointAt(s, t);
}

double ON_Plane::DistanceTo(const ON_3dPoint& p) const {
    return (p - origin) * zaxis;
}

bool ON_Plane::Flip() {
    const ON_3dVector x = xaxis;
    xaxis = yaxis;
    yaxis = x;
    zaxis = -zaxis;
    UpdateEquation();
    return true;
}

bool ON_Plane::Transform(const ON_Xform& xform) {
    const ON_3dPoint o = xform * origin;
    // Transform points along the axes so perspective and non-uniform
    // scales give the right directions; re-orthonormalise afterwards.
    const ON_3dVector x = xform * (origin + xaxis) - o;
    const ON_3dVector y = xform * (origin + yaxis) - o;
    // A mirror keeps the images of x and y, so z = x cross y flips with them.
    ON_Plane p;
    if (!p.CreateFromFrame(o, x, y)) return false;
    *this = p;
    return true;
}
