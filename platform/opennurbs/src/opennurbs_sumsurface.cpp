#include "opennurbs_internal.h"

ON_SumSurface::ON_SumSurface(const ON_SumSurface& src) : ON_Surface(src) {
    *this = src;
}

ON_SumSurface& ON_SumSurface::operator=(const ON_SumSurface& src) {
    if (this == &src) return *this;
    for (int i = 0; i < 2; i++) {
        delete m_curve[i];
        m_curve[i] = src.m_curve[i] ? src.m_curve[i]->DuplicateCurve() : nullptr;
    }
    m_basepoint = src.m_basepoint;
    m_bbox = src.m_bbox;
    return *this;
}

ON_SumSurface::~ON_SumSurface() {
    delete m_curve[0];
    delete m_curve[1];
}

bool ON_SumSurface::Create(ON_Curve* curve, const ON_3dVector& v) {
    if (!curve || !v.IsValid() || v.IsZero()) return false;
    ON_LineCurve* line = new ON_LineCurve(ON_Line(ON_3dPoint::Origin, ON_3dPoint(v)));
    return Create(curve, line);
}

bool ON_SumSurface::Create(ON_Curve* curve0, ON_Curve* curve1) {
    if (!curve0 || !curve1) return false;
    if (m_curve[0] != curve0) delete m_curve[0];
    if (m_curve[1] != curve1) delete m_curve[1];
    m_curve[0] = curve0;
    m_curve[1] = curve1;
    m_basepoint = ON_3dVector::ZeroVector;
    m_bbox = ON_BoundingBox();
    return IsValid();
}

bool ON_SumSurface::IsValid() const {
    return m_curve[0] && m_curve[1] && m_curve[0]->IsValid() && m_curve[1]->IsValid() &&
           m_basepoint.IsValid();
}

int ON_SumSurface::Dimension() const {
    return 3;
}

ON_Interval ON_SumSurface::Domain(int dir) const {
    const ON_Curve* c = m_curve[dir ? 1 : 0];
    return c ? c->Domain() : ON_Interval();
}

bool ON_SumSurface::SetDomain(int dir, double t0, double t1) {
    ON_Curve* c = m_curve[dir ? 1 : 0];
    return c && c->SetDomain(t0, t1);
}

int ON_SumSurface::SpanCount(int dir) const {
    const ON_Curve* c = m_curve[dir ? 1 : 0];
    return c ? c->SpanCount() : 0;
}

bool ON_SumSurface::GetSpanVector(int dir, double* knots) const {
    const ON_Curve* c = m_curve[dir ? 1 : 0];
    return c && c->GetSpanVector(knots);
}

int ON_SumSurface::Degree(int dir) const {
    const ON_Curve* c = m_curve[dir ? 1 : 0];
    return c ? c->Degree() : 0;
}

bool ON_SumSurface::Evaluate(double s, double t, int der, int v_stride, double* v, int quadrant,
                             int*) const {
    if (!IsValid() || !v || der < 0 || v_stride < 3) return false;
    std::vector<double> a((size_t)(der + 1) * 3, 0.0), b((size_t)(der + 1) * 3, 0.0);
    const int da = m_curve[0]->Dimension(), db = m_curve[1]->Dimension();
    std::vector<double> ta((size_t)(der + 1) * da), tb((size_t)(der + 1) * db);
    const int sidea = (quadrant == 2 || quadrant == 3) ? -1 : 1,
              sideb = (quadrant == 3 || quadrant == 4) ? -1 : 1;
    if (!m_curve[0]->Evaluate(s, der, da, ta.data(), sidea) ||
        !m_curve[1]->Evaluate(t, der, db, tb.data(), sideb))
        return false;
    for (int k = 0; k <= der; k++)
        for (int c = 0; c < 3; c++) {
            a[(size_t)k * 3 + c] = c < da ? ta[(size_t)k * da + c] : 0.0;
            b[(size_t)k * 3 + c] = c < db ? tb[(size_t)k * db + c] : 0.0;
        }
    int n = 0;
    for (int total = 0; total <= der; total++)
        for (int l = 0; l <= total; l++, n++) {
            const int k = total - l;
            double* o = v + (size_t)n * v_stride;
            for (int c = 0; c < 3; c++) {
                if (total == 0)
                    o[c] = a[c] + b[c] + m_basepoint[c];
                else if (l == 0)
                    o[c] = a[(size_t)k * 3 + c];
                else if (k == 0)
                    o[c] = b[(size_t)l * 3 + c];
                else
                    o[c] = 0.0;
            }
        }
    return true;
}

bool ON_SumSurface::Transpose() {
    std::swap(m_curve[0], m_curve[1]);
    return true;
}

// Only affine maps keep a sum surface: the linear part goes to both
// curves, the translation to the base point.
bool ON_SumSurface::Transform(const ON_Xform& xform) {
    if (!IsValid()) return false;
    ON_Xform linear(xform);
    linear.m_xform[0][3] = linear.m_xform[1][3] = linear.m_xform[2][3] = 0.0;
    if (!m_curve[0]->Transform(linear) || !m_curve[1]->Transform(linear)) return false;
    const ON_3dPoint b = xform * ON_3dPoint(m_basepoint);
    m_basepoint = ON_3dVector(b);
    m_bbox = ON_BoundingBox();
    return true;
}

int ON_SumSurface::GetNurbForm(ON_NurbsSurface& nurbs, double tolerance) const {
    if (!IsValid()) return 0;
    ON_NurbsCurve c0, c1;
    if (!m_curve[0]->GetNurbForm(c0, tolerance) || !m_curve[1]->GetNurbForm(c1, tolerance))
        return 0;
    c0.ChangeDimension(3);
    c1.ChangeDimension(3);
    return on_internal::SumNurbForm(c0, c1, m_basepoint, nurbs) ? 1 : 0;
}
