// Splitting of mesh quadrangles into triangles.
#pragma once

#include "opennurbs.h"

class TMXMesh {
public:
    // A quad is planar when each of its four corners lies within
    // PlanarRelativeTolerance (1e-9) times the quad's longer diagonal of
    // the plane through the quad's centre with the normal
    // (P2 - P0) x (P3 - P1).
    static constexpr double PlanarRelativeTolerance = 1e-9;

    // Splits quads into two triangles along the shorter diagonal (keeping
    // the face's orientation), in place: the first triangle takes the quad's
    // place, the second follows it. mode 1: only non-planar quads; mode 0:
    // every quad. A quad with a repeated corner becomes the triangle of its
    // distinct corners. Afterwards the mesh holds only triangles and quads,
    // and every quad is planar. Face normals, when the mesh has them, are
    // recomputed; the topology is dropped.
    // face_map, when given, receives for each resulting face the index of
    // the face it came from.
    // Returns the number of faces split, or -1 (mesh unchanged) when a face
    // has an index outside the vertices or mode is not 0 or 1.
    static int BreakQuads(ON_Mesh& mesh, int mode, ON_SimpleArray<int>* face_map);

    // 1 when the quad face (by its four indices) is planar as above.
    static int IsPlanarQuad(const ON_Mesh& mesh, const ON_MeshFace& face);
};
