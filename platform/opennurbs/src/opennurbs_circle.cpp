#include "opennurbs_internal.h"

ON_Circle::ON_Circle(const ON_Plane& p, double r) {
    Create(p, r);
}
ON_Circle::ON_Circle(const ON_3dPoint& c, double r) {
    Create(c, r);
}
ON_Circle::ON_Circle(const ON_Plane& p, const ON_3dPoint& c, double r) {
    Create(p, c, r);
}
ON_Circle::ON_Circle(const ON_3dPoint& P, const ON_3dPoint& Q, const ON_3dPoint& R) {
    Create(P, Q, R);
}

bool ON_Circle::Create(const ON_Plane& p, double r) {
    plane = p;
    radius = r;
    return IsValid();
}

bool ON_Circle::Create(const ON_3dPoint& c, double r) {
    ON_Plane p;
    p.SetOrigin(c);
    return Create(p, r);
}

bool ON_Circle::Create(const ON_Plane& p, const ON_3dPoint& c, double r) {
    plane = p;
    plane.SetOrigin(c);
    radius = r;
    return IsValid();
}

// Centre: where the perpendicular bisectors of PQ and PR meet in the plane
// of the three points.
bool ON_Circle::Create(const ON_3dPoint& P, const ON_3dPoint& Q, const ON_3dPoint& R) {
    const ON_3dVector a = Q - P, b = R - P;
    const ON_3dVector n = ON_CrossProduct(a, b);
    const double nn = n * n;
    if (!(nn > 0.0) || nn <= 1e-28 * (a * a) * (b * b)) return false;
    const ON_3dVector c =
        (ON_CrossProduct(n, a) * (b * b) + ON_CrossProduct(b, n) * (a * a)) * (0.5 / nn);
    const ON_3dPoint center = P + c;
    ON_Plane p;
    if (!p.CreateFromFrame(center, P - center, ON_CrossProduct(n, P - center))) return false;
    plane = p;
    radius = (P - center).Length();
    return IsValid();
}

bool ON_Circle::IsValid() const {
    return ON_IsValid(radius) && radius > 0.0 && plane.IsValid();
}

ON_3dPoint ON_Circle::PointAt(double t) const {
    return plane.PointAt(radius * std::cos(t), radius * std::sin(t));
}

ON_3dVector ON_Circle::DerivativeAt(int order, double t) const {
    double c = std::cos(t), s = std::sin(t);
    double dx, dy;
    switch (order % 4) {
    case 0:
        dx = c, dy = s;
        break;
    case 1:
        dx = -s, dy = c;
        break;
    case 2:
        dx = -c, dy = -s;
        break;
    default:
        dx = s, dy = -c;
        break;
    }
    return (plane.xaxis * dx + plane.yaxis * dy) * radius;
}

ON_3dVector ON_Circle::TangentAt(double t) const {
    return DerivativeAt(1, t).UnitVector();
}

bool ON_Circle::ClosestPointTo(const ON_3dPoint& p, double* t) const {
    double u = 0.0, v = 0.0;
    plane.ClosestPointTo(p, &u, &v);
    if (u == 0.0 && v == 0.0) {
        if (t) *t = 0.0;
        return false; // every point is closest
    }
    double a = std::atan2(v, u);
    if (a < 0.0) a += 2.0 * ON_PI;
    if (a >= 2.0 * ON_PI) a = 0.0;
    if (t) *t = a;
    return true;
}

ON_3dPoint ON_Circle::ClosestPointTo(const ON_3dPoint& p) const {
    double t = 0.0;
    ClosestPointTo(p, &t);
    return PointAt(t);
}

bool ON_Circle::Transform(const ON_Xform& xform) {
    // Only similarities keep a circle a circle.
    double scale = 1.0;
    if (!on_internal::IsSimilarity(xform, &scale)) return false;
    const ON_3dPoint o = xform * plane.origin;
    ON_Plane p;
    if (!p.CreateFromFrame(o, xform * (plane.origin + plane.xaxis) - o,
                           xform * (plane.origin + plane.yaxis) - o))
        return false;
    plane = p;
    radius *= scale;
    return true;
}

bool ON_Circle::Reverse() {
    plane.yaxis = -plane.yaxis;
    plane.zaxis = -plane.zaxis;
    plane.UpdateEquation();
    return true;
}

int ON_Circle::GetNurbForm(ON_NurbsCurve& nurbs) const {
    ON_Arc arc(*this, 2.0 * ON_PI);
    return arc.GetNurbForm(nurbs);
}
