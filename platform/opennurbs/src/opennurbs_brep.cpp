#include "opennurbs_internal.h"

#include <algorithm>

using namespace on_internal;

const ON_Curve* ON_BrepEdge::EdgeCurveOf() const {
    if (m_brep) return (m_c3i >= 0 && m_c3i < m_brep->m_C3.Count()) ? m_brep->m_C3[m_c3i] : nullptr;
    return m_real_curve;
}

ON_Curve* ON_BrepEdge::DuplicateCurve() const {
    return ON_CurveProxy::DuplicateCurve();
}

const ON_Curve* ON_BrepTrim::TrimCurveOf() const {
    if (m_brep) return (m_c2i >= 0 && m_c2i < m_brep->m_C2.Count()) ? m_brep->m_C2[m_c2i] : nullptr;
    return m_real_curve;
}

ON_Curve* ON_BrepTrim::DuplicateCurve() const {
    return ON_CurveProxy::DuplicateCurve();
}

const ON_Surface* ON_BrepFace::SurfaceOf() const {
    if (m_brep) return (m_si >= 0 && m_si < m_brep->m_S.Count()) ? m_brep->m_S[m_si] : nullptr;
    return m_surface;
}

ON_Brep::ON_Brep(const ON_Brep& src) : ON_Geometry(src) {
    *this = src;
}

ON_Brep::ON_Brep(ON_Brep&& src) noexcept {
    *this = std::move(src);
}

ON_Brep& ON_Brep::operator=(const ON_Brep& src) {
    if (this == &src) return *this;
    m_C2 = src.m_C2;
    m_C3 = src.m_C3;
    m_S = src.m_S;
    m_V = src.m_V;
    m_E = src.m_E;
    m_T = src.m_T;
    m_L = src.m_L;
    m_F = src.m_F;
    m_bbox = src.m_bbox;
    m_is_solid = src.m_is_solid;
    LinkElements();
    return *this;
}

ON_Brep& ON_Brep::operator=(ON_Brep&& src) noexcept {
    if (this == &src) return *this;
    m_C2 = std::move(src.m_C2);
    m_C3 = std::move(src.m_C3);
    m_S = std::move(src.m_S);
    m_V = std::move(src.m_V);
    m_E = std::move(src.m_E);
    m_T = std::move(src.m_T);
    m_L = std::move(src.m_L);
    m_F = std::move(src.m_F);
    m_bbox = src.m_bbox;
    m_is_solid = src.m_is_solid;
    LinkElements();
    return *this;
}

void ON_Brep::LinkElements() {
    for (int i = 0; i < m_E.Count(); i++) {
        ON_BrepEdge& e = m_E[i];
        e.m_brep = this;
        e.m_real_curve = (e.m_c3i >= 0 && e.m_c3i < m_C3.Count()) ? m_C3[e.m_c3i] : nullptr;
    }
    for (int i = 0; i < m_T.Count(); i++) {
        ON_BrepTrim& t = m_T[i];
        t.m_brep = this;
        t.m_real_curve = (t.m_c2i >= 0 && t.m_c2i < m_C2.Count()) ? m_C2[t.m_c2i] : nullptr;
    }
    for (int i = 0; i < m_F.Count(); i++) {
        ON_BrepFace& f = m_F[i];
        f.m_brep = this;
        f.m_surface = (f.m_si >= 0 && f.m_si < m_S.Count()) ? m_S[f.m_si] : nullptr;
    }
}

void ON_Brep::Destroy() {
    m_C2.Destroy();
    m_C3.Destroy();
    m_S.Destroy();
    m_V.Destroy();
    m_E.Destroy();
    m_T.Destroy();
    m_L.Destroy();
    m_F.Destroy();
    m_bbox = ON_BoundingBox();
    m_is_solid = 0;
}

int ON_Brep::AddEdgeCurve(ON_Curve* curve) {
    if (!curve) return -1;
    m_C3.Append(curve);
    return m_C3.Count() - 1;
}

int ON_Brep::AddTrimCurve(ON_Curve* curve) {
    if (!curve) return -1;
    m_C2.Append(curve);
    return m_C2.Count() - 1;
}

int ON_Brep::AddSurface(ON_Surface* surface) {
    if (!surface) return -1;
    m_S.Append(surface);
    return m_S.Count() - 1;
}

ON_BrepVertex& ON_Brep::NewVertex(const ON_3dPoint& point, double tolerance) {
    ON_BrepVertex& v = m_V.AppendNew();
    v.m_vertex_index = m_V.Count() - 1;
    v.point = point;
    v.m_tolerance = tolerance;
    return v;
}

ON_BrepEdge& ON_Brep::NewEdge(int v0, int v1, int c3i, const ON_Interval* sub_domain,
                              double tolerance) {
    ON_BrepEdge& e = m_E.AppendNew();
    const int ei = m_E.Count() - 1;
    e.m_edge_index = ei;
    e.m_brep = this;
    e.m_c3i = c3i;
    e.m_vi[0] = v0, e.m_vi[1] = v1;
    e.m_tolerance = tolerance;
    const ON_Curve* c = (c3i >= 0 && c3i < m_C3.Count()) ? m_C3[c3i] : nullptr;
    const ON_Interval d = sub_domain ? *sub_domain : (c ? c->Domain() : ON_Interval());
    e.m_real_curve = c;
    e.m_real_curve_domain = e.m_this_domain = d;
    if (v0 >= 0 && v0 < m_V.Count()) m_V[v0].m_ei.Append(ei);
    if (v1 >= 0 && v1 < m_V.Count() && v1 != v0) m_V[v1].m_ei.Append(ei);
    return e;
}

ON_BrepFace& ON_Brep::NewFace(int si) {
    ON_BrepFace& f = m_F.AppendNew();
    f.m_face_index = m_F.Count() - 1;
    f.m_brep = this;
    f.m_si = si;
    f.m_surface = (si >= 0 && si < m_S.Count()) ? m_S[si] : nullptr;
    return f;
}

ON_BrepLoop& ON_Brep::NewLoop(ON_BrepLoop::TYPE type, int fi) {
    ON_BrepLoop& l = m_L.AppendNew();
    l.m_loop_index = m_L.Count() - 1;
    l.m_type = type;
    l.m_fi = fi;
    if (fi >= 0 && fi < m_F.Count()) m_F[fi].m_li.Append(l.m_loop_index);
    return l;
}

ON_BrepTrim& ON_Brep::NewTrim(int c2i, int ei, bool bRev3d, int li) {
    ON_BrepTrim& t = m_T.AppendNew();
    const int ti = m_T.Count() - 1;
    t.m_trim_index = ti;
    t.m_brep = this;
    t.m_c2i = c2i;
    t.m_ei = ei;
    t.m_bRev3d = bRev3d;
    t.m_li = li;
    const ON_Curve* c = (c2i >= 0 && c2i < m_C2.Count()) ? m_C2[c2i] : nullptr;
    t.m_real_curve = c;
    t.m_real_curve_domain = t.m_this_domain = c ? c->Domain() : ON_Interval();
    if (ei >= 0 && ei < m_E.Count()) {
        ON_BrepEdge& e = m_E[ei];
        e.m_ti.Append(ti);
        t.m_vi[0] = e.m_vi[bRev3d ? 1 : 0];
        t.m_vi[1] = e.m_vi[bRev3d ? 0 : 1];
        t.m_type = ON_BrepTrim::boundary;
        if (e.m_ti.Count() > 1) {
            // A second use of the edge: mated, or a seam within one face.
            const int first_loop = m_T[e.m_ti[0]].m_li;
            const bool same_face = first_loop >= 0 && li >= 0 && first_loop < m_L.Count() &&
                                   li < m_L.Count() && m_L[first_loop].m_fi == m_L[li].m_fi;
            for (int k = 0; k < e.m_ti.Count(); k++)
                m_T[e.m_ti[k]].m_type = same_face ? ON_BrepTrim::seam : ON_BrepTrim::mated;
        }
    } else {
        t.m_type = ON_BrepTrim::singular;
    }
    if (li >= 0 && li < m_L.Count()) m_L[li].m_ti.Append(ti);
    return m_T[ti];
}

bool ON_Brep::IsValid() const {
    for (int i = 0; i < m_E.Count(); i++) {
        const ON_BrepEdge& e = m_E[i];
        if (e.m_c3i < 0 || e.m_c3i >= m_C3.Count() || !m_C3[e.m_c3i]) return false;
        for (int k = 0; k < 2; k++)
            if (e.m_vi[k] < 0 || e.m_vi[k] >= m_V.Count()) return false;
        for (int k = 0; k < e.m_ti.Count(); k++)
            if (e.m_ti[k] < 0 || e.m_ti[k] >= m_T.Count()) return false;
    }
    for (int i = 0; i < m_T.Count(); i++) {
        const ON_BrepTrim& t = m_T[i];
        if (t.m_li < 0 || t.m_li >= m_L.Count() || t.m_ei >= m_E.Count()) return false;
    }
    for (int i = 0; i < m_L.Count(); i++) {
        const ON_BrepLoop& l = m_L[i];
        if (l.m_fi < 0 || l.m_fi >= m_F.Count() || l.m_ti.Count() < 1) return false;
        for (int k = 0; k < l.m_ti.Count(); k++)
            if (l.m_ti[k] < 0 || l.m_ti[k] >= m_T.Count()) return false;
    }
    for (int i = 0; i < m_F.Count(); i++) {
        const ON_BrepFace& f = m_F[i];
        if (f.m_si < 0 || f.m_si >= m_S.Count() || !m_S[f.m_si] || f.m_li.Count() < 1) return false;
    }
    return m_F.Count() > 0;
}

bool ON_Brep::IsSolid() const {
    if (m_E.Count() == 0) return false;
    for (int i = 0; i < m_E.Count(); i++)
        if (m_E[i].m_ti.Count() != 2) return false;
    return true;
}

bool ON_Brep::GetBBox(double* boxmin, double* boxmax, bool bGrowBox) const {
    if (!boxmin || !boxmax) return false;
    ON_BoundingBox box;
    if (bGrowBox) box = ON_BoundingBox(ON_3dPoint(boxmin), ON_3dPoint(boxmax));
    for (int i = 0; i < m_V.Count(); i++)
        box.Set(m_V[i].point, box.IsValid());
    for (int i = 0; i < m_C3.Count(); i++)
        if (m_C3[i]) box.Union(m_C3[i]->BoundingBox());
    for (int i = 0; i < m_S.Count(); i++)
        if (m_S[i]) box.Union(m_S[i]->BoundingBox());
    if (!box.IsValid()) return false;
    for (int c = 0; c < 3; c++)
        boxmin[c] = box.m_min[c], boxmax[c] = box.m_max[c];
    return true;
}

// Curves and surfaces whose kind cannot take the map (arcs, planes,
// revolutions under a non-uniform scale) are replaced by their transformed
// NURBS forms; the elements keep referring to them by index.
bool ON_Brep::Transform(const ON_Xform& xform) {
    bool ok = true;
    for (int i = 0; i < m_C3.Count(); i++) {
        if (!m_C3[i]) continue;
        ON_Curve* moved = m_C3[i]->DuplicateCurve();
        if (!moved || !moved->Transform(xform)) {
            delete moved;
            ON_NurbsCurve* n = m_C3[i]->NurbsCurve();
            moved = n;
            if (!n || !n->Transform(xform)) {
                delete n;
                ok = false;
                continue;
            }
        }
        delete m_C3[i];
        m_C3[i] = moved;
    }
    for (int i = 0; i < m_S.Count(); i++) {
        if (!m_S[i]) continue;
        ON_Surface* moved = m_S[i]->DuplicateSurface();
        if (!moved || !moved->Transform(xform)) {
            delete moved;
            ON_NurbsSurface* n = m_S[i]->NurbsSurface();
            moved = n;
            if (!n || !n->Transform(xform)) {
                delete n;
                ok = false;
                continue;
            }
        }
        delete m_S[i];
        m_S[i] = moved;
    }
    LinkElements();
    for (int i = 0; i < m_V.Count(); i++)
        m_V[i].point = xform * m_V[i].point;
    m_bbox = ON_BoundingBox();
    // A mirror turns every face inside out.
    if (xform.Linear3x3Determinant() < 0.0)
        for (int i = 0; i < m_F.Count(); i++)
            m_F[i].m_bRev = !m_F[i].m_bRev;
    return ok;
}

// One untrimmed face. Sides in the order south (v = v0), east (u = u1),
// north (v = v1), west (u = u0), running counter-clockwise in (u, v).
bool ON_Brep::Create(ON_Surface*& surface) {
    Destroy();
    if (!surface || !surface->IsValid()) return false;
    const ON_Interval du = surface->Domain(0), dv = surface->Domain(1);
    const int si = AddSurface(surface);
    surface = nullptr; // ours now
    const ON_Surface* srf = m_S[si];
    const bool closed_u = srf->IsClosed(0), closed_v = srf->IsClosed(1);
    // Corners SW, SE, NE, NW and the four side curves.
    const double cu[4] = {du[0], du[1], du[1], du[0]};
    const double cv[4] = {dv[0], dv[0], dv[1], dv[1]};
    ON_3dPoint corner[4];
    for (int k = 0; k < 4; k++)
        corner[k] = srf->PointAt(cu[k], cv[k]);
    ON_Curve* side[4] = {srf->IsoCurve(0, dv[0]), srf->IsoCurve(1, du[1]), srf->IsoCurve(0, dv[1]),
                         srf->IsoCurve(1, du[0])};
    bool singular[4];
    for (int k = 0; k < 4; k++) {
        singular[k] = true;
        if (!side[k]) continue;
        const ON_Interval d = side[k]->Domain();
        for (int i = 0; i <= 4 && singular[k]; i++)
            if (!PointsAreCoincident(side[k]->PointAt(d.ParameterAt(i / 4.0)), corner[k]))
                singular[k] = false;
    }
    // North and west run backwards.
    if (side[2]) side[2]->Reverse();
    if (side[3]) side[3]->Reverse();
    // Vertices, merging corners joined by a singular side or a closed direction.
    int root[4] = {0, 1, 2, 3};
    auto find = [&](int k) {
        while (root[k] != k)
            k = root[k];
        return k;
    };
    auto join = [&](int a, int b) {
        a = find(a), b = find(b);
        if (a != b) root[std::max(a, b)] = std::min(a, b);
    };
    const int ev0[4] = {0, 1, 2, 3}, ev1[4] = {1, 2, 3, 0};
    for (int k = 0; k < 4; k++)
        if (singular[k]) join(ev0[k], ev1[k]);
    if (closed_u) join(0, 1), join(3, 2);
    if (closed_v) join(0, 3), join(1, 2);
    int vi[4] = {-1, -1, -1, -1};
    for (int k = 0; k < 4; k++) {
        const int r = find(k);
        vi[k] = (r == k) ? NewVertex(corner[k], 0.0).m_vertex_index : vi[r];
    }
    // Edges; a closed direction's second side reuses the first one's edge.
    int ei[4] = {-1, -1, -1, -1};
    bool rev[4] = {false, false, false, false};
    for (int k = 0; k < 4; k++) {
        if (singular[k] || !side[k]) {
            delete side[k];
            side[k] = nullptr;
            continue;
        }
        if (k == 3 && closed_u && ei[1] >= 0) {
            ei[3] = ei[1], rev[3] = true;
            delete side[k];
            side[k] = nullptr;
            continue;
        }
        if (k == 2 && closed_v && ei[0] >= 0) {
            ei[2] = ei[0], rev[2] = true;
            delete side[k];
            side[k] = nullptr;
            continue;
        }
        const int c3i = AddEdgeCurve(side[k]);
        side[k] = nullptr;
        ei[k] = NewEdge(vi[ev0[k]], vi[ev1[k]], c3i, nullptr, 0.0).m_edge_index;
    }
    ON_BrepFace& face = NewFace(si);
    const int fi = face.m_face_index;
    const int li = NewLoop(ON_BrepLoop::outer, fi).m_loop_index;
    const ON_Surface::ISO iso[4] = {ON_Surface::S_iso, ON_Surface::E_iso, ON_Surface::N_iso,
                                    ON_Surface::W_iso};
    for (int k = 0; k < 4; k++) {
        // The trim runs from corner k to corner k+1 in parameter space.
        const ON_3dPoint a(cu[k], cv[k], 0.0), b(cu[(k + 1) % 4], cv[(k + 1) % 4], 0.0);
        ON_Interval d(0.0, 1.0);
        if (ei[k] >= 0) d = m_E[ei[k]].Domain();
        ON_LineCurve* line = new ON_LineCurve(ON_Line(a, b), d[0], d[1]);
        line->m_dim = 2;
        const int c2i = AddTrimCurve(line);
        ON_BrepTrim& t = NewTrim(c2i, ei[k], rev[k], li);
        t.m_iso = iso[k];
        if (ei[k] < 0) {
            t.m_vi[0] = vi[k];
            t.m_vi[1] = vi[(k + 1) % 4];
        }
        t.m_tolerance[0] = t.m_tolerance[1] = 0.0;
    }
    return true;
}

ON_Brep* ON_Brep::New(ON_Surface*& surface) {
    ON_Brep* b = new ON_Brep();
    if (!b->Create(surface)) {
        delete b;
        return nullptr;
    }
    return b;
}
