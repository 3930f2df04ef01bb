// Surface of revolution: the profile m_curve turned about m_axis through the
// angle interval m_angle (radians, right-hand rule about from -> to). The
// angle parameter runs over m_t; it is u unless m_bTransposed.
#pragma once

#include "opennurbs_line.h"
#include "opennurbs_nurbssurface.h"

class ON_RevSurface : public ON_Surface {
public:
    ON_RevSurface() = default;
    ON_RevSurface(const ON_RevSurface& src);
    ON_RevSurface& operator=(const ON_RevSurface& src);
    ~ON_RevSurface() override;

    static ON_RevSurface* Cast(ON_Object* p) { return dynamic_cast<ON_RevSurface*>(p); }
    static const ON_RevSurface* Cast(const ON_Object* p) {
        return dynamic_cast<const ON_RevSurface*>(p);
    }

    // Takes ownership of profile; full turn with m_t = m_angle.
    bool Create(ON_Curve* profile, const ON_Line& axis,
                ON_Interval angle = ON_Interval(0.0, 2.0 * ON_PI));

    bool IsValid() const override;
    int Dimension() const override;
    ON_Interval Domain(int dir) const override;
    bool SetDomain(int dir, double t0, double t1) override;
    int SpanCount(int dir) const override;
    bool GetSpanVector(int dir, double* knots) const override;
    int Degree(int dir) const override;
    bool Evaluate(double s, double t, int der_count, int v_stride, double* v, int quadrant = 0,
                  int* hint = nullptr) const override;
    bool IsClosed(int dir) const override;
    bool IsPeriodic(int dir) const override;
    bool Transpose() override;
    bool Transform(const ON_Xform& xform) override;
    ON_Surface* DuplicateSurface() const override { return new ON_RevSurface(*this); }
    // Angle direction: the arc form of ON_Arc (1, 2 or 4 spans) on m_t;
    // profile direction: the profile's NURBS form.
    int GetNurbForm(ON_NurbsSurface& nurbs, double tolerance = 0.0) const override;

    ON_Curve* m_curve = nullptr; // owned: deleted with the surface
    ON_Line m_axis;
    ON_Interval m_angle = ON_Interval(0.0, 2.0 * ON_PI);
    ON_Interval m_t = ON_Interval(0.0, 2.0 * ON_PI);
    bool m_bTransposed = false;
    ON_BoundingBox m_bbox;
};
