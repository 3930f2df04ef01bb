// SplitIntoShells on its own: which faces form which shell, which turn over,
// and that every shell is one the host can sew.
#include "ConvertTestSupport.h"
#include "MeshShells.h"

#include <map>
#include <utility>

using namespace converttest;

namespace {

// A unit box at x0 as six outward quads with vertices of its own; `inward`
// turns one face (-1: none).
void AddBox(std::vector<ON_3dPoint>& v, std::vector<std::vector<int>>& f, ON_3dPoint at,
            int inward = -1) {
    const int first = static_cast<int>(v.size());
    for (double z : {0.0, 1.0})
        for (auto xy : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}})
            v.push_back(at + ON_3dVector(xy.first, xy.second, z));
    const int sides[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                             {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    for (int s = 0; s < 6; s++) {
        std::vector<int> face;
        for (int k = 0; k < 4; k++)
            face.push_back(first + sides[s][s == inward ? 3 - k : k]);
        f.push_back(face);
    }
}

ON_Mesh Boxes(std::vector<ON_3dPoint> corners, int inward = -1) {
    std::vector<ON_3dPoint> v;
    std::vector<std::vector<int>> f;
    for (size_t i = 0; i < corners.size(); i++)
        AddBox(v, f, corners[i], i == 0 ? inward : -1);
    return MeshOf(v, f);
}

// What the host checks of each shell, as the faces would be sent: no edge
// of more than two faces, two faces on an edge run it opposite ways, closed
// when every edge has two, and a closed shell encloses a positive volume.
::testing::AssertionResult Sound(const ON_Mesh& mesh, const ON_MeshTopology& top,
                                 const MeshShells& shells) {
    for (int s = 0; s < shells.ShellCount(); s++) {
        std::map<int, std::vector<bool>> runs; // edge -> directions of its faces
        double volume = 0;
        for (int at = shells.start[s]; at < shells.start[s + 1]; at++) {
            const int f = shells.faces[at];
            const ON_MeshFace face = shells.reversed[f] ? ReversedFace(mesh.m_F[f]) : mesh.m_F[f];
            const int n = face.IsQuad() ? 4 : 3;
            for (int k = 0; k < n; k++) {
                const int a = top.m_topv_map[face.vi[k]], b = top.m_topv_map[face.vi[(k + 1) % n]];
                runs[top.TopEdge(a, b)].push_back(a < b);
            }
            const ON_3dPoint p0 = mesh.Vertex(face.vi[0]);
            for (int k = 1; k + 1 < n; k++)
                volume += (p0 - ON_3dPoint::Origin) *
                          ON_CrossProduct(mesh.Vertex(face.vi[k]) - p0, mesh.Vertex(face.vi[k + 1]) - p0);
        }
        bool closed = true;
        for (const auto& r : runs) {
            if (r.second.size() > 2 || (r.second.size() == 2 && r.second[0] == r.second[1]))
                return ::testing::AssertionFailure() << "shell " << s << ": edge " << r.first;
            closed = closed && r.second.size() == 2;
        }
        if (closed != (shells.closed[s] != 0))
            return ::testing::AssertionFailure() << "shell " << s << " closed: " << closed;
        if (closed && !(volume > 0))
            return ::testing::AssertionFailure() << "shell " << s << " inside out";
    }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(MeshShells, EachShellIsManifoldConsistentAndClosedOnesPointOut) {
    // A strip of three triangles whose first is wound against the other two,
    // and a Moebius band of four quads (no consistent orientation).
    const ON_Mesh strip = MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}},
                                 {{0, 1, 2}, {1, 2, 3}, {1, 3, 4}});
    const ON_Mesh moebius = MeshOf({{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {1, 0, 1}, {1, 1, 0},
                                    {1, 1, 1}, {0, 1, 0}, {0, 1, 1}},
                                   {{0, 2, 3, 1}, {2, 4, 5, 3}, {4, 6, 7, 5}, {6, 1, 0, 7}});
    const struct {
        const char* name;
        ON_Mesh mesh;
        std::vector<unsigned char> consider; // empty: every face
        std::vector<std::vector<int>> shells;
        std::vector<int> reversed;
        int nonManifoldEdges;
    } cases[] = {
        {"a closed box", Boxes({{0, 0, 0}}), {}, {{0, 1, 2, 3, 4, 5}}, {}, 0},
        {"a box with its first face turned in", Boxes({{0, 0, 0}}, 0), {}, {{0, 1, 2, 3, 4, 5}},
         {0}, 0},
        {"two boxes on one edge", Boxes({{0, 0, 0}, {1, 1, 0}}), {},
         {{0, 1, 2, 3, 4, 5}, {6, 7, 8, 9, 10, 11}}, {}, 1},
        {"three triangles on one edge",
         MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}},
                {{0, 1, 2}, {1, 0, 3}, {0, 1, 4}}),
         {}, {{0}, {1}, {2}}, {}, 1},
        {"a strip: the fewest faces turn", strip, {}, {{0, 1, 2}}, {0}, 0},
        {"a Moebius band", moebius, {}, {{0, 1, 3}, {2}}, {3}, 0},
        {"faces not considered", Boxes({{0, 0, 0}}), {1, 1, 0, 1, 1, 1}, {{0, 1, 3, 4, 5}}, {}, 0},
        // Vertices of their own at one position join the faces.
        {"coincident vertices", MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}},
                                       {{0, 1, 2}, {3, 5, 4}}),
         {}, {{0, 1}}, {}, 0},
    };
    for (const auto& c : cases) {
        ON_MeshTopology top;
        ASSERT_TRUE(top.Create(c.mesh)) << c.name;
        std::vector<unsigned char> consider = c.consider;
        if (consider.empty()) consider.assign(size_t(c.mesh.FaceCount()), 1);
        const MeshShells shells = SplitIntoShells(c.mesh, top, consider);
        std::vector<std::vector<int>> got;
        for (int s = 0; s < shells.ShellCount(); s++)
            got.emplace_back(shells.faces.begin() + shells.start[s],
                             shells.faces.begin() + shells.start[s + 1]);
        EXPECT_EQ(got, c.shells) << c.name;
        std::vector<int> reversed;
        for (int f = 0; f < c.mesh.FaceCount(); f++)
            if (shells.reversed[f]) reversed.push_back(f);
        EXPECT_EQ(reversed, c.reversed) << c.name;
        EXPECT_EQ(shells.reversedFaces, int(c.reversed.size())) << c.name;
        EXPECT_EQ(shells.nonManifoldEdges, c.nonManifoldEdges) << c.name;
        EXPECT_TRUE(Sound(c.mesh, top, shells)) << c.name;
    }
}
