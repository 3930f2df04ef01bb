#include "opennurbs_internal.h"

ON_LineCurve::ON_LineCurve(const ON_Line& line) : m_line(line) {
    const double len = line.Length();
    m_t = ON_Interval(0.0, len > 0.0 ? len : 1.0);
}

ON_LineCurve::ON_LineCurve(const ON_3dPoint& from, const ON_3dPoint& to)
    : ON_LineCurve(ON_Line(from, to)) {}

ON_LineCurve::ON_LineCurve(const ON_Line& line, double t0, double t1) : m_line(line), m_t(t0, t1) {}

bool ON_LineCurve::IsValid() const {
    return m_line.IsValid() && m_t.IsIncreasing() && (m_dim == 2 || m_dim == 3);
}

bool ON_LineCurve::SetDomain(double t0, double t1) {
    if (!(t0 < t1)) return false;
    m_t = ON_Interval(t0, t1);
    return true;
}

bool ON_LineCurve::GetSpanVector(double* knots) const {
    if (!knots) return false;
    knots[0] = m_t[0], knots[1] = m_t[1];
    return true;
}

bool ON_LineCurve::Evaluate(double t, int der_count, int v_stride, double* v, int, int*) const {
    if (!v || der_count < 0 || v_stride < m_dim || !m_t.IsIncreasing()) return false;
    const ON_3dPoint p = m_line.PointAt(m_t.NormalizedParameterAt(t));
    const ON_3dVector d = m_line.Direction() / m_t.Length();
    on_internal::EvaluateStraight(p, d, m_dim, der_count, v_stride, v);
    return true;
}

namespace on_internal {
void EvaluateStraight(const ON_3dPoint& p, const ON_3dVector& d, int dim, int der_count,
                      int v_stride, double* v) {
    for (int c = 0; c < dim; c++)
        v[c] = p[c];
    if (der_count >= 1)
        for (int c = 0; c < dim; c++)
            v[v_stride + c] = d[c];
    for (int k = 2; k <= der_count; k++)
        for (int c = 0; c < dim; c++)
            v[(size_t)k * v_stride + c] = 0.0;
}
} // namespace on_internal

bool ON_LineCurve::Reverse() {
    m_line.Reverse();
    m_t.Reverse();
    return true;
}

bool ON_LineCurve::Transform(const ON_Xform& xform) {
    if (m_dim == 2 && !xform.IsIdentity()) m_dim = 3;
    return m_line.Transform(xform);
}

int ON_LineCurve::GetNurbForm(ON_NurbsCurve& nurbs, double, const ON_Interval* subdomain) const {
    if (!m_t.IsIncreasing()) return 0;
    if (!nurbs.Create(m_dim, false, 2, 2)) return 0;
    nurbs.SetCV(0, m_line.from);
    nurbs.SetCV(1, m_line.to);
    nurbs.m_knot[0] = m_t[0];
    nurbs.m_knot[1] = m_t[1];
    if (subdomain && *subdomain != m_t && !nurbs.Trim(*subdomain)) return 0;
    return 1;
}
