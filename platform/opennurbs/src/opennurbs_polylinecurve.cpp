#include "opennurbs_internal.h"

#include <algorithm>

ON_PolylineCurve::ON_PolylineCurve(const ON_3dPointArray& points) : m_pline(points) {
    m_t.Reserve(points.Count());
    for (int i = 0; i < points.Count(); i++)
        m_t.Append((double)i);
}

bool ON_PolylineCurve::IsValid() const {
    if (m_pline.Count() < 2 || m_t.Count() != m_pline.Count()) return false;
    for (int i = 1; i < m_t.Count(); i++)
        if (!(m_t[i - 1] < m_t[i])) return false;
    return true;
}

ON_Interval ON_PolylineCurve::Domain() const {
    if (m_t.Count() < 2) return ON_Interval();
    return ON_Interval(m_t[0], m_t[m_t.Count() - 1]);
}

bool ON_PolylineCurve::SetDomain(double t0, double t1) {
    return on_internal::RemapParameters(m_t, t0, t1);
}

bool ON_PolylineCurve::GetSpanVector(double* knots) const {
    if (!knots || m_t.Count() < 2) return false;
    for (int i = 0; i < m_t.Count(); i++)
        knots[i] = m_t[i];
    return true;
}

bool ON_PolylineCurve::Evaluate(double t, int der_count, int v_stride, double* v, int side,
                                int*) const {
    if (!v || der_count < 0 || v_stride < m_dim || !IsValid()) return false;
    const int n = m_t.Count();
    // Segment i with m_t[i] <= t < m_t[i+1] (from below at a vertex when side < 0).
    int i = (int)(std::upper_bound(m_t.Array(), m_t.Array() + n, t) - m_t.Array()) - 1;
    if (side < 0 && i > 0 && t == m_t[i]) i--;
    i = std::max(0, std::min(i, n - 2));
    const ON_Interval seg(m_t[i], m_t[i + 1]);
    const double s = seg.NormalizedParameterAt(t);
    const ON_3dPoint p = ON_Line(m_pline[i], m_pline[i + 1]).PointAt(s);
    const ON_3dVector d = (m_pline[i + 1] - m_pline[i]) / seg.Length();
    on_internal::EvaluateStraight(p, d, m_dim, der_count, v_stride, v);
    return true;
}

bool ON_PolylineCurve::IsClosed() const {
    return m_pline.IsClosed(0.0);
}

bool ON_PolylineCurve::Reverse() {
    m_pline.Reverse();
    m_t.Reverse();
    for (int i = 0; i < m_t.Count(); i++)
        m_t[i] = -m_t[i];
    return true;
}

bool ON_PolylineCurve::Transform(const ON_Xform& xform) {
    if (m_dim == 2 && !xform.IsIdentity()) m_dim = 3;
    return m_pline.Transform(xform);
}

int ON_PolylineCurve::GetNurbForm(ON_NurbsCurve& nurbs, double,
                                  const ON_Interval* subdomain) const {
    if (!IsValid()) return 0;
    const int n = m_pline.Count();
    if (!nurbs.Create(m_dim, false, 2, n)) return 0;
    for (int i = 0; i < n; i++) {
        nurbs.SetCV(i, m_pline[i]);
        nurbs.m_knot[i] = m_t[i];
    }
    if (subdomain && *subdomain != Domain() && !nurbs.Trim(*subdomain)) return 0;
    return 1;
}
