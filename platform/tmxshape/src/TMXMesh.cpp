#include "TMXMesh.h"

#include <algorithm>
#include <cmath>

int TMXMesh::IsPlanarQuad(const ON_Mesh& mesh, const ON_MeshFace& f) {
    const ON_3dPoint P[4] = {mesh.Vertex(f.vi[0]), mesh.Vertex(f.vi[1]), mesh.Vertex(f.vi[2]),
                             mesh.Vertex(f.vi[3])};
    const double diag = std::max(P[0].DistanceTo(P[2]), P[1].DistanceTo(P[3]));
    ON_3dVector n = ON_CrossProduct(P[2] - P[0], P[3] - P[1]);
    if (!n.Unitize()) return 1; // parallel diagonals: the corners lie on one line or less
    const ON_3dPoint c = (P[0] + P[1] + P[2] + P[3]) * 0.25;
    const double tol = PlanarRelativeTolerance * diag;
    for (int k = 0; k < 4; k++)
        if (std::fabs((P[k] - c) * n) > tol) return 0;
    return 1;
}

int TMXMesh::BreakQuads(ON_Mesh& mesh, int mode, ON_SimpleArray<int>* face_map) {
    if (mode != 0 && mode != 1) return -1;
    const int vc = mesh.VertexCount(), fc = mesh.FaceCount();
    for (int i = 0; i < fc; i++)
        for (int k = 0; k < 4; k++)
            if (mesh.m_F[i].vi[k] < 0 || mesh.m_F[i].vi[k] >= vc) return -1;
    ON_SimpleArray<ON_MeshFace> faces;
    faces.Reserve(fc + fc / 4 + 1);
    if (face_map) {
        face_map->Empty();
        face_map->Reserve(fc + fc / 4 + 1);
    }
    int split = 0;
    auto add = [&](int a, int b, int c, int d, int from) {
        ON_MeshFace& f = faces.AppendNew();
        f.vi[0] = a, f.vi[1] = b, f.vi[2] = c, f.vi[3] = d;
        if (face_map) face_map->Append(from);
    };
    for (int i = 0; i < fc; i++) {
        const ON_MeshFace f = mesh.m_F[i];
        if (f.IsTriangle()) {
            add(f.vi[0], f.vi[1], f.vi[2], f.vi[2], i);
            continue;
        }
        // A quad with a repeated corner is the triangle of its other three.
        int distinct[4], n = 0;
        for (int k = 0; k < 4; k++) {
            bool seen = false;
            for (int j = 0; j < n; j++)
                seen = seen || distinct[j] == f.vi[k];
            if (!seen) distinct[n++] = f.vi[k];
        }
        if (n < 4) {
            if (n == 3) {
                add(distinct[0], distinct[1], distinct[2], distinct[2], i);
                split++;
            } else {
                add(f.vi[0], f.vi[1], f.vi[2], f.vi[3], i); // a collapsed face: left as it is
            }
            continue;
        }
        if (mode == 1 && IsPlanarQuad(mesh, f)) {
            add(f.vi[0], f.vi[1], f.vi[2], f.vi[3], i);
            continue;
        }
        const ON_3dPoint A = mesh.Vertex(f.vi[0]), B = mesh.Vertex(f.vi[1]),
                         C = mesh.Vertex(f.vi[2]), D = mesh.Vertex(f.vi[3]);
        if (A.DistanceTo(C) <= B.DistanceTo(D)) {
            add(f.vi[0], f.vi[1], f.vi[2], f.vi[2], i);
            add(f.vi[0], f.vi[2], f.vi[3], f.vi[3], i);
        } else {
            add(f.vi[0], f.vi[1], f.vi[3], f.vi[3], i);
            add(f.vi[1], f.vi[2], f.vi[3], f.vi[3], i);
        }
        split++;
    }
    const bool had_normals = mesh.HasFaceNormals();
    mesh.m_F = std::move(faces);
    mesh.DestroyTopology();
    if (had_normals)
        mesh.ComputeFaceNormals();
    else
        mesh.m_FN.Destroy();
    return split;
}
