// NURBS surface with openNURBS's conventions (per direction as for curves);
// CV(i, j) at m_cv + i*m_cv_stride[0] + j*m_cv_stride[1]; Create gives
// m_cv_stride = {cv_count[1]*cv_size, cv_size}, the u index varying slowest.
#pragma once

#include "opennurbs_surface.h"

class ON_NurbsSurface : public ON_Surface {
public:
    ON_NurbsSurface() = default;
    ON_NurbsSurface(int dimension, bool bIsRational, int order0, int order1, int cv_count0,
                    int cv_count1);
    ON_NurbsSurface(const ON_NurbsSurface& src);
    ON_NurbsSurface(ON_NurbsSurface&& src) noexcept;
    ON_NurbsSurface& operator=(const ON_NurbsSurface& src);
    ON_NurbsSurface& operator=(ON_NurbsSurface&& src) noexcept;
    ~ON_NurbsSurface() override;

    static ON_NurbsSurface* Cast(ON_Object* p) { return dynamic_cast<ON_NurbsSurface*>(p); }
    static const ON_NurbsSurface* Cast(const ON_Object* p) {
        return dynamic_cast<const ON_NurbsSurface*>(p);
    }

    // CVs zeroed (rational weights 1), knots zeroed.
    bool Create(int dimension, bool bIsRational, int order0, int order1, int cv_count0,
                int cv_count1);
    void Destroy();
    void Initialize();

    bool IsValid() const override;
    int Dimension() const override { return m_dim; }
    bool IsRational() const { return m_is_rat != 0; }
    int Order(int dir) const { return m_order[dir ? 1 : 0]; }
    int Degree(int dir) const override {
        return m_order[dir ? 1 : 0] >= 2 ? m_order[dir ? 1 : 0] - 1 : 0;
    }
    int CVCount(int dir) const { return m_cv_count[dir ? 1 : 0]; }
    int CVCount() const { return m_cv_count[0] * m_cv_count[1]; }
    int CVSize() const { return m_dim > 0 ? m_dim + (m_is_rat ? 1 : 0) : 0; }
    int KnotCount(int dir) const;
    double* CV(int i, int j) const;
    bool GetCV(int i, int j, ON_3dPoint& point) const; // Euclidean
    bool GetCV(int i, int j, ON_4dPoint& point) const; // homogeneous
    bool SetCV(int i, int j, const ON_3dPoint& point);
    bool SetCV(int i, int j, const ON_4dPoint& point);
    double Weight(int i, int j) const;
    bool SetWeight(int i, int j, double w);
    double Knot(int dir, int i) const;
    const double* Knot(int dir) const { return m_knot[dir ? 1 : 0]; }
    bool SetKnot(int dir, int i, double knot_value);
    bool MakeRational();
    bool ReserveKnotCapacity(int dir, int knot_capacity);
    bool ReserveCVCapacity(int cv_capacity_doubles);

    ON_Interval Domain(int dir) const override;
    bool SetDomain(int dir, double t0, double t1) override;
    int SpanCount(int dir) const override;
    bool GetSpanVector(int dir, double* knots) const override;
    bool Evaluate(double s, double t, int der_count, int v_stride, double* v, int quadrant = 0,
                  int* hint = nullptr) const override;
    bool IsPeriodic(int dir) const override;
    bool Transpose() override;
    bool Transform(const ON_Xform& xform) override;
    bool GetBBox(double* boxmin, double* boxmax, bool bGrowBox = false) const override;
    ON_Surface* DuplicateSurface() const override { return new ON_NurbsSurface(*this); }
    // An ON_NurbsCurve: the other direction's basis at c folded into the CVs.
    ON_Curve* IsoCurve(int dir, double c) const override;
    int GetNurbForm(ON_NurbsSurface& nurbs, double tolerance = 0.0) const override;

    int m_dim = 0;
    int m_is_rat = 0;
    int m_order[2] = {0, 0};
    int m_cv_count[2] = {0, 0};
    // Owned (onmalloc) when the capacity is above 0.
    int m_knot_capacity[2] = {0, 0};
    double* m_knot[2] = {nullptr, nullptr};
    int m_cv_stride[2] = {0, 0};
    int m_cv_capacity = 0; // in doubles
    double* m_cv = nullptr;
};
