#include "opennurbs_internal.h"

ON_PlaneSurface::ON_PlaneSurface(const ON_Plane& plane) : m_plane(plane) {}

bool ON_PlaneSurface::SetExtents(int dir, ON_Interval extents, bool bSyncDomain) {
    dir = dir ? 1 : 0;
    if (!extents.IsIncreasing()) return false;
    m_extents[dir] = extents;
    if (bSyncDomain) m_domain[dir] = extents;
    return true;
}

bool ON_PlaneSurface::IsValid() const {
    return m_plane.IsValid() && m_domain[0].IsIncreasing() && m_domain[1].IsIncreasing() &&
           m_extents[0].IsIncreasing() && m_extents[1].IsIncreasing();
}

bool ON_PlaneSurface::SetDomain(int dir, double t0, double t1) {
    if (!(t0 < t1)) return false;
    m_domain[dir ? 1 : 0] = ON_Interval(t0, t1);
    return true;
}

bool ON_PlaneSurface::GetSpanVector(int dir, double* knots) const {
    if (!knots) return false;
    knots[0] = m_domain[dir ? 1 : 0][0], knots[1] = m_domain[dir ? 1 : 0][1];
    return true;
}

bool ON_PlaneSurface::Evaluate(double s, double t, int der, int v_stride, double* v, int,
                               int*) const {
    if (!v || der < 0 || v_stride < 3 || !IsValid()) return false;
    const double x = m_extents[0].ParameterAt(m_domain[0].NormalizedParameterAt(s));
    const double y = m_extents[1].ParameterAt(m_domain[1].NormalizedParameterAt(t));
    const ON_3dPoint p = m_plane.PointAt(x, y);
    const ON_3dVector ds = m_plane.xaxis * (m_extents[0].Length() / m_domain[0].Length());
    const ON_3dVector dt = m_plane.yaxis * (m_extents[1].Length() / m_domain[1].Length());
    int n = 0;
    for (int total = 0; total <= der; total++)
        for (int l = 0; l <= total; l++, n++) {
            double* o = v + (size_t)n * v_stride;
            ON_3dVector d = ON_3dVector::ZeroVector;
            if (total == 0)
                d = ON_3dVector(p);
            else if (total == 1)
                d = l == 0 ? ds : dt;
            o[0] = d.x, o[1] = d.y, o[2] = d.z;
        }
    return true;
}

bool ON_PlaneSurface::Transpose() {
    std::swap(m_domain[0], m_domain[1]);
    std::swap(m_extents[0], m_extents[1]);
    m_plane.Flip();
    return true;
}

bool ON_PlaneSurface::Transform(const ON_Xform& xform) {
    // A rectangle stays one under similarities; the extents scale.
    double scale = 1.0;
    if (!on_internal::IsSimilarity(xform, &scale) || !m_plane.Transform(xform)) return false;
    for (int i = 0; i < 2; i++) {
        m_extents[0][i] *= scale;
        m_extents[1][i] *= scale;
    }
    return true;
}

int ON_PlaneSurface::GetNurbForm(ON_NurbsSurface& nurbs, double) const {
    if (!IsValid() || !nurbs.Create(3, false, 2, 2, 2, 2)) return 0;
    for (int i = 0; i < 2; i++)
        for (int j = 0; j < 2; j++)
            nurbs.SetCV(i, j, m_plane.PointAt(m_extents[0][i], m_extents[1][j]));
    for (int d = 0; d < 2; d++) {
        nurbs.m_knot[d][0] = m_domain[d][0];
        nurbs.m_knot[d][1] = m_domain[d][1];
    }
    return 1;
}
