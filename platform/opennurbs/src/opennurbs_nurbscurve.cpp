#include "opennurbs_internal.h"

#include <algorithm>
#include <new>

using namespace on_internal;

static bool StorageOk(const ON_NurbsCurve& c);

// The textbook knot vector: openNURBS's kc knots with the first and last
// repeated once more.
static std::vector<double> TextbookKnots(const double* knot, int kc) {
    std::vector<double> U(kc + 2);
    U[0] = knot[0];
    for (int i = 0; i < kc; i++)
        U[i + 1] = knot[i];
    U[kc + 1] = knot[kc - 1];
    return U;
}

ON_NurbsCurve::ON_NurbsCurve(int dimension, bool bIsRational, int order, int cv_count) {
    Create(dimension, bIsRational, order, cv_count);
}

ON_NurbsCurve::ON_NurbsCurve(const ON_NurbsCurve& src) : ON_Curve(src) {
    *this = src;
}

ON_NurbsCurve::ON_NurbsCurve(ON_NurbsCurve&& src) noexcept {
    *this = std::move(src);
}

ON_NurbsCurve& ON_NurbsCurve::operator=(const ON_NurbsCurve& src) {
    if (this == &src) return *this;
    if (!StorageOk(src)) {
        Destroy(); // a copy of an unusable curve is an empty one
        return *this;
    }
    Create(src.m_dim, src.m_is_rat != 0, src.m_order, src.m_cv_count);
    const int cv_size = CVSize();
    for (int i = 0; i < m_cv_count; i++)
        std::memcpy(CV(i), src.CV(i), sizeof(double) * cv_size);
    std::memcpy(m_knot, src.m_knot, sizeof(double) * KnotCount());
    return *this;
}

ON_NurbsCurve& ON_NurbsCurve::operator=(ON_NurbsCurve&& src) noexcept {
    if (this == &src) return *this;
    Destroy();
    m_dim = src.m_dim, m_is_rat = src.m_is_rat, m_order = src.m_order, m_cv_count = src.m_cv_count;
    m_knot_capacity = src.m_knot_capacity, m_knot = src.m_knot;
    m_cv_stride = src.m_cv_stride, m_cv_capacity = src.m_cv_capacity, m_cv = src.m_cv;
    src.m_knot = nullptr, src.m_cv = nullptr;
    src.m_knot_capacity = src.m_cv_capacity = 0;
    src.Initialize();
    return *this;
}

ON_NurbsCurve::~ON_NurbsCurve() {
    Destroy();
}

void ON_NurbsCurve::Initialize() {
    m_dim = m_is_rat = m_order = m_cv_count = 0;
    m_cv_stride = 0;
    if (m_knot_capacity == 0) m_knot = nullptr;
    if (m_cv_capacity == 0) m_cv = nullptr;
}

void ON_NurbsCurve::Destroy() {
    if (m_knot_capacity > 0) onfree(m_knot);
    if (m_cv_capacity > 0) onfree(m_cv);
    m_knot = nullptr, m_cv = nullptr;
    m_knot_capacity = m_cv_capacity = 0;
    Initialize();
}

namespace on_internal {
bool TransformCV(const ON_Xform& xform, double* cv, int dim, bool is_rat) {
    ON_4dPoint h(cv[0], dim > 1 ? cv[1] : 0.0, dim > 2 ? cv[2] : 0.0, is_rat ? cv[dim] : 1.0);
    h = xform * h;
    double s = 1.0;
    if (is_rat) {
        cv[dim] = h.w;
    } else {
        if (h.w == 0.0) return false;
        if (h.w != 1.0) s = 1.0 / h.w;
    }
    const double q[3] = {h.x * s, h.y * s, h.z * s};
    for (int c = 0; c < dim && c < 3; c++)
        cv[c] = q[c];
    return true;
}

bool ReserveDoubles(double*& buffer, int& capacity, int wanted) {
    if (wanted <= capacity) return buffer != nullptr || wanted == 0;
    if (capacity == 0 && buffer) return false; // memory we do not own
    double* p = (double*)onrealloc(buffer, sizeof(double) * (size_t)wanted);
    if (!p) throw std::bad_alloc(); // as the arrays do
    buffer = p;
    capacity = wanted;
    return true;
}
} // namespace on_internal

bool ON_NurbsCurve::ReserveKnotCapacity(int capacity) {
    return on_internal::ReserveDoubles(m_knot, m_knot_capacity, capacity);
}

bool ON_NurbsCurve::ReserveCVCapacity(int capacity) {
    return on_internal::ReserveDoubles(m_cv, m_cv_capacity, capacity);
}

bool ON_NurbsCurve::Create(int dimension, bool bIsRational, int order, int cv_count) {
    if (dimension < 1 || order < 2 || cv_count < order || cv_count > 0x1000000 || order > 0x100) {
        Destroy();
        return false;
    }
    if ((m_knot_capacity == 0 && m_knot) || (m_cv_capacity == 0 && m_cv)) {
        // Do not write into memory the curve does not own.
        m_knot = nullptr;
        m_cv = nullptr;
    }
    m_dim = dimension;
    m_is_rat = bIsRational ? 1 : 0;
    m_order = order;
    m_cv_count = cv_count;
    m_cv_stride = CVSize();
    if (!ReserveKnotCapacity(KnotCount()) || !ReserveCVCapacity(m_cv_stride * cv_count)) {
        Destroy();
        return false;
    }
    std::memset(m_knot, 0, sizeof(double) * KnotCount());
    std::memset(m_cv, 0, sizeof(double) * (size_t)m_cv_stride * cv_count);
    if (m_is_rat)
        for (int i = 0; i < cv_count; i++)
            CV(i)[m_dim] = 1.0;
    return true;
}

bool ON_NurbsCurve::CreateClampedUniformNurbs(int dimension, int order, int point_count,
                                              const ON_3dPoint* points, double knot_delta) {
    if (!points || !(knot_delta > 0.0) || !Create(dimension, false, order, point_count))
        return false;
    for (int i = 0; i < point_count; i++)
        SetCV(i, points[i]);
    const int deg = order - 1;
    for (int i = 0; i < KnotCount(); i++) {
        int k = i - deg + 1;
        k = std::max(0, std::min(k, point_count - order + 1));
        m_knot[i] = k * knot_delta;
    }
    return true;
}

// The arrays hold what the counts and stride say (when we own them and so
// know their size): a curve filled from outside cannot send a reader past
// its end.
static bool StorageOk(const ON_NurbsCurve& c) {
    if (c.m_dim < 1 || c.m_order < 2 || c.m_cv_count < c.m_order || !c.m_cv || !c.m_knot ||
        c.m_cv_stride < c.CVSize())
        return false;
    if (c.m_knot_capacity > 0 && c.m_knot_capacity < c.KnotCount()) return false;
    if (c.m_cv_capacity > 0 &&
        (long long)(c.m_cv_count - 1) * c.m_cv_stride + c.CVSize() > (long long)c.m_cv_capacity)
        return false;
    return true;
}

bool ON_NurbsCurve::IsValid() const {
    if (!StorageOk(*this)) return false;
    const int kc = KnotCount();
    for (int i = 0; i < kc; i++) {
        if (!ON_IsValid(m_knot[i])) return false;
        if (i > 0 && m_knot[i] < m_knot[i - 1]) return false;
    }
    // The domain must not be empty, and no knot may repeat more than order times.
    if (!(m_knot[m_order - 2] < m_knot[m_cv_count - 1])) return false;
    for (int i = 0; i + m_order - 1 < kc; i++)
        if (m_knot[i] == m_knot[i + m_order - 1] && i > 0 && i + m_order - 1 < kc - 1) return false;
    for (int i = 0; i < m_cv_count; i++) {
        const double* p = CV(i);
        for (int c = 0; c < CVSize(); c++)
            if (!ON_IsValid(p[c])) return false;
        if (m_is_rat && p[m_dim] == 0.0) return false;
    }
    return true;
}

bool ON_NurbsCurve::GetCV(int i, ON_3dPoint& point) const {
    const double* p = CV(i);
    if (!p) return false;
    double w = 1.0;
    if (m_is_rat) {
        w = p[m_dim];
        if (w == 0.0) return false;
        w = 1.0 / w;
    }
    point.x = p[0] * w;
    point.y = m_dim > 1 ? p[1] * w : 0.0;
    point.z = m_dim > 2 ? p[2] * w : 0.0;
    return true;
}

bool ON_NurbsCurve::GetCV(int i, ON_4dPoint& point) const {
    const double* p = CV(i);
    if (!p) return false;
    point.x = p[0];
    point.y = m_dim > 1 ? p[1] : 0.0;
    point.z = m_dim > 2 ? p[2] : 0.0;
    point.w = m_is_rat ? p[m_dim] : 1.0;
    return true;
}

bool ON_NurbsCurve::SetCV(int i, const ON_3dPoint& point) {
    double* p = CV(i);
    if (!p) return false;
    const double w = m_is_rat ? p[m_dim] : 1.0;
    for (int c = 0; c < m_dim; c++)
        p[c] = (c < 3 ? point[c] : 0.0) * w;
    return true;
}

bool ON_NurbsCurve::SetCV(int i, const ON_4dPoint& point) {
    double* p = CV(i);
    if (!p) return false;
    if (m_is_rat) {
        for (int c = 0; c < m_dim; c++)
            p[c] = c < 3 ? point[c] : 0.0;
        p[m_dim] = point.w;
    } else {
        if (point.w == 0.0) return false;
        const double s = 1.0 / point.w;
        for (int c = 0; c < m_dim; c++)
            p[c] = (c < 3 ? point[c] : 0.0) * s;
    }
    return true;
}

double ON_NurbsCurve::Weight(int i) const {
    const double* p = CV(i);
    return (p && m_is_rat) ? p[m_dim] : 1.0;
}

bool ON_NurbsCurve::SetWeight(int i, double w) {
    double* p = CV(i);
    if (!p || w == 0.0 || !ON_IsValid(w)) return false;
    if (!m_is_rat) {
        if (w == 1.0) return true;
        MakeRational();
        p = CV(i);
    }
    const double s = w / p[m_dim];
    for (int c = 0; c < m_dim; c++)
        p[c] *= s;
    p[m_dim] = w;
    return true;
}

bool ON_NurbsCurve::SetKnot(int i, double knot_value) {
    if (!m_knot || i < 0 || i >= KnotCount()) return false;
    m_knot[i] = knot_value;
    return true;
}

int ON_NurbsCurve::KnotMultiplicity(int i) const {
    const int kc = KnotCount();
    if (!m_knot || i < 0 || i >= kc) return 0;
    int m = 1;
    while (i + m < kc && m_knot[i + m] == m_knot[i])
        m++;
    return m;
}

bool ON_NurbsCurve::MakeRational() {
    if (m_is_rat) return true;
    if (m_dim < 1 || m_cv_count < 1 || !m_cv) return false;
    ON_NurbsCurve r;
    if (!r.Create(m_dim, true, m_order, m_cv_count)) return false;
    for (int i = 0; i < m_cv_count; i++) {
        std::memcpy(r.CV(i), CV(i), sizeof(double) * m_dim);
        r.CV(i)[m_dim] = 1.0;
    }
    std::memcpy(r.m_knot, m_knot, sizeof(double) * KnotCount());
    *this = std::move(r);
    return true;
}

bool ON_NurbsCurve::MakeNonRational() {
    if (!m_is_rat) return true;
    for (int i = 0; i < m_cv_count; i++)
        if (CV(i)[m_dim] != 1.0) return false;
    ON_NurbsCurve r;
    if (!r.Create(m_dim, false, m_order, m_cv_count)) return false;
    for (int i = 0; i < m_cv_count; i++)
        std::memcpy(r.CV(i), CV(i), sizeof(double) * m_dim);
    std::memcpy(r.m_knot, m_knot, sizeof(double) * KnotCount());
    *this = std::move(r);
    return true;
}

bool ON_NurbsCurve::IsClamped(int end) const {
    if (!m_knot || m_order < 2 || m_cv_count < m_order) return false;
    const int kc = KnotCount();
    const bool start = m_knot[0] == m_knot[m_order - 2];
    const bool finish = m_knot[kc - 1] == m_knot[kc - m_order + 1];
    return end == 0 ? start : (end == 1 ? finish : (start && finish));
}

double ON_NurbsCurve::GrevilleAbcissa(int i) const {
    if (!m_knot || i < 0 || i >= m_cv_count) return 0.0;
    const int deg = m_order - 1;
    double s = 0.0;
    for (int k = 0; k < deg; k++)
        s += m_knot[i + k];
    return s / deg;
}

ON_Interval ON_NurbsCurve::Domain() const {
    if (!m_knot || m_order < 2 || m_cv_count < m_order) return ON_Interval();
    return ON_Interval(m_knot[m_order - 2], m_knot[m_cv_count - 1]);
}

bool ON_NurbsCurve::SetDomain(double t0, double t1) {
    if (!(t0 < t1) || !StorageOk(*this)) return false;
    const ON_Interval d = Domain();
    if (!d.IsIncreasing()) return false;
    if (d[0] == t0 && d[1] == t1) return true;
    const int kc = KnotCount();
    const double k = (t1 - t0) / (d[1] - d[0]);
    for (int i = 0; i < kc; i++) {
        // End knots land exactly on t0 and t1.
        if (m_knot[i] == d[0])
            m_knot[i] = t0;
        else if (m_knot[i] == d[1])
            m_knot[i] = t1;
        else
            m_knot[i] = t0 + (m_knot[i] - d[0]) * k;
    }
    return true;
}

int ON_NurbsCurve::SpanCount() const {
    if (!m_knot || m_order < 2 || m_cv_count < m_order) return 0;
    int n = 0;
    for (int i = m_order - 2; i < m_cv_count - 1; i++)
        if (m_knot[i] < m_knot[i + 1]) n++;
    return n;
}

bool ON_NurbsCurve::GetSpanVector(double* knots) const {
    if (!knots || !m_knot || m_order < 2 || m_cv_count < m_order) return false;
    int n = 0;
    knots[n++] = m_knot[m_order - 2];
    for (int i = m_order - 2; i < m_cv_count - 1; i++)
        if (m_knot[i] < m_knot[i + 1]) knots[n++] = m_knot[i + 1];
    return true;
}

bool ON_NurbsCurve::Evaluate(double t, int der_count, int v_stride, double* v, int side,
                             int*) const {
    if (!v || der_count < 0 || v_stride < m_dim || !StorageOk(*this)) return false;
    if (!ON_IsValid(t)) return false;
    const int cv_size = CVSize();
    std::vector<double> out((size_t)(der_count + 1) * cv_size);
    EvaluateHomogeneous(m_order, m_cv_count, m_knot, cv_size, m_cv_stride, m_cv, t, der_count, side,
                        out.data());
    if (!m_is_rat) {
        for (int d = 0; d <= der_count; d++)
            std::memcpy(v + (size_t)d * v_stride, out.data() + (size_t)d * cv_size,
                        sizeof(double) * m_dim);
        return true;
    }
    return RationalToEuclidean(m_dim, der_count, out.data(), v_stride, v);
}

bool ON_NurbsCurve::IsClosed() const {
    if (m_dim < 1 || m_cv_count < 4) return false;
    if (IsPeriodic()) return true;
    return ON_Curve::IsClosed();
}

bool ON_NurbsCurve::IsPeriodic() const {
    if (!m_knot || !m_cv || m_order < 3 || m_cv_count < 2 * (m_order - 1)) return false;
    const int deg = m_order - 1;
    const int kc = KnotCount();
    // The spacing of the first 2*deg - 2 knot intervals repeats at the end.
    const int n = m_cv_count;
    const double scale = std::max(1.0, std::fabs(m_knot[kc - 1] - m_knot[0]));
    for (int i = 0; i <= 2 * deg - 3; i++) {
        const double a = m_knot[i + 1] - m_knot[i];
        const double b = m_knot[n - deg + i + 1] - m_knot[n - deg + i];
        if (std::fabs(a - b) > ON_ZERO_TOLERANCE * scale) return false;
    }
    // The last deg CVs repeat the first deg.
    for (int i = 0; i < deg; i++) {
        ON_4dPoint a, b;
        GetCV(i, a);
        GetCV(n - deg + i, b);
        if (a != b) {
            ON_3dPoint pa, pb;
            GetCV(i, pa), GetCV(n - deg + i, pb);
            if (!PointsAreCoincident(pa, pb)) return false;
        }
    }
    return true;
}

bool ON_NurbsCurve::Reverse() {
    if (!StorageOk(*this)) return false;
    const int cv_size = CVSize();
    std::vector<double> tmp(cv_size);
    for (int i = 0, j = m_cv_count - 1; i < j; i++, j--) {
        std::memcpy(tmp.data(), CV(i), sizeof(double) * cv_size);
        std::memcpy(CV(i), CV(j), sizeof(double) * cv_size);
        std::memcpy(CV(j), tmp.data(), sizeof(double) * cv_size);
    }
    const int kc = KnotCount();
    for (int i = 0, j = kc - 1; i <= j; i++, j--) {
        const double a = m_knot[i], b = m_knot[j];
        m_knot[i] = -b;
        m_knot[j] = -a;
    }
    return true;
}

bool ON_NurbsCurve::Transform(const ON_Xform& xform) {
    if (!StorageOk(*this)) return false;
    if (m_dim < 3 && !xform.IsIdentity()) ChangeDimension(3);
    for (int i = 0; i < m_cv_count; i++)
        if (!on_internal::TransformCV(xform, CV(i), m_dim, m_is_rat != 0)) return false;
    return true;
}

bool ON_NurbsCurve::GetBBox(double* boxmin, double* boxmax, bool bGrowBox) const {
    if (!boxmin || !boxmax || !StorageOk(*this)) return false;
    ON_BoundingBox box;
    if (bGrowBox) box = ON_BoundingBox(ON_3dPoint(boxmin), ON_3dPoint(boxmax));
    ON_BoundingBox cvbox;
    if (!cvbox.Set(m_dim, m_is_rat, m_cv_count, m_cv_stride, m_cv, 0)) return false;
    box.Union(cvbox);
    for (int i = 0; i < 3; i++)
        boxmin[i] = box.m_min[i], boxmax[i] = box.m_max[i];
    return true;
}

int ON_NurbsCurve::GetNurbForm(ON_NurbsCurve& nurbs, double, const ON_Interval* subdomain) const {
    if (!IsValid()) return 0;
    if (&nurbs != this) nurbs = *this;
    if (subdomain && *subdomain != Domain()) {
        if (!nurbs.Trim(*subdomain)) return 0;
    }
    return 1;
}

// Boehm's insertion, once per call of the inner step.
bool ON_NurbsCurve::InsertKnot(double u, int multiplicity) {
    if (!IsValid() || multiplicity < 1 || multiplicity > m_order - 1) return false;
    const ON_Interval dom = Domain();
    if (u < dom[0] || u > dom[1]) return false;
    const int deg = m_order - 1;
    const int cv_size = CVSize();
    int existing = 0;
    for (int i = 0; i < KnotCount(); i++)
        if (m_knot[i] == u) existing++;
    for (int step = existing; step < multiplicity; step++) {
        // Full (textbook) knot vector U: U[0] = knot[0], U[i+1] = knot[i], U[n+p] = last.
        const int n = m_cv_count;
        const int kc = KnotCount();
        const std::vector<double> U = TextbookKnots(m_knot, kc);
        // Span index k (p <= k <= n-1) with U[k] <= u <= U[k+1], U[k] < U[k+1].
        int k = -1;
        for (int i = deg; i <= n - 1; i++)
            if (U[i] < U[i + 1] && U[i] <= u && u <= U[i + 1]) {
                k = i;
                if (u < U[i + 1]) break;
                if (i + 1 <= n - 1 && U[i + 1] < U[i + 2]) continue; // prefer the span u starts
                break;
            }
        if (k < 0) return false;
        std::vector<double> Q((size_t)(n + 1) * cv_size);
        for (int j = 0; j <= n; j++) {
            double* q = &Q[(size_t)j * cv_size];
            if (j <= k - deg) {
                std::memcpy(q, CV(j), sizeof(double) * cv_size);
            } else if (j >= k + 1) {
                std::memcpy(q, CV(j - 1), sizeof(double) * cv_size);
            } else {
                const double den = U[j + deg] - U[j];
                const double a = den != 0.0 ? (u - U[j]) / den : 0.0;
                const double* P1 = CV(j);
                const double* P0 = CV(j - 1);
                for (int c = 0; c < cv_size; c++)
                    q[c] = a * P1[c] + (1.0 - a) * P0[c];
            }
        }
        std::vector<double> knots(kc + 1);
        // Insert u after U[k], i.e. after knot index k-1.
        for (int i = 0, o = 0; i < kc; i++) {
            knots[o++] = m_knot[i];
            if (i == k - 1) knots[o++] = u;
        }
        ON_NurbsCurve r;
        if (!r.Create(m_dim, m_is_rat != 0, m_order, n + 1)) return false;
        for (int j = 0; j <= n; j++)
            std::memcpy(r.CV(j), &Q[(size_t)j * cv_size], sizeof(double) * cv_size);
        std::memcpy(r.m_knot, knots.data(), sizeof(double) * (kc + 1));
        *this = std::move(r);
    }
    return true;
}

bool ON_NurbsCurve::ClampEnd(int end) {
    if (!IsValid()) return false;
    const int deg = m_order - 1;
    if (end == 0 || end == 2) {
        if (!IsClamped(0)) {
            const double t = Domain()[0];
            if (!InsertKnot(t, deg)) return false;
            // Drop the CVs and knots before the first of the deg knots at t.
            int first = 0;
            while (m_knot[first] != t)
                first++;
            const int drop = first;
            if (drop > 0) {
                ON_NurbsCurve r;
                r.Create(m_dim, m_is_rat != 0, m_order, m_cv_count - drop);
                for (int i = 0; i < r.m_cv_count; i++)
                    std::memcpy(r.CV(i), CV(i + drop), sizeof(double) * CVSize());
                for (int i = 0; i < r.KnotCount(); i++)
                    r.m_knot[i] = m_knot[i + drop];
                *this = std::move(r);
            }
        }
    }
    if (end == 1 || end == 2) {
        if (!IsClamped(1)) {
            const double t = Domain()[1];
            if (!InsertKnot(t, deg)) return false;
            const int kc = KnotCount();
            int last = kc - 1;
            while (m_knot[last] != t)
                last--;
            const int drop = kc - 1 - last;
            if (drop > 0) {
                ON_NurbsCurve r;
                r.Create(m_dim, m_is_rat != 0, m_order, m_cv_count - drop);
                for (int i = 0; i < r.m_cv_count; i++)
                    std::memcpy(r.CV(i), CV(i), sizeof(double) * CVSize());
                for (int i = 0; i < r.KnotCount(); i++)
                    r.m_knot[i] = m_knot[i];
                *this = std::move(r);
            }
        }
    }
    return true;
}

// Bezier decomposition in one pass over the spans (Piegl and Tiller's
// scheme): each inner breakpoint is raised to full multiplicity locally, so
// a curve of many spans costs linear time.
bool ON_NurbsCurve::MakePiecewiseBezier() {
    if (!ClampEnd(2)) return false;
    const int p = m_order - 1;
    const int N = m_cv_count;
    const int cv_size = CVSize();
    const int kc = KnotCount();
    // Textbook knots U[0..m], m = N + p, clamped with p + 1 copies at each end.
    const std::vector<double> U = TextbookKnots(m_knot, kc);
    const int m = N + p;
    // Already Bezier when every inner breakpoint has multiplicity p.
    std::vector<double> breaks = {U[p]};
    std::vector<double> Q; // segments of p + 1 CVs each
    std::vector<double> seg((size_t)(p + 1) * cv_size), next((size_t)(p + 1) * cv_size);
    std::vector<double> alphas(p > 0 ? p : 1);
    auto P = [&](int i) { return CV(i); };
    for (int i = 0; i <= p; i++)
        std::memcpy(&seg[(size_t)i * cv_size], P(i), sizeof(double) * cv_size);
    int a = p, b = p + 1;
    while (b < m) {
        const int i0 = b;
        while (b < m && U[b + 1] == U[b])
            b++;
        const int mult = b - i0 + 1;
        if (mult < p) {
            const double numer = U[b] - U[a];
            for (int j = p; j > mult; j--)
                alphas[j - mult - 1] = numer / (U[a + j] - U[a]);
            const int r = p - mult;
            for (int j = 1; j <= r; j++) {
                const int save = r - j, s0 = mult + j;
                for (int k = p; k >= s0; k--) {
                    const double al = alphas[k - s0];
                    double* q = &seg[(size_t)k * cv_size];
                    const double* q1 = &seg[(size_t)(k - 1) * cv_size];
                    for (int c = 0; c < cv_size; c++)
                        q[c] = al * q[c] + (1.0 - al) * q1[c];
                }
                if (b < m)
                    std::memcpy(&next[(size_t)save * cv_size], &seg[(size_t)p * cv_size],
                                sizeof(double) * cv_size);
            }
        }
        Q.insert(Q.end(), seg.begin(), seg.end());
        breaks.push_back(U[b]);
        if (b < m) {
            for (int i = p - mult; i <= p; i++)
                std::memcpy(&next[(size_t)i * cv_size], P(b - p + i), sizeof(double) * cv_size);
            seg.swap(next);
            a = b;
            b = b + 1;
        }
    }
    if (Q.empty()) { // one span: already a Bezier curve
        Q.insert(Q.end(), seg.begin(), seg.end());
        breaks.push_back(U[m - p]);
    }
    const int spans = (int)(Q.size() / ((size_t)(p + 1) * cv_size));
    ON_NurbsCurve r;
    if (!r.Create(m_dim, m_is_rat != 0, m_order, spans * p + 1)) return false;
    for (int s = 0; s < spans; s++)
        for (int i = (s == 0 ? 0 : 1); i <= p; i++)
            std::memcpy(r.CV(s * p + i), &Q[((size_t)s * (p + 1) + i) * cv_size],
                        sizeof(double) * cv_size);
    int k = 0;
    for (size_t s = 0; s < breaks.size(); s++)
        for (int i = 0; i < p; i++)
            r.m_knot[k++] = breaks[s];
    *this = std::move(r);
    return true;
}

bool ON_NurbsCurve::IncreaseDegree(int desired_degree) {
    if (!IsValid() || desired_degree < 1) return false;
    const int deg = m_order - 1;
    if (desired_degree == deg) return true;
    if (desired_degree < deg) return false;
    if (!MakePiecewiseBezier()) return false;
    const int spans = (m_cv_count - 1) / deg;
    const int q = desired_degree;
    const int cv_size = CVSize();
    ON_NurbsCurve r;
    if (!r.Create(m_dim, m_is_rat != 0, q + 1, spans * q + 1)) return false;
    for (int s = 0; s < spans; s++) {
        const double* P0 = CV(s * deg);
        for (int i = 0; i <= q; i++) {
            double* out = r.CV(s * q + i);
            for (int c = 0; c < cv_size; c++)
                out[c] = 0.0;
            // Q_i = sum_j C(p,j) C(q-p,i-j) / C(q,i) P_j
            const int jlo = std::max(0, i - (q - deg)), jhi = std::min(deg, i);
            for (int j = jlo; j <= jhi; j++) {
                const double a = Binomial(deg, j) * Binomial(q - deg, i - j) / Binomial(q, i);
                const double* P = P0 + (size_t)j * m_cv_stride;
                for (int c = 0; c < cv_size; c++)
                    out[c] += a * P[c];
            }
            if (i == 0) std::memcpy(out, P0, sizeof(double) * cv_size);
            if (i == q) std::memcpy(out, P0 + (size_t)deg * m_cv_stride, sizeof(double) * cv_size);
        }
    }
    // Breakpoints, each repeated q times.
    std::vector<double> bp;
    bp.push_back(m_knot[0]);
    for (int s = 1; s <= spans; s++)
        bp.push_back(m_knot[s * deg]);
    int k = 0;
    for (double b : bp)
        for (int i = 0; i < q; i++)
            r.m_knot[k++] = b;
    *this = std::move(r);
    return true;
}

bool ON_NurbsCurve::ChangeDimension(int desired_dimension) {
    if (desired_dimension < 1 || !m_cv) return false;
    if (desired_dimension == m_dim) return true;
    ON_NurbsCurve r;
    if (!r.Create(desired_dimension, m_is_rat != 0, m_order, m_cv_count)) return false;
    for (int i = 0; i < m_cv_count; i++) {
        const double* p = CV(i);
        double* q = r.CV(i);
        for (int c = 0; c < desired_dimension; c++)
            q[c] = c < m_dim ? p[c] : 0.0;
        if (m_is_rat) q[desired_dimension] = p[m_dim];
    }
    std::memcpy(r.m_knot, m_knot, sizeof(double) * KnotCount());
    *this = std::move(r);
    return true;
}

bool ON_NurbsCurve::Trim(const ON_Interval& sub) {
    if (!IsValid() || !sub.IsIncreasing()) return false;
    const ON_Interval dom = Domain();
    const double t0 = std::max(sub[0], dom[0]), t1 = std::min(sub[1], dom[1]);
    if (!(t0 < t1)) return false;
    const int deg = m_order - 1;
    if (!InsertKnot(t0, deg) || !InsertKnot(t1, deg)) return false;
    // The new curve's knots run from the first copy of t0 to the last copy
    // of t1, with deg-1... that is: CVs from (index of first t0) to (index
    // of last t1) + 1.
    const int kc = KnotCount();
    int a = 0;
    while (a < kc && m_knot[a] < t0)
        a++;
    int b = kc - 1;
    while (b >= 0 && m_knot[b] > t1)
        b--;
    // Knots a..b become the new vector; CV index range a..(b - deg + 1).
    const int new_kc = b - a + 1;
    const int new_n = new_kc - m_order + 2;
    if (new_n < m_order) return false;
    ON_NurbsCurve r;
    if (!r.Create(m_dim, m_is_rat != 0, m_order, new_n)) return false;
    for (int i = 0; i < new_n; i++)
        std::memcpy(r.CV(i), CV(a + i), sizeof(double) * CVSize());
    for (int i = 0; i < new_kc; i++)
        r.m_knot[i] = m_knot[a + i];
    *this = std::move(r);
    return true;
}

bool ON_NurbsCurve::Append(const ON_NurbsCurve& other_in) {
    if (!IsValid() || !other_in.IsValid()) return false;
    ON_NurbsCurve other(other_in);
    const int dim = std::max(m_dim, other.m_dim);
    if (!ChangeDimension(dim) || !other.ChangeDimension(dim)) return false;
    const int deg = std::max(Degree(), other.Degree());
    if (!IncreaseDegree(deg) || !other.IncreaseDegree(deg)) return false;
    if (!ClampEnd(1) || !other.ClampEnd(0)) return false;
    if (m_is_rat || other.m_is_rat) {
        MakeRational();
        other.MakeRational();
        // Scale the other curve's homogeneous CVs (its shape stays) so its
        // first weight matches our last.
        const double w0 = Weight(m_cv_count - 1), w1 = other.Weight(0);
        if (w1 != w0 && w1 != 0.0) {
            const double s = w0 / w1;
            for (int i = 0; i < other.m_cv_count; i++)
                for (int c = 0; c <= dim; c++)
                    other.CV(i)[c] *= s;
        }
    }
    const ON_Interval d0 = Domain(), d1 = other.Domain();
    if (d1[0] != d0[1]) other.SetDomain(d0[1], d0[1] + d1.Length());
    const int cv_size = CVSize();
    const int n0 = m_cv_count, n1 = other.m_cv_count;
    ON_NurbsCurve r;
    if (!r.Create(dim, m_is_rat != 0, m_order, n0 + n1 - 1)) return false;
    for (int i = 0; i < n0; i++)
        std::memcpy(r.CV(i), CV(i), sizeof(double) * cv_size);
    for (int i = 1; i < n1; i++)
        std::memcpy(r.CV(n0 - 1 + i), other.CV(i), sizeof(double) * cv_size);
    // The join CV is the average of the two end CVs, so a small gap closes
    // halfway.
    double* join = r.CV(n0 - 1);
    const double* first = other.CV(0);
    for (int c = 0; c < cv_size; c++)
        join[c] = 0.5 * (join[c] + first[c]);
    int k = 0;
    for (int i = 0; i < KnotCount(); i++)
        r.m_knot[k++] = m_knot[i];
    for (int i = deg; i < other.KnotCount(); i++)
        r.m_knot[k++] = other.m_knot[i];
    *this = std::move(r);
    return true;
}
