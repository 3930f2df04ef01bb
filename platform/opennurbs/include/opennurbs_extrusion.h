// Extrusion: planar profile curves (in the profile's xy plane, z = 0) swept
// along the line m_path, optionally capped. The profile frame at each end has
// its origin on the path, X = up x T, Y = m_up, Z = T (T the unit path
// direction), tilted by the miter normal m_N[end] when m_bHaveN[end].
// Surface parameters: profile and path (m_path_domain); transposed swaps them.
#pragma once

#include "opennurbs_line.h"
#include "opennurbs_nurbssurface.h"

class ON_Extrusion : public ON_Surface {
public:
    ON_Extrusion() = default;
    ON_Extrusion(const ON_Extrusion& src);
    ON_Extrusion& operator=(const ON_Extrusion& src);
    ~ON_Extrusion() override;

    static ON_Extrusion* Cast(ON_Object* p) { return dynamic_cast<ON_Extrusion*>(p); }
    static const ON_Extrusion* Cast(const ON_Object* p) {
        return dynamic_cast<const ON_Extrusion*>(p);
    }

    // Profile point (x, y, 0) at path parameter fraction s in [0, 1] of m_t
    // is xform * (x, y, 0, 1); false when the path or up vector is bad.
    bool GetProfileTransformation(double s, ON_Xform& xform) const;
    ON_3dPoint PathStart() const { return m_path.PointAt(m_t[0]); }
    ON_3dPoint PathEnd() const { return m_path.PointAt(m_t[1]); }
    ON_3dVector PathTangent() const;
    // Profiles held: 1, or m_profile_count when the profile is a polycurve of
    // that many segments; 0 when m_profile_count claims what is not there.
    int ProfileCount() const;
    // Profile i (outer first) in profile coordinates; not owned by the caller.
    const ON_Curve* Profile(int i) const;
    bool IsCapped() const { return m_bCap[0] || m_bCap[1]; }
    int CapCount() const;
    // The outer profile is closed and both ends are capped.
    bool IsSolid() const;
    // Takes ownership of profile (one closed curve or an open one).
    bool SetOuterProfile(ON_Curve* profile, bool bCap);
    // Takes ownership of a closed inner profile; makes the profile a
    // polycurve of closed profiles when there was only one.
    bool AddInnerProfile(ON_Curve* profile);

    bool IsValid() const override;
    int Dimension() const override { return 3; }
    ON_Interval Domain(int dir) const override;
    bool SetDomain(int dir, double t0, double t1) override;
    int SpanCount(int dir) const override;
    bool GetSpanVector(int dir, double* knots) const override;
    int Degree(int dir) const override;
    bool Evaluate(double s, double t, int der_count, int v_stride, double* v, int quadrant = 0,
                  int* hint = nullptr) const override;
    bool IsClosed(int dir) const override;
    bool IsPeriodic(int dir) const override;
    bool Transpose() override;
    bool Transform(const ON_Xform& xform) override;
    ON_Surface* DuplicateSurface() const override { return new ON_Extrusion(*this); }
    // The outer wall: the outer profile's form in one direction, degree 1
    // along the path.
    int GetNurbForm(ON_NurbsSurface& nurbs, double tolerance = 0.0) const override;
    // openNURBS's B-rep form: a wall per smooth piece of each profile (split
    // at kinks and where straight parts meet curved ones), then the caps.
    // Into brep when given, else a new B-rep the caller deletes; nullptr on
    // failure.
    ON_Brep* BrepForm(ON_Brep* brep = nullptr) const;

    ON_Line m_path;
    ON_Interval m_t = ON_Interval(0.0, 1.0);
    ON_3dVector m_up;
    int m_profile_count = 0;
    ON_Curve* m_profile = nullptr; // owned: deleted with the extrusion
    bool m_bCap[2] = {false, false};
    bool m_bHaveN[2] = {false, false};
    ON_3dVector m_N[2];
    ON_Interval m_path_domain = ON_Interval(0.0, 1.0);
    bool m_bTransposed = false;
};
