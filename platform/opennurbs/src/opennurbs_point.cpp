#include "opennurbs.h"

#include <algorithm>

const ON_2dPoint ON_2dPoint::Origin(0.0, 0.0);
const ON_3dPoint ON_3dPoint::Origin(0.0, 0.0, 0.0);
const ON_3dPoint ON_3dPoint::UnsetPoint(ON_UNSET_VALUE, ON_UNSET_VALUE, ON_UNSET_VALUE);
const ON_3dVector ON_3dVector::ZeroVector(0.0, 0.0, 0.0);
const ON_3dVector ON_3dVector::XAxis(1.0, 0.0, 0.0);
const ON_3dVector ON_3dVector::YAxis(0.0, 1.0, 0.0);
const ON_3dVector ON_3dVector::ZAxis(0.0, 0.0, 1.0);
const ON_BoundingBox ON_BoundingBox::EmptyBoundingBox;

ON_3dPoint::ON_3dPoint(const ON_3fPoint& p) : x(p.x), y(p.y), z(p.z) {}

ON_3dPoint::ON_3dPoint(const ON_4dPoint& p) {
    if (p.w != 0.0) {
        const double s = 1.0 / p.w;
        x = p.x * s, y = p.y * s, z = p.z * s;
    } else {
        *this = UnsetPoint;
    }
}

ON_3dPoint::ON_3dPoint(const ON_3dVector& v) : x(v.x), y(v.y), z(v.z) {}

ON_3dPoint& ON_3dPoint::operator+=(const ON_3dVector& v) {
    x += v.x, y += v.y, z += v.z;
    return *this;
}
ON_3dPoint& ON_3dPoint::operator-=(const ON_3dVector& v) {
    x -= v.x, y -= v.y, z -= v.z;
    return *this;
}
ON_3dPoint ON_3dPoint::operator+(const ON_3dVector& v) const {
    return ON_3dPoint(x + v.x, y + v.y, z + v.z);
}
ON_3dVector ON_3dPoint::operator-(const ON_3dPoint& p) const {
    return ON_3dVector(x - p.x, y - p.y, z - p.z);
}
ON_3dPoint ON_3dPoint::operator-(const ON_3dVector& v) const {
    return ON_3dPoint(x - v.x, y - v.y, z - v.z);
}
ON_3dPoint operator*(double s, const ON_3dPoint& p) {
    return p * s;
}

double ON_3dPoint::DistanceTo(const ON_3dPoint& p) const {
    return (*this - p).Length();
}

double ON_3dPoint::MaximumCoordinate() const {
    return std::max(std::fabs(x), std::max(std::fabs(y), std::fabs(z)));
}

void ON_3dPoint::Transform(const ON_Xform& xform) {
    *this = xform * *this;
}

void ON_3fPoint::Transform(const ON_Xform& xform) {
    ON_3dPoint p(*this);
    p.Transform(xform);
    *this = ON_3fPoint(p);
}

void ON_4dPoint::Transform(const ON_Xform& xform) {
    *this = xform * *this;
}

// Scaled to avoid overflow and underflow for extreme coordinates.
double ON_3dVector::Length() const {
    const double m = MaximumCoordinate();
    if (m == 0.0 || !std::isfinite(m)) return m;
    const double a = x / m, b = y / m, c = z / m;
    return m * std::sqrt(a * a + b * b + c * c);
}

double ON_3dVector::MaximumCoordinate() const {
    return std::max(std::fabs(x), std::max(std::fabs(y), std::fabs(z)));
}

bool ON_3dVector::Unitize() {
    const double len = Length();
    if (!(len > 0.0) || !std::isfinite(len)) return false;
    x /= len, y /= len, z /= len;
    return true;
}

ON_3dVector ON_3dVector::UnitVector() const {
    ON_3dVector v(*this);
    if (!v.Unitize()) v.Zero();
    return v;
}

bool ON_3dVector::IsTiny(double tiny_tol) const {
    return std::fabs(x) <= tiny_tol && std::fabs(y) <= tiny_tol && std::fabs(z) <= tiny_tol;
}

bool ON_3dVector::IsUnitVector() const {
    return std::fabs(Length() - 1.0) <= ON_SQRT_EPSILON;
}

bool ON_3dVector::PerpendicularTo(const ON_3dVector& v) {
    // Cross with the axis least aligned with v.
    const double ax = std::fabs(v.x), ay = std::fabs(v.y), az = std::fabs(v.z);
    ON_3dVector axis = (ax <= ay && ax <= az) ? XAxis : (ay <= az ? YAxis : ZAxis);
    ON_3dVector p = ON_CrossProduct(v, axis);
    if (!p.Unitize()) {
        Zero();
        return false;
    }
    *this = p;
    return true;
}

bool ON_3dVector::PerpendicularTo(const ON_3dPoint& P0, const ON_3dPoint& P1,
                                  const ON_3dPoint& P2) {
    Zero();
    // Edge vectors, each opposite one corner.
    ON_3dVector V[3] = {P2 - P1, P0 - P2, P1 - P0};
    ON_3dVector U[3];
    for (int i = 0; i < 3; i++) {
        U[i] = V[i];
        if (!U[i].Unitize()) return false;
    }
    // Three cross products of consecutive edges; all point along
    // (P1 - P0) x (P2 - P0). Rounding makes them differ for thin triangles:
    // keep the one most perpendicular to all three edges.
    ON_3dVector N[3] = {ON_CrossProduct(V[1], V[2]), ON_CrossProduct(V[2], V[0]),
                        ON_CrossProduct(V[0], V[1])};
    const double len[3] = {V[0].Length(), V[1].Length(), V[2].Length()};
    double best = -1.0;
    for (int i = 0; i < 3; i++) {
        // A cross product at rounding level means collinear points, not a
        // direction.
        const double a = len[(i + 1) % 3], b = len[(i + 2) % 3];
        if (!(N[i].Length() > 16.0 * ON_EPSILON * a * b)) continue;
        if (!N[i].Unitize()) continue;
        double d = 0.0;
        for (int k = 0; k < 3; k++)
            d = std::max(d, std::fabs(N[i] * U[k]));
        if (best < 0.0 || d < best) {
            best = d;
            *this = N[i];
        }
    }
    return best >= 0.0;
}

void ON_3dVector::Transform(const ON_Xform& xform) {
    *this = xform * *this;
}

ON_3dVector operator*(double s, const ON_3dVector& v) {
    return v * s;
}
double ON_DotProduct(const ON_3dVector& a, const ON_3dVector& b) {
    return a * b;
}
ON_3dVector ON_CrossProduct(const ON_3dVector& a, const ON_3dVector& b) {
    return ON_3dVector(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

bool ON_3fVector::Unitize() {
    ON_3dVector v(x, y, z);
    if (!v.Unitize()) return false;
    *this = ON_3fVector(v);
    return true;
}

double ON_Interval::ParameterAt(double s) const {
    if (s == 0.0) return m_t[0];
    if (s == 1.0) return m_t[1];
    return (1.0 - s) * m_t[0] + s * m_t[1];
}

ON_Interval ON_Interval::ParameterAt(const ON_Interval& s) const {
    return ON_Interval(ParameterAt(s[0]), ParameterAt(s[1]));
}

double ON_Interval::NormalizedParameterAt(double t) const {
    if (t == m_t[0]) return 0.0;
    if (t == m_t[1]) return 1.0;
    const double len = m_t[1] - m_t[0];
    return len != 0.0 ? (t - m_t[0]) / len : 0.0;
}

bool ON_Interval::Includes(double t, bool bTestOpenInterval) const {
    if (!IsValid() || !ON_IsValid(t)) return false;
    return bTestOpenInterval ? (Min() < t && t < Max()) : (Min() <= t && t <= Max());
}

bool ON_BoundingBox::IsValid() const {
    return m_min.x <= m_max.x && m_min.y <= m_max.y && m_min.z <= m_max.z && m_min.IsValid() &&
           m_max.IsValid();
}

bool ON_BoundingBox::Set(const ON_3dPoint& p, int bGrowBox) {
    if (bGrowBox && IsValid()) {
        m_min.x = std::min(m_min.x, p.x), m_min.y = std::min(m_min.y, p.y),
        m_min.z = std::min(m_min.z, p.z);
        m_max.x = std::max(m_max.x, p.x), m_max.y = std::max(m_max.y, p.y),
        m_max.z = std::max(m_max.z, p.z);
    } else {
        m_min = m_max = p;
    }
    return true;
}

bool ON_BoundingBox::Set(int dim, int is_rat, int count, int stride, const double* points,
                         int bGrowBox) {
    if (dim < 1 || count < 1 || !points || stride < dim + (is_rat ? 1 : 0)) return false;
    bool any = false;
    for (int i = 0; i < count; i++) {
        const double* p = points + (size_t)i * stride;
        ON_3dPoint q(p[0], dim > 1 ? p[1] : 0.0, dim > 2 ? p[2] : 0.0);
        if (is_rat) {
            const double w = p[dim];
            if (w == 0.0) continue;
            q = q * (1.0 / w);
        }
        Set(q, (bGrowBox || any) ? 1 : 0);
        any = true;
    }
    return any;
}

void ON_BoundingBox::Union(const ON_BoundingBox& b) {
    if (!b.IsValid()) return;
    if (!IsValid()) {
        *this = b;
        return;
    }
    Set(b.m_min, 1);
    Set(b.m_max, 1);
}

ON_3dPoint ON_BoundingBox::Corner(int x_index, int y_index, int z_index) const {
    return ON_3dPoint(x_index ? m_max.x : m_min.x, y_index ? m_max.y : m_min.y,
                      z_index ? m_max.z : m_min.z);
}

bool ON_BoundingBox::IsPointIn(const ON_3dPoint& p, bool bStrictlyIn) const {
    if (bStrictlyIn)
        return m_min.x < p.x && p.x < m_max.x && m_min.y < p.y && p.y < m_max.y && m_min.z < p.z &&
               p.z < m_max.z;
    return m_min.x <= p.x && p.x <= m_max.x && m_min.y <= p.y && p.y <= m_max.y && m_min.z <= p.z &&
           p.z <= m_max.z;
}

ON_BoundingBox ON_3dPointArray::BoundingBox() const {
    ON_BoundingBox box;
    for (int i = 0; i < Count(); i++)
        box.Set((*this)[i], i > 0);
    return box;
}

bool ON_3dPointArray::Transform(const ON_Xform& xform) {
    for (int i = 0; i < Count(); i++)
        (*this)[i].Transform(xform);
    return true;
}
