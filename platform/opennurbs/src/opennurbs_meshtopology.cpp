#include "opennurbs_internal.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

uint64_t Mix(uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}

uint64_t Bits(double x) {
    if (x == 0.0) x = 0.0; // -0 and +0 are one position
    uint64_t b;
    std::memcpy(&b, &x, sizeof(b));
    return b;
}

int TableSize(int n) {
    int cap = 16;
    while (cap < 2 * n && cap < (1 << 30))
        cap <<= 1;
    return cap;
}

} // namespace

void ON_MeshTopology::Destroy() {
    m_mesh = nullptr;
    m_topv_map.Destroy();
    m_topv.Destroy();
    m_tope.Destroy();
    m_topf.Destroy();
    m_vi_pool.Destroy();
    m_topei_pool.Destroy();
    m_topfi_pool.Destroy();
}

bool ON_MeshTopology::Create(const ON_Mesh& mesh) {
    Destroy();
    m_mesh = &mesh;
    const int vc = mesh.VertexCount(), fc = mesh.FaceCount();
    const bool dbl = mesh.HasDoublePrecisionVertices();

    // Topology vertices: mesh vertices at one exact position, found with an
    // open-addressing hash of the coordinates.
    m_topv_map.SetCount(vc);
    {
        const int cap = TableSize(vc);
        ON_SimpleArray<int> table;
        table.SetCapacity(cap);
        table.m_count = cap;
        std::memset((void*)table.Array(), 0xFF, sizeof(int) * (size_t)cap); // all -1
        int topv_count = 0;
        auto pos = [&](int i) { return dbl ? mesh.m_dV[i] : ON_3dPoint(mesh.m_V[i]); };
        for (int i = 0; i < vc; i++) {
            const ON_3dPoint p = pos(i);
            uint64_t h = Mix(Bits(p.x) ^ Mix(Bits(p.y) ^ Mix(Bits(p.z))));
            int slot = (int)(h & (uint64_t)(cap - 1));
            int found = -1;
            while (table[slot] >= 0) {
                const int j = table[slot];
                const ON_3dPoint q = pos(j);
                if (q.x == p.x && q.y == p.y && q.z == p.z) {
                    found = m_topv_map[j];
                    break;
                }
                slot = (slot + 1) & (cap - 1);
            }
            if (found < 0) {
                table[slot] = i;
                found = topv_count++;
            }
            m_topv_map[i] = found;
        }
        m_topv.SetCount(topv_count);
        // Mesh vertices of each topology vertex, in increasing order.
        for (int i = 0; i < vc; i++)
            m_topv[m_topv_map[i]].m_v_count++;
        m_vi_pool.SetCount(vc);
        int offset = 0;
        for (int t = 0; t < topv_count; t++) {
            m_topv[t].m_vi = m_vi_pool.Array() + offset;
            offset += m_topv[t].m_v_count;
            m_topv[t].m_v_count = 0;
        }
        for (int i = 0; i < vc; i++) {
            ON_MeshTopologyVertex& tv = m_topv[m_topv_map[i]];
            const_cast<int*>(tv.m_vi)[tv.m_v_count++] = i;
        }
    }

    // Topology edges: one per pair of topology vertices, whatever number of
    // faces share it. Face sides are bucketed by their lower topology vertex
    // (a counting sort); within a bucket a stamp per upper vertex finds the
    // side's edge, so the whole pass is linear and walks memory in order.
    m_topf.SetCount(fc);
    {
        const int tvc = m_topv.Count();
        ON_SimpleArray<int> bucket_start;
        bucket_start.SetCount(tvc + 1); // zeroed
        auto side_ends = [&](int fi, int k, int& lo, int& hi) {
            const ON_MeshFace& f = mesh.m_F[fi];
            if (k == 2 && f.IsTriangle()) return false; // a triangle has no side vi[2]-vi[3]
            const int a = m_topv_map[f.vi[k]], b = m_topv_map[f.vi[(k + 1) % 4]];
            if (a == b) return false; // collapsed side
            lo = a < b ? a : b;
            hi = a < b ? b : a;
            return true;
        };
        std::vector<unsigned char> face_ok((size_t)fc, 1);
        for (int fi = 0; fi < fc; fi++) {
            const ON_MeshFace& f = mesh.m_F[fi];
            for (int k = 0; k < 4; k++)
                if (f.vi[k] < 0 || f.vi[k] >= vc) face_ok[fi] = 0;
            if (!face_ok[fi]) continue;
            int lo, hi;
            for (int k = 0; k < 4; k++)
                if (side_ends(fi, k, lo, hi)) bucket_start[lo + 1]++;
        }
        for (int t = 0; t < tvc; t++)
            bucket_start[t + 1] += bucket_start[t];
        const int side_count = bucket_start[tvc];
        ON_SimpleArray<int> side_hi((size_t)side_count), side_id((size_t)side_count);
        side_hi.m_count = side_id.m_count = side_count;
        {
            ON_SimpleArray<int> fill(bucket_start);
            for (int fi = 0; fi < fc; fi++) {
                if (!face_ok[fi]) continue;
                int lo, hi;
                for (int k = 0; k < 4; k++)
                    if (side_ends(fi, k, lo, hi)) {
                        const int at = fill[lo]++;
                        side_hi[at] = hi;
                        side_id[at] = fi * 4 + k;
                    }
            }
        }
        ON_SimpleArray<int> stamp, edge_of;
        stamp.SetCount(tvc);
        edge_of.SetCount(tvc);
        std::memset((void*)stamp.Array(), 0xFF, sizeof(int) * (size_t)tvc); // all -1
        m_tope.Reserve((size_t)side_count / 2 + 16);
        ON_SimpleArray<int> face_uses((size_t)side_count / 2 + 16); // count of faces per edge
        for (int lo = 0; lo < tvc; lo++) {
            for (int at = bucket_start[lo]; at < bucket_start[lo + 1]; at++) {
                const int hi = side_hi[at];
                int ei;
                if (stamp[hi] == lo) {
                    ei = edge_of[hi];
                } else {
                    ON_MeshTopologyEdge& e = m_tope.AppendNew();
                    e.m_topvi[0] = lo, e.m_topvi[1] = hi;
                    ei = m_tope.Count() - 1;
                    stamp[hi] = lo;
                    edge_of[hi] = ei;
                    face_uses.Append(0);
                }
                face_uses[ei]++;
                const int fi = side_id[at] / 4, k = side_id[at] % 4;
                m_topf[fi].m_topei[k] = ei;
                const ON_MeshFace& f = mesh.m_F[fi];
                m_topf[fi].m_reve[k] = m_topv_map[f.vi[k]] > m_topv_map[f.vi[(k + 1) % 4]];
            }
        }
        // Faces of each edge.
        const int ec = m_tope.Count();
        int total = 0;
        for (int e = 0; e < ec; e++)
            total += face_uses[e];
        m_topfi_pool.SetCount(total);
        int offset = 0;
        for (int e = 0; e < ec; e++) {
            m_tope[e].m_topfi = m_topfi_pool.Array() + offset;
            offset += face_uses[e];
        }
        for (int fi = 0; fi < fc; fi++)
            for (int k = 0; k < 4; k++) {
                const int e = m_topf[fi].m_topei[k];
                if (e < 0) continue;
                ON_MeshTopologyEdge& te = m_tope[e];
                // A face using an edge twice lists itself once.
                if (te.m_topf_count > 0 && te.m_topfi[te.m_topf_count - 1] == fi) continue;
                const_cast<int*>(te.m_topfi)[te.m_topf_count++] = fi;
            }
        // Edges at each topology vertex.
        for (int e = 0; e < ec; e++) {
            m_topv[m_tope[e].m_topvi[0]].m_tope_count++;
            m_topv[m_tope[e].m_topvi[1]].m_tope_count++;
        }
        m_topei_pool.SetCount(2 * ec);
        offset = 0;
        for (int t = 0; t < m_topv.Count(); t++) {
            m_topv[t].m_topei = m_topei_pool.Array() + offset;
            offset += m_topv[t].m_tope_count;
            m_topv[t].m_tope_count = 0;
        }
        for (int e = 0; e < ec; e++)
            for (int k = 0; k < 2; k++) {
                ON_MeshTopologyVertex& tv = m_topv[m_tope[e].m_topvi[k]];
                const_cast<int*>(tv.m_topei)[tv.m_tope_count++] = e;
            }
    }
    return true;
}

bool ON_MeshTopology::IsValid() const {
    return m_mesh && m_topv_map.Count() == m_mesh->VertexCount();
}

ON_3dPoint ON_MeshTopology::TopVertexPoint(int topvi) const {
    if (!m_mesh || topvi < 0 || topvi >= m_topv.Count() || m_topv[topvi].m_v_count < 1)
        return ON_3dPoint::UnsetPoint;
    return m_mesh->Vertex(m_topv[topvi].m_vi[0]);
}

int ON_MeshTopology::TopEdge(int a, int b) const {
    if (a < 0 || b < 0 || a >= m_topv.Count() || b >= m_topv.Count()) return -1;
    const ON_MeshTopologyVertex& v = m_topv[a];
    for (int k = 0; k < v.m_tope_count; k++) {
        const ON_MeshTopologyEdge& e = m_tope[v.m_topei[k]];
        if ((e.m_topvi[0] == a && e.m_topvi[1] == b) || (e.m_topvi[0] == b && e.m_topvi[1] == a))
            return v.m_topei[k];
    }
    return -1;
}
