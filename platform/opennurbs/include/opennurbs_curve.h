// Abstract parametric curve.
#pragma once

#include "opennurbs_geometry.h"

class ON_Line;
class ON_Arc;
class ON_Polyline;

class ON_Curve : public ON_Geometry {
public:
    // Caller deletes.
    virtual ON_Curve* DuplicateCurve() const = 0;

    virtual ON_Interval Domain() const = 0;
    // Reparametrises to [t0, t1] (t0 < t1) without changing the shape.
    virtual bool SetDomain(double t0, double t1) = 0;
    bool SetDomain(ON_Interval domain) { return SetDomain(domain[0], domain[1]); }
    virtual int SpanCount() const = 0;
    // SpanCount() + 1 increasing parameters.
    virtual bool GetSpanVector(double* knots) const = 0;
    virtual int Degree() const = 0;

    // Point and der_count derivatives at t: v receives (der_count + 1) vectors
    // of Dimension() doubles, v_stride apart. side < 0 evaluates from below
    // at a kink, otherwise from above. hint is ignored.
    virtual bool Evaluate(double t, int der_count, int v_stride, double* v, int side = 0,
                          int* hint = nullptr) const = 0;
    ON_3dPoint PointAt(double t) const;
    ON_3dPoint PointAtStart() const;
    ON_3dPoint PointAtEnd() const;
    ON_3dVector DerivativeAt(double t) const;
    ON_3dVector TangentAt(double t) const; // unit, or zero where the derivative vanishes

    // Start and end points coincide and the curve is not collapsed onto them.
    virtual bool IsClosed() const;
    virtual bool IsPeriodic() const { return false; }
    virtual bool Reverse() = 0;

    // Exact NURBS form. Returns 0 on failure, 1 when the form has the same
    // parametrisation as the curve, 2 when it does not (no kind here gives 2).
    // tolerance is unused: every form is exact. subdomain restricts the form
    // to part of the domain.
    virtual int GetNurbForm(ON_NurbsCurve& nurbs, double tolerance = 0.0,
                            const ON_Interval* subdomain = nullptr) const = 0;
    virtual int HasNurbForm() const { return 1; }
    // The NURBS form in pNurbsCurve, or in a new curve that the caller deletes
    // when pNurbsCurve is null. nullptr on failure.
    ON_NurbsCurve* NurbsCurve(ON_NurbsCurve* pNurbsCurve = nullptr, double tolerance = 0.0,
                              const ON_Interval* subdomain = nullptr) const;

    bool GetBBox(double* boxmin, double* boxmax, bool bGrowBox = false) const override;
};

// Owns its curves: deletes them on destruction; copies duplicate them.
class ON_CurveArray : public ON_SimpleArray<ON_Curve*> {
public:
    ON_CurveArray() = default;
    ON_CurveArray(const ON_CurveArray& src);
    ON_CurveArray(ON_CurveArray&& src) noexcept : ON_SimpleArray<ON_Curve*>(std::move(src)) {}
    ON_CurveArray& operator=(const ON_CurveArray& src);
    ON_CurveArray& operator=(ON_CurveArray&& src) noexcept;
    ~ON_CurveArray();
    // Deletes every curve and frees the array.
    void Destroy();
};
