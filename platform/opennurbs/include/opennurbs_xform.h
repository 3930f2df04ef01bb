// 4x4 transformation: rows, applied to column vectors, p' = M [x, y, z, 1].
#pragma once

#include "opennurbs_point.h"

class ON_Plane;

class ON_Xform {
public:
    double m_xform[4][4];

    // Identity.
    ON_Xform();
    // Diagonal d, d, d, 1 (d = 0 gives the zero transformation with m[3][3] = 1).
    explicit ON_Xform(double d);
    explicit ON_Xform(const double m[4][4]);

    double* operator[](int i) { return m_xform[i]; }
    const double* operator[](int i) const { return m_xform[i]; }
    bool operator==(const ON_Xform& x) const;
    bool operator!=(const ON_Xform& x) const { return !(*this == x); }

    ON_Xform operator*(const ON_Xform& rhs) const;
    ON_3dPoint operator*(const ON_3dPoint& p) const;
    ON_4dPoint operator*(const ON_4dPoint& p) const;
    ON_3dVector operator*(const ON_3dVector& v) const; // linear part only

    bool IsIdentity(double zero_tolerance = 0.0) const;
    bool IsValid() const;
    double Determinant() const;
    // Determinant of the upper-left 3x3 block; negative for a mirroring.
    double Linear3x3Determinant() const;
    // False, and *this unchanged, when singular.
    bool Invert();
    ON_Xform Inverse() const;
    void Transpose();

    void Identity();
    void Zero();
    // The transformation for surface normals: the inverse transpose of the
    // linear part (no translation). Identity when singular.
    ON_Xform NormalTransformation() const;

    static ON_Xform TranslationTransformation(const ON_3dVector& delta);
    static ON_Xform TranslationTransformation(double dx, double dy, double dz);
    static ON_Xform DiagonalTransformation(double d);
    static ON_Xform ScaleTransformation(const ON_3dPoint& fixed_point, double scale);
    static ON_Xform ScaleTransformation(const ON_3dPoint& fixed_point, double sx, double sy,
                                        double sz);
    // Right-hand rotation by angle radians about the axis through center.
    static ON_Xform RotationTransformation(double angle_radians, const ON_3dVector& axis,
                                           const ON_3dPoint& center);
    static ON_Xform RotationTransformation(double sin_angle, double cos_angle,
                                           const ON_3dVector& axis, const ON_3dPoint& center);
    // Maps world coordinates so that plane0's frame goes onto plane1's frame.
    static ON_Xform PlaneToPlaneTransformation(const ON_Plane& plane0, const ON_Plane& plane1);

    // openNURBS's in-place setters.
    void Rotation(double angle_radians, const ON_3dVector& axis, const ON_3dPoint& center) {
        *this = RotationTransformation(angle_radians, axis, center);
    }
    void Rotation(double sin_angle, double cos_angle, const ON_3dVector& axis,
                  const ON_3dPoint& center) {
        *this = RotationTransformation(sin_angle, cos_angle, axis, center);
    }
    void Translation(const ON_3dVector& delta) { *this = TranslationTransformation(delta); }
    void Scale(const ON_3dPoint& fixed_point, double scale) {
        *this = ScaleTransformation(fixed_point, scale);
    }

    static const ON_Xform IdentityTransformation;
    static const ON_Xform ZeroTransformation;
};
