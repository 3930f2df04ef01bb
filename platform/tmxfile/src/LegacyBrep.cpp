// B-reps in the layout of Rhino 2 files (version byte major 2): curves and
// surfaces stored inline, faces holding their loops and trims, and no vertex
// list. Vertices are recovered from the topology: consecutive trims of a loop
// meet in a vertex, and a trim's ends are its edge's ends.
#include "ObjectDecoder.h"

#include <numeric>
#include <vector>

namespace tmxfile {

namespace {
struct DisjointSets {
    std::vector<int> parent;
    explicit DisjointSets(size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0); }
    int Find(int x) {
        while (parent[x] != x) {
            parent[x] = parent[parent[x]];
            x = parent[x];
        }
        return x;
    }
    void Join(int a, int b) { parent[Find(a)] = Find(b); }
};

struct LegacyTrim {
    int edge = -1;
    bool rev3d = false;
    int loop = -1;
};
} // namespace

bool ObjectDecoder::ReadLegacyBrep(ON_Brep& b, int minor) {
    int32_t nf = 0, ne = 0, nl = 0, nt = 0, outer = 0;
    if (!r_.I32(nf) || !r_.I32(ne) || !r_.I32(nl) || !r_.I32(nt) || !r_.I32(outer) || !ReadBox())
        return false;
    if (nf < 1 || ne < 0 || nl < 1 || nt < 1)
        return r_.Fail("an old-style B-rep has " + std::to_string(nf) + " faces, " +
                       std::to_string(ne) + " edges, " + std::to_string(nl) + " loops and " +
                       std::to_string(nt) + " trims");
    // Every trim and edge is an inline polycurve (at least 61 bytes), every face a surface.
    if (!r_.Fits(static_cast<uint64_t>(nt) + static_cast<uint64_t>(ne), 61, "B-rep curve") ||
        !r_.Fits(static_cast<uint64_t>(nf), 100, "B-rep face"))
        return false;
    // Trim curves, then edge curves: inline polycurves.
    auto readCurves = [&](ON_CurveArray& curves, int32_t n) {
        curves.SetCapacity(n);
        for (int32_t i = 0; i < n && !Unusable(); ++i) {
            std::unique_ptr<ON_PolyCurve> c(new ON_PolyCurve);
            if (!ReadPolyCurveData(*c, 1)) return false;
            if (!Unusable()) curves.Append(c.release());
        }
        return true;
    };
    if (!readCurves(b.m_C2, nt) || !readCurves(b.m_C3, ne)) return false;
    if (Unusable()) return true;
    b.m_S.SetCapacity(nf);
    for (int32_t i = 0; i < nf; ++i) {
        std::unique_ptr<ON_NurbsSurface> s(new ON_NurbsSurface);
        if (!ReadNurbsSurface(*s)) return false;
        b.m_S.Append(s.release());
    }

    std::vector<LegacyTrim> trims(static_cast<size_t>(nt));
    int trimCount = 0;
    for (int32_t fi = 0; fi < nf; ++fi) {
        int32_t index = 0, material = 0, rev = 0, flags = 0, loops = 0;
        if (!r_.I32(index) || !r_.I32(material) || !r_.I32(rev) || !r_.I32(flags) || !ReadBox() ||
            !r_.I32(loops))
            return false;
        if (loops < 1 || b.m_L.Count() + loops > nl)
            return r_.Fail("old-style B-rep face " + std::to_string(fi) + " has " +
                           std::to_string(loops) + " loops, more than the B-rep's " +
                           std::to_string(nl));
        ON_BrepFace& f = b.m_F.AppendNew();
        f.m_face_index = fi;
        f.m_si = fi;
        f.m_bRev = rev != 0;
        for (int32_t k = 0; k < loops; ++k) {
            int32_t lindex = 0, ltype = 0, ntrims = 0;
            if (!r_.I32(lindex) || !r_.I32(ltype) || !r_.Skip(32) || !r_.I32(ntrims)) return false;
            if (ntrims < 1 || trimCount + ntrims > nt)
                return r_.Fail("old-style B-rep loop " + std::to_string(b.m_L.Count()) + " has " +
                               std::to_string(ntrims) + " trims, more than the B-rep's " +
                               std::to_string(nt));
            const int li = b.m_L.Count();
            ON_BrepLoop& l = b.m_L.AppendNew();
            l.m_loop_index = li;
            l.m_fi = fi;
            l.m_type = ltype == 0   ? ON_BrepLoop::outer
                       : ltype == 1 ? ON_BrepLoop::inner
                                    : ON_BrepLoop::slit;
            f.m_li.Append(li);
            for (int32_t j = 0; j < ntrims; ++j) {
                int32_t tindex = 0, twin = 0, ei = 0, rev3d = 0, cont = 0, mono = 0;
                uint8_t owns = 0;
                double tol3 = 0, tol2 = 0;
                if (!r_.I32(tindex) || !r_.I32(twin) || !r_.U8(owns) || !r_.I32(ei) ||
                    !r_.I32(rev3d) || !r_.I32(cont) || !r_.I32(mono) || !r_.F64(tol3) ||
                    !r_.F64(tol2))
                    return false;
                if (ei < -1 || ei >= ne)
                    return r_.Fail("old-style B-rep trim " + std::to_string(trimCount) +
                                   " refers to edge " + std::to_string(ei) + " of " +
                                   std::to_string(ne));
                LegacyTrim& t = trims[static_cast<size_t>(trimCount)];
                t.edge = ei;
                t.rev3d = rev3d != 0;
                t.loop = li;
                ON_BrepTrim& bt = b.m_T.AppendNew();
                bt.m_trim_index = trimCount;
                bt.m_c2i = trimCount;
                bt.m_ei = ei;
                bt.m_bRev3d = t.rev3d;
                bt.m_li = li;
                bt.m_tolerance[0] = bt.m_tolerance[1] = tol2;
                l.m_ti.Append(trimCount);
                ++trimCount;
            }
        }
    }
    // Render and analysis meshes follow; the import does not use them.

    // Edges: their 3-D curves whole, over the curves' own domains.
    for (int32_t i = 0; i < ne; ++i) {
        ON_BrepEdge& e = b.m_E.AppendNew();
        e.m_edge_index = i;
        e.m_c3i = i;
        e.m_real_curve_domain = e.m_this_domain = b.m_C3[i]->Domain();
    }
    for (int t = 0; t < trimCount; ++t) {
        ON_BrepTrim& bt = b.m_T[t];
        bt.m_real_curve_domain = bt.m_this_domain = b.m_C2[t]->Domain();
        if (bt.m_ei >= 0) b.m_E[bt.m_ei].m_ti.Append(t);
    }
    for (int t = 0; t < trimCount; ++t) {
        ON_BrepTrim& bt = b.m_T[t];
        if (bt.m_ei < 0) {
            bt.m_type = ON_BrepTrim::singular;
            continue;
        }
        const ON_BrepEdge& e = b.m_E[bt.m_ei];
        if (e.m_ti.Count() == 1) {
            bt.m_type = ON_BrepTrim::boundary;
        } else {
            bool seam = false;
            for (int k = 0; k < e.m_ti.Count(); ++k)
                if (e.m_ti[k] != t && b.m_T[e.m_ti[k]].m_li == bt.m_li) seam = true;
            bt.m_type = seam ? ON_BrepTrim::seam : ON_BrepTrim::mated;
        }
    }

    // Vertices: slots 2e, 2e+1 are edge e's ends; 2ne + 2t, 2ne + 2t + 1 trim t's.
    const int edgeSlots = 2 * ne;
    DisjointSets sets(static_cast<size_t>(edgeSlots + 2 * trimCount));
    for (int li = 0; li < b.m_L.Count(); ++li) {
        const ON_BrepLoop& l = b.m_L[li];
        const int n = l.m_ti.Count();
        for (int k = 0; k < n; ++k) {
            const int t0 = l.m_ti[k], t1 = l.m_ti[(k + 1) % n];
            sets.Join(edgeSlots + 2 * t0 + 1, edgeSlots + 2 * t1);
        }
    }
    for (int t = 0; t < trimCount; ++t) {
        const ON_BrepTrim& bt = b.m_T[t];
        if (bt.m_ei < 0) {
            sets.Join(edgeSlots + 2 * t, edgeSlots + 2 * t + 1);
            continue;
        }
        const int s = 2 * bt.m_ei, e = s + 1;
        sets.Join(edgeSlots + 2 * t, bt.m_bRev3d ? e : s);
        sets.Join(edgeSlots + 2 * t + 1, bt.m_bRev3d ? s : e);
    }
    std::vector<int> vertexOf(sets.parent.size(), -1);
    auto vertexFor = [&](int slot, const ON_3dPoint& p) {
        const int root = sets.Find(slot);
        if (vertexOf[static_cast<size_t>(root)] < 0) {
            vertexOf[static_cast<size_t>(root)] = b.m_V.Count();
            ON_BrepVertex& v = b.m_V.AppendNew();
            v.m_vertex_index = b.m_V.Count() - 1;
            v.point = p;
        }
        return vertexOf[static_cast<size_t>(root)];
    };
    // Vertices are numbered as the trims meet them, face by face: a trim's start, then its end.
    for (int t = 0; t < trimCount; ++t) {
        ON_BrepTrim& bt = b.m_T[t];
        for (int k = 0; k < 2; ++k) {
            const int slot = edgeSlots + 2 * t + k;
            ON_3dPoint p;
            if (bt.m_ei >= 0) {
                const ON_Curve* c = b.m_C3[bt.m_ei];
                p = (k == 0) != bt.m_bRev3d ? c->PointAtStart() : c->PointAtEnd();
            } else {
                // A singular trim: the surface point where it sits.
                const ON_Curve* c2 = b.m_C2[t];
                const ON_3dPoint uv = k ? c2->PointAtEnd() : c2->PointAtStart();
                const ON_Surface* s = b.m_S[b.m_L[bt.m_li].m_fi];
                p = s->PointAt(uv.x, uv.y);
            }
            bt.m_vi[k] = vertexFor(slot, p);
            if (bt.m_ei >= 0) {
                ON_SimpleArray<int>& ei = b.m_V[bt.m_vi[k]].m_ei;
                if (ei.Search(bt.m_ei) < 0) ei.Append(bt.m_ei);
            }
        }
    }
    for (int i = 0; i < ne; ++i) {
        ON_BrepEdge& e = b.m_E[i];
        const ON_Curve* c = b.m_C3[i];
        for (int k = 0; k < 2; ++k) {
            e.m_vi[k] = vertexFor(2 * i + k, k ? c->PointAtEnd() : c->PointAtStart());
            ON_SimpleArray<int>& ei = b.m_V[e.m_vi[k]].m_ei;
            if (ei.Search(i) < 0) ei.Append(i);
        }
    }
    (void)minor;
    if (!CheckBrep(b)) return false;
    b.LinkElements();
    return r_.Ok();
}

} // namespace tmxfile
