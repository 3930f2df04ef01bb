#include "opennurbs_internal.h"

ON_CurveProxy::ON_CurveProxy(const ON_Curve* c) {
    SetProxyCurve(c);
}

ON_CurveProxy::ON_CurveProxy(const ON_Curve* c, ON_Interval sub) {
    SetProxyCurve(c, sub);
}

void ON_CurveProxy::SetProxyCurve(const ON_Curve* c) {
    m_real_curve = c;
    m_real_curve_domain = m_this_domain = c ? c->Domain() : ON_Interval();
    m_bReversed = false;
}

void ON_CurveProxy::SetProxyCurve(const ON_Curve* c, ON_Interval sub) {
    m_real_curve = c;
    m_real_curve_domain = m_this_domain = sub;
    m_bReversed = false;
}

bool ON_CurveProxy::SetProxyCurveDomain(ON_Interval sub) {
    if (!sub.IsIncreasing()) return false;
    m_real_curve_domain = sub;
    return true;
}

double ON_CurveProxy::RealCurveParameter(double t) const {
    double s = m_this_domain.NormalizedParameterAt(t);
    if (m_bReversed) s = 1.0 - s;
    return m_real_curve_domain.ParameterAt(s);
}

double ON_CurveProxy::ThisCurveParameter(double real_t) const {
    double s = m_real_curve_domain.NormalizedParameterAt(real_t);
    if (m_bReversed) s = 1.0 - s;
    return m_this_domain.ParameterAt(s);
}

bool ON_CurveProxy::IsValid() const {
    const ON_Curve* c = ProxyCurve();
    return c && c->IsValid() && m_this_domain.IsIncreasing() && m_real_curve_domain.IsIncreasing();
}

int ON_CurveProxy::Dimension() const {
    const ON_Curve* c = ProxyCurve();
    return c ? c->Dimension() : 0;
}

bool ON_CurveProxy::SetDomain(double t0, double t1) {
    if (!(t0 < t1)) return false;
    m_this_domain = ON_Interval(t0, t1);
    return true;
}

int ON_CurveProxy::SpanCount() const {
    ON_NurbsCurve c;
    return GetNurbForm(c) ? c.SpanCount() : 0;
}

bool ON_CurveProxy::GetSpanVector(double* knots) const {
    ON_NurbsCurve c;
    return GetNurbForm(c) && c.GetSpanVector(knots);
}

int ON_CurveProxy::Degree() const {
    const ON_Curve* c = ProxyCurve();
    return c ? c->Degree() : 0;
}

bool ON_CurveProxy::Evaluate(double t, int der_count, int v_stride, double* v, int side,
                             int*) const {
    const ON_Curve* c = ProxyCurve();
    if (!c || !v || der_count < 0 || !m_this_domain.IsIncreasing()) return false;
    const double rt = RealCurveParameter(t);
    if (!c->Evaluate(rt, der_count, v_stride, v, m_bReversed ? -side : side)) return false;
    // Chain rule: d/dt = (real length / this length) d/drt, negated when reversed.
    const double f =
        (m_bReversed ? -1.0 : 1.0) * m_real_curve_domain.Length() / m_this_domain.Length();
    const int dim = c->Dimension();
    double g = f;
    for (int k = 1; k <= der_count; k++, g *= f)
        for (int j = 0; j < dim; j++)
            v[(size_t)k * v_stride + j] *= g;
    return true;
}

bool ON_CurveProxy::IsPeriodic() const {
    const ON_Curve* c = ProxyCurve();
    return c && m_real_curve_domain == c->Domain() && c->IsPeriodic();
}

bool ON_CurveProxy::Reverse() {
    m_bReversed = !m_bReversed;
    return true;
}

ON_Curve* ON_CurveProxy::DuplicateCurve() const {
    ON_NurbsCurve* c = new ON_NurbsCurve();
    if (!GetNurbForm(*c)) {
        delete c;
        return nullptr;
    }
    return c;
}

int ON_CurveProxy::GetNurbForm(ON_NurbsCurve& nurbs, double tolerance,
                               const ON_Interval* subdomain) const {
    const ON_Curve* c = ProxyCurve();
    if (!c || !m_this_domain.IsIncreasing() || !m_real_curve_domain.IsIncreasing()) return 0;
    const ON_Interval whole = c->Domain();
    const ON_Interval* part = (m_real_curve_domain == whole) ? nullptr : &m_real_curve_domain;
    if (!c->GetNurbForm(nurbs, tolerance, part)) return 0;
    if (m_bReversed && !nurbs.Reverse()) return 0;
    if (!nurbs.SetDomain(m_this_domain[0], m_this_domain[1])) return 0;
    if (subdomain && *subdomain != m_this_domain && !nurbs.Trim(*subdomain)) return 0;
    return 1;
}
