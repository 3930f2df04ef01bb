// Sum surface: S(u, v) = m_curve[0](u) + m_curve[1](v) + m_basepoint.
#pragma once

#include "opennurbs_nurbssurface.h"

class ON_SumSurface : public ON_Surface {
public:
    ON_SumSurface() = default;
    ON_SumSurface(const ON_SumSurface& src);
    ON_SumSurface& operator=(const ON_SumSurface& src);
    ~ON_SumSurface() override;

    static ON_SumSurface* Cast(ON_Object* p) { return dynamic_cast<ON_SumSurface*>(p); }
    static const ON_SumSurface* Cast(const ON_Object* p) {
        return dynamic_cast<const ON_SumSurface*>(p);
    }

    // Extrusion of curve along the vector: takes ownership of curve.
    bool Create(ON_Curve* curve, const ON_3dVector& extrusion_vector);
    // Takes ownership of both curves.
    bool Create(ON_Curve* curve0, ON_Curve* curve1);

    bool IsValid() const override;
    int Dimension() const override;
    ON_Interval Domain(int dir) const override;
    bool SetDomain(int dir, double t0, double t1) override;
    int SpanCount(int dir) const override;
    bool GetSpanVector(int dir, double* knots) const override;
    int Degree(int dir) const override;
    bool Evaluate(double s, double t, int der_count, int v_stride, double* v, int quadrant = 0,
                  int* hint = nullptr) const override;
    bool Transpose() override;
    bool Transform(const ON_Xform& xform) override;
    ON_Surface* DuplicateSurface() const override { return new ON_SumSurface(*this); }
    // Tensor product of the two curves' forms (weights multiply).
    int GetNurbForm(ON_NurbsSurface& nurbs, double tolerance = 0.0) const override;

    ON_Curve* m_curve[2] = {nullptr, nullptr}; // owned: deleted with the surface
    ON_3dVector m_basepoint;
    ON_BoundingBox m_bbox;
};
