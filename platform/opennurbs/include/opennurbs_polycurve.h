// Polycurve: segments one after another; segment i covers [m_t[i], m_t[i+1]]
// of the polycurve's domain, its own domain mapped linearly onto that.
#pragma once

#include "opennurbs_nurbscurve.h"

class ON_PolyCurve : public ON_Curve {
public:
    ON_PolyCurve() = default;
    // Copies duplicate every segment.
    ON_PolyCurve(const ON_PolyCurve& src) = default;
    ON_PolyCurve& operator=(const ON_PolyCurve& src) = default;

    static ON_PolyCurve* Cast(ON_Object* p) { return dynamic_cast<ON_PolyCurve*>(p); }
    static const ON_PolyCurve* Cast(const ON_Object* p) {
        return dynamic_cast<const ON_PolyCurve*>(p);
    }

    // Takes ownership of curve (the polycurve deletes it). The first segment
    // gives the domain start; each next one extends the domain by the length
    // of its own domain.
    bool Append(ON_Curve* curve);
    // Adds the segment over the given part of the polycurve domain, which
    // must start where the previous one ended. Takes ownership.
    bool AppendSegment(ON_Curve* curve, double t1);
    int Count() const { return m_segment.Count(); }
    int SegmentCount() const { return m_segment.Count(); }
    ON_Curve* SegmentCurve(int i) const {
        return (i >= 0 && i < m_segment.Count()) ? m_segment[i] : nullptr;
    }
    ON_Interval SegmentDomain(int i) const;
    // Index of the segment whose part of the domain holds t (-1 outside).
    int SegmentIndex(double t) const;
    // A segment that is itself a polycurve.
    bool IsNested() const;
    // Index of the first segment whose start is not where the previous ended,
    // or 0 when there is no gap.
    int HasGap() const;

    bool IsValid() const override;
    int Dimension() const override;
    ON_Interval Domain() const override;
    bool SetDomain(double t0, double t1) override;
    int SpanCount() const override;
    bool GetSpanVector(double* knots) const override;
    int Degree() const override;
    bool Evaluate(double t, int der_count, int v_stride, double* v, int side = 0,
                  int* hint = nullptr) const override;
    // A single periodic segment.
    bool IsPeriodic() const override;
    bool Reverse() override;
    // A segment whose kind cannot take the map becomes its NURBS form.
    bool Transform(const ON_Xform& xform) override;
    ON_Curve* DuplicateCurve() const override { return new ON_PolyCurve(*this); }
    // One NURBS curve joining every segment's form, each reparametrised to
    // its part of the domain and raised to the largest degree. Fails (0) on
    // an empty polycurve or a gap between segments.
    int GetNurbForm(ON_NurbsCurve& nurbs, double tolerance = 0.0,
                    const ON_Interval* subdomain = nullptr) const override;

    ON_CurveArray m_segment; // owned
    ON_SimpleArray<double> m_t;
};
