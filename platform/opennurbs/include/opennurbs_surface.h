// Abstract parametric surface; direction 0 is u (s), direction 1 is v (t).
#pragma once

#include "opennurbs_curve.h"

class ON_Surface : public ON_Geometry {
public:
    enum ISO {
        not_iso = 0,
        x_iso = 1,
        y_iso = 2,
        W_iso = 3,
        S_iso = 4,
        E_iso = 5,
        N_iso = 6,
        iso_count = 7
    };

    // Caller deletes.
    virtual ON_Surface* DuplicateSurface() const = 0;

    virtual ON_Interval Domain(int dir) const = 0;
    virtual bool SetDomain(int dir, double t0, double t1) = 0;
    bool SetDomain(int dir, ON_Interval domain) { return SetDomain(dir, domain[0], domain[1]); }
    virtual int SpanCount(int dir) const = 0;
    virtual bool GetSpanVector(int dir, double* knots) const = 0;
    virtual int Degree(int dir) const = 0;

    // Point and partial derivatives up to der_count: v receives, v_stride
    // apart, S, then Ds, Dt, then Dss, Dst, Dtt, ... (Dimension() doubles each).
    virtual bool Evaluate(double s, double t, int der_count, int v_stride, double* v,
                          int quadrant = 0, int* hint = nullptr) const = 0;
    ON_3dPoint PointAt(double s, double t) const;
    // Unit normal Ds x Dt (zero where degenerate).
    ON_3dVector NormalAt(double s, double t) const;

    virtual bool IsClosed(int dir) const;
    virtual bool IsPeriodic(int dir) const;
    virtual bool Transpose() = 0;

    // The curve of direction dir at the constant c of the other direction:
    // dir 0 gives t -> S(t, c), dir 1 gives t -> S(c, t). Caller deletes;
    // nullptr when c is outside the domain or the surface has no NURBS form.
    virtual ON_Curve* IsoCurve(int dir, double c) const;

    // Exact NURBS form; 0 on failure, 1 with the same parametrisation.
    virtual int GetNurbForm(ON_NurbsSurface& nurbs, double tolerance = 0.0) const = 0;
    virtual int HasNurbForm() const { return 1; }
    ON_NurbsSurface* NurbsSurface(ON_NurbsSurface* pNurbsSurface = nullptr,
                                  double tolerance = 0.0) const;

    bool GetBBox(double* boxmin, double* boxmax, bool bGrowBox = false) const override;
};

// Owns its surfaces like ON_CurveArray owns curves.
class ON_SurfaceArray : public ON_SimpleArray<ON_Surface*> {
public:
    ON_SurfaceArray() = default;
    ON_SurfaceArray(const ON_SurfaceArray& src);
    ON_SurfaceArray(ON_SurfaceArray&& src) noexcept : ON_SimpleArray<ON_Surface*>(std::move(src)) {}
    ON_SurfaceArray& operator=(const ON_SurfaceArray& src);
    ON_SurfaceArray& operator=(ON_SurfaceArray&& src) noexcept;
    ~ON_SurfaceArray();
    void Destroy();
};
