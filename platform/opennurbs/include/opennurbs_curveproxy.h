// A curve that is part of another curve, possibly reversed, with a domain of
// its own. It does not own the curve it refers to. Proxy parameter t maps to
// the real parameter m_real_curve_domain.ParameterAt(s) with
// s = m_this_domain.NormalizedParameterAt(t), or 1 - s when reversed.
#pragma once

#include "opennurbs_nurbscurve.h"

class ON_CurveProxy : public ON_Curve {
public:
    ON_CurveProxy() = default;
    explicit ON_CurveProxy(const ON_Curve* real_curve);
    ON_CurveProxy(const ON_Curve* real_curve, ON_Interval real_curve_subdomain);

    // Refers to the whole curve; both domains become its domain.
    void SetProxyCurve(const ON_Curve* real_curve);
    // Refers to part of the curve; this domain becomes that part's interval.
    void SetProxyCurve(const ON_Curve* real_curve, ON_Interval real_curve_subdomain);
    virtual const ON_Curve* ProxyCurve() const { return m_real_curve; }
    ON_Interval ProxyCurveDomain() const { return m_real_curve_domain; }
    bool SetProxyCurveDomain(ON_Interval real_curve_subdomain);
    bool ProxyCurveIsReversed() const { return m_bReversed; }
    double RealCurveParameter(double t) const;
    double ThisCurveParameter(double real_t) const;

    bool IsValid() const override;
    int Dimension() const override;
    ON_Interval Domain() const override { return m_this_domain; }
    bool SetDomain(double t0, double t1) override;
    int SpanCount() const override;
    bool GetSpanVector(double* knots) const override;
    int Degree() const override;
    bool Evaluate(double t, int der_count, int v_stride, double* v, int side = 0,
                  int* hint = nullptr) const override;
    bool IsPeriodic() const override;
    // Toggles the reversed flag (the real curve is unchanged).
    bool Reverse() override;
    // A proxy is transformed through the owner of the real curve.
    bool Transform(const ON_Xform&) override { return false; }
    // The NURBS form of the part it refers to.
    ON_Curve* DuplicateCurve() const override;
    int GetNurbForm(ON_NurbsCurve& nurbs, double tolerance = 0.0,
                    const ON_Interval* subdomain = nullptr) const override;

    // Public (private in openNURBS) so that a reader can fill them directly.
    const ON_Curve* m_real_curve = nullptr;
    ON_Interval m_real_curve_domain;
    ON_Interval m_this_domain;
    bool m_bReversed = false;
};
