#include "opennurbs_internal.h"

ON_Arc::ON_Arc(const ON_Circle& c, double angle) {
    Create(c, angle);
}
ON_Arc::ON_Arc(const ON_Circle& c, ON_Interval angle) {
    Create(c, angle);
}
ON_Arc::ON_Arc(const ON_Plane& p, double r, double angle) {
    Create(p, r, angle);
}
ON_Arc::ON_Arc(const ON_3dPoint& c, double r, double angle) {
    Create(c, r, angle);
}
ON_Arc::ON_Arc(const ON_3dPoint& P, const ON_3dPoint& Q, const ON_3dPoint& R) {
    Create(P, Q, R);
}

ON_Arc& ON_Arc::operator=(const ON_Circle& c) {
    ON_Circle::operator=(c);
    m_angle = ON_Interval(0.0, 2.0 * ON_PI);
    return *this;
}

bool ON_Arc::Create(const ON_Circle& c, double angle) {
    return Create(c, ON_Interval(0.0, angle));
}

bool ON_Arc::Create(const ON_Circle& c, ON_Interval angle) {
    ON_Circle::operator=(c);
    m_angle = angle;
    return IsValid();
}

bool ON_Arc::Create(const ON_Plane& p, double r, double angle) {
    return Create(ON_Circle(p, r), angle);
}

bool ON_Arc::Create(const ON_3dPoint& c, double r, double angle) {
    return Create(ON_Circle(c, r), angle);
}

bool ON_Arc::Create(const ON_3dPoint& P, const ON_3dPoint& Q, const ON_3dPoint& R) {
    ON_Circle c;
    if (!c.Create(P, Q, R)) return false;
    // The circle's x axis points at P and its normal follows P, Q, R, so R
    // lies at the arc's end angle.
    double a = 0.0;
    c.ClosestPointTo(R, &a);
    if (!(a > 0.0)) a = 2.0 * ON_PI;
    return Create(c, ON_Interval(0.0, a));
}

bool ON_Arc::IsValid() const {
    return ON_Circle::IsValid() && m_angle.IsIncreasing() &&
           m_angle.Length() <= 2.0 * ON_PI + ON_ZERO_TOLERANCE;
}

bool ON_Arc::IsCircle() const {
    return std::fabs(m_angle.Length() - 2.0 * ON_PI) <= ON_ZERO_TOLERANCE;
}

bool ON_Arc::SetAngleRadians(double a) {
    if (!(a > 0.0)) return false;
    m_angle.m_t[1] = m_angle.m_t[0] + std::min(a, 2.0 * ON_PI);
    return true;
}

bool ON_Arc::SetAngleIntervalRadians(ON_Interval angle) {
    if (!angle.IsIncreasing() || angle.Length() > 2.0 * ON_PI + ON_ZERO_TOLERANCE) return false;
    m_angle = angle;
    return true;
}

bool ON_Arc::Reverse() {
    ON_Circle::Reverse();
    m_angle.Reverse();
    return true;
}

bool ON_Arc::Transform(const ON_Xform& xform) {
    return ON_Circle::Transform(xform);
}

ON_BoundingBox ON_Arc::BoundingBox() const {
    ON_NurbsCurve c;
    if (!GetNurbForm(c)) return ON_BoundingBox();
    return c.BoundingBox();
}

int ON_Arc::GetNurbForm(ON_NurbsCurve& nurbs) const {
    if (!IsValid()) return 0;
    return on_internal::ArcNurbForm(*this, nurbs) ? 1 : 0;
}
