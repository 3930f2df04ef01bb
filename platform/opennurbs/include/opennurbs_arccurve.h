// Arc curve: its domain m_t maps linearly onto the arc's angle interval.
#pragma once

#include "opennurbs_arc.h"
#include "opennurbs_nurbscurve.h"

class ON_ArcCurve : public ON_Curve {
public:
    ON_ArcCurve() = default;
    // Domain [0, arc length].
    explicit ON_ArcCurve(const ON_Arc& arc);
    ON_ArcCurve(const ON_Arc& arc, double t0, double t1);
    explicit ON_ArcCurve(const ON_Circle& circle);
    ON_ArcCurve(const ON_Circle& circle, double t0, double t1);

    static ON_ArcCurve* Cast(ON_Object* p) { return dynamic_cast<ON_ArcCurve*>(p); }
    static const ON_ArcCurve* Cast(const ON_Object* p) {
        return dynamic_cast<const ON_ArcCurve*>(p);
    }

    bool IsValid() const override;
    int Dimension() const override { return m_dim; }
    ON_Interval Domain() const override { return m_t; }
    bool SetDomain(double t0, double t1) override;
    int SpanCount() const override { return 1; }
    bool GetSpanVector(double* knots) const override;
    int Degree() const override { return 2; }
    bool Evaluate(double t, int der_count, int v_stride, double* v, int side = 0,
                  int* hint = nullptr) const override;
    bool IsCircle() const { return m_arc.IsCircle(); }
    bool IsClosed() const override { return m_arc.IsCircle(); }
    bool IsPeriodic() const override { return m_arc.IsCircle(); }
    double Radius() const { return m_arc.radius; }
    bool Reverse() override;
    bool Transform(const ON_Xform& xform) override;
    ON_Curve* DuplicateCurve() const override { return new ON_ArcCurve(*this); }
    // The arc's rational form (see ON_Arc::GetNurbForm) on the domain m_t.
    int GetNurbForm(ON_NurbsCurve& nurbs, double tolerance = 0.0,
                    const ON_Interval* subdomain = nullptr) const override;

    ON_Arc m_arc;
    ON_Interval m_t = ON_Interval(0.0, 1.0);
    int m_dim = 3;
};
