#include "opennurbs_internal.h"

#include <algorithm>

using namespace on_internal;

bool ON_PolyCurve::Append(ON_Curve* curve) {
    if (!curve) return false;
    const ON_Interval d = curve->Domain();
    if (!d.IsIncreasing()) return false;
    if (m_segment.Count() == 0) {
        m_t.Empty();
        m_t.Append(d[0]);
    }
    m_t.Append(m_t[m_t.Count() - 1] + d.Length());
    m_segment.Append(curve);
    return true;
}

bool ON_PolyCurve::AppendSegment(ON_Curve* curve, double t1) {
    if (!curve || m_t.Count() != m_segment.Count() + 1 || !(t1 > m_t[m_t.Count() - 1]))
        return false;
    m_t.Append(t1);
    m_segment.Append(curve);
    return true;
}

ON_Interval ON_PolyCurve::SegmentDomain(int i) const {
    if (i < 0 || i >= m_segment.Count() || m_t.Count() != m_segment.Count() + 1)
        return ON_Interval();
    return ON_Interval(m_t[i], m_t[i + 1]);
}

int ON_PolyCurve::SegmentIndex(double t) const {
    const int n = m_segment.Count();
    if (n < 1 || m_t.Count() != n + 1 || t < m_t[0] || t > m_t[n]) return -1;
    int i = (int)(std::upper_bound(m_t.Array(), m_t.Array() + n + 1, t) - m_t.Array()) - 1;
    return std::max(0, std::min(i, n - 1));
}

bool ON_PolyCurve::IsNested() const {
    for (int i = 0; i < m_segment.Count(); i++)
        if (ON_PolyCurve::Cast(m_segment[i])) return true;
    return false;
}

int ON_PolyCurve::HasGap() const {
    for (int i = 1; i < m_segment.Count(); i++) {
        if (!m_segment[i - 1] || !m_segment[i]) return i;
        if (!PointsAreCoincident(m_segment[i - 1]->PointAtEnd(), m_segment[i]->PointAtStart()))
            return i;
    }
    return 0;
}

bool ON_PolyCurve::IsValid() const {
    const int n = m_segment.Count();
    if (n < 1 || m_t.Count() != n + 1) return false;
    for (int i = 0; i < n; i++)
        if (!m_segment[i] || !m_segment[i]->IsValid() || !(m_t[i] < m_t[i + 1])) return false;
    return true;
}

int ON_PolyCurve::Dimension() const {
    int dim = 0;
    for (int i = 0; i < m_segment.Count(); i++)
        if (m_segment[i]) dim = std::max(dim, m_segment[i]->Dimension());
    return dim;
}

ON_Interval ON_PolyCurve::Domain() const {
    const int n = m_segment.Count();
    if (n < 1 || m_t.Count() != n + 1) return ON_Interval();
    return ON_Interval(m_t[0], m_t[n]);
}

namespace on_internal {
bool RemapParameters(ON_SimpleArray<double>& t, double t0, double t1) {
    const int n = t.Count();
    if (n < 2) return false;
    const ON_Interval d(t[0], t[n - 1]);
    if (!(t0 < t1) || !d.IsIncreasing()) return false;
    for (int i = 0; i < n; i++)
        t[i] = i == 0
                   ? t0
                   : (i == n - 1 ? t1
                                 : ON_Interval(t0, t1).ParameterAt(d.NormalizedParameterAt(t[i])));
    return true;
}
} // namespace on_internal

bool ON_PolyCurve::SetDomain(double t0, double t1) {
    return Domain().IsIncreasing() && on_internal::RemapParameters(m_t, t0, t1);
}

int ON_PolyCurve::SpanCount() const {
    int n = 0;
    for (int i = 0; i < m_segment.Count(); i++)
        if (m_segment[i]) n += m_segment[i]->SpanCount();
    return n;
}

bool ON_PolyCurve::GetSpanVector(double* knots) const {
    if (!knots || !IsValid()) return false;
    int k = 0;
    knots[k++] = m_t[0];
    for (int i = 0; i < m_segment.Count(); i++) {
        const ON_Curve* c = m_segment[i];
        const int sc = c->SpanCount();
        std::vector<double> sv(sc + 1);
        if (!c->GetSpanVector(sv.data())) return false;
        const ON_Interval cd = c->Domain(), pd = SegmentDomain(i);
        for (int j = 1; j <= sc; j++)
            knots[k++] = j == sc ? pd[1] : pd.ParameterAt(cd.NormalizedParameterAt(sv[j]));
    }
    return true;
}

int ON_PolyCurve::Degree() const {
    int d = 0;
    for (int i = 0; i < m_segment.Count(); i++)
        if (m_segment[i]) d = std::max(d, m_segment[i]->Degree());
    return d;
}

bool ON_PolyCurve::Evaluate(double t, int der_count, int v_stride, double* v, int side,
                            int*) const {
    if (!IsValid() || !v || der_count < 0) return false;
    const int n = m_segment.Count();
    int i = SegmentIndex(std::max(m_t[0], std::min(t, m_t[n])));
    if (i < 0) return false;
    if (side < 0 && i > 0 && t == m_t[i]) i--;
    const ON_Curve* c = m_segment[i];
    const ON_Interval cd = c->Domain(), pd = SegmentDomain(i);
    const double s = pd.NormalizedParameterAt(t);
    const double ct = s == 0.0 ? cd[0] : (s == 1.0 ? cd[1] : cd.ParameterAt(s));
    const int dim = Dimension(), cdim = c->Dimension();
    std::vector<double> tmp((size_t)(der_count + 1) * cdim);
    if (!c->Evaluate(ct, der_count, cdim, tmp.data(), side)) return false;
    const double f = cd.Length() / pd.Length();
    double g = 1.0;
    for (int k = 0; k <= der_count; k++) {
        for (int j = 0; j < dim; j++)
            v[(size_t)k * v_stride + j] = j < cdim ? tmp[(size_t)k * cdim + j] * g : 0.0;
        g *= f;
    }
    return true;
}

bool ON_PolyCurve::IsPeriodic() const {
    return m_segment.Count() == 1 && m_segment[0] && m_segment[0]->IsPeriodic();
}

bool ON_PolyCurve::Reverse() {
    const int n = m_segment.Count();
    if (n < 1 || m_t.Count() != n + 1) return false;
    for (int i = 0; i < n; i++)
        if (m_segment[i]) m_segment[i]->Reverse();
    m_segment.Reverse();
    m_t.Reverse();
    for (int i = 0; i < m_t.Count(); i++)
        m_t[i] = -m_t[i];
    return true;
}

// A segment whose kind cannot take the map (an arc under a shear) is
// replaced by its transformed NURBS form.
bool ON_PolyCurve::Transform(const ON_Xform& xform) {
    bool ok = true;
    for (int i = 0; i < m_segment.Count(); i++) {
        if (!m_segment[i]) {
            ok = false;
            continue;
        }
        ON_Curve* moved = m_segment[i]->DuplicateCurve();
        if (moved && moved->Transform(xform)) {
            delete m_segment[i];
            m_segment[i] = moved;
            continue;
        }
        delete moved;
        ON_NurbsCurve* n = m_segment[i]->NurbsCurve();
        if (n && n->Transform(xform)) {
            delete m_segment[i];
            m_segment[i] = n;
        } else {
            delete n;
            ok = false;
        }
    }
    return ok;
}

int ON_PolyCurve::GetNurbForm(ON_NurbsCurve& nurbs, double tolerance,
                              const ON_Interval* subdomain) const {
    if (!IsValid()) return 0;
    const int n = m_segment.Count();
    std::vector<ON_NurbsCurve> forms(n);
    int deg = 1, dim = 1;
    bool rat = false;
    for (int i = 0; i < n; i++) {
        if (!m_segment[i]->GetNurbForm(forms[i], tolerance)) return 0;
        if (!forms[i].SetDomain(m_t[i], m_t[i + 1])) return 0;
        deg = std::max(deg, forms[i].Degree());
        dim = std::max(dim, forms[i].Dimension());
        rat = rat || forms[i].IsRational();
    }
    // Close gaps before the degrees are raised: both ends move to their
    // midpoint, as openNURBS joins them.
    for (int i = 1; i < n; i++) {
        ON_3dPoint a, b;
        ON_NurbsCurve& prev = forms[i - 1];
        const int last = prev.CVCount() - 1;
        if (!prev.GetCV(last, a) || !forms[i].GetCV(0, b)) return 0;
        if (a == b) continue;
        const ON_3dPoint m = (a + b) * 0.5;
        prev.SetCV(last, m);
        forms[i].SetCV(0, m);
    }
    ON_NurbsCurve joined = forms[0];
    for (int i = 1; i < n; i++)
        if (!joined.Append(forms[i])) return 0;
    // Append keeps each piece's parameters, so the joined knots are the
    // segments' parts of the polycurve domain; pin the ends exactly.
    if (!joined.IncreaseDegree(deg) || !joined.ChangeDimension(dim)) return 0;
    if (rat) joined.MakeRational();
    nurbs = std::move(joined);
    if (subdomain && *subdomain != Domain() && !nurbs.Trim(*subdomain)) return 0;
    return 1;
}
