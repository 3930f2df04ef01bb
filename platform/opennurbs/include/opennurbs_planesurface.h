// Rectangle in a plane: parameter (s, t) maps linearly from m_domain to
// m_extents, and the point is plane.PointAt(x, y).
#pragma once

#include "opennurbs_nurbssurface.h"
#include "opennurbs_plane.h"

class ON_PlaneSurface : public ON_Surface {
public:
    ON_PlaneSurface() = default;
    // Extents and domains [0, 1] x [0, 1].
    explicit ON_PlaneSurface(const ON_Plane& plane);

    static ON_PlaneSurface* Cast(ON_Object* p) { return dynamic_cast<ON_PlaneSurface*>(p); }
    static const ON_PlaneSurface* Cast(const ON_Object* p) {
        return dynamic_cast<const ON_PlaneSurface*>(p);
    }

    // Sets the extent of one direction; with bSyncDomain the domain too.
    bool SetExtents(int dir, ON_Interval extents, bool bSyncDomain = false);
    ON_Interval Extents(int dir) const { return m_extents[dir ? 1 : 0]; }

    bool IsValid() const override;
    int Dimension() const override { return 3; }
    ON_Interval Domain(int dir) const override { return m_domain[dir ? 1 : 0]; }
    bool SetDomain(int dir, double t0, double t1) override;
    int SpanCount(int) const override { return 1; }
    bool GetSpanVector(int dir, double* knots) const override;
    int Degree(int) const override { return 1; }
    bool Evaluate(double s, double t, int der_count, int v_stride, double* v, int quadrant = 0,
                  int* hint = nullptr) const override;
    bool IsClosed(int) const override { return false; }
    bool IsPeriodic(int) const override { return false; }
    bool Transpose() override;
    bool Transform(const ON_Xform& xform) override;
    ON_Surface* DuplicateSurface() const override { return new ON_PlaneSurface(*this); }
    // Bilinear, 2 x 2 CVs at the corners, knots the domains.
    int GetNurbForm(ON_NurbsSurface& nurbs, double tolerance = 0.0) const override;

    ON_Plane m_plane;
    ON_Interval m_domain[2] = {ON_Interval(0, 1), ON_Interval(0, 1)};
    ON_Interval m_extents[2] = {ON_Interval(0, 1), ON_Interval(0, 1)};
};
