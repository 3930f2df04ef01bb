// Arc: a circle and an increasing angle interval in radians (at most 2 pi).
#pragma once

#include "opennurbs_circle.h"

class ON_Arc : public ON_Circle {
public:
    ON_Interval m_angle = ON_Interval(0.0, 2.0 * ON_PI);

    ON_Arc() = default;
    ON_Arc(const ON_Circle& circle, double angle_radians);
    ON_Arc(const ON_Circle& circle, ON_Interval angle_interval_radians);
    ON_Arc(const ON_Plane& plane, double radius, double angle_radians);
    ON_Arc(const ON_3dPoint& center, double radius, double angle_radians);
    // Through three points, from P through Q to R.
    ON_Arc(const ON_3dPoint& P, const ON_3dPoint& Q, const ON_3dPoint& R);
    ON_Arc& operator=(const ON_Circle& circle);

    bool Create(const ON_Circle& circle, double angle_radians);
    bool Create(const ON_Circle& circle, ON_Interval angle_interval_radians);
    bool Create(const ON_Plane& plane, double radius, double angle_radians);
    bool Create(const ON_3dPoint& center, double radius, double angle_radians);
    bool Create(const ON_3dPoint& P, const ON_3dPoint& Q, const ON_3dPoint& R);

    bool IsValid() const;
    bool IsCircle() const; // angle length 2 pi within ON_ZERO_TOLERANCE
    ON_Interval Domain() const { return m_angle; }
    ON_Interval DomainRadians() const { return m_angle; }
    double AngleRadians() const { return m_angle.Length(); }
    double AngleDegrees() const { return m_angle.Length() * ON_RADIANS_TO_DEGREES; }
    bool SetAngleRadians(double angle);
    bool SetAngleIntervalRadians(ON_Interval angle);
    ON_3dPoint StartPoint() const { return PointAt(m_angle[0]); }
    ON_3dPoint MidPoint() const { return PointAt(m_angle.Mid()); }
    ON_3dPoint EndPoint() const { return PointAt(m_angle[1]); }
    double Length() const { return std::fabs(m_angle.Length() * radius); }
    bool Reverse();
    bool Transform(const ON_Xform& xform);
    ON_BoundingBox BoundingBox() const;
    // Rational quadratic form over the angle domain. Spans: 1 up to 90
    // degrees, 2 up to 180 degrees, else 4; equal angle per span; every
    // inner knot doubled.
    int GetNurbForm(ON_NurbsCurve& nurbs) const;
};
