// Line curve: the line's points at the ends of the domain m_t.
#pragma once

#include "opennurbs_line.h"
#include "opennurbs_nurbscurve.h"

class ON_LineCurve : public ON_Curve {
public:
    ON_LineCurve() = default;
    // Domain [0, length] (or [0, 1] for a zero-length line).
    explicit ON_LineCurve(const ON_Line& line);
    ON_LineCurve(const ON_3dPoint& from, const ON_3dPoint& to);
    ON_LineCurve(const ON_Line& line, double t0, double t1);

    static ON_LineCurve* Cast(ON_Object* p) { return dynamic_cast<ON_LineCurve*>(p); }
    static const ON_LineCurve* Cast(const ON_Object* p) {
        return dynamic_cast<const ON_LineCurve*>(p);
    }

    bool IsValid() const override;
    int Dimension() const override { return m_dim; }
    ON_Interval Domain() const override { return m_t; }
    bool SetDomain(double t0, double t1) override;
    int SpanCount() const override { return 1; }
    bool GetSpanVector(double* knots) const override;
    int Degree() const override { return 1; }
    bool Evaluate(double t, int der_count, int v_stride, double* v, int side = 0,
                  int* hint = nullptr) const override;
    bool IsClosed() const override { return false; }
    bool Reverse() override;
    bool Transform(const ON_Xform& xform) override;
    ON_Curve* DuplicateCurve() const override { return new ON_LineCurve(*this); }
    // Degree 1, 2 CVs, knots m_t.
    int GetNurbForm(ON_NurbsCurve& nurbs, double tolerance = 0.0,
                    const ON_Interval* subdomain = nullptr) const override;

    ON_Line m_line;
    ON_Interval m_t = ON_Interval(0.0, 1.0);
    int m_dim = 3;
};
