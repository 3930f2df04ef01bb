#include "opennurbs_internal.h"

#include <algorithm>

using namespace on_internal;

static bool StorageOk(const ON_NurbsSurface& s);

ON_NurbsSurface::ON_NurbsSurface(int dim, bool is_rat, int order0, int order1, int cv_count0,
                                 int cv_count1) {
    Create(dim, is_rat, order0, order1, cv_count0, cv_count1);
}

ON_NurbsSurface::ON_NurbsSurface(const ON_NurbsSurface& src) : ON_Surface(src) {
    *this = src;
}

ON_NurbsSurface::ON_NurbsSurface(ON_NurbsSurface&& src) noexcept {
    *this = std::move(src);
}

ON_NurbsSurface& ON_NurbsSurface::operator=(const ON_NurbsSurface& src) {
    if (this == &src) return *this;
    if (!StorageOk(src) || !Create(src.m_dim, src.m_is_rat != 0, src.m_order[0], src.m_order[1],
                                   src.m_cv_count[0], src.m_cv_count[1])) {
        Destroy();
        return *this;
    }
    const int cv_size = CVSize();
    for (int i = 0; i < m_cv_count[0]; i++)
        for (int j = 0; j < m_cv_count[1]; j++)
            std::memcpy(CV(i, j), src.CV(i, j), sizeof(double) * cv_size);
    for (int d = 0; d < 2; d++)
        std::memcpy(m_knot[d], src.m_knot[d], sizeof(double) * KnotCount(d));
    return *this;
}

ON_NurbsSurface& ON_NurbsSurface::operator=(ON_NurbsSurface&& src) noexcept {
    if (this == &src) return *this;
    Destroy();
    m_dim = src.m_dim, m_is_rat = src.m_is_rat;
    for (int d = 0; d < 2; d++) {
        m_order[d] = src.m_order[d], m_cv_count[d] = src.m_cv_count[d];
        m_knot_capacity[d] = src.m_knot_capacity[d], m_knot[d] = src.m_knot[d];
        m_cv_stride[d] = src.m_cv_stride[d];
        src.m_knot[d] = nullptr, src.m_knot_capacity[d] = 0;
    }
    m_cv_capacity = src.m_cv_capacity, m_cv = src.m_cv;
    src.m_cv = nullptr, src.m_cv_capacity = 0;
    src.Initialize();
    return *this;
}

ON_NurbsSurface::~ON_NurbsSurface() {
    Destroy();
}

void ON_NurbsSurface::Initialize() {
    m_dim = m_is_rat = 0;
    for (int d = 0; d < 2; d++) {
        m_order[d] = m_cv_count[d] = m_cv_stride[d] = 0;
        if (m_knot_capacity[d] == 0) m_knot[d] = nullptr;
    }
    if (m_cv_capacity == 0) m_cv = nullptr;
}

void ON_NurbsSurface::Destroy() {
    for (int d = 0; d < 2; d++) {
        if (m_knot_capacity[d] > 0) onfree(m_knot[d]);
        m_knot[d] = nullptr, m_knot_capacity[d] = 0;
    }
    if (m_cv_capacity > 0) onfree(m_cv);
    m_cv = nullptr, m_cv_capacity = 0;
    Initialize();
}

bool ON_NurbsSurface::ReserveKnotCapacity(int dir, int capacity) {
    dir = dir ? 1 : 0;
    return on_internal::ReserveDoubles(m_knot[dir], m_knot_capacity[dir], capacity);
}

bool ON_NurbsSurface::ReserveCVCapacity(int capacity) {
    return on_internal::ReserveDoubles(m_cv, m_cv_capacity, capacity);
}

bool ON_NurbsSurface::Create(int dim, bool is_rat, int order0, int order1, int cv_count0,
                             int cv_count1) {
    if (dim < 1 || order0 < 2 || order1 < 2 || cv_count0 < order0 || cv_count1 < order1 ||
        order0 > 0x100 || order1 > 0x100 || (long long)cv_count0 * cv_count1 > 0x4000000) {
        Destroy();
        return false;
    }
    for (int d = 0; d < 2; d++)
        if (m_knot_capacity[d] == 0) m_knot[d] = nullptr;
    if (m_cv_capacity == 0) m_cv = nullptr;
    m_dim = dim;
    m_is_rat = is_rat ? 1 : 0;
    m_order[0] = order0, m_order[1] = order1;
    m_cv_count[0] = cv_count0, m_cv_count[1] = cv_count1;
    const int cv_size = CVSize();
    m_cv_stride[1] = cv_size;
    m_cv_stride[0] = cv_size * cv_count1;
    if (!ReserveKnotCapacity(0, KnotCount(0)) || !ReserveKnotCapacity(1, KnotCount(1)) ||
        !ReserveCVCapacity(cv_size * cv_count0 * cv_count1)) {
        Destroy();
        return false;
    }
    std::memset(m_knot[0], 0, sizeof(double) * KnotCount(0));
    std::memset(m_knot[1], 0, sizeof(double) * KnotCount(1));
    std::memset(m_cv, 0, sizeof(double) * (size_t)cv_size * cv_count0 * cv_count1);
    if (m_is_rat)
        for (int i = 0; i < cv_count0; i++)
            for (int j = 0; j < cv_count1; j++)
                CV(i, j)[dim] = 1.0;
    return true;
}

int ON_NurbsSurface::KnotCount(int dir) const {
    dir = dir ? 1 : 0;
    return (m_order[dir] >= 2 && m_cv_count[dir] >= m_order[dir])
               ? m_order[dir] + m_cv_count[dir] - 2
               : 0;
}

double* ON_NurbsSurface::CV(int i, int j) const {
    if (!m_cv || i < 0 || j < 0 || i >= m_cv_count[0] || j >= m_cv_count[1]) return nullptr;
    return m_cv + (size_t)i * m_cv_stride[0] + (size_t)j * m_cv_stride[1];
}

bool ON_NurbsSurface::GetCV(int i, int j, ON_3dPoint& point) const {
    const double* p = CV(i, j);
    if (!p) return false;
    double w = 1.0;
    if (m_is_rat) {
        if (p[m_dim] == 0.0) return false;
        w = 1.0 / p[m_dim];
    }
    point = ON_3dPoint(p[0] * w, m_dim > 1 ? p[1] * w : 0.0, m_dim > 2 ? p[2] * w : 0.0);
    return true;
}

bool ON_NurbsSurface::GetCV(int i, int j, ON_4dPoint& point) const {
    const double* p = CV(i, j);
    if (!p) return false;
    point =
        ON_4dPoint(p[0], m_dim > 1 ? p[1] : 0.0, m_dim > 2 ? p[2] : 0.0, m_is_rat ? p[m_dim] : 1.0);
    return true;
}

bool ON_NurbsSurface::SetCV(int i, int j, const ON_3dPoint& point) {
    double* p = CV(i, j);
    if (!p) return false;
    const double w = m_is_rat ? p[m_dim] : 1.0;
    for (int c = 0; c < m_dim; c++)
        p[c] = (c < 3 ? point[c] : 0.0) * w;
    return true;
}

bool ON_NurbsSurface::SetCV(int i, int j, const ON_4dPoint& point) {
    double* p = CV(i, j);
    if (!p) return false;
    if (m_is_rat) {
        for (int c = 0; c < m_dim; c++)
            p[c] = c < 3 ? point[c] : 0.0;
        p[m_dim] = point.w;
    } else {
        if (point.w == 0.0) return false;
        for (int c = 0; c < m_dim; c++)
            p[c] = (c < 3 ? point[c] : 0.0) / point.w;
    }
    return true;
}

double ON_NurbsSurface::Weight(int i, int j) const {
    const double* p = CV(i, j);
    return (p && m_is_rat) ? p[m_dim] : 1.0;
}

bool ON_NurbsSurface::SetWeight(int i, int j, double w) {
    if (!CV(i, j) || w == 0.0 || !ON_IsValid(w)) return false;
    if (!m_is_rat) {
        if (w == 1.0) return true;
        MakeRational();
    }
    double* p = CV(i, j);
    const double s = w / p[m_dim];
    for (int c = 0; c < m_dim; c++)
        p[c] *= s;
    p[m_dim] = w;
    return true;
}

double ON_NurbsSurface::Knot(int dir, int i) const {
    dir = dir ? 1 : 0;
    return (m_knot[dir] && i >= 0 && i < KnotCount(dir)) ? m_knot[dir][i] : 0.0;
}

bool ON_NurbsSurface::SetKnot(int dir, int i, double v) {
    dir = dir ? 1 : 0;
    if (!m_knot[dir] || i < 0 || i >= KnotCount(dir)) return false;
    m_knot[dir][i] = v;
    return true;
}

bool ON_NurbsSurface::MakeRational() {
    if (m_is_rat) return true;
    if (!m_cv) return false;
    ON_NurbsSurface r;
    if (!r.Create(m_dim, true, m_order[0], m_order[1], m_cv_count[0], m_cv_count[1])) return false;
    for (int i = 0; i < m_cv_count[0]; i++)
        for (int j = 0; j < m_cv_count[1]; j++) {
            std::memcpy(r.CV(i, j), CV(i, j), sizeof(double) * m_dim);
            r.CV(i, j)[m_dim] = 1.0;
        }
    for (int d = 0; d < 2; d++)
        std::memcpy(r.m_knot[d], m_knot[d], sizeof(double) * KnotCount(d));
    *this = std::move(r);
    return true;
}

// The arrays hold what the counts and strides say (when we own them and so
// know their size).
static bool StorageOk(const ON_NurbsSurface& s) {
    if (s.m_dim < 1 || !s.m_cv || s.m_cv_stride[0] < 1 || s.m_cv_stride[1] < 1) return false;
    if (s.m_cv_stride[0] < s.CVSize() && s.m_cv_stride[1] < s.CVSize()) return false;
    for (int d = 0; d < 2; d++) {
        if (s.m_order[d] < 2 || s.m_cv_count[d] < s.m_order[d] || !s.m_knot[d]) return false;
        if (s.m_knot_capacity[d] > 0 && s.m_knot_capacity[d] < s.KnotCount(d)) return false;
    }
    const long long last = (long long)(s.m_cv_count[0] - 1) * s.m_cv_stride[0] +
                           (long long)(s.m_cv_count[1] - 1) * s.m_cv_stride[1] + s.CVSize();
    return s.m_cv_capacity == 0 || last <= (long long)s.m_cv_capacity;
}

bool ON_NurbsSurface::IsValid() const {
    if (!StorageOk(*this)) return false;
    for (int d = 0; d < 2; d++) {
        const int kc = KnotCount(d);
        for (int i = 1; i < kc; i++)
            if (!(m_knot[d][i] >= m_knot[d][i - 1])) return false;
        if (!(m_knot[d][m_order[d] - 2] < m_knot[d][m_cv_count[d] - 1])) return false;
    }
    return true;
}

ON_Interval ON_NurbsSurface::Domain(int dir) const {
    dir = dir ? 1 : 0;
    if (!m_knot[dir] || KnotCount(dir) == 0) return ON_Interval();
    return ON_Interval(m_knot[dir][m_order[dir] - 2], m_knot[dir][m_cv_count[dir] - 1]);
}

bool ON_NurbsSurface::SetDomain(int dir, double t0, double t1) {
    dir = dir ? 1 : 0;
    const ON_Interval d = Domain(dir);
    if (!(t0 < t1) || !d.IsIncreasing()) return false;
    const double k = (t1 - t0) / d.Length();
    for (int i = 0; i < KnotCount(dir); i++) {
        double& x = m_knot[dir][i];
        x = (x == d[0]) ? t0 : (x == d[1] ? t1 : t0 + (x - d[0]) * k);
    }
    return true;
}

int ON_NurbsSurface::SpanCount(int dir) const {
    dir = dir ? 1 : 0;
    if (KnotCount(dir) == 0) return 0;
    int n = 0;
    for (int i = m_order[dir] - 2; i < m_cv_count[dir] - 1; i++)
        if (m_knot[dir][i] < m_knot[dir][i + 1]) n++;
    return n;
}

bool ON_NurbsSurface::GetSpanVector(int dir, double* knots) const {
    dir = dir ? 1 : 0;
    if (!knots || KnotCount(dir) == 0) return false;
    int n = 0;
    knots[n++] = m_knot[dir][m_order[dir] - 2];
    for (int i = m_order[dir] - 2; i < m_cv_count[dir] - 1; i++)
        if (m_knot[dir][i] < m_knot[dir][i + 1]) knots[n++] = m_knot[dir][i + 1];
    return true;
}

bool ON_NurbsSurface::Evaluate(double s, double t, int der, int v_stride, double* v, int quadrant,
                               int*) const {
    if (!IsValid() || !v || der < 0 || v_stride < m_dim) return false;
    const int sideu = (quadrant == 2 || quadrant == 3) ? -1 : 1;
    const int sidev = (quadrant == 3 || quadrant == 4) ? -1 : 1;
    const int ou = m_order[0], ov = m_order[1];
    const int su = FindSpan(ou, m_cv_count[0], m_knot[0], s, sideu);
    const int sv = FindSpan(ov, m_cv_count[1], m_knot[1], t, sidev);
    std::vector<double> Nu((size_t)(der + 1) * ou), Nv((size_t)(der + 1) * ov);
    BasisDerivatives(ou, m_knot[0], su, s, der, Nu.data());
    BasisDerivatives(ov, m_knot[1], sv, t, der, Nv.data());
    const int cv_size = CVSize();
    // Homogeneous partials A(k, l), k + l <= der.
    std::vector<double> A((size_t)(der + 1) * (der + 1) * cv_size, 0.0);
    auto At = [&](int k, int l) { return &A[((size_t)k * (der + 1) + l) * cv_size]; };
    for (int k = 0; k <= der; k++)
        for (int l = 0; k + l <= der; l++) {
            double* a = At(k, l);
            for (int i = 0; i < ou; i++) {
                const double bu = Nu[(size_t)k * ou + i];
                if (bu == 0.0) continue;
                for (int j = 0; j < ov; j++) {
                    const double b = bu * Nv[(size_t)l * ov + j];
                    if (b == 0.0) continue;
                    const double* P = CV(su + i, sv + j);
                    for (int c = 0; c < cv_size; c++)
                        a[c] += b * P[c];
                }
            }
        }
    // Output order: S, Ds, Dt, Dss, Dst, Dtt, ...
    std::vector<double> E((size_t)(der + 1) * (der + 1) * m_dim, 0.0);
    auto Et = [&](int k, int l) { return &E[((size_t)k * (der + 1) + l) * m_dim]; };
    for (int k = 0; k <= der; k++)
        for (int l = 0; k + l <= der; l++) {
            double* e = Et(k, l);
            const double* a = At(k, l);
            if (!m_is_rat) {
                for (int c = 0; c < m_dim; c++)
                    e[c] = a[c];
                continue;
            }
            const double w = At(0, 0)[m_dim];
            if (w == 0.0) return false;
            for (int c = 0; c < m_dim; c++) {
                double x = a[c];
                for (int i = 0; i <= k; i++)
                    for (int j = 0; j <= l; j++) {
                        if (i == 0 && j == 0) continue;
                        x -=
                            Binomial(k, i) * Binomial(l, j) * At(i, j)[m_dim] * Et(k - i, l - j)[c];
                    }
                e[c] = x / w;
            }
        }
    int n = 0;
    for (int total = 0; total <= der; total++)
        for (int l = 0; l <= total; l++) {
            const int k = total - l;
            std::memcpy(v + (size_t)n * v_stride, Et(k, l), sizeof(double) * m_dim);
            n++;
        }
    return true;
}

bool ON_NurbsSurface::IsPeriodic(int dir) const {
    ON_Curve* c = IsoCurve(dir ? 1 : 0, Domain(dir ? 0 : 1).Mid());
    const bool p = c && c->IsPeriodic();
    delete c;
    return p;
}

bool ON_NurbsSurface::Transpose() {
    if (!IsValid()) return false;
    ON_NurbsSurface r;
    if (!r.Create(m_dim, m_is_rat != 0, m_order[1], m_order[0], m_cv_count[1], m_cv_count[0]))
        return false;
    const int cv_size = CVSize();
    for (int i = 0; i < m_cv_count[0]; i++)
        for (int j = 0; j < m_cv_count[1]; j++)
            std::memcpy(r.CV(j, i), CV(i, j), sizeof(double) * cv_size);
    std::memcpy(r.m_knot[0], m_knot[1], sizeof(double) * KnotCount(1));
    std::memcpy(r.m_knot[1], m_knot[0], sizeof(double) * KnotCount(0));
    *this = std::move(r);
    return true;
}

bool ON_NurbsSurface::Transform(const ON_Xform& xform) {
    if (!m_cv || m_dim != 3) return false;
    for (int i = 0; i < m_cv_count[0]; i++)
        for (int j = 0; j < m_cv_count[1]; j++)
            if (!on_internal::TransformCV(xform, CV(i, j), m_dim, m_is_rat != 0)) return false;
    return true;
}

bool ON_NurbsSurface::GetBBox(double* boxmin, double* boxmax, bool bGrowBox) const {
    if (!boxmin || !boxmax || !m_cv) return false;
    ON_BoundingBox box;
    if (bGrowBox) box = ON_BoundingBox(ON_3dPoint(boxmin), ON_3dPoint(boxmax));
    for (int i = 0; i < m_cv_count[0]; i++) {
        ON_BoundingBox row;
        if (row.Set(m_dim, m_is_rat, m_cv_count[1], m_cv_stride[1], CV(i, 0), 0)) box.Union(row);
    }
    if (!box.IsValid()) return false;
    for (int c = 0; c < 3; c++)
        boxmin[c] = box.m_min[c], boxmax[c] = box.m_max[c];
    return true;
}

ON_Curve* ON_NurbsSurface::IsoCurve(int dir, double c) const {
    dir = dir ? 1 : 0;
    const int other = 1 - dir;
    if (!IsValid()) return nullptr;
    const ON_Interval od = Domain(other);
    if (!(c >= od[0] && c <= od[1])) return nullptr;
    const int oo = m_order[other];
    const int s = FindSpan(oo, m_cv_count[other], m_knot[other], c, c == od[1] ? -1 : 1);
    std::vector<double> N(oo);
    BasisDerivatives(oo, m_knot[other], s, c, 0, N.data());
    ON_NurbsCurve* curve = new ON_NurbsCurve();
    if (!curve->Create(m_dim, m_is_rat != 0, m_order[dir], m_cv_count[dir])) {
        delete curve;
        return nullptr;
    }
    const int cv_size = CVSize();
    for (int i = 0; i < m_cv_count[dir]; i++) {
        double* q = curve->CV(i);
        for (int k = 0; k < cv_size; k++)
            q[k] = 0.0;
        for (int j = 0; j < oo; j++) {
            const double* P = dir == 0 ? CV(i, s + j) : CV(s + j, i);
            for (int k = 0; k < cv_size; k++)
                q[k] += N[j] * P[k];
        }
    }
    std::memcpy(curve->m_knot, m_knot[dir], sizeof(double) * KnotCount(dir));
    return curve;
}

int ON_NurbsSurface::GetNurbForm(ON_NurbsSurface& nurbs, double) const {
    if (!IsValid()) return 0;
    if (&nurbs != this) nurbs = *this;
    return 1;
}

namespace on_internal {

bool SumNurbForm(const ON_NurbsCurve& c0, const ON_NurbsCurve& c1, const ON_3dVector& base,
                 ON_NurbsSurface& srf) {
    const bool rat = c0.IsRational() || c1.IsRational();
    if (!srf.Create(3, rat, c0.m_order, c1.m_order, c0.m_cv_count, c1.m_cv_count)) return false;
    for (int i = 0; i < c0.m_cv_count; i++)
        for (int j = 0; j < c1.m_cv_count; j++) {
            ON_3dPoint P, Q;
            c0.GetCV(i, P);
            c1.GetCV(j, Q);
            const double w = c0.Weight(i) * c1.Weight(j);
            const ON_3dPoint S = P + Q + base;
            srf.SetCV(i, j, ON_4dPoint(S.x * w, S.y * w, S.z * w, w));
        }
    std::memcpy(srf.m_knot[0], c0.m_knot, sizeof(double) * c0.KnotCount());
    std::memcpy(srf.m_knot[1], c1.m_knot, sizeof(double) * c1.KnotCount());
    return true;
}

} // namespace on_internal
