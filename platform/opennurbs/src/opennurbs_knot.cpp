#include "opennurbs_internal.h"

#include <algorithm>

namespace on_internal {

int FindSpan(int order, int cv_count, const double* knot, double t, int side) {
    const int deg = order - 1;
    const int first = 0, last = cv_count - order;
    if (last <= first) return first;
    // Spans s in [first, last]; span s starts at knot[s + deg - 1].
    auto start = [&](int s) { return knot[s + deg - 1]; };
    auto end = [&](int s) { return knot[s + deg]; };
    if (side < 0) {
        if (t <= end(first)) return first;
        if (t > start(last)) return last;
        int lo = first, hi = last; // start(lo) < t <= end(hi)
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (t <= end(mid))
                hi = mid;
            else
                lo = mid + 1;
        }
        while (lo > first && end(lo) == start(lo))
            lo--;
        return lo;
    }
    if (t < end(first)) return first;
    if (t >= start(last)) {
        int s = last;
        while (s > first && end(s) == start(s))
            s--;
        return s;
    }
    int lo = first, hi = last; // largest s with start(s) <= t
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (start(mid) <= t)
            lo = mid;
        else
            hi = mid - 1;
    }
    while (lo < last && end(lo) == start(lo))
        lo++;
    while (lo > first && end(lo) == start(lo))
        lo--;
    return lo;
}

// Cox-de Boor triangle with derivatives (Piegl and Tiller's formulation) on
// the 2*deg knots knot[s .. s+2*deg-1].
void BasisDerivatives(int order, const double* knot, int s, double t, int der, double* N) {
    const int p = order - 1;
    const double* k = knot + s; // span is [k[p-1], k[p]]
    std::vector<double> ndu((size_t)order * order), left(order), right(order), a(2 * (size_t)order);
    auto NDU = [&](int i, int j) -> double& { return ndu[(size_t)i * order + j]; };
    NDU(0, 0) = 1.0;
    for (int j = 1; j <= p; j++) {
        left[j] = t - k[p - j];
        right[j] = k[p - 1 + j] - t;
        double saved = 0.0;
        for (int r = 0; r < j; r++) {
            NDU(j, r) = right[r + 1] + left[j - r];
            const double temp = NDU(j, r) != 0.0 ? NDU(r, j - 1) / NDU(j, r) : 0.0;
            NDU(r, j) = saved + right[r + 1] * temp;
            saved = left[j - r] * temp;
        }
        NDU(j, j) = saved;
    }
    for (int d = 0; d <= der; d++)
        for (int j = 0; j <= p; j++)
            N[(size_t)d * order + j] = 0.0;
    for (int j = 0; j <= p; j++)
        N[j] = NDU(j, p);
    const int n = std::min(der, p);
    for (int r = 0; r <= p; r++) {
        double* a1 = a.data();
        double* a2 = a.data() + order;
        a1[0] = 1.0;
        for (int kk = 1; kk <= n; kk++) {
            double d = 0.0;
            const int rk = r - kk, pk = p - kk;
            if (r >= kk) {
                a2[0] = NDU(pk + 1, rk) != 0.0 ? a1[0] / NDU(pk + 1, rk) : 0.0;
                d = a2[0] * NDU(rk, pk);
            }
            const int j1 = rk >= -1 ? 1 : -rk;
            const int j2 = (r - 1 <= pk) ? kk - 1 : p - r;
            for (int j = j1; j <= j2; j++) {
                a2[j] =
                    NDU(pk + 1, rk + j) != 0.0 ? (a1[j] - a1[j - 1]) / NDU(pk + 1, rk + j) : 0.0;
                d += a2[j] * NDU(rk + j, pk);
            }
            if (r <= pk) {
                a2[kk] = NDU(pk + 1, r) != 0.0 ? -a1[kk - 1] / NDU(pk + 1, r) : 0.0;
                d += a2[kk] * NDU(r, pk);
            }
            N[(size_t)kk * order + r] = d;
            std::swap(a1, a2);
        }
    }
    double f = p;
    for (int kk = 1; kk <= n; kk++) {
        for (int j = 0; j <= p; j++)
            N[(size_t)kk * order + j] *= f;
        f *= (p - kk);
    }
}

void EvaluateHomogeneous(int order, int cv_count, const double* knot, int cv_size, int cv_stride,
                         const double* cv, double t, int der, int side, double* out) {
    const int s = FindSpan(order, cv_count, knot, t, side);
    std::vector<double> N((size_t)(der + 1) * order);
    BasisDerivatives(order, knot, s, t, der, N.data());
    for (int d = 0; d <= der; d++) {
        double* o = out + (size_t)d * cv_size;
        for (int c = 0; c < cv_size; c++)
            o[c] = 0.0;
        for (int j = 0; j < order; j++) {
            const double b = N[(size_t)d * order + j];
            if (b == 0.0) continue;
            const double* P = cv + (size_t)(s + j) * cv_stride;
            for (int c = 0; c < cv_size; c++)
                o[c] += b * P[c];
        }
    }
}

double Binomial(int n, int k) {
    if (k < 0 || k > n) return 0.0;
    double r = 1.0;
    for (int i = 1; i <= k; i++)
        r = r * (n - k + i) / i;
    return r;
}

bool RationalToEuclidean(int dim, int der, const double* hom, int v_stride, double* v) {
    const int hs = dim + 1;
    const double w = hom[dim];
    if (w == 0.0) return false;
    for (int k = 0; k <= der; k++) {
        double* vk = v + (size_t)k * v_stride;
        const double* Ak = hom + (size_t)k * hs;
        for (int c = 0; c < dim; c++) {
            double a = Ak[c];
            for (int i = 1; i <= k; i++)
                a -= Binomial(k, i) * hom[(size_t)i * hs + dim] * v[(size_t)(k - i) * v_stride + c];
            vk[c] = a / w;
        }
    }
    return true;
}

bool PointsAreCoincident(const ON_3dPoint& a, const ON_3dPoint& b) {
    const double d = a.DistanceTo(b);
    const double size = std::max(1.0, std::max(a.MaximumCoordinate(), b.MaximumCoordinate()));
    return d <= ON_ZERO_TOLERANCE * size;
}

bool ArcNurbForm(const ON_Arc& arc, ON_NurbsCurve& nurbs) {
    const double angle = arc.m_angle.Length();
    if (!(angle > 0.0) || !(arc.radius > 0.0) || !arc.m_angle.IsValid()) return false;
    const int spans = (angle <= 0.5 * ON_PI + ON_ZERO_TOLERANCE)
                          ? 1
                          : (angle <= ON_PI + ON_ZERO_TOLERANCE ? 2 : 4);
    const double half = 0.5 * angle / spans; // half the angle of one span
    const double w = std::cos(half);
    if (!nurbs.Create(3, true, 3, 2 * spans + 1)) return false;
    for (int i = 0; i <= 2 * spans; i++) {
        const double a = (i == 2 * spans) ? arc.m_angle[1] : arc.m_angle[0] + i * half;
        const ON_3dPoint P = arc.PointAt(a);
        if (i % 2 == 0) {
            nurbs.SetCV(i, ON_4dPoint(P.x, P.y, P.z, 1.0));
        } else {
            // The middle CV lies on the bisector at r / cos(half); its
            // homogeneous form is the arc point itself with weight cos(half).
            nurbs.SetCV(i, ON_4dPoint(P.x - (1.0 - w) * arc.Center().x,
                                      P.y - (1.0 - w) * arc.Center().y,
                                      P.z - (1.0 - w) * arc.Center().z, w));
        }
    }
    for (int s = 0; s <= spans; s++) {
        const double t = (s == spans) ? arc.m_angle[1] : arc.m_angle[0] + s * (angle / spans);
        nurbs.m_knot[2 * s] = t;
        if (2 * s + 1 < nurbs.KnotCount()) nurbs.m_knot[2 * s + 1] = t;
    }
    return true;
}

bool IsSimilarity(const ON_Xform& x, double* scale) {
    if (x.m_xform[3][0] != 0.0 || x.m_xform[3][1] != 0.0 || x.m_xform[3][2] != 0.0 ||
        x.m_xform[3][3] != 1.0)
        return false;
    ON_3dVector col[3];
    for (int j = 0; j < 3; j++)
        col[j] = ON_3dVector(x.m_xform[0][j], x.m_xform[1][j], x.m_xform[2][j]);
    const double s = col[0].Length();
    if (!(s > 0.0) || !std::isfinite(s)) return false;
    const double tol = ON_SQRT_EPSILON * s * s;
    for (int j = 0; j < 3; j++) {
        if (std::fabs(col[j] * col[j] - s * s) > tol) return false;
        if (std::fabs(col[j] * col[(j + 1) % 3]) > tol) return false;
    }
    if (scale) *scale = s;
    return true;
}

void Compact(ON_NurbsCurve& c) {
    const int cv_size = c.CVSize();
    if (c.m_cv_stride == cv_size || !c.m_cv) return;
    ON_NurbsCurve tmp;
    tmp.Create(c.m_dim, c.m_is_rat != 0, c.m_order, c.m_cv_count);
    for (int i = 0; i < c.m_cv_count; i++)
        std::memcpy(tmp.CV(i), c.CV(i), sizeof(double) * cv_size);
    for (int i = 0; i < c.KnotCount(); i++)
        tmp.m_knot[i] = c.m_knot[i];
    c = std::move(tmp);
}

} // namespace on_internal
