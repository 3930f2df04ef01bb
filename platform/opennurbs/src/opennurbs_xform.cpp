#include "opennurbs.h"

#include <algorithm>

const ON_Xform ON_Xform::IdentityTransformation(1.0);
const ON_Xform ON_Xform::ZeroTransformation(0.0);

ON_Xform::ON_Xform() {
    Identity();
}

ON_Xform::ON_Xform(double d) {
    Zero();
    m_xform[0][0] = m_xform[1][1] = m_xform[2][2] = d;
    m_xform[3][3] = 1.0;
}

ON_Xform::ON_Xform(const double m[4][4]) {
    std::memcpy(m_xform, m, sizeof(m_xform));
}

bool ON_Xform::operator==(const ON_Xform& x) const {
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++)
            if (m_xform[i][j] != x.m_xform[i][j]) return false;
    return true;
}

ON_Xform ON_Xform::operator*(const ON_Xform& rhs) const {
    ON_Xform r(0.0);
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++) {
            double s = 0.0;
            for (int k = 0; k < 4; k++)
                s += m_xform[i][k] * rhs.m_xform[k][j];
            r.m_xform[i][j] = s;
        }
    return r;
}

ON_3dPoint ON_Xform::operator*(const ON_3dPoint& p) const {
    const double* m0 = m_xform[0];
    const double* m1 = m_xform[1];
    const double* m2 = m_xform[2];
    const double* m3 = m_xform[3];
    const double x = m0[0] * p.x + m0[1] * p.y + m0[2] * p.z + m0[3];
    const double y = m1[0] * p.x + m1[1] * p.y + m1[2] * p.z + m1[3];
    const double z = m2[0] * p.x + m2[1] * p.y + m2[2] * p.z + m2[3];
    const double w = m3[0] * p.x + m3[1] * p.y + m3[2] * p.z + m3[3];
    if (w != 1.0 && w != 0.0) return ON_3dPoint(x / w, y / w, z / w);
    return ON_3dPoint(x, y, z);
}

ON_4dPoint ON_Xform::operator*(const ON_4dPoint& p) const {
    double r[4];
    for (int i = 0; i < 4; i++)
        r[i] =
            m_xform[i][0] * p.x + m_xform[i][1] * p.y + m_xform[i][2] * p.z + m_xform[i][3] * p.w;
    return ON_4dPoint(r[0], r[1], r[2], r[3]);
}

ON_3dVector ON_Xform::operator*(const ON_3dVector& v) const {
    return ON_3dVector(m_xform[0][0] * v.x + m_xform[0][1] * v.y + m_xform[0][2] * v.z,
                       m_xform[1][0] * v.x + m_xform[1][1] * v.y + m_xform[1][2] * v.z,
                       m_xform[2][0] * v.x + m_xform[2][1] * v.y + m_xform[2][2] * v.z);
}

bool ON_Xform::IsIdentity(double zero_tolerance) const {
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++)
            if (std::fabs(m_xform[i][j] - (i == j ? 1.0 : 0.0)) > zero_tolerance) return false;
    return true;
}

bool ON_Xform::IsValid() const {
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++)
            if (!ON_IsValid(m_xform[i][j])) return false;
    return true;
}

static double Det3(const double a[3][3]) {
    return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
           a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
           a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
}

double ON_Xform::Determinant() const {
    double det = 0.0;
    for (int c = 0; c < 4; c++) {
        double minor[3][3];
        for (int i = 1; i < 4; i++)
            for (int j = 0, k = 0; j < 4; j++)
                if (j != c) minor[i - 1][k++] = m_xform[i][j];
        det += ((c % 2) ? -1.0 : 1.0) * m_xform[0][c] * Det3(minor);
    }
    return det;
}

double ON_Xform::Linear3x3Determinant() const {
    double a[3][3];
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            a[i][j] = m_xform[i][j];
    return Det3(a);
}

// Gauss-Jordan elimination with partial pivoting.
bool ON_Xform::Invert() {
    double a[4][8];
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++) {
            a[i][j] = m_xform[i][j];
            a[i][j + 4] = (i == j) ? 1.0 : 0.0;
        }
    double scale = 0.0;
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++)
            scale = std::max(scale, std::fabs(m_xform[i][j]));
    if (!(scale > 0.0) || !std::isfinite(scale)) return false;
    for (int c = 0; c < 4; c++) {
        int p = c;
        for (int r = c + 1; r < 4; r++)
            if (std::fabs(a[r][c]) > std::fabs(a[p][c])) p = r;
        if (!(std::fabs(a[p][c]) > ON_EPSILON * scale)) return false;
        if (p != c)
            for (int j = 0; j < 8; j++)
                std::swap(a[p][j], a[c][j]);
        const double inv = 1.0 / a[c][c];
        for (int j = 0; j < 8; j++)
            a[c][j] *= inv;
        for (int r = 0; r < 4; r++) {
            if (r == c || a[r][c] == 0.0) continue;
            const double f = a[r][c];
            for (int j = 0; j < 8; j++)
                a[r][j] -= f * a[c][j];
        }
    }
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++)
            m_xform[i][j] = a[i][j + 4];
    return true;
}

ON_Xform ON_Xform::Inverse() const {
    ON_Xform inv(*this);
    if (!inv.Invert()) inv.Zero();
    return inv;
}

void ON_Xform::Transpose() {
    for (int i = 0; i < 4; i++)
        for (int j = i + 1; j < 4; j++)
            std::swap(m_xform[i][j], m_xform[j][i]);
}

void ON_Xform::Identity() {
    Zero();
    m_xform[0][0] = m_xform[1][1] = m_xform[2][2] = m_xform[3][3] = 1.0;
}

void ON_Xform::Zero() {
    std::memset(m_xform, 0, sizeof(m_xform));
}

ON_Xform ON_Xform::NormalTransformation() const {
    ON_Xform linear;
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            linear.m_xform[i][j] = m_xform[i][j];
    if (!linear.Invert()) return IdentityTransformation;
    linear.Transpose();
    return linear;
}

ON_Xform ON_Xform::TranslationTransformation(const ON_3dVector& d) {
    ON_Xform x;
    x.m_xform[0][3] = d.x, x.m_xform[1][3] = d.y, x.m_xform[2][3] = d.z;
    return x;
}

ON_Xform ON_Xform::TranslationTransformation(double dx, double dy, double dz) {
    return TranslationTransformation(ON_3dVector(dx, dy, dz));
}

ON_Xform ON_Xform::DiagonalTransformation(double d) {
    return ON_Xform(d);
}

ON_Xform ON_Xform::ScaleTransformation(const ON_3dPoint& fixed_point, double scale) {
    return ScaleTransformation(fixed_point, scale, scale, scale);
}

ON_Xform ON_Xform::ScaleTransformation(const ON_3dPoint& c, double sx, double sy, double sz) {
    ON_Xform x;
    x.m_xform[0][0] = sx, x.m_xform[1][1] = sy, x.m_xform[2][2] = sz;
    x.m_xform[0][3] = c.x * (1.0 - sx), x.m_xform[1][3] = c.y * (1.0 - sy),
    x.m_xform[2][3] = c.z * (1.0 - sz);
    return x;
}

ON_Xform ON_Xform::RotationTransformation(double angle, const ON_3dVector& axis,
                                          const ON_3dPoint& center) {
    return RotationTransformation(std::sin(angle), std::cos(angle), axis, center);
}

// Rodrigues' formula about the unit axis, conjugated by the translation to
// the centre.
ON_Xform ON_Xform::RotationTransformation(double s, double c, const ON_3dVector& axis,
                                          const ON_3dPoint& center) {
    ON_Xform r;
    ON_3dVector a = axis;
    if (!a.Unitize()) return r;
    const double t = 1.0 - c;
    const double x = a.x, y = a.y, z = a.z;
    r.m_xform[0][0] = t * x * x + c, r.m_xform[0][1] = t * x * y - s * z,
    r.m_xform[0][2] = t * x * z + s * y;
    r.m_xform[1][0] = t * x * y + s * z, r.m_xform[1][1] = t * y * y + c,
    r.m_xform[1][2] = t * y * z - s * x;
    r.m_xform[2][0] = t * x * z - s * y, r.m_xform[2][1] = t * y * z + s * x,
    r.m_xform[2][2] = t * z * z + c;
    const ON_3dVector moved = r * ON_3dVector(center.x, center.y, center.z);
    r.m_xform[0][3] = center.x - moved.x;
    r.m_xform[1][3] = center.y - moved.y;
    r.m_xform[2][3] = center.z - moved.z;
    return r;
}

ON_Xform ON_Xform::PlaneToPlaneTransformation(const ON_Plane& p0, const ON_Plane& p1) {
    // World -> plane0 coordinates, then plane1 coordinates -> world.
    ON_Xform to_local;
    const ON_3dVector* a0[3] = {&p0.xaxis, &p0.yaxis, &p0.zaxis};
    for (int i = 0; i < 3; i++) {
        to_local.m_xform[i][0] = a0[i]->x, to_local.m_xform[i][1] = a0[i]->y,
        to_local.m_xform[i][2] = a0[i]->z;
        to_local.m_xform[i][3] = -(*a0[i] * ON_3dVector(p0.origin));
    }
    ON_Xform to_world;
    const ON_3dVector* a1[3] = {&p1.xaxis, &p1.yaxis, &p1.zaxis};
    for (int j = 0; j < 3; j++) {
        to_world.m_xform[0][j] = a1[j]->x, to_world.m_xform[1][j] = a1[j]->y,
        to_world.m_xform[2][j] = a1[j]->z;
    }
    to_world.m_xform[0][3] = p1.origin.x, to_world.m_xform[1][3] = p1.origin.y,
    to_world.m_xform[2][3] = p1.origin.z;
    return to_world * to_local;
}
