// A mesh the host will not take as one body, split into shells it can take:
// edge-connected groups of faces in which no edge is used by more than two
// faces and every edge used by two is run in opposite directions by them
// (faces turned over where that makes a group consistent). Pure topology on
// the mesh and its ON_MeshTopology: no host calls.
//
// Faces join a shell only across edges that exactly two of the faces
// considered use; an edge used by three or more (non-manifold) separates all
// of them. A face that would break a shell's rules where it meets it (a third
// face on an edge, or the same direction as its neighbour there, as across a
// Moebius seam) starts or joins another shell. A closed shell (every edge
// used twice) is turned to enclose a positive volume; an open one keeps the
// orientation most of its faces have in the file. Linear time and memory in
// the mesh's size.
#pragma once

#include "opennurbs.h"

#include <vector>

struct MeshShells {
    // The faces of shell s are faces[start[s]] .. faces[start[s + 1] - 1],
    // in mesh order; shells come in the order of their first face.
    std::vector<int> faces;
    std::vector<int> start;               // shell count + 1 entries
    std::vector<unsigned char> closed;    // per shell: every edge of it used by two of its faces
    std::vector<unsigned char> reversed;  // per mesh face: 1 when it goes with its corners reversed
    int nonManifoldEdges = 0;             // edges used by more than two of the faces considered
    int reversedFaces = 0;

    int ShellCount() const { return start.empty() ? 0 : static_cast<int>(start.size()) - 1; }
    int ShellSize(int s) const { return start[s + 1] - start[s]; }
};

// Splits the faces of mesh for which consider[face] is nonzero (the others
// belong to no shell). topology must have been made from mesh.
MeshShells SplitIntoShells(const ON_Mesh& mesh, const ON_MeshTopology& topology,
                           const std::vector<unsigned char>& consider);

// The face with its corners in the opposite order (a, b, c -> a, c, b; a, b,
// c, d -> a, d, c, b): the same corners, the other side out.
ON_MeshFace ReversedFace(const ON_MeshFace& face);
