// Meshes as solid bodies of planar faces or as sketch lines along their edges.
#include "Convert.h"
#include "Finite.h"
#include "MeshShells.h"
#include "ScopeGuards.h"
#include "StageProgress.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A face of zero area: its height over its longest side, or the distance
// between two of its corners, is at most this fraction of the size of the
// mesh (the diagonal of the box of the vertices its faces use).
constexpr double kZeroAreaTolerance = 1e-8;

bool FaceInMesh(const ON_MeshFace& face, int vertexCount) {
    for (int k = 0; k < 4; k++)
        if (face.vi[k] < 0 || face.vi[k] >= vertexCount) return false;
    return true;
}

// The diagonal of the box of the vertices the mesh's faces use.
double UsedSize(const ON_Mesh& mesh) {
    const int vertexCount = mesh.VertexCount();
    ON_BoundingBox box;
    bool first = true;
    for (int i = 0; i < mesh.FaceCount(); i++) {
        const ON_MeshFace& face = mesh.m_F[i];
        if (!FaceInMesh(face, vertexCount)) continue;
        for (int k = 0; k < 4; k++) {
            box.Set(mesh.Vertex(face.vi[k]), !first);
            first = false;
        }
    }
    return first ? 0.0 : box.Diagonal().Length();
}

// The face's own normal direction, not unit: the sum of the cross products
// of its corners taken from the first (Newell's method, as precise far from
// the origin), twice its area long.
ON_3dVector WindingNormal(const ON_3dPoint* p, int count) {
    ON_3dVector n(0, 0, 0);
    for (int i = 1; i + 1 < count; i++)
        n = n + ON_CrossProduct(p[i] - p[0], p[i + 1] - p[0]);
    return n;
}

bool ZeroArea(const ON_3dPoint* p, int count, double tol) {
    double longest = 0.0;
    for (int i = 0; i < count; i++) {
        longest = std::max(longest, p[i].DistanceTo(p[(i + 1) % count]));
        for (int j = i + 1; j < count; j++)
            if (p[i].DistanceTo(p[j]) <= tol) return true;
    }
    return WindingNormal(p, count).Length() <= tol * longest;
}

// What becomes of one face on its way to the host.
enum class FaceFate { Sent, MissingVertex, ZeroArea, Overflow };

// The corners (scaled) and unit normal of face as the host gets them;
// *count is 3 or 4. Counts nothing: the first pass over a mesh does that.
FaceFate PrepareFace(const ON_Mesh& mesh, const ON_MeshFace& face, double tol, double unitFactor,
                     double corners[12], double normal[3], int* count) {
    // A face naming a vertex the mesh does not have cannot be placed.
    if (!FaceInMesh(face, mesh.VertexCount())) return FaceFate::MissingVertex;
    *count = face.IsQuad() ? 4 : 3;
    ON_3dPoint p[4];
    for (int k = 0; k < *count; k++)
        p[k] = mesh.Vertex(face.vi[k]);
    // The host cannot sew a face without area into a body.
    if (ZeroArea(p, *count, tol)) return FaceFate::ZeroArea;
    // Of the first three corners, as for a triangle; for a quadrangle whose
    // first three corners hold its reflex corner that normal points the
    // wrong way, and the whole face's winding decides.
    ON_3dVector n;
    n.PerpendicularTo(p[0], p[1], p[2]);
    if (*count == 4) {
        ON_3dVector w = WindingNormal(p, *count);
        if (!(n * w > 0.0) && w.Unitize()) n = w;
    }
    for (int k = 0; k < *count; k++) {
        corners[3 * k] = p[k].x * unitFactor;
        corners[3 * k + 1] = p[k].y * unitFactor;
        corners[3 * k + 2] = p[k].z * unitFactor;
    }
    normal[0] = n.x;
    normal[1] = n.y;
    normal[2] = n.z;
    if (!AllFinite(corners, 3 * static_cast<size_t>(*count))) return FaceFate::Overflow;
    return FaceFate::Sent;
}

// The mesh as shells, each a body of its own, after the host refused it
// whole. `sent`: the faces that went into the refused body.
int BodiesFromShells(HostPartHandle part, const ON_Mesh& mesh, double unitFactor, double tol,
                     int sent) {
    ConversionCounts& counts = ConversionCountsToFill();
    const int faceCount = mesh.FaceCount();
    double corners[12];
    double normal[3];
    int count = 0;
    std::vector<unsigned char> consider(static_cast<size_t>(faceCount));
    for (int i = 0; i < faceCount; i++)
        consider[i] = PrepareFace(mesh, mesh.m_F[i], tol, unitFactor, corners, normal, &count) ==
                      FaceFate::Sent;
    MeshShells shells;
    {
        ON_MeshTopology topology;
        topology.Create(mesh);
        shells = SplitIntoShells(mesh, topology, consider);
    }
    if (shells.ShellCount() <= 1 && shells.reversedFaces == 0) {
        // The same faces the same way round: the host has just refused them.
        counts.facesInNoBody += sent;
        SetLastConversionError(L"Unable to create body from surfaces");
        return 0;
    }
    counts.meshesSplit++;
    counts.nonManifoldEdges += shells.nonManifoldEdges;
    counts.reversedFaces += shells.reversedFaces;
    int unmade = 0;
    const wchar_t* failure = nullptr;
    for (int s = 0; s < shells.ShellCount(); s++) {
        HostHeld<HostBodyHandle> body;
        if (PartCreateBody(part, &body.handle) != 0 || !body.handle) {
            unmade += shells.ShellSize(s);
            failure = L"Unable to create new body";
            continue;
        }
        int refused = 0;
        for (int at = shells.start[s]; at < shells.start[s + 1]; at++) {
            const int f = shells.faces[at];
            const ON_MeshFace face = shells.reversed[f] ? ReversedFace(mesh.m_F[f]) : mesh.m_F[f];
            PrepareFace(mesh, face, tol, unitFactor, corners, normal, &count);
            if (BodyAddPlanarFace(body.handle, count, corners, normal) != 0) refused++;
        }
        short flag = 0;
        if (BodyCreateFromFaces(body.handle, &flag) != 0) {
            unmade += shells.ShellSize(s);
            failure = L"Unable to create body from surfaces";
            continue;
        }
        counts.refusedFaces += refused;
        (flag ? counts.shellSolids : counts.shellSheets)++;
    }
    counts.facesInNoBody += unmade;
    if (!failure) return 1;
    SetLastConversionError(failure);
    return 0;
}

} // namespace

int MeshToSolidBody(HostPartHandle part, const ON_Mesh& mesh, double unitFactor, int progress) {
    ConversionCounts& counts = ConversionCountsToFill();
    HostHeld<HostBodyHandle> held;
    if (PartCreateBody(part, &held.handle) != 0 || !held.handle) {
        SetLastConversionError(L"Unable to create new body");
        counts.facesInNoBody += mesh.FaceCount();
        return 0;
    }

    StageProgress window(L"Creating solid", progress);
    const int faceCount = mesh.FaceCount();
    window.Start(faceCount);
    const double tol = kZeroAreaTolerance * UsedSize(mesh);
    double corners[12];
    double normal[3];
    int sent = 0, zeroArea = 0, overflowed = 0, refused = 0;
    for (int i = 0; i < faceCount; i++) {
        window.Step();
        int count = 0;
        switch (PrepareFace(mesh, mesh.m_F[i], tol, unitFactor, corners, normal, &count)) {
        case FaceFate::Sent:
            if (BodyAddPlanarFace(held.handle, count, corners, normal) != 0) refused++;
            sent++;
            break;
        case FaceFate::ZeroArea:
            zeroArea++;
            break;
        case FaceFate::Overflow:
            counts.nonFinite++;
            overflowed++;
            break;
        case FaceFate::MissingVertex:
            break;
        }
    }
    counts.zeroAreaFaces += zeroArea;
    counts.nonFiniteFaces += overflowed;
    if (sent == 0 && zeroArea + overflowed > 0) {
        // Every face was left out: nothing to sew, and no failure of the mesh.
        counts.meshesWithoutFaces++;
        window.End();
        return 1;
    }
    window.Status(L"Creating body from surfaces. This may take several minutes...");
    short flag = 0;
    int result = 1;
    if (BodyCreateFromFaces(held.handle, &flag) == 0) {
        counts.refusedFaces += refused;
    } else {
        // Refused whole (an edge of three faces, faces turned against their
        // neighbours): its faces go again as shells the host can take.
        HostRelease(held.handle);
        held.handle = nullptr;
        result = BodiesFromShells(part, mesh, unitFactor, tol, sent);
    }
    window.End();
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
        const double v[6] = {p0.x * f, p0.y * f, p0.z * f, p1.x * f, p1.y * f, p1.z * f};
        if (SendableOrCounted(v, 6)) DocCreateLine(doc, v[0], v[1], v[2], v[3], v[4], v[5], nullptr);
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
