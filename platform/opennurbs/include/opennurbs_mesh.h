// Polygon mesh: float vertices (and double ones only where given), faces of
// four vertex indices (a triangle repeats its third index: vi[2] == vi[3]),
// counter-clockwise seen from the front. Topology is built on demand and
// dropped by any change through DestroyTopology().
#pragma once

#include "opennurbs_geometry.h"

#include <memory>

class ON_MeshFace {
public:
    int vi[4] = {0, 0, 0, 0};
    bool IsTriangle() const { return vi[2] == vi[3]; }
    bool IsQuad() const { return vi[2] != vi[3]; }
    // Indexes inside [0, vertex_count), no index repeated except the
    // triangle's third.
    bool IsValid(int vertex_count) const;
};

class ON_MeshTopologyVertex {
public:
    int m_tope_count = 0;
    const int* m_topei = nullptr; // topology edges at this vertex
    int m_v_count = 0;
    const int* m_vi = nullptr; // mesh vertices at this position, increasing
};

class ON_MeshTopologyEdge {
public:
    int m_topvi[2] = {-1, -1}; // m_topvi[0] < m_topvi[1]
    int m_topf_count = 0;
    const int* m_topfi = nullptr; // faces using the edge
};

class ON_MeshTopologyFace {
public:
    // Edges of the sides (vi[0],vi[1]), (vi[1],vi[2]), (vi[2],vi[3]),
    // (vi[3],vi[0]). A triangle has no side (vi[2],vi[3]): its m_topei[2] is
    // -1 and its third side is m_topei[3].
    int m_topei[4] = {-1, -1, -1, -1};
    // True where the face runs the edge from m_topvi[1] to m_topvi[0].
    bool m_reve[4] = {false, false, false, false};
    bool IsTriangle() const { return m_topei[2] < 0; }
    bool IsQuad() const { return m_topei[2] >= 0; }
};

class ON_MeshTopology {
public:
    ON_MeshTopology() = default;
    ON_MeshTopology(const ON_MeshTopology&) = delete;
    ON_MeshTopology& operator=(const ON_MeshTopology&) = delete;

    // Builds the topology of mesh in linear time: vertices grouped by exact
    // position (as Vertex() gives it) through a hash, edges found by
    // bucketing the face sides on their lower topology vertex. Edges come in
    // order of their lower vertex. A face side whose ends are one topology
    // vertex has no edge (-1).
    bool Create(const ON_Mesh& mesh);
    void Destroy();
    bool IsValid() const;

    int TopVertexCount() const { return m_topv.Count(); }
    int TopEdgeCount() const { return m_tope.Count(); }
    int TopFaceCount() const { return m_topf.Count(); }
    // Position of a topology vertex (of its first mesh vertex).
    ON_3dPoint TopVertexPoint(int topvi) const;
    // The edge between two topology vertices, or -1.
    int TopEdge(int topvi0, int topvi1) const;

    const ON_Mesh* m_mesh = nullptr;
    ON_SimpleArray<int> m_topv_map; // mesh vertex index -> topology vertex index
    ON_SimpleArray<ON_MeshTopologyVertex> m_topv;
    ON_SimpleArray<ON_MeshTopologyEdge> m_tope;
    ON_SimpleArray<ON_MeshTopologyFace> m_topf;

private:
    // Index lists that the m_vi, m_topei and m_topfi pointers point into.
    ON_SimpleArray<int> m_vi_pool;
    ON_SimpleArray<int> m_topei_pool;
    ON_SimpleArray<int> m_topfi_pool;
};

class ON_Mesh : public ON_Geometry {
public:
    ON_Mesh() = default;
    ON_Mesh(int initial_face_capacity, int initial_vertex_capacity, bool bHasVertexNormals,
            bool bHasTextureCoordinates);
    // Copies the arrays, not the topology (rebuilt on demand).
    ON_Mesh(const ON_Mesh& src);
    ON_Mesh(ON_Mesh&& src) noexcept;
    ON_Mesh& operator=(const ON_Mesh& src);
    ON_Mesh& operator=(ON_Mesh&& src) noexcept;
    ~ON_Mesh() override;

    static ON_Mesh* Cast(ON_Object* p) { return dynamic_cast<ON_Mesh*>(p); }
    static const ON_Mesh* Cast(const ON_Object* p) { return dynamic_cast<const ON_Mesh*>(p); }

    void Destroy();
    bool IsValid() const override;
    int Dimension() const override { return 3; }
    int VertexCount() const { return m_V.Count(); }
    int FaceCount() const { return m_F.Count(); }
    int TriangleCount() const;
    int QuadCount() const;
    bool HasDoublePrecisionVertices() const {
        return m_dV.Count() > 0 && m_dV.Count() == m_V.Count();
    }
    bool HasVertexNormals() const { return m_N.Count() > 0 && m_N.Count() == m_V.Count(); }
    bool HasFaceNormals() const { return m_FN.Count() > 0 && m_FN.Count() == m_F.Count(); }
    bool HasTextureCoordinates() const { return m_T.Count() > 0 && m_T.Count() == m_V.Count(); }
    bool HasVertexColors() const { return m_C.Count() > 0 && m_C.Count() == m_V.Count(); }
    // The double vertex where the mesh has them, else the float one widened.
    ON_3dPoint Vertex(int i) const;

    // Append a vertex (float; and double when the mesh has double vertices).
    int AppendVertex(const ON_3dPoint& p);
    bool SetVertex(int i, const ON_3dPoint& p);
    bool SetTriangle(int face_index, int a, int b, int c);
    bool SetQuad(int face_index, int a, int b, int c, int d);
    // Unit normals of every face (of its first three corners for triangles,
    // of (P2 - P0) x (P3 - P1) for quads) into m_FN.
    bool ComputeFaceNormals();
    bool ComputeFaceNormal(int face_index, ON_3dVector& normal) const;

    bool GetBBox(double* boxmin, double* boxmax, bool bGrowBox = false) const override;
    // Vertices (float and double), normals (by the inverse transpose) and
    // face normals; a mirroring also flips the faces so they stay front.
    bool Transform(const ON_Xform& xform) override;
    void Flip(); // reverses every face's orientation

    // Built at the first call; the mesh must not change while it is used.
    const ON_MeshTopology& Topology() const;
    bool HasTopology() const { return m_top != nullptr; }
    void DestroyTopology();

    ON_SimpleArray<ON_3fPoint> m_V;
    ON_SimpleArray<ON_3dPoint> m_dV; // empty unless the file has double vertices
    ON_SimpleArray<ON_MeshFace> m_F;
    ON_SimpleArray<ON_3fVector> m_N;  // vertex normals
    ON_SimpleArray<ON_3fVector> m_FN; // face normals
    ON_SimpleArray<ON_2fPoint> m_T;   // texture coordinates
    ON_SimpleArray<ON_2dPoint> m_S;   // surface parameters
    ON_SimpleArray<ON_Color> m_C;     // vertex colours

private:
    mutable std::unique_ptr<ON_MeshTopology> m_top;
};
