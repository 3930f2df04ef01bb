#include "opennurbs_internal.h"

#include <algorithm>
#include <memory>

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

// m_profile_count is what the extrusion claims; the profiles it holds are
// what counts. Files before profile counts existed leave it 0 for one profile.
// A claim that the profile does not bear out leaves no usable profile.
int ON_Extrusion::ProfileCount() const {
    if (!m_profile || m_profile_count < 0) return 0;
    if (m_profile_count <= 1) return 1;
    const ON_PolyCurve* pc = ON_PolyCurve::Cast(m_profile);
    return pc && pc->SegmentCount() == m_profile_count ? m_profile_count : 0;
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
    // Several profiles: the outer one first, then holes, each closed.
    const int n = ProfileCount();
    if (n == 0) return false;
    for (int i = 1; i < n; i++) {
        const ON_Curve* c = Profile(i);
        if (!c || !c->IsClosed() || !Profile(0)->IsClosed()) return false;
    }
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

// A profile is split into one wall per smooth piece, as openNURBS splits it:
// where the tangent turns by more than a degree, where a straight part meets
// a curved one, or where the curvature changes side.
const double kCosKinkAngle = 0.99984769515639123916; // cos(1 degree)
const double kZeroCurvature = 1.0e-8;

// The profile's elementary parts as NURBS forms in 3D (z = 0) on their part
// of the profile's domain: a polycurve's segments (nested ones flattened),
// or the whole curve.
bool ProfileParts(const ON_Curve* c, std::vector<ON_NurbsCurve>& parts) {
    if (const ON_PolyCurve* pc = ON_PolyCurve::Cast(c)) {
        for (int i = 0; i < pc->SegmentCount(); i++) {
            const ON_Curve* seg = pc->SegmentCurve(i);
            std::vector<ON_NurbsCurve> sub;
            if (!seg || !ProfileParts(seg, sub)) return false;
            const ON_Interval cd = seg->Domain(), pd = pc->SegmentDomain(i);
            for (ON_NurbsCurve& n : sub) {
                const ON_Interval d = n.Domain();
                const double t0 =
                    d[0] == cd[0] ? pd[0] : pd.ParameterAt(cd.NormalizedParameterAt(d[0]));
                const double t1 =
                    d[1] == cd[1] ? pd[1] : pd.ParameterAt(cd.NormalizedParameterAt(d[1]));
                if (!n.SetDomain(t0, t1)) return false;
                parts.push_back(std::move(n));
            }
        }
        return !parts.empty();
    }
    parts.emplace_back();
    ON_NurbsCurve& n = parts.back();
    if (!c->GetNurbForm(n) || !n.ChangeDimension(3)) return false;
    for (int i = 0; i < n.CVCount(); i++)
        n.CV(i)[2] = 0.0;
    return true;
}

// First and second derivatives at t, from below (side < 0) or from above.
void Derivatives(const ON_NurbsCurve& c, double t, int side, ON_3dVector& d1, ON_3dVector& d2) {
    double v[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    c.Evaluate(t, 2, 3, v, side);
    d1 = ON_3dVector(v[3], v[4], v[5]);
    d2 = ON_3dVector(v[6], v[7], v[8]);
}

// Curvature vector from the first two derivatives; zero where D1 vanishes.
ON_3dVector Curvature(const ON_3dVector& d1, const ON_3dVector& d2) {
    const double dd = d1 * d1;
    if (!(dd > 0.0)) return ON_3dVector(0, 0, 0);
    return (d2 - ((d2 * d1) / dd) * d1) * (1.0 / dd);
}

bool IsKink(const ON_3dVector& a1, const ON_3dVector& a2, const ON_3dVector& b1,
            const ON_3dVector& b2) {
    ON_3dVector ta = a1, tb = b1;
    if (!ta.Unitize() || !tb.Unitize()) return true;
    if (ta * tb < kCosKinkAngle) return true;
    const ON_3dVector ka = Curvature(a1, a2), kb = Curvature(b1, b2);
    const double la = ka.Length(), lb = kb.Length();
    const bool straight_a = la <= kZeroCurvature, straight_b = lb <= kZeroCurvature;
    if (straight_a != straight_b) return true;
    return !straight_a && ka * kb < kCosKinkAngle * la * lb;
}

// Knots where a NURBS part may lose curvature continuity: inner knots of
// multiplicity at least degree - 1 (every inner knot up to degree 2).
void CandidateKnots(const ON_NurbsCurve& n, std::vector<double>& t) {
    const ON_Interval d = n.Domain();
    const int kc = n.KnotCount(), need = std::max(1, n.Degree() - 1);
    for (int i = 0; i < kc;) {
        int j = i;
        while (j + 1 < kc && n.m_knot[j + 1] == n.m_knot[i])
            j++;
        if (n.m_knot[i] > d[0] && n.m_knot[i] < d[1] && j - i + 1 >= need) t.push_back(n.m_knot[i]);
        i = j + 1;
    }
}

// One part's share of a smooth piece.
struct Stretch {
    int part;
    double t0, t1;
};

// The profile's smooth pieces, each as one NURBS form on its part of the
// profile's domain.
bool SmoothPieces(const ON_Curve* profile, std::vector<ON_NurbsCurve>& pieces,
                  std::vector<ON_NurbsCurve>& parts) {
    if (!profile || !ProfileParts(profile, parts)) return false;
    std::vector<std::vector<Stretch>> grouped;
    ON_3dVector a1, a2, b1, b2;
    for (int p = 0; p < static_cast<int>(parts.size()); p++) {
        const ON_NurbsCurve& n = parts[p];
        const ON_Interval d = n.Domain();
        bool kink = true;
        if (p > 0) {
            const ON_NurbsCurve& prev = parts[p - 1];
            Derivatives(prev, prev.Domain()[1], -1, a1, a2);
            Derivatives(n, d[0], 1, b1, b2);
            kink = IsKink(a1, a2, b1, b2);
        }
        std::vector<double> breaks;
        CandidateKnots(n, breaks);
        double t0 = d[0];
        for (size_t k = 0; k <= breaks.size(); k++) {
            const double t1 = k < breaks.size() ? breaks[k] : d[1];
            if (kink || grouped.empty()) grouped.emplace_back();
            std::vector<Stretch>& g = grouped.back();
            // A smooth knot inside one part only lengthens the stretch.
            if (!kink && !g.empty() && g.back().part == p)
                g.back().t1 = t1;
            else
                g.push_back({p, t0, t1});
            if (k < breaks.size()) {
                Derivatives(n, t1, -1, a1, a2);
                Derivatives(n, t1, 1, b1, b2);
                kink = IsKink(a1, a2, b1, b2);
            }
            t0 = t1;
        }
    }
    for (const std::vector<Stretch>& g : grouped) {
        ON_NurbsCurve piece;
        for (size_t k = 0; k < g.size(); k++) {
            const ON_NurbsCurve& n = parts[g[k].part];
            const ON_Interval sub(g[k].t0, g[k].t1);
            ON_NurbsCurve c;
            if (!n.GetNurbForm(c, 0.0, sub == n.Domain() ? nullptr : &sub)) return false;
            if (k == 0)
                piece = std::move(c);
            else if (!piece.Append(c))
                return false;
        }
        pieces.push_back(std::move(piece));
    }
    return !pieces.empty();
}

// Ruled surface between the piece placed by E0 and by E1, over the path domain.
bool WallSurface(const ON_NurbsCurve& c, const ON_Xform& E0, const ON_Xform& E1,
                 const ON_Interval& path_domain, ON_NurbsSurface& srf) {
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

// Corner of a wall: u and v ends 0 or 1.
ON_3dPoint Corner(const ON_NurbsSurface& srf, int u_end, int v_end) {
    ON_4dPoint h;
    srf.GetCV(u_end ? srf.CVCount(0) - 1 : 0, v_end ? srf.CVCount(1) - 1 : 0, h);
    return h.w == 1.0 ? ON_3dPoint(h.x, h.y, h.z) : ON_3dPoint(h.x / h.w, h.y / h.w, h.z / h.w);
}

// Made of straight lines only, as a polyline is: its caps fit it exactly.
bool IsPolylineProfile(const ON_Curve* c) {
    if (ON_PolylineCurve::Cast(c) || ON_LineCurve::Cast(c)) return true;
    const ON_PolyCurve* pc = ON_PolyCurve::Cast(c);
    if (!pc || pc->SegmentCount() == 0) return false;
    for (int i = 0; i < pc->SegmentCount(); i++)
        if (!IsPolylineProfile(pc->SegmentCurve(i))) return false;
    return true;
}

// The cap's plane: the profile plane placed by E, its extents the outer
// profile's control point box (in profile coordinates), widened by an eighth
// on every side unless the profile is a polyline. local_to_plane receives the
// map from profile coordinates to the plane's.
ON_PlaneSurface* CapSurface(const ON_Xform& E, const ON_BoundingBox& box, bool exact,
                            double local_to_plane[2][2]) {
    const ON_3dPoint o = E * ON_3dPoint::Origin;
    const ON_3dVector X = E * ON_3dPoint(1, 0, 0) - o, Y = E * ON_3dPoint(0, 1, 0) - o;
    ON_Plane plane;
    if (!plane.CreateFromFrame(o, X, Y)) return nullptr;
    local_to_plane[0][0] = X * plane.xaxis, local_to_plane[0][1] = Y * plane.xaxis;
    local_to_plane[1][0] = X * plane.yaxis, local_to_plane[1][1] = Y * plane.yaxis;
    const double pad[2] = {exact ? 0.0 : 0.125 * (box.m_max.x - box.m_min.x),
                           exact ? 0.0 : 0.125 * (box.m_max.y - box.m_min.y)};
    const double x[2] = {box.m_min.x - pad[0], box.m_max.x + pad[0]};
    const double y[2] = {box.m_min.y - pad[1], box.m_max.y + pad[1]};
    double lo[2] = {0, 0}, hi[2] = {0, 0};
    for (int i = 0; i < 4; i++) {
        for (int d = 0; d < 2; d++) {
            const double v = local_to_plane[d][0] * x[i & 1] + local_to_plane[d][1] * y[i >> 1];
            lo[d] = i == 0 ? v : std::min(lo[d], v);
            hi[d] = i == 0 ? v : std::max(hi[d], v);
        }
    }
    ON_PlaneSurface* ps = new ON_PlaneSurface(plane);
    if (!ps->SetExtents(0, ON_Interval(lo[0], hi[0]), true) ||
        !ps->SetExtents(1, ON_Interval(lo[1], hi[1]), true)) {
        delete ps;
        return nullptr;
    }
    return ps;
}

// A piece in the cap plane's coordinates.
ON_NurbsCurve* CapTrimCurve(const ON_NurbsCurve& piece, const double m[2][2]) {
    ON_NurbsCurve* c = new ON_NurbsCurve(piece);
    for (int i = 0; i < c->CVCount(); i++) {
        double* cv = c->CV(i);
        const double x = cv[0], y = cv[1];
        cv[0] = m[0][0] * x + m[0][1] * y;
        cv[1] = m[1][0] * x + m[1][1] * y;
    }
    c->ChangeDimension(2);
    return c;
}

} // namespace

ON_Brep* ON_Extrusion::BrepForm(ON_Brep* brep) const {
    if (!IsValid()) return nullptr;
    ON_Xform E[2];
    if (!GetProfileTransformation(0.0, E[0]) || !GetProfileTransformation(1.0, E[1]))
        return nullptr;
    // Everything that can fail on the profiles is done before the brep is touched.
    const int profile_count = ProfileCount();
    std::vector<std::vector<ON_NurbsCurve>> pieces(profile_count);
    ON_BoundingBox outer_box;
    for (int p = 0; p < profile_count; p++) {
        std::vector<ON_NurbsCurve> parts;
        if (!SmoothPieces(Profile(p), pieces[p], parts)) return nullptr;
        if (p == 0)
            for (const ON_NurbsCurve& n : parts)
                outer_box.Union(n.BoundingBox());
    }
    std::vector<std::unique_ptr<ON_NurbsSurface>> walls;
    for (const std::vector<ON_NurbsCurve>& ps : pieces)
        for (const ON_NurbsCurve& piece : ps) {
            walls.emplace_back(new ON_NurbsSurface());
            if (!WallSurface(piece, E[0], E[1], m_path_domain, *walls.back())) return nullptr;
        }

    ON_Brep* b = brep ? brep : new ON_Brep();
    b->Destroy();
    // Walls: per piece the bottom, end, top and start edges (S, E, N, W),
    // vertices and edges numbered in the order they are met, as openNURBS
    // numbers them. Neighbouring walls share their side edge; the last wall
    // of a closed profile closes onto the first.
    std::vector<std::vector<int>> bottom_edges(profile_count), top_edges(profile_count);
    size_t next_wall = 0;
    for (int p = 0; p < profile_count; p++) {
        const bool closed = Profile(p)->IsClosed();
        const int n = static_cast<int>(pieces[p].size());
        int first_vb = -1, first_vt = -1, first_w = -1;
        int vb0 = -1, vt0 = -1, prev_e = -1;
        for (int j = 0; j < n; j++) {
            ON_NurbsSurface* srf = walls[next_wall].release();
            next_wall++;
            const ON_Interval du = srf->Domain(0), dv = srf->Domain(1);
            const int si = b->AddSurface(srf);
            const bool closes = closed && j == n - 1;
            if (j == 0) vb0 = first_vb = b->NewVertex(Corner(*srf, 0, 0), 0.0).m_vertex_index;
            int vb1 = first_vb, vt1 = first_vt;
            if (!closes) {
                vb1 = b->NewVertex(Corner(*srf, 1, 0), 0.0).m_vertex_index;
                vt1 = b->NewVertex(Corner(*srf, 1, 1), 0.0).m_vertex_index;
            }
            if (j == 0) vt0 = first_vt = b->NewVertex(Corner(*srf, 0, 1), 0.0).m_vertex_index;
            if (closes && j == 0) vt1 = vt0;
            const int eS =
                b->NewEdge(vb0, vb1, b->AddEdgeCurve(srf->IsoCurve(0, dv[0])), nullptr, 0.0)
                    .m_edge_index;
            const int eE =
                (closes && j > 0)
                    ? first_w
                    : b->NewEdge(vb1, vt1, b->AddEdgeCurve(srf->IsoCurve(1, du[1])), nullptr, 0.0)
                          .m_edge_index;
            const int eN =
                b->NewEdge(vt0, vt1, b->AddEdgeCurve(srf->IsoCurve(0, dv[1])), nullptr, 0.0)
                    .m_edge_index;
            int eW = prev_e;
            if (j == 0) {
                // A closed profile of one piece has one seam, both E and W.
                eW = closes ? eE
                            : b->NewEdge(vb0, vt0, b->AddEdgeCurve(srf->IsoCurve(1, du[0])),
                                         nullptr, 0.0)
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
            prev_e = eE;
            vb0 = vb1, vt0 = vt1;
        }
    }
    // Caps: the profile plane at each end, trimmed by the profiles.
    if (CapCount() > 0) {
        const bool exact = IsPolylineProfile(Profile(0));
        for (int k = 0; k < 2; k++) {
            if (!m_bCap[k]) continue;
            double m[2][2];
            ON_PlaneSurface* ps = CapSurface(E[k], outer_box, exact, m);
            if (!ps) continue;
            const int fi = b->NewFace(b->AddSurface(ps)).m_face_index;
            b->m_F[fi].m_bRev = (k == 0); // the bottom cap faces back along the path
            for (int p = 0; p < profile_count; p++) {
                const int li =
                    b->NewLoop(p == 0 ? ON_BrepLoop::outer : ON_BrepLoop::inner, fi).m_loop_index;
                const std::vector<int>& edges = k == 0 ? bottom_edges[p] : top_edges[p];
                for (size_t j = 0; j < edges.size(); j++)
                    b->NewTrim(b->AddTrimCurve(CapTrimCurve(pieces[p][j], m)), edges[j], false, li);
            }
        }
    }
    b->m_is_solid = IsSolid() ? 1 : 3;
    return b;
}
