#include "opennurbs_internal.h"

ON_RevSurface::ON_RevSurface(const ON_RevSurface& src) : ON_Surface(src) {
    *this = src;
}

ON_RevSurface& ON_RevSurface::operator=(const ON_RevSurface& src) {
    if (this == &src) return *this;
    delete m_curve;
    m_curve = src.m_curve ? src.m_curve->DuplicateCurve() : nullptr;
    m_axis = src.m_axis;
    m_angle = src.m_angle;
    m_t = src.m_t;
    m_bTransposed = src.m_bTransposed;
    m_bbox = src.m_bbox;
    return *this;
}

ON_RevSurface::~ON_RevSurface() {
    delete m_curve;
}

bool ON_RevSurface::Create(ON_Curve* profile, const ON_Line& axis, ON_Interval angle) {
    if (profile != m_curve) delete m_curve;
    m_curve = profile;
    m_axis = axis;
    m_angle = angle;
    m_t = angle;
    m_bTransposed = false;
    return IsValid();
}

bool ON_RevSurface::IsValid() const {
    return m_curve && m_curve->IsValid() && m_axis.IsValid() && m_angle.IsIncreasing() &&
           m_angle.Length() <= 2.0 * ON_PI + ON_ZERO_TOLERANCE && m_t.IsIncreasing();
}

int ON_RevSurface::Dimension() const {
    return 3;
}

// dir 0 is the angle unless transposed.
ON_Interval ON_RevSurface::Domain(int dir) const {
    const bool angle = (dir ? 1 : 0) == (m_bTransposed ? 1 : 0);
    if (angle) return m_t;
    return m_curve ? m_curve->Domain() : ON_Interval();
}

bool ON_RevSurface::SetDomain(int dir, double t0, double t1) {
    if (!(t0 < t1)) return false;
    const bool angle = (dir ? 1 : 0) == (m_bTransposed ? 1 : 0);
    if (angle) {
        m_t = ON_Interval(t0, t1);
        return true;
    }
    return m_curve && m_curve->SetDomain(t0, t1);
}

int ON_RevSurface::SpanCount(int dir) const {
    ON_NurbsSurface n;
    return GetNurbForm(n) ? n.SpanCount(dir) : 0;
}

bool ON_RevSurface::GetSpanVector(int dir, double* knots) const {
    ON_NurbsSurface n;
    return GetNurbForm(n) && n.GetSpanVector(dir, knots);
}

int ON_RevSurface::Degree(int dir) const {
    const bool angle = (dir ? 1 : 0) == (m_bTransposed ? 1 : 0);
    if (angle) return 2;
    return m_curve ? m_curve->Degree() : 0;
}

bool ON_RevSurface::Evaluate(double s, double t, int der, int v_stride, double* v, int quadrant,
                             int* hint) const {
    ON_NurbsSurface n;
    return GetNurbForm(n) && n.Evaluate(s, t, der, v_stride, v, quadrant, hint);
}

bool ON_RevSurface::IsClosed(int dir) const {
    const bool angle = (dir ? 1 : 0) == (m_bTransposed ? 1 : 0);
    if (angle) return std::fabs(m_angle.Length() - 2.0 * ON_PI) <= ON_ZERO_TOLERANCE;
    return m_curve && m_curve->IsClosed();
}

bool ON_RevSurface::IsPeriodic(int dir) const {
    const bool angle = (dir ? 1 : 0) == (m_bTransposed ? 1 : 0);
    if (angle) return IsClosed(dir);
    return m_curve && m_curve->IsPeriodic();
}

bool ON_RevSurface::Transpose() {
    m_bTransposed = !m_bTransposed;
    return true;
}

bool ON_RevSurface::Transform(const ON_Xform& xform) {
    // Under other maps the result is no longer a surface of revolution.
    if (!m_curve || !on_internal::IsSimilarity(xform)) return false;
    ON_Curve* moved = m_curve->DuplicateCurve();
    if (!moved || !moved->Transform(xform)) {
        delete moved;
        return false;
    }
    delete m_curve;
    m_curve = moved;
    m_axis.Transform(xform);
    // A mirror reverses the sense of rotation; flip the axis to keep the
    // surface where it was.
    if (xform.Linear3x3Determinant() < 0.0) m_axis.Reverse();
    m_bbox = ON_BoundingBox();
    return true;
}

int ON_RevSurface::GetNurbForm(ON_NurbsSurface& nurbs, double tolerance) const {
    if (!IsValid()) return 0;
    ON_NurbsCurve profile;
    if (!m_curve->GetNurbForm(profile, tolerance)) return 0;
    profile.ChangeDimension(3);
    // Unit arc in the XY plane over the angle interval: its CVs (x, y) give
    // the multiples of R and A x R around each profile CV.
    ON_Arc unit(ON_Circle(ON_Plane::World_xy, 1.0), m_angle);
    ON_NurbsCurve arc;
    if (!on_internal::ArcNurbForm(unit, arc)) return 0;
    const int kc = arc.KnotCount(), spans = kc / 2 - 1;
    for (int s = 0; s <= spans; s++) {
        const double t =
            s == 0 ? m_t[0] : (s == spans ? m_t[1] : m_t.ParameterAt((double)s / spans));
        arc.m_knot[2 * s] = t;
        if (2 * s + 1 < kc) arc.m_knot[2 * s + 1] = t;
    }
    const ON_3dVector A = m_axis.Tangent();
    const int na = arc.CVCount(), np = profile.CVCount();
    if (!nurbs.Create(3, true, 3, profile.Order(), na, np)) return 0;
    for (int i = 0; i < na; i++) {
        ON_3dPoint u;
        arc.GetCV(i, u);
        const double wa = arc.Weight(i);
        for (int j = 0; j < np; j++) {
            ON_3dPoint P;
            profile.GetCV(j, P);
            const double wp = profile.Weight(j);
            double t = 0.0;
            m_axis.ClosestPointTo(P, &t);
            const ON_3dPoint C = m_axis.PointAt(t);
            const ON_3dVector R = P - C;
            const ON_3dPoint Q = C + R * u.x + ON_CrossProduct(A, R) * u.y;
            const double w = wa * wp;
            nurbs.SetCV(i, j, ON_4dPoint(Q.x * w, Q.y * w, Q.z * w, w));
        }
    }
    std::memcpy(nurbs.m_knot[0], arc.m_knot, sizeof(double) * kc);
    std::memcpy(nurbs.m_knot[1], profile.m_knot, sizeof(double) * profile.KnotCount());
    if (m_bTransposed) nurbs.Transpose();
    return 1;
}
