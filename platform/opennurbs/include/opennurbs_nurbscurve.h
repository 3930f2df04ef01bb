// Non-uniform rational B-spline curve, with openNURBS's conventions:
// order + cv_count - 2 knots (the two superfluous end knots are omitted),
// domain [knot[order-2], knot[cv_count-1]], rational CVs stored homogeneous
// (w x, w y, w z, w), cv_stride doubles apart.
#pragma once

#include "opennurbs_curve.h"

class ON_NurbsCurve : public ON_Curve {
public:
    ON_NurbsCurve() = default;
    ON_NurbsCurve(int dimension, bool bIsRational, int order, int cv_count);
    ON_NurbsCurve(const ON_NurbsCurve& src);
    ON_NurbsCurve(ON_NurbsCurve&& src) noexcept;
    ON_NurbsCurve& operator=(const ON_NurbsCurve& src);
    ON_NurbsCurve& operator=(ON_NurbsCurve&& src) noexcept;
    ~ON_NurbsCurve() override;

    static ON_NurbsCurve* Cast(ON_Object* p) { return dynamic_cast<ON_NurbsCurve*>(p); }
    static const ON_NurbsCurve* Cast(const ON_Object* p) {
        return dynamic_cast<const ON_NurbsCurve*>(p);
    }

    // Allocates CVs and knots (zeroed; rational weights 1). dimension >= 1,
    // order >= 2, cv_count >= order.
    bool Create(int dimension, bool bIsRational, int order, int cv_count);
    // Clamped uniform knots (knot_delta apart) through the given CVs.
    bool CreateClampedUniformNurbs(int dimension, int order, int point_count,
                                   const ON_3dPoint* points, double knot_delta = 1.0);
    void Destroy();
    void Initialize();

    bool IsValid() const override;
    int Dimension() const override { return m_dim; }
    bool IsRational() const { return m_is_rat != 0; }
    int Order() const { return m_order; }
    int Degree() const override { return m_order >= 2 ? m_order - 1 : 0; }
    int CVCount() const { return m_cv_count; }
    int CVSize() const { return m_dim > 0 ? m_dim + (m_is_rat ? 1 : 0) : 0; }
    int KnotCount() const {
        return (m_order >= 2 && m_cv_count >= m_order) ? m_order + m_cv_count - 2 : 0;
    }

    double* CV(int i) const {
        return (m_cv && i >= 0 && i < m_cv_count) ? m_cv + (size_t)i * m_cv_stride : nullptr;
    }
    // Euclidean point (homogeneous divided by the weight; z = 0 below 3D).
    bool GetCV(int i, ON_3dPoint& point) const;
    // Homogeneous point (w = 1 for non-rational).
    bool GetCV(int i, ON_4dPoint& point) const;
    // Sets a Euclidean point; a rational CV keeps its weight.
    bool SetCV(int i, const ON_3dPoint& point);
    // Sets a homogeneous point; a non-rational curve gets x/w, y/w, z/w.
    bool SetCV(int i, const ON_4dPoint& point);
    double Weight(int i) const;
    // Keeps the Euclidean point; makes the curve rational when w != 1.
    bool SetWeight(int i, double w);
    double Knot(int i) const { return (m_knot && i >= 0 && i < KnotCount()) ? m_knot[i] : 0.0; }
    const double* Knot() const { return m_knot; }
    bool SetKnot(int i, double knot_value);
    int KnotMultiplicity(int i) const;
    bool MakeRational();
    bool MakeNonRational(); // only when every weight is 1
    bool ReserveCVCapacity(int cv_capacity_doubles);
    bool ReserveKnotCapacity(int knot_capacity);
    // end 0: start, 1: end, 2: both.
    bool IsClamped(int end = 2) const;
    double GrevilleAbcissa(int cv_index) const;

    ON_Interval Domain() const override;
    bool SetDomain(double t0, double t1) override;
    int SpanCount() const override;
    bool GetSpanVector(double* knots) const override;
    bool Evaluate(double t, int der_count, int v_stride, double* v, int side = 0,
                  int* hint = nullptr) const override;
    // Closed: dimension above 0, at least four CVs, and periodic or its
    // start and end points coincide.
    bool IsClosed() const override;
    // The knot spacing repeats across the ends and the last degree CVs
    // repeat the first ones.
    bool IsPeriodic() const override;
    bool Reverse() override;
    bool Transform(const ON_Xform& xform) override;
    bool GetBBox(double* boxmin, double* boxmax, bool bGrowBox = false) const override;
    ON_Curve* DuplicateCurve() const override { return new ON_NurbsCurve(*this); }
    int GetNurbForm(ON_NurbsCurve& nurbs, double tolerance = 0.0,
                    const ON_Interval* subdomain = nullptr) const override;

    // Inserts knot_value until it has the given multiplicity (at most the
    // degree); the shape does not change.
    bool InsertKnot(double knot_value, int knot_multiplicity);
    // Clamps an unclamped end by knot insertion.
    bool ClampEnd(int end);
    // Raises the degree without changing the shape: every span becomes a
    // Bezier span and every inner knot gets multiplicity desired_degree.
    bool IncreaseDegree(int desired_degree);
    // Every inner knot at full multiplicity (degree), ends clamped.
    bool MakePiecewiseBezier();
    bool ChangeDimension(int desired_dimension);
    // Restricts to the sub-interval [t0, t1] of the domain.
    bool Trim(const ON_Interval& sub_domain);
    // Appends a curve that starts where this one ends: both get the larger
    // degree, the other's knots follow this one's (shifted to start at this
    // domain's end) and its first CV is dropped. Rational CVs of the other
    // curve are scaled so its first weight equals this curve's last.
    bool Append(const ON_NurbsCurve& other);

    int m_dim = 0;
    int m_is_rat = 0;
    int m_order = 0;
    int m_cv_count = 0;
    // m_knot and m_cv are owned (onmalloc) when their capacity is above 0.
    int m_knot_capacity = 0;
    double* m_knot = nullptr;
    int m_cv_stride = 0;
    int m_cv_capacity = 0; // in doubles
    double* m_cv = nullptr;
};
