#include "opennurbs.h"

bool ON_Line::Create(const ON_3dPoint& from_pt, const ON_3dPoint& to_pt) {
    from = from_pt;
    to = to_pt;
    return IsValid();
}

bool ON_Line::IsValid() const {
    return from.IsValid() && to.IsValid() && from != to;
}

ON_3dVector ON_Line::Tangent() const {
    return Direction().UnitVector();
}

ON_3dPoint ON_Line::PointAt(double t) const {
    // Exact at both ends.
    if (t == 0.0) return from;
    if (t == 1.0) return to;
    const double s = 1.0 - t;
    return ON_3dPoint(s * from.x + t * to.x, s * from.y + t * to.y, s * from.z + t * to.z);
}

bool ON_Line::ClosestPointTo(const ON_3dPoint& p, double* t) const {
    const ON_3dVector d = Direction();
    const double dd = d * d;
    if (!(dd > 0.0)) {
        if (t) *t = 0.0;
        return false;
    }
    if (t) *t = ((p - from) * d) / dd;
    return true;
}

ON_3dPoint ON_Line::ClosestPointTo(const ON_3dPoint& p) const {
    double t = 0.0;
    ClosestPointTo(p, &t);
    if (t < 0.0) t = 0.0;
    if (t > 1.0) t = 1.0;
    return PointAt(t);
}

double ON_Line::DistanceTo(const ON_3dPoint& p) const {
    return p.DistanceTo(ClosestPointTo(p));
}

bool ON_Line::Transform(const ON_Xform& xform) {
    from = xform * from;
    to = xform * to;
    return true;
}

void ON_Line::Reverse() {
    const ON_3dPoint p = from;
    from = to;
    to = p;
}

ON_BoundingBox ON_Line::BoundingBox() const {
    ON_BoundingBox b;
    b.Set(from, 0);
    b.Set(to, 1);
    return b;
}
