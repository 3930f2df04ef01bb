#include "opennurbs_internal.h"

namespace {
// Every face's corners the other way round; a triangle keeps its repeated
// last corner.
void ReverseWinding(ON_SimpleArray<ON_MeshFace>& faces) {
    for (int i = 0; i < faces.Count(); i++) {
        ON_MeshFace& f = faces[i];
        if (f.IsTriangle()) {
            std::swap(f.vi[0], f.vi[2]);
            f.vi[3] = f.vi[2];
        } else {
            std::swap(f.vi[1], f.vi[3]);
        }
    }
}
} // namespace

bool ON_MeshFace::IsValid(int vertex_count) const {
    for (int k = 0; k < 4; k++)
        if (vi[k] < 0 || vi[k] >= vertex_count) return false;
    if (vi[0] == vi[1] || vi[1] == vi[2] || vi[0] == vi[2]) return false;
    if (vi[2] != vi[3] && (vi[3] == vi[0] || vi[3] == vi[1])) return false;
    return true;
}

ON_Mesh::ON_Mesh(int face_capacity, int vertex_capacity, bool bHasVertexNormals,
                 bool bHasTextureCoordinates) {
    m_F.Reserve(face_capacity > 0 ? face_capacity : 0);
    m_V.Reserve(vertex_capacity > 0 ? vertex_capacity : 0);
    if (bHasVertexNormals) m_N.Reserve(vertex_capacity > 0 ? vertex_capacity : 0);
    if (bHasTextureCoordinates) m_T.Reserve(vertex_capacity > 0 ? vertex_capacity : 0);
}

ON_Mesh::ON_Mesh(const ON_Mesh& src)
    : ON_Geometry(src), m_V(src.m_V), m_dV(src.m_dV), m_F(src.m_F), m_N(src.m_N), m_FN(src.m_FN),
      m_T(src.m_T), m_S(src.m_S), m_C(src.m_C) {}

ON_Mesh::ON_Mesh(ON_Mesh&& src) noexcept
    : m_V(std::move(src.m_V)), m_dV(std::move(src.m_dV)), m_F(std::move(src.m_F)),
      m_N(std::move(src.m_N)), m_FN(std::move(src.m_FN)), m_T(std::move(src.m_T)),
      m_S(std::move(src.m_S)), m_C(std::move(src.m_C)) {
    src.m_top.reset();
}

ON_Mesh& ON_Mesh::operator=(const ON_Mesh& src) {
    if (this == &src) return *this;
    DestroyTopology();
    m_V = src.m_V, m_dV = src.m_dV, m_F = src.m_F, m_N = src.m_N, m_FN = src.m_FN;
    m_T = src.m_T, m_S = src.m_S, m_C = src.m_C;
    return *this;
}

ON_Mesh& ON_Mesh::operator=(ON_Mesh&& src) noexcept {
    if (this == &src) return *this;
    DestroyTopology();
    src.m_top.reset();
    m_V = std::move(src.m_V), m_dV = std::move(src.m_dV), m_F = std::move(src.m_F),
    m_N = std::move(src.m_N);
    m_FN = std::move(src.m_FN), m_T = std::move(src.m_T), m_S = std::move(src.m_S),
    m_C = std::move(src.m_C);
    return *this;
}

ON_Mesh::~ON_Mesh() = default;

void ON_Mesh::Destroy() {
    DestroyTopology();
    m_V.Destroy(), m_dV.Destroy(), m_F.Destroy(), m_N.Destroy(), m_FN.Destroy();
    m_T.Destroy(), m_S.Destroy(), m_C.Destroy();
}

bool ON_Mesh::IsValid() const {
    const int vc = m_V.Count();
    if (m_F.Count() == 0 || vc < 3) return false;
    for (int i = 0; i < m_F.Count(); i++)
        if (!m_F[i].IsValid(vc)) return false;
    if (m_dV.Count() != 0 && m_dV.Count() != vc) return false;
    return true;
}

int ON_Mesh::TriangleCount() const {
    int n = 0;
    for (int i = 0; i < m_F.Count(); i++)
        n += m_F[i].IsTriangle() ? 1 : 0;
    return n;
}

int ON_Mesh::QuadCount() const {
    return m_F.Count() - TriangleCount();
}

ON_3dPoint ON_Mesh::Vertex(int i) const {
    if (i < 0 || i >= m_V.Count()) return ON_3dPoint::UnsetPoint;
    if (HasDoublePrecisionVertices()) return m_dV[i];
    return ON_3dPoint(m_V[i]);
}

int ON_Mesh::AppendVertex(const ON_3dPoint& p) {
    const bool dbl = HasDoublePrecisionVertices();
    m_V.Append(ON_3fPoint(p));
    if (dbl) m_dV.Append(p);
    DestroyTopology();
    return m_V.Count() - 1;
}

bool ON_Mesh::SetVertex(int i, const ON_3dPoint& p) {
    if (i < 0) return false;
    const bool dbl = HasDoublePrecisionVertices();
    if (i >= m_V.Count()) {
        m_V.SetCount(i + 1);
        if (dbl) m_dV.SetCount(i + 1);
    }
    m_V[i] = ON_3fPoint(p);
    if (dbl) m_dV[i] = p;
    DestroyTopology();
    return true;
}

bool ON_Mesh::SetTriangle(int fi, int a, int b, int c) {
    return SetQuad(fi, a, b, c, c);
}

bool ON_Mesh::SetQuad(int fi, int a, int b, int c, int d) {
    if (fi < 0) return false;
    if (fi >= m_F.Count()) m_F.SetCount(fi + 1);
    ON_MeshFace& f = m_F[fi];
    f.vi[0] = a, f.vi[1] = b, f.vi[2] = c, f.vi[3] = d;
    DestroyTopology();
    return true;
}

bool ON_Mesh::ComputeFaceNormal(int fi, ON_3dVector& n) const {
    n = ON_3dVector::ZeroVector;
    if (fi < 0 || fi >= m_F.Count()) return false;
    const ON_MeshFace& f = m_F[fi];
    if (!f.IsValid(m_V.Count())) return false;
    if (f.IsTriangle()) return n.PerpendicularTo(Vertex(f.vi[0]), Vertex(f.vi[1]), Vertex(f.vi[2]));
    n = ON_CrossProduct(Vertex(f.vi[2]) - Vertex(f.vi[0]), Vertex(f.vi[3]) - Vertex(f.vi[1]));
    return n.Unitize();
}

bool ON_Mesh::ComputeFaceNormals() {
    m_FN.SetCount(0);
    m_FN.Reserve(m_F.Count());
    bool ok = true;
    for (int i = 0; i < m_F.Count(); i++) {
        ON_3dVector n;
        if (!ComputeFaceNormal(i, n)) ok = false;
        m_FN.Append(ON_3fVector(n));
    }
    return ok;
}

bool ON_Mesh::GetBBox(double* boxmin, double* boxmax, bool bGrowBox) const {
    if (!boxmin || !boxmax) return false;
    ON_BoundingBox box;
    if (bGrowBox) box = ON_BoundingBox(ON_3dPoint(boxmin), ON_3dPoint(boxmax));
    for (int i = 0; i < m_V.Count(); i++)
        box.Set(Vertex(i), box.IsValid());
    if (!box.IsValid()) return false;
    for (int c = 0; c < 3; c++)
        boxmin[c] = box.m_min[c], boxmax[c] = box.m_max[c];
    return true;
}

bool ON_Mesh::Transform(const ON_Xform& xform) {
    const bool dbl = HasDoublePrecisionVertices();
    for (int i = 0; i < m_V.Count(); i++) {
        const ON_3dPoint p = xform * (dbl ? m_dV[i] : ON_3dPoint(m_V[i]));
        if (dbl) m_dV[i] = p;
        m_V[i] = ON_3fPoint(p);
    }
    const ON_Xform nx = xform.NormalTransformation();
    for (int i = 0; i < m_N.Count(); i++) {
        ON_3dVector n = nx * ON_3dVector(m_N[i].x, m_N[i].y, m_N[i].z);
        n.Unitize();
        m_N[i] = ON_3fVector(n);
    }
    for (int i = 0; i < m_FN.Count(); i++) {
        ON_3dVector n = nx * ON_3dVector(m_FN[i].x, m_FN[i].y, m_FN[i].z);
        n.Unitize();
        m_FN[i] = ON_3fVector(n);
    }
    // A mirror reverses the winding; flip faces so normals and winding agree,
    // without flipping the normals a second time.
    if (xform.Linear3x3Determinant() < 0.0) ReverseWinding(m_F);
    DestroyTopology();
    return true;
}

void ON_Mesh::Flip() {
    ReverseWinding(m_F);
    for (int i = 0; i < m_N.Count(); i++)
        m_N[i] = ON_3fVector(-m_N[i].x, -m_N[i].y, -m_N[i].z);
    for (int i = 0; i < m_FN.Count(); i++)
        m_FN[i] = ON_3fVector(-m_FN[i].x, -m_FN[i].y, -m_FN[i].z);
    DestroyTopology();
}

const ON_MeshTopology& ON_Mesh::Topology() const {
    if (!m_top || m_top->m_mesh != this) {
        m_top.reset(new ON_MeshTopology());
        m_top->Create(*this);
    }
    return *m_top;
}

void ON_Mesh::DestroyTopology() {
    m_top.reset();
}
