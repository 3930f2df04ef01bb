#include "opennurbs_internal.h"

ON_ArcCurve::ON_ArcCurve(const ON_Arc& arc) : m_arc(arc) {
    const double len = arc.Length();
    m_t = ON_Interval(0.0, len > 0.0 ? len : 1.0);
}

ON_ArcCurve::ON_ArcCurve(const ON_Arc& arc, double t0, double t1) : m_arc(arc), m_t(t0, t1) {}

ON_ArcCurve::ON_ArcCurve(const ON_Circle& circle) : ON_ArcCurve(ON_Arc(circle, 2.0 * ON_PI)) {}

ON_ArcCurve::ON_ArcCurve(const ON_Circle& circle, double t0, double t1)
    : m_arc(circle, 2.0 * ON_PI), m_t(t0, t1) {}

bool ON_ArcCurve::IsValid() const {
    return m_arc.IsValid() && m_t.IsIncreasing() && (m_dim == 2 || m_dim == 3);
}

bool ON_ArcCurve::SetDomain(double t0, double t1) {
    if (!(t0 < t1)) return false;
    m_t = ON_Interval(t0, t1);
    return true;
}

bool ON_ArcCurve::GetSpanVector(double* knots) const {
    if (!knots) return false;
    knots[0] = m_t[0], knots[1] = m_t[1];
    return true;
}

bool ON_ArcCurve::Evaluate(double t, int der_count, int v_stride, double* v, int, int*) const {
    if (!v || der_count < 0 || v_stride < m_dim || !m_t.IsIncreasing()) return false;
    const double a = m_arc.m_angle.ParameterAt(m_t.NormalizedParameterAt(t));
    const double da = m_arc.m_angle.Length() / m_t.Length(); // d angle / d t
    double f = 1.0;
    for (int k = 0; k <= der_count; k++) {
        ON_3dVector d = k == 0 ? ON_3dVector(m_arc.PointAt(a)) : m_arc.DerivativeAt(k, a) * f;
        for (int c = 0; c < m_dim; c++)
            v[(size_t)k * v_stride + c] = d[c];
        f *= da;
        if (k == 0) f = da;
    }
    return true;
}

bool ON_ArcCurve::Reverse() {
    m_arc.Reverse();
    m_t.Reverse();
    return true;
}

bool ON_ArcCurve::Transform(const ON_Xform& xform) {
    if (m_dim == 2 && !xform.IsIdentity()) m_dim = 3;
    return m_arc.Transform(xform);
}

int ON_ArcCurve::GetNurbForm(ON_NurbsCurve& nurbs, double, const ON_Interval* subdomain) const {
    if (!IsValid() || !on_internal::ArcNurbForm(m_arc, nurbs)) return 0;
    // Knots on the curve's domain: span boundaries at equal fractions.
    const int kc = nurbs.KnotCount();
    const int spans = kc / 2 - 1;
    for (int s = 0; s <= spans; s++) {
        const double t =
            s == 0 ? m_t[0] : (s == spans ? m_t[1] : m_t.ParameterAt((double)s / spans));
        nurbs.m_knot[2 * s] = t;
        if (2 * s + 1 < kc) nurbs.m_knot[2 * s + 1] = t;
    }
    if (m_dim == 2) nurbs.ChangeDimension(2);
    if (subdomain && *subdomain != m_t && !nurbs.Trim(*subdomain)) return 0;
    return 1;
}
