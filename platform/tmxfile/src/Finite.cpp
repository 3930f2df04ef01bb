#include "Finite.h"

#include <cmath>

namespace tmxfile {

bool IsFinite(const ON_3dPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

static bool All(const double* v, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (!std::isfinite(v[i])) return false;
    return true;
}

static bool IsFinite(const ON_3dVector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

static bool IsFinite(const ON_Interval& i) {
    return std::isfinite(i[0]) && std::isfinite(i[1]);
}

static bool IsFinite(const ON_Line& l) {
    return IsFinite(l.from) && IsFinite(l.to);
}

static bool IsFinite(const ON_Plane& p) {
    return IsFinite(p.origin) && IsFinite(p.xaxis) && IsFinite(p.yaxis) && IsFinite(p.zaxis);
}

static bool IsFinite(const ON_NurbsCurve& c) {
    const int size = c.CVSize();
    for (int i = 0; i < c.CVCount(); ++i) {
        const double* cv = c.CV(i);
        if (cv && !All(cv, static_cast<size_t>(size))) return false;
    }
    return !c.Knot() || All(c.Knot(), static_cast<size_t>(c.KnotCount()));
}

static bool IsFinite(const ON_NurbsSurface& s) {
    const int size = s.CVSize();
    for (int i = 0; i < s.CVCount(0); ++i)
        for (int j = 0; j < s.CVCount(1); ++j) {
            const double* cv = s.CV(i, j);
            if (cv && !All(cv, static_cast<size_t>(size))) return false;
        }
    for (int dir = 0; dir < 2; ++dir) {
        const int n = s.Order(dir) + s.CVCount(dir) - 2;
        if (s.Knot(dir) && n > 0 && !All(s.Knot(dir), static_cast<size_t>(n))) return false;
    }
    return true;
}

static bool IsFinite(const ON_Curve* c) {
    return !c || IsFinite(*c);
}

bool IsFinite(const ON_Curve& curve) {
    if (const ON_NurbsCurve* n = ON_NurbsCurve::Cast(&curve)) return IsFinite(*n);
    if (const ON_LineCurve* l = ON_LineCurve::Cast(&curve))
        return IsFinite(l->m_line) && IsFinite(l->m_t);
    if (const ON_ArcCurve* a = ON_ArcCurve::Cast(&curve))
        return IsFinite(a->m_arc.plane) && std::isfinite(a->m_arc.radius) &&
               IsFinite(a->m_arc.m_angle) && IsFinite(a->m_t);
    if (const ON_PolylineCurve* p = ON_PolylineCurve::Cast(&curve)) {
        for (int i = 0; i < p->m_pline.Count(); ++i)
            if (!IsFinite(p->m_pline[i])) return false;
        return All(p->m_t.Array(), static_cast<size_t>(p->m_t.Count()));
    }
    if (const ON_PolyCurve* pc = ON_PolyCurve::Cast(&curve)) {
        for (int i = 0; i < pc->Count(); ++i)
            if (!IsFinite(pc->SegmentCurve(i))) return false;
        return All(pc->m_t.Array(), static_cast<size_t>(pc->m_t.Count()));
    }
    return true; // classes the reader does not make
}

bool IsFinite(const ON_Surface& surface) {
    if (const ON_NurbsSurface* n = ON_NurbsSurface::Cast(&surface)) return IsFinite(*n);
    if (const ON_PlaneSurface* p = ON_PlaneSurface::Cast(&surface))
        return IsFinite(p->m_plane) && IsFinite(p->m_domain[0]) && IsFinite(p->m_domain[1]) &&
               IsFinite(p->m_extents[0]) && IsFinite(p->m_extents[1]);
    if (const ON_RevSurface* r = ON_RevSurface::Cast(&surface))
        return IsFinite(r->m_curve) && IsFinite(r->m_axis) && IsFinite(r->m_angle) &&
               IsFinite(r->m_t);
    if (const ON_SumSurface* s = ON_SumSurface::Cast(&surface))
        return IsFinite(s->m_curve[0]) && IsFinite(s->m_curve[1]) && IsFinite(s->m_basepoint);
    return true;
}

bool IsFinite(const ON_Brep& b) {
    for (int i = 0; i < b.m_V.Count(); ++i)
        if (!IsFinite(b.m_V[i].point)) return false;
    for (int i = 0; i < b.m_C3.Count(); ++i)
        if (!IsFinite(b.m_C3[i])) return false;
    for (int i = 0; i < b.m_C2.Count(); ++i)
        if (!IsFinite(b.m_C2[i])) return false;
    for (int i = 0; i < b.m_S.Count(); ++i)
        if (b.m_S[i] && !IsFinite(*b.m_S[i])) return false;
    for (int i = 0; i < b.m_E.Count(); ++i)
        if (!IsFinite(b.m_E[i].Domain()) || !IsFinite(b.m_E[i].ProxyCurveDomain())) return false;
    for (int i = 0; i < b.m_T.Count(); ++i)
        if (!IsFinite(b.m_T[i].Domain()) || !IsFinite(b.m_T[i].ProxyCurveDomain())) return false;
    return true;
}

bool IsFinite(const ON_Mesh& m) {
    for (int i = 0; i < m.m_V.Count(); ++i) {
        const ON_3fPoint& v = m.m_V[i];
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) return false;
    }
    for (int i = 0; i < m.m_dV.Count(); ++i)
        if (!IsFinite(m.m_dV[i])) return false;
    return true;
}

bool IsFinite(const ON_Xform& x) {
    return All(&x.m_xform[0][0], 16);
}

} // namespace tmxfile
