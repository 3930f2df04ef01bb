#include "opennurbs_internal.h"

ON_Extrusion::ON_Extrusion(const ON_Extrusion& src) : ON_Surface(src) {
    *this = src;
}

ON_Extrusion& ON_Extrusion::operator=(const ON_Extrusion& src) {
    if (this == &src) return *this;
    delete m_profile;
    m_profile = src.m_profile ? src.m_profile->DuplicateCurve() : nullptr;
    m_path = src.m_path;
    m_t = src.m_t;
    m_up = src.m_up;
    m_profile_count = src.m_profile_count;
    for (int i = 0; i < 2; i++) {
        m_bCap[i] = src.m_bCap[i];
        m_bHaveN[i] = src.m_bHaveN[i];
        m_N[i] = src.m_N[i];
    }
    m_path_domain = src.m_path_domain;
    m_bTransposed = src.m_bTransposed;
    return *this;
}

ON_Extrusion::~ON_Extrusion() {
    delete m_profile;
}

ON_3dVector ON_Extrusion::PathTangent() const {
    return m_path.Tangent();
}

int ON_Extrusion::ProfileCount() const {
    return m_profile ? (m_profile_count > 0 ? m_profile_count : 1) : 0;
}

const ON_Curve* ON_Extrusion::Profile(int i) const {
    const int n = ProfileCount();
    if (i < 0 || i >= n) return nullptr;
    if (n == 1) return m_profile;
    const ON_PolyCurve* pc = ON_PolyCurve::Cast(m_profile);
    return pc ? pc->SegmentCurve(i) : nullptr;
}

int ON_Extrusion::CapCount() const {
    const ON_Curve* outer = Profile(0);
    if (!outer || !outer->IsClosed()) return 0;
    return (m_bCap[0] ? 1 : 0) + (m_bCap[1] ? 1 : 0);
}

bool ON_Extrusion::IsSolid() const {
    return CapCount() == 2;
}

bool ON_Extrusion::SetOuterProfile(ON_Curve* profile, bool bCap) {
    if (!profile) return false;
    if (profile != m_profile) delete m_profile;
    m_profile = profile;
    m_profile_count = 1;
    const bool closed = profile->IsClosed();
    m_bCap[0] = m_bCap[1] = bCap && closed;
    return true;
}

bool ON_Extrusion::AddInnerProfile(ON_Curve* profile) {
    if (!profile || !m_profile || !profile->IsClosed()) return false;
    ON_PolyCurve* pc = nullptr;
    if (ProfileCount() == 1) {
        pc = new ON_PolyCurve();
        pc->Append(m_profile);
        m_profile = pc;
    } else {
        pc = ON_PolyCurve::Cast(m_profile);
        if (!pc) return false;
    }
    const ON_Interval d = profile->Domain();
    const double t0 = pc->Domain()[1];
    profile->SetDomain(t0, t0 + d.Length());
    pc->Append(profile);
    m_profile_count = pc->SegmentCount();
    return true;
}

bool ON_Extrusion::GetProfileTransformation(double s, ON_Xform& xform) const {
    const ON_3dVector T = m_path.Tangent();
    ON_3dVector U = m_up;
    if (T.IsZero() || !U.Unitize()) return false;
    ON_3dVector X = ON_CrossProduct(U, T);
    if (!X.Unitize()) return false;
    ON_Xform E[2];
    for (int k = 0; k < 2; k++) {
        const ON_3dPoint P = m_path.PointAt(m_t[k]);
        ON_Xform B;
        for (int r = 0; r < 3; r++) {
            B.m_xform[r][0] = X[r];
            B.m_xform[r][1] = U[r];
            B.m_xform[r][2] = T[r];
            B.m_xform[r][3] = P[r];
        }
        E[k] = B;
        const ON_3dVector N = m_N[k];
        if (!m_bHaveN[k] || !(N.z > 1.0 / 64.0)) continue;
        // Miter: tilt the profile plane so its normal becomes N, scaling it
        // across the tilt so the wall meets the tilted end.
        const double cos_a = N.z;
        ON_3dVector A(-N.y, N.x, 0.0);
        const double sin_a = A.Length();
        if (!A.Unitize()) continue;
        const double c = 1.0 - 1.0 / cos_a;
        ON_Xform S(0.0);
        S.m_xform[0][0] = 1.0 - c * A.y * A.y;
        S.m_xform[0][1] = S.m_xform[1][0] = c * A.x * A.y;
        S.m_xform[1][1] = 1.0 - c * A.x * A.x;
        S.m_xform[2][2] = 1.0;
        S.m_xform[3][3] = 1.0;
        const ON_Xform R = ON_Xform::RotationTransformation(sin_a, cos_a, A, ON_3dPoint::Origin);
        E[k] = B * R * S;
    }
    const double l0 = 1.0 - s, l1 = s;
    for (int r = 0; r < 4; r++)
        for (int c = 0; c < 4; c++)
            xform.m_xform[r][c] =
                s == 0.0 ? E[0].m_xform[r][c]
                         : (s == 1.0 ? E[1].m_xform[r][c]
                                     : l0 * E[0].m_xform[r][c] + l1 * E[1].m_xform[r][c]);
    return true;
}

bool ON_Extrusion::IsValid() const {
    if (!m_profile || !m_profile->IsValid() || !m_path.IsValid() || !m_t.IsIncreasing() ||
        !m_path_domain.IsIncreasing())
        return false;
    ON_Xform x;
    return GetProfileTransformation(0.0, x);
}

ON_Interval ON_Extrusion::Domain(int dir) const {
    const bool path = (dir ? 1 : 0) != (m_bTransposed ? 1 : 0);
    if (path) return m_path_domain;
    return m_profile ? m_profile->Domain() : ON_Interval();
}

bool ON_Extrusion::SetDomain(int dir, double t0, double t1) {
    if (!(t0 < t1)) return false;
    const bool path = (dir ? 1 : 0) != (m_bTransposed ? 1 : 0);
    if (path) {
        m_path_domain = ON_Interval(t0, t1);
        return true;
    }
    return m_profile && m_profile->SetDomain(t0, t1);
}

int ON_Extrusion::SpanCount(int dir) const {
    const bool path = (dir ? 1 : 0) != (m_bTransposed ? 1 : 0);
    if (path) return 1;
    return m_profile ? m_profile->SpanCount() : 0;
}

bool ON_Extrusion::GetSpanVector(int dir, double* knots) const {
    const bool path = (dir ? 1 : 0) != (m_bTransposed ? 1 : 0);
    if (!knots) return false;
    if (path) {
        knots[0] = m_path_domain[0], knots[1] = m_path_domain[1];
        return true;
    }
    return m_profile && m_profile->GetSpanVector(knots);
}

int ON_Extrusion::Degree(int dir) const {
    const bool path = (dir ? 1 : 0) != (m_bTransposed ? 1 : 0);
    if (path) return 1;
    return m_profile ? m_profile->Degree() : 0;
}

bool ON_Extrusion::Evaluate(double s, double t, int der, int v_stride, double* v, int quadrant,
                            int* hint) const {
    ON_NurbsSurface n;
    return GetNurbForm(n) && n.Evaluate(s, t, der, v_stride, v, quadrant, hint);
}

bool ON_Extrusion::IsClosed(int dir) const {
    const bool path = (dir ? 1 : 0) != (m_bTransposed ? 1 : 0);
    if (path) return false;
    return ProfileCount() == 1 && m_profile->IsClosed();
}

bool ON_Extrusion::IsPeriodic(int dir) const {
    const bool path = (dir ? 1 : 0) != (m_bTransposed ? 1 : 0);
    if (path) return false;
    return ProfileCount() == 1 && m_profile->IsPeriodic();
}

bool ON_Extrusion::Transpose() {
    m_bTransposed = !m_bTransposed;
    return true;
}

// Rigid motions and uniform scales keep an extrusion: the path and up
// direction move, the profile scales in its own plane.
bool ON_Extrusion::Transform(const ON_Xform& xform) {
    if (!m_profile || !on_internal::IsSimilarity(xform)) return false;
    const ON_3dPoint o = xform * m_path.from;
    const ON_3dVector T = xform * (m_path.from + m_path.Tangent()) - o;
    ON_3dVector U0 = m_up;
    if (!U0.Unitize()) return false;
    const ON_3dVector U = xform * (m_path.from + U0) - o;
    const double s = T.Length();
    if (!(s > 0.0) || std::fabs(U.Length() - s) > ON_SQRT_EPSILON * s ||
        std::fabs(T * U) > ON_SQRT_EPSILON * s * s)
        return false;
    if (xform.Linear3x3Determinant() < 0.0) {
        // A mirror turns the profile frame left-handed: mirror the profile's
        // x to keep the walls where the mirrored extrusion puts them.
        if (!m_profile->Transform(
                ON_Xform::ScaleTransformation(ON_3dPoint::Origin, -1.0, 1.0, 1.0)))
            return false;
        for (int k = 0; k < 2; k++)
            m_N[k].x = -m_N[k].x;
    }
    if (s != 1.0 && !m_profile->Transform(ON_Xform::ScaleTransformation(ON_3dPoint::Origin, s)))
        return false;
    m_path.Transform(xform);
    m_up = U.UnitVector();
    return true;
}

int ON_Extrusion::GetNurbForm(ON_NurbsSurface& nurbs, double tolerance) const {
    if (!IsValid()) return 0;
    ON_NurbsCurve profile;
    if (!m_profile->GetNurbForm(profile, tolerance)) return 0;
    profile.ChangeDimension(3);
    ON_Xform E[2];
    if (!GetProfileTransformation(0.0, E[0]) || !GetProfileTransformation(1.0, E[1])) return 0;
    const int n = profile.CVCount();
    if (!nurbs.Create(3, profile.IsRational(), profile.Order(), 2, n, 2)) return 0;
    for (int i = 0; i < n; i++) {
        ON_3dPoint P;
        profile.GetCV(i, P);
        P.z = 0.0;
        const double w = profile.Weight(i);
        for (int k = 0; k < 2; k++) {
            const ON_3dPoint Q = E[k] * P;
            nurbs.SetCV(i, k, ON_4dPoint(Q.x * w, Q.y * w, Q.z * w, w));
        }
    }
    std::memcpy(nurbs.m_knot[0], profile.m_knot, sizeof(double) * profile.KnotCount());
    nurbs.m_knot[1][0] = m_path_domain[0];
    nurbs.m_knot[1][1] = m_path_domain[1];
    if (m_bTransposed) nurbs.Transpose();
    return 1;
}

namespace {

// Smooth pieces of a profile: a polyline's segments, a polycurve's
// segments, a degree-1 NURBS curve's spans; any other curve is one piece.
void SplitProfile(const ON_Curve* c, ON_SimpleArray<ON_Curve*>& pieces) {
    if (const ON_PolyCurve* pc = ON_PolyCurve::Cast(c)) {
        for (int i = 0; i < pc->SegmentCount(); i++) {
            ON_SimpleArray<ON_Curve*> sub;
            SplitProfile(pc->SegmentCurve(i), sub);
            // Map the segment's pieces onto its part of the polycurve domain.
            const ON_Interval cd = pc->SegmentCurve(i)->Domain(), pd = pc->SegmentDomain(i);
            for (int k = 0; k < sub.Count(); k++) {
                const ON_Interval d = sub[k]->Domain();
                const double t0 =
                    d[0] == cd[0] ? pd[0] : pd.ParameterAt(cd.NormalizedParameterAt(d[0]));
                const double t1 =
                    d[1] == cd[1] ? pd[1] : pd.ParameterAt(cd.NormalizedParameterAt(d[1]));
                sub[k]->SetDomain(t0, t1);
                pieces.Append(sub[k]);
            }
        }
        return;
    }
    if (const ON_PolylineCurve* pl = ON_PolylineCurve::Cast(c)) {
        for (int i = 0; i + 1 < pl->m_pline.Count(); i++) {
            ON_LineCurve* line = new ON_LineCurve(ON_Line(pl->m_pline[i], pl->m_pline[i + 1]),
                                                  pl->m_t[i], pl->m_t[i + 1]);
            line->m_dim = pl->m_dim;
            pieces.Append(line);
        }
        return;
    }
    ON_NurbsCurve n;
    if (c->Degree() == 1 && c->GetNurbForm(n) && n.SpanCount() > 1) {
        for (int i = 0; i + 1 < n.CVCount(); i++) {
            if (!(n.m_knot[i] < n.m_knot[i + 1])) continue;
            ON_3dPoint a, b;
            n.GetCV(i, a), n.GetCV(i + 1, b);
            ON_LineCurve* line = new ON_LineCurve(ON_Line(a, b), n.m_knot[i], n.m_knot[i + 1]);
            line->m_dim = n.m_dim;
            pieces.Append(line);
        }
        return;
    }
    pieces.Append(c->DuplicateCurve());
}

// Ruled surface between the piece placed by E0 and by E1, over the path domain.
bool WallSurface(const ON_Curve* piece, const ON_Xform& E0, const ON_Xform& E1,
                 const ON_Interval& path_domain, ON_NurbsSurface& srf) {
    ON_NurbsCurve c;
    if (!piece->GetNurbForm(c)) return false;
    c.ChangeDimension(3);
    if (!srf.Create(3, c.IsRational(), c.Order(), 2, c.CVCount(), 2)) return false;
    for (int i = 0; i < c.CVCount(); i++) {
        ON_3dPoint P;
        c.GetCV(i, P);
        P.z = 0.0;
        const double w = c.Weight(i);
        const ON_3dPoint Q0 = E0 * P, Q1 = E1 * P;
        srf.SetCV(i, 0, ON_4dPoint(Q0.x * w, Q0.y * w, Q0.z * w, w));
        srf.SetCV(i, 1, ON_4dPoint(Q1.x * w, Q1.y * w, Q1.z * w, w));
    }
    std::memcpy(srf.m_knot[0], c.m_knot, sizeof(double) * c.KnotCount());
    srf.m_knot[1][0] = path_domain[0];
    srf.m_knot[1][1] = path_domain[1];
    return true;
}

} // namespace

ON_Brep* ON_Extrusion::BrepForm(ON_Brep* brep) const {
    if (!IsValid()) return nullptr;
    ON_Xform E[2];
    if (!GetProfileTransformation(0.0, E[0]) || !GetProfileTransformation(1.0, E[1]))
        return nullptr;
    ON_Brep* b = brep ? brep : new ON_Brep();
    b->Destroy();
    const int profile_count = ProfileCount();
    // Bottom and top edges of every piece, per profile, for the caps.
    std::vector<std::vector<int>> bottom_edges(profile_count), top_edges(profile_count);
    std::vector<std::vector<ON_Curve*>> cap_pieces(profile_count);
    for (int p = 0; p < profile_count; p++) {
        const ON_Curve* profile = Profile(p);
        if (!profile) continue;
        const bool closed = profile->IsClosed();
        ON_SimpleArray<ON_Curve*> pieces;
        SplitProfile(profile, pieces);
        const int n = pieces.Count();
        int first_w = -1, prev_e = -1;
        int first_vb = -1, first_vt = -1, prev_vb = -1, prev_vt = -1;
        for (int j = 0; j < n; j++) {
            ON_NurbsSurface* srf = new ON_NurbsSurface();
            if (!WallSurface(pieces[j], E[0], E[1], m_path_domain, *srf)) {
                delete srf;
                continue;
            }
            const ON_Interval du = srf->Domain(0), dv = srf->Domain(1);
            const int si = b->AddSurface(srf);
            // Corner vertices: bottom and top at the piece's start and end.
            int vb0 = prev_vb, vt0 = prev_vt;
            if (vb0 < 0) {
                vb0 = b->NewVertex(srf->PointAt(du[0], dv[0]), 0.0).m_vertex_index;
                vt0 = b->NewVertex(srf->PointAt(du[0], dv[1]), 0.0).m_vertex_index;
                first_vb = vb0, first_vt = vt0;
            }
            const bool last_closes = closed && j == n - 1;
            int vb1 = last_closes ? first_vb : -1, vt1 = last_closes ? first_vt : -1;
            if (vb1 < 0) {
                vb1 = b->NewVertex(srf->PointAt(du[1], dv[0]), 0.0).m_vertex_index;
                vt1 = b->NewVertex(srf->PointAt(du[1], dv[1]), 0.0).m_vertex_index;
            }
            // Edges S, E, N, W; E of the last piece of a closed profile is the
            // first piece's W, and W of every later piece the previous E.
            const int eS =
                b->NewEdge(vb0, vb1, b->AddEdgeCurve(srf->IsoCurve(0, dv[0])), nullptr, 0.0)
                    .m_edge_index;
            int eE = first_w;
            if (!(last_closes && n > 1))
                eE = b->NewEdge(vb1, vt1, b->AddEdgeCurve(srf->IsoCurve(1, du[1])), nullptr, 0.0)
                         .m_edge_index;
            const int eN =
                b->NewEdge(vt0, vt1, b->AddEdgeCurve(srf->IsoCurve(0, dv[1])), nullptr, 0.0)
                    .m_edge_index;
            int eW = prev_e;
            if (j == 0) {
                // One closed piece: its seam is both E and W.
                eW = (last_closes && n == 1)
                         ? eE
                         : b->NewEdge(vb0, vt0, b->AddEdgeCurve(srf->IsoCurve(1, du[0])), nullptr,
                                      0.0)
                               .m_edge_index;
                first_w = eW;
            }
            const int fi = b->NewFace(si).m_face_index;
            const int li = b->NewLoop(ON_BrepLoop::outer, fi).m_loop_index;
            const int edges[4] = {eS, eE, eN, eW};
            const bool rev[4] = {false, false, true, true};
            const double cu[4] = {du[0], du[1], du[1], du[0]}, cv[4] = {dv[0], dv[0], dv[1], dv[1]};
            const ON_Surface::ISO iso[4] = {ON_Surface::S_iso, ON_Surface::E_iso, ON_Surface::N_iso,
                                            ON_Surface::W_iso};
            for (int k = 0; k < 4; k++) {
                ON_LineCurve* line = new ON_LineCurve(ON_Line(
                    ON_3dPoint(cu[k], cv[k], 0), ON_3dPoint(cu[(k + 1) % 4], cv[(k + 1) % 4], 0)));
                line->m_dim = 2;
                const ON_Interval ed = b->m_E[edges[k]].Domain();
                line->SetDomain(ed[0], ed[1]);
                b->NewTrim(b->AddTrimCurve(line), edges[k], rev[k], li).m_iso = iso[k];
            }
            bottom_edges[p].push_back(eS);
            top_edges[p].push_back(eN);
            cap_pieces[p].push_back(pieces[j]);
            pieces[j] = nullptr;
            prev_e = eE;
            prev_vb = vb1, prev_vt = vt1;
        }
        for (int j = 0; j < pieces.Count(); j++)
            delete pieces[j];
    }
    // Caps: planes of the profile at each end, trimmed by the profiles.
    const ON_Curve* outer = Profile(0);
    if (outer && outer->IsClosed()) {
        ON_BoundingBox box = outer->BoundingBox();
        const double margin = 0.1 * box.Diagonal().Length();
        for (int k = 0; k < 2; k++) {
            if (!m_bCap[k]) continue;
            const ON_3dPoint o = E[k] * ON_3dPoint::Origin;
            ON_Plane plane;
            if (!plane.CreateFromFrame(o, E[k] * ON_3dPoint(1, 0, 0) - o,
                                       E[k] * ON_3dPoint(0, 1, 0) - o))
                continue;
            ON_PlaneSurface* ps = new ON_PlaneSurface(plane);
            ps->SetExtents(0, ON_Interval(box.m_min.x - margin, box.m_max.x + margin), true);
            ps->SetExtents(1, ON_Interval(box.m_min.y - margin, box.m_max.y + margin), true);
            const int fi = b->NewFace(b->AddSurface(ps)).m_face_index;
            b->m_F[fi].m_bRev = (k == 0); // the bottom cap faces back along the path
            for (int p = 0; p < profile_count; p++) {
                if (bottom_edges[p].empty()) continue;
                const int li =
                    b->NewLoop(p == 0 ? ON_BrepLoop::outer : ON_BrepLoop::inner, fi).m_loop_index;
                const std::vector<int>& edges = k == 0 ? bottom_edges[p] : top_edges[p];
                for (size_t j = 0; j < edges.size(); j++) {
                    ON_Curve* c2 = cap_pieces[p][j]->DuplicateCurve();
                    const ON_Interval ed = b->m_E[edges[j]].Domain();
                    c2->SetDomain(ed[0], ed[1]);
                    b->NewTrim(b->AddTrimCurve(c2), edges[j], false, li);
                }
            }
        }
    }
    for (auto& v : cap_pieces)
        for (ON_Curve* c : v)
            delete c;
    b->m_is_solid = IsSolid() ? 1 : 3;
    return b;
}
