#include "MeshShells.h"

namespace {

// The direction in which a face runs one of its sides' edge: 0 from the
// edge's first topology vertex to its second, 1 the other way.
unsigned char Direction(const ON_MeshTopologyFace& face, int side, unsigned char reversed) {
    return static_cast<unsigned char>((face.m_reve[side] ? 1 : 0) ^ reversed);
}

// Grows shells one at a time; the per-edge state belongs to the shell that
// touched the edge last, so it never needs clearing.
class ShellBuilder {
public:
    ShellBuilder(const ON_Mesh& mesh, const ON_MeshTopology& topology,
                 const std::vector<unsigned char>& consider)
        : mesh_(mesh), topology_(topology), consider_(consider) {
        const size_t faceCount = static_cast<size_t>(mesh.FaceCount());
        const size_t edgeCount = static_cast<size_t>(topology.TopEdgeCount());
        shellOf_.assign(faceCount, -1);
        reversed_.assign(faceCount, 0);
        uses_.assign(edgeCount, 0);
        edgeShell_.assign(edgeCount, -1);
        edgeCount_.assign(edgeCount, 0);
        edgeDirection_.assign(edgeCount, 0);
        for (size_t f = 0; f < faceCount; f++)
            if (Considered(static_cast<int>(f)))
                for (int k = 0; k < 4; k++) {
                    const int e = topology.m_topf[f].m_topei[k];
                    if (e >= 0 && uses_[e] < 255) uses_[e]++;
                }
    }

    MeshShells Build() {
        MeshShells out;
        for (unsigned char u : uses_)
            out.nonManifoldEdges += u > 2;
        std::vector<int> shellFaces; // the shell being grown, in the order its faces joined
        const int faceCount = mesh_.FaceCount();
        int shells = 0;
        for (int seed = 0; seed < faceCount; seed++) {
            if (!Considered(seed) || shellOf_[seed] >= 0) continue;
            const int shell = shells++;
            open_ = 0;
            shellFaces.clear();
            // A face alone that fails the rules (an edge twice) still goes, by itself.
            if (!Join(seed, 0, shell)) Place(seed, 0, shell);
            shellFaces.push_back(seed);
            for (size_t next = 0; next < shellFaces.size(); next++)
                Grow(shellFaces[next], shell, shellFaces);
            const bool isClosed = open_ == 0;
            out.closed.push_back(isClosed ? 1 : 0);
            Orient(shellFaces, isClosed);
        }

        // Faces by shell, in mesh order within each: a counting sort.
        out.start.assign(static_cast<size_t>(shells) + 1, 0);
        for (int f = 0; f < faceCount; f++)
            if (shellOf_[f] >= 0) out.start[shellOf_[f] + 1]++;
        for (int s = 0; s < shells; s++)
            out.start[s + 1] += out.start[s];
        out.faces.resize(static_cast<size_t>(out.start[shells]));
        std::vector<int> fill(out.start.begin(), out.start.end() - 1);
        for (int f = 0; f < faceCount; f++) {
            if (shellOf_[f] < 0) continue;
            out.faces[fill[shellOf_[f]]++] = f;
            out.reversedFaces += reversed_[f];
        }
        out.reversed.swap(reversed_);
        return out;
    }

private:
    bool Considered(int f) const {
        return static_cast<size_t>(f) < consider_.size() && consider_[f] != 0;
    }

    // Adds the neighbours of f across edges that only f and they use.
    void Grow(int f, int shell, std::vector<int>& shellFaces) {
        const ON_MeshTopologyFace& face = topology_.m_topf[f];
        for (int k = 0; k < 4; k++) {
            const int e = face.m_topei[k];
            if (e < 0 || uses_[e] != 2) continue;
            const ON_MeshTopologyEdge& edge = topology_.m_tope[e];
            for (int i = 0; i < edge.m_topf_count; i++) {
                const int g = edge.m_topfi[i];
                if (g == f || !Considered(g) || shellOf_[g] >= 0) continue;
                // g must run the edge against f's direction.
                const int side = SideOn(g, e);
                const unsigned char want = Direction(face, k, reversed_[f]) ^ 1;
                const unsigned char flip = Direction(topology_.m_topf[g], side, 0) ^ want;
                if (Join(g, flip, shell)) shellFaces.push_back(g);
            }
        }
    }

    int SideOn(int f, int e) const {
        for (int k = 0; k < 4; k++)
            if (topology_.m_topf[f].m_topei[k] == e) return k;
        return -1;
    }

    // Puts f into the shell when it keeps the shell manifold and consistent.
    bool Join(int f, unsigned char flip, int shell) {
        const ON_MeshTopologyFace& face = topology_.m_topf[f];
        for (int k = 0; k < 4; k++) {
            const int e = face.m_topei[k];
            if (e < 0) continue;
            for (int j = 0; j < k; j++)
                if (face.m_topei[j] == e) return false; // one face on an edge twice
            if (edgeShell_[e] != shell) continue;
            if (edgeCount_[e] >= 2 || edgeDirection_[e] == Direction(face, k, flip)) return false;
        }
        Place(f, flip, shell);
        return true;
    }

    void Place(int f, unsigned char flip, int shell) {
        const ON_MeshTopologyFace& face = topology_.m_topf[f];
        shellOf_[f] = shell;
        reversed_[f] = flip;
        for (int k = 0; k < 4; k++) {
            const int e = face.m_topei[k];
            if (e < 0) continue;
            if (edgeShell_[e] != shell) {
                edgeShell_[e] = shell;
                edgeCount_[e] = 1;
                edgeDirection_[e] = Direction(face, k, flip);
                open_++;
            } else if (edgeCount_[e]++ == 1) {
                open_--;
            }
        }
    }

    // A closed shell encloses a positive volume; an open one changes the
    // fewest faces of the file.
    void Orient(const std::vector<int>& shellFaces, bool isClosed) {
        bool turn;
        if (isClosed) {
            turn = SignedVolume(shellFaces) < 0.0;
        } else {
            size_t reversed = 0;
            for (int f : shellFaces)
                reversed += reversed_[f];
            turn = 2 * reversed > shellFaces.size();
        }
        if (turn)
            for (int f : shellFaces)
                reversed_[f] ^= 1;
    }

    // Six times the volume the faces enclose, as they would be sent; taken
    // about the shell's first corner, for precision far from the origin.
    double SignedVolume(const std::vector<int>& shellFaces) const {
        const ON_3dPoint origin = mesh_.Vertex(mesh_.m_F[shellFaces[0]].vi[0]);
        double volume = 0.0;
        for (int f : shellFaces) {
            const ON_MeshFace face =
                reversed_[f] ? ReversedFace(mesh_.m_F[f]) : mesh_.m_F[f];
            const int corners = face.IsQuad() ? 4 : 3;
            ON_3dVector p[4];
            for (int k = 0; k < corners; k++)
                p[k] = mesh_.Vertex(face.vi[k]) - origin;
            for (int k = 1; k + 1 < corners; k++)
                volume += p[0] * ON_CrossProduct(p[k], p[k + 1]);
        }
        return volume;
    }

    const ON_Mesh& mesh_;
    const ON_MeshTopology& topology_;
    const std::vector<unsigned char>& consider_;
    std::vector<int> shellOf_;
    std::vector<unsigned char> reversed_;
    std::vector<unsigned char> uses_; // by the faces considered, up to 255
    std::vector<int> edgeShell_;
    std::vector<unsigned char> edgeCount_;     // uses within edgeShell_
    std::vector<unsigned char> edgeDirection_; // of the first of them
    int open_ = 0;                             // edges the current shell uses once
};

} // namespace

MeshShells SplitIntoShells(const ON_Mesh& mesh, const ON_MeshTopology& topology,
                           const std::vector<unsigned char>& consider) {
    return ShellBuilder(mesh, topology, consider).Build();
}

ON_MeshFace ReversedFace(const ON_MeshFace& face) {
    ON_MeshFace r = face;
    if (face.IsQuad()) {
        r.vi[1] = face.vi[3];
        r.vi[3] = face.vi[1];
    } else {
        r.vi[1] = face.vi[2];
        r.vi[2] = r.vi[3] = face.vi[1];
    }
    return r;
}
