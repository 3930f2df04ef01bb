// Polyline curve: vertex i at parameter m_t[i] (strictly increasing).
#pragma once

#include "opennurbs_nurbscurve.h"
#include "opennurbs_polyline.h"

class ON_PolylineCurve : public ON_Curve {
public:
    ON_PolylineCurve() = default;
    // Parameters 0, 1, 2, ...
    explicit ON_PolylineCurve(const ON_3dPointArray& points);

    static ON_PolylineCurve* Cast(ON_Object* p) { return dynamic_cast<ON_PolylineCurve*>(p); }
    static const ON_PolylineCurve* Cast(const ON_Object* p) {
        return dynamic_cast<const ON_PolylineCurve*>(p);
    }

    bool IsValid() const override;
    int Dimension() const override { return m_dim; }
    int PointCount() const { return m_pline.PointCount(); }
    ON_Interval Domain() const override;
    bool SetDomain(double t0, double t1) override;
    int SpanCount() const override { return m_pline.SegmentCount(); }
    bool GetSpanVector(double* knots) const override;
    int Degree() const override { return 1; }
    bool Evaluate(double t, int der_count, int v_stride, double* v, int side = 0,
                  int* hint = nullptr) const override;
    // At least 4 points, the last equal to the first.
    bool IsClosed() const override;
    bool Reverse() override;
    bool Transform(const ON_Xform& xform) override;
    ON_Curve* DuplicateCurve() const override { return new ON_PolylineCurve(*this); }
    // Degree 1, the vertices as CVs, knots m_t.
    int GetNurbForm(ON_NurbsCurve& nurbs, double tolerance = 0.0,
                    const ON_Interval* subdomain = nullptr) const override;

    ON_Polyline m_pline;
    ON_SimpleArray<double> m_t;
    int m_dim = 3;
};
