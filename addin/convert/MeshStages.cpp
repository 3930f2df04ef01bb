// Meshes as solid bodies of planar faces or as sketch lines along their edges.
#include "Convert.h"
#include "StageProgress.h"

namespace {

bool FaceInMesh(const ON_MeshFace& face, int vertexCount) {
    for (int k = 0; k < 4; k++)
        if (face.vi[k] < 0 || face.vi[k] >= vertexCount) return false;
    return true;
}

} // namespace

int MeshToSolidBody(HostPartHandle part, const ON_Mesh& mesh, double unitFactor, int progress) {
    HostBodyHandle body = nullptr;
    if (PartCreateBody(part, &body) != 0 || !body) {
        HostRelease(body);
        SetLastConversionError(L"Unable to create new body");
        return 0;
    }

    int result = 1;
    {
        StageProgress window(L"Creating solid", progress);
        const int faceCount = mesh.FaceCount();
        const int vertexCount = mesh.VertexCount();
        window.Start(faceCount);
        double corners[12];
        double normal[3];
        for (int i = 0; i < faceCount; i++) {
            window.Step();
            const ON_MeshFace& face = mesh.m_F[i];
            // A face naming a vertex the mesh does not have cannot be placed.
            if (!FaceInMesh(face, vertexCount)) continue;
            const int count = face.IsQuad() ? 4 : 3;
            ON_3dPoint p[4];
            for (int k = 0; k < count; k++)
                p[k] = mesh.Vertex(face.vi[k]);
            // Of the first three corners only, also for a quadrangle; zero
            // for a degenerate triangle.
            ON_3dVector n;
            n.PerpendicularTo(p[0], p[1], p[2]);
            for (int k = 0; k < count; k++) {
                corners[3 * k] = p[k].x * unitFactor;
                corners[3 * k + 1] = p[k].y * unitFactor;
                corners[3 * k + 2] = p[k].z * unitFactor;
            }
            normal[0] = n.x;
            normal[1] = n.y;
            normal[2] = n.z;
            BodyAddPlanarFace(body, count, corners, normal);
        }
        window.Status(L"Creating body from surfaces. This may take several minutes...");
        short flag = 0;
        if (BodyCreateFromFaces(body, &flag) != 0) {
            SetLastConversionError(L"Unable to create body from surfaces");
            result = 0;
        }
        window.End();
    }
    HostRelease(body);
    return result;
}

int MeshToSketchLines(HostDocHandle doc, const ON_Mesh& mesh, double unitFactor, int progress) {
    StageProgress window(L"Creating mesh", progress);
    // A topology of our own: the file's mesh keeps no cache from us.
    ON_MeshTopology topology;
    topology.Create(mesh);
    const int edgeCount = topology.TopEdgeCount();
    window.Start(edgeCount);
    const double f = unitFactor;
    for (int i = 0; i < edgeCount; i++) {
        window.Step();
        const ON_MeshTopologyEdge& edge = topology.m_tope[i];
        const ON_MeshTopologyVertex& v0 = topology.m_topv[edge.m_topvi[0]];
        const ON_MeshTopologyVertex& v1 = topology.m_topv[edge.m_topvi[1]];
        const ON_3dPoint p0 = mesh.Vertex(v0.m_vi[0]);
        const ON_3dPoint p1 = mesh.Vertex(v1.m_vi[0]);
        DocCreateLine(doc, p0.x * f, p0.y * f, p0.z * f, p1.x * f, p1.y * f, p1.z * f, nullptr);
    }
    window.End();
    return 1;
}

int ConvertMeshLines(HostDocHandle doc, const ON_ClassArray<ON_Mesh>& meshes, double unitFactor,
                     int progress) {
    StageProgress window(L"Creating meshes", progress);
    window.Start(meshes.Count());
    for (int i = 0; i < meshes.Count(); i++) {
        window.Step();
        MeshToSketchLines(doc, meshes[i], unitFactor, 0);
    }
    window.End();
    return 1;
}
