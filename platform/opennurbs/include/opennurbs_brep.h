// Boundary representation: vertices, edges (parts of 3D curves in m_C3),
// trims (parts of 2D curves in m_C2, in a face's parameter space), loops of
// trims, and faces (surfaces in m_S bounded by loops). Elements refer to one
// another by index. The brep owns its curves and surfaces; copies are deep
// and their edges, trims and faces refer to the copy's own curves and
// surfaces.
#pragma once

#include "opennurbs_curveproxy.h"
#include "opennurbs_surfaceproxy.h"

class ON_BrepVertex {
public:
    ON_BrepVertex() = default;
    explicit ON_BrepVertex(int vertex_index) : m_vertex_index(vertex_index) {}
    ON_3dPoint Point() const { return point; }
    int EdgeCount() const { return m_ei.Count(); }

    int m_vertex_index = -1;
    ON_3dPoint point;
    ON_SimpleArray<int> m_ei; // edges that start or end here
    double m_tolerance = ON_UNSET_VALUE;
};

// A proxy of m_C3[m_c3i] over ProxyCurveDomain(), reversed when
// ProxyCurveIsReversed(), with its own Domain().
class ON_BrepEdge : public ON_CurveProxy {
public:
    ON_BrepEdge() = default;
    explicit ON_BrepEdge(int edge_index) : m_edge_index(edge_index) {}

    ON_Brep* Brep() const { return m_brep; }
    // The brep's 3D curve m_C3[m_c3i], or the proxy's own curve when the edge
    // is not in a brep; nullptr when neither is set.
    const ON_Curve* EdgeCurveOf() const;
    const ON_Curve* ProxyCurve() const override { return EdgeCurveOf(); }
    int EdgeCurveIndexOf() const { return m_c3i; }
    int TrimCount() const { return m_ti.Count(); }
    ON_Curve* DuplicateCurve() const override;

    int m_edge_index = -1;
    int m_c3i = -1;
    int m_vi[2] = {-1, -1};
    ON_SimpleArray<int> m_ti;
    double m_tolerance = ON_UNSET_VALUE;
    ON_Brep* m_brep = nullptr; // set by ON_Brep when the edge is added or the brep is copied
};

// A proxy of m_C2[m_c2i], the edge's curve in the face's parameter space.
class ON_BrepTrim : public ON_CurveProxy {
public:
    enum TYPE {
        unknown = 0,
        boundary = 1,
        mated = 2,
        seam = 3,
        singular = 4,
        crvonsrf = 5,
        ptonsrf = 6,
        slit = 7
    };

    ON_BrepTrim() = default;
    explicit ON_BrepTrim(int trim_index) : m_trim_index(trim_index) {}
    ON_Brep* Brep() const { return m_brep; }
    const ON_Curve* TrimCurveOf() const;
    const ON_Curve* ProxyCurve() const override { return TrimCurveOf(); }
    ON_Curve* DuplicateCurve() const override;

    int m_trim_index = -1;
    int m_c2i = -1;
    int m_ei = -1; // -1 for singular trims
    int m_vi[2] = {-1, -1};
    bool m_bRev3d = false; // runs against its edge
    TYPE m_type = unknown;
    ON_Surface::ISO m_iso = ON_Surface::not_iso;
    int m_li = -1;
    double m_tolerance[2] = {ON_UNSET_VALUE, ON_UNSET_VALUE};
    ON_Brep* m_brep = nullptr;
};

class ON_BrepLoop {
public:
    enum TYPE { unknown = 0, outer = 1, inner = 2, slit = 3, crvonsrf = 4, ptonsrf = 5 };

    ON_BrepLoop() = default;
    explicit ON_BrepLoop(int loop_index) : m_loop_index(loop_index) {}
    int TrimCount() const { return m_ti.Count(); }

    int m_loop_index = -1;
    ON_SimpleArray<int> m_ti; // trims in order around the loop
    TYPE m_type = unknown;
    int m_fi = -1;
};

// A proxy of m_S[m_si]; m_bRev means the face normal opposes the surface's.
class ON_BrepFace : public ON_SurfaceProxy {
public:
    ON_BrepFace() = default;
    explicit ON_BrepFace(int face_index) : m_face_index(face_index) {}
    ON_Brep* Brep() const { return m_brep; }
    const ON_Surface* SurfaceOf() const;
    const ON_Surface* ProxySurface() const override { return SurfaceOf(); }
    int LoopCount() const { return m_li.Count(); }

    int m_face_index = -1;
    ON_SimpleArray<int> m_li; // outer loop first
    int m_si = -1;
    bool m_bRev = false;
    int m_face_material_channel = 0;
    ON_Brep* m_brep = nullptr;
};

class ON_Brep : public ON_Geometry {
public:
    ON_Brep() = default;
    ON_Brep(const ON_Brep& src);
    ON_Brep(ON_Brep&& src) noexcept;
    ON_Brep& operator=(const ON_Brep& src);
    ON_Brep& operator=(ON_Brep&& src) noexcept;
    ~ON_Brep() override = default;

    static ON_Brep* Cast(ON_Object* p) { return dynamic_cast<ON_Brep*>(p); }
    static const ON_Brep* Cast(const ON_Object* p) { return dynamic_cast<const ON_Brep*>(p); }

    void Destroy();
    bool IsEmpty() const { return m_V.Count() == 0 && m_E.Count() == 0 && m_F.Count() == 0; }

    // A one-face brep of the untrimmed surface, taking ownership of it:
    // four boundary edges (south, east, north, west) in that order, fewer
    // where a side collapses to a point or where the surface is closed and
    // two sides share one seam edge.
    bool Create(ON_Surface*& surface);
    // Same, a new brep that the caller deletes; nullptr on failure.
    static ON_Brep* New(ON_Surface*& surface);

    // Builders for readers and code that assembles a brep. Each returns the
    // new element (with its index set and its link to this brep).
    int AddEdgeCurve(ON_Curve* curve);   // takes ownership; index into m_C3
    int AddTrimCurve(ON_Curve* curve);   // takes ownership; index into m_C2
    int AddSurface(ON_Surface* surface); // takes ownership; index into m_S
    ON_BrepVertex& NewVertex(const ON_3dPoint& point, double tolerance = ON_UNSET_VALUE);
    // Edge over the whole curve m_C3[c3i] (or sub_domain of it) from v0 to v1.
    ON_BrepEdge& NewEdge(int v0, int v1, int c3i, const ON_Interval* sub_domain = nullptr,
                         double tolerance = ON_UNSET_VALUE);
    ON_BrepFace& NewFace(int si);
    ON_BrepLoop& NewLoop(ON_BrepLoop::TYPE type, int fi);
    // Trim on loop li over the whole 2D curve m_C2[c2i]; ei = -1 for a
    // singular trim.
    ON_BrepTrim& NewTrim(int c2i, int ei, bool bRev3d, int li);
    // Sets every element's back-pointer to this brep; call after filling
    // m_V..m_F directly with AppendNew.
    void LinkElements();

    bool IsValid() const override;
    // Every edge is used by exactly two trims.
    bool IsSolid() const;
    int Dimension() const override { return 3; }
    bool GetBBox(double* boxmin, double* boxmax, bool bGrowBox = false) const override;
    // Transforms curves, surfaces and vertices; a curve or surface whose kind
    // cannot take the map is replaced by its NURBS form.
    bool Transform(const ON_Xform& xform) override;

    ON_CurveArray m_C2;  // 2D trim curves, owned
    ON_CurveArray m_C3;  // 3D edge curves, owned
    ON_SurfaceArray m_S; // surfaces, owned
    ON_ClassArray<ON_BrepVertex> m_V;
    ON_ClassArray<ON_BrepEdge> m_E;
    ON_ClassArray<ON_BrepTrim> m_T;
    ON_ClassArray<ON_BrepLoop> m_L;
    ON_ClassArray<ON_BrepFace> m_F;
    ON_BoundingBox m_bbox;
    int m_is_solid = 0; // as the file gives it: 0 unset, 1 solid, 2 solid inward, 3 not solid
};
