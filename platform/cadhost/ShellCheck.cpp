// The check a modeller makes before it sews planar faces into a body: face
// corners are merged into vertices, every face edge is looked up by its two
// vertices, and the edge uses decide between solid, sheet and failure.
// Hash tables keep it linear in the number of faces.
#include "HostObjects.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace cadhost {

namespace {

std::uint64_t Mix(std::uint64_t x) {
    x += 0x9e3779b97f4a7c15ull;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

std::size_t PowerOfTwoAtLeast(std::size_t n) {
    std::size_t p = 16;
    while (p < n)
        p <<= 1;
    return p;
}

// Merges corners closer than the tolerance into one vertex. Space is cut into
// cubes a few tolerances wide; a corner is compared with the vertices of its
// own cube and only of those neighbours whose side it lies within the
// tolerance of, so matching needs no search over all vertices.
class Welder {
public:
    Welder(const double* origin, double tolerance, std::size_t corners)
        : tol_(tolerance), tol2_(tolerance * tolerance), size_(tolerance * kCubeScale) {
        for (int i = 0; i < 3; ++i)
            origin_[i] = origin[i];
        // Most corners repeat others: start small and grow.
        slots_.resize(PowerOfTwoAtLeast(corners / 2));
        points_.reserve(corners / 2 + 8);
        next_.reserve(corners / 2 + 8);
    }

    std::uint32_t Vertex(const double* p) {
        // Every corner lies within the diagonal of the origin, so its cube
        // index stays below 1 / kCornerTolerance and fits 32 bits.
        std::int32_t c[3];
        int lo[3], hi[3];
        for (int i = 0; i < 3; ++i) {
            double d = p[i] - origin_[i];
            c[i] = static_cast<std::int32_t>(std::floor(d / size_));
            double inside = d - c[i] * size_;
            lo[i] = inside <= tol_ ? -1 : 0;
            hi[i] = size_ - inside <= tol_ ? 1 : 0;
        }
        std::uint32_t v = Near(c, p);
        if (v != kNone) return v;
        for (int dx = lo[0]; dx <= hi[0]; ++dx)
            for (int dy = lo[1]; dy <= hi[1]; ++dy)
                for (int dz = lo[2]; dz <= hi[2]; ++dz) {
                    if (!dx && !dy && !dz) continue;
                    std::int32_t n[3] = {c[0] + dx, c[1] + dy, c[2] + dz};
                    v = Near(n, p);
                    if (v != kNone) return v;
                }
        v = static_cast<std::uint32_t>(points_.size());
        points_.push_back({p[0], p[1], p[2]});
        Slot& s = Find(c);
        if (s.head == kNone) {
            s.x = c[0];
            s.y = c[1];
            s.z = c[2];
            if (++used_ * 2 > slots_.size()) {
                next_.push_back(kNone);
                Grow();
                Find(c).head = v;
                return v;
            }
        }
        next_.push_back(s.head);
        s.head = v;
        return v;
    }

private:
    static constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
    static constexpr double kCubeScale = 64;
    struct Slot {
        std::int32_t x = 0, y = 0, z = 0;
        std::uint32_t head = kNone;
    };

    std::size_t Hash(const std::int32_t* c) const {
        std::uint64_t h = static_cast<std::uint32_t>(c[0]) |
                          static_cast<std::uint64_t>(static_cast<std::uint32_t>(c[1])) << 32;
        h = Mix(h ^ Mix(static_cast<std::uint32_t>(c[2])));
        return static_cast<std::size_t>(h) & (slots_.size() - 1);
    }

    // The cube's slot, or the empty slot where it would go.
    Slot& Find(const std::int32_t* c) {
        std::size_t i = Hash(c);
        for (;;) {
            Slot& s = slots_[i];
            if (s.head == kNone || (s.x == c[0] && s.y == c[1] && s.z == c[2])) return s;
            i = (i + 1) & (slots_.size() - 1);
        }
    }

    std::uint32_t Near(const std::int32_t* c, const double* p) {
        const Slot& s = Find(c);
        for (std::uint32_t v = s.head; v != kNone; v = next_[v]) {
            const Vec3& q = points_[v];
            double dx = q.x - p[0], dy = q.y - p[1], dz = q.z - p[2];
            if (dx * dx + dy * dy + dz * dz <= tol2_) return v;
        }
        return kNone;
    }

    void Grow() {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        for (const Slot& s : old) {
            if (s.head == kNone) continue;
            const std::int32_t c[3] = {s.x, s.y, s.z};
            Find(c) = s;
        }
    }

    double origin_[3];
    double tol_, tol2_, size_;
    std::vector<Slot> slots_;
    std::size_t used_ = 0;
    std::vector<Vec3> points_;
    std::vector<std::uint32_t> next_; // the next vertex in the same cube
};

// Edge uses by their two vertices: how many faces run along each edge, and
// whether two of them run the same way (their orientations disagree).
class EdgeTable {
public:
    explicit EdgeTable(std::size_t uses) : slots_(PowerOfTwoAtLeast(uses)) {}

    void Add(std::uint32_t a, std::uint32_t b) {
        bool forward = a < b;
        std::uint64_t key = forward ? (std::uint64_t(a) << 32 | b) : (std::uint64_t(b) << 32 | a);
        Slot* s = &Find(key);
        if (s->key == kEmpty) {
            s->key = key;
            s->forward = forward;
            if (++used_ * 2 > slots_.size()) {
                Grow();
                s = &Find(key);
            }
        } else if (s->uses == 1 && s->forward == forward) {
            misoriented_ = true;
        }
        if (++s->uses > 2) nonManifold_ = true;
    }

    bool NonManifold() const { return nonManifold_; }
    bool Misoriented() const { return misoriented_; }
    bool Open() const {
        for (const Slot& s : slots_)
            if (s.key != kEmpty && s.uses == 1) return true;
        return false;
    }

private:
    static constexpr std::uint64_t kEmpty = std::numeric_limits<std::uint64_t>::max();
    struct Slot {
        std::uint64_t key = kEmpty;
        std::uint32_t uses = 0;
        bool forward = false;
    };

    Slot& Find(std::uint64_t key) {
        std::size_t i = static_cast<std::size_t>(Mix(key)) & (slots_.size() - 1);
        for (;;) {
            Slot& s = slots_[i];
            if (s.key == kEmpty || s.key == key) return s;
            i = (i + 1) & (slots_.size() - 1);
        }
    }

    void Grow() {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        for (const Slot& s : old)
            if (s.key != kEmpty) Find(s.key) = s;
    }

    std::vector<Slot> slots_;
    std::size_t used_ = 0;
    bool nonManifold_ = false;
    bool misoriented_ = false;
};

// Twice the face's area, from the cross products of its corners taken
// relative to the first one (precise also far from the origin).
double TwiceArea(const Face& f) {
    double n[3] = {0, 0, 0};
    const double* o = f.corners;
    for (int i = 1; i + 1 < f.count; ++i) {
        const double* p = f.corners + 3 * i;
        const double* q = f.corners + 3 * (i + 1);
        double a[3] = {p[0] - o[0], p[1] - o[1], p[2] - o[2]};
        double b[3] = {q[0] - o[0], q[1] - o[1], q[2] - o[2]};
        n[0] += a[1] * b[2] - a[2] * b[1];
        n[1] += a[2] * b[0] - a[0] * b[2];
        n[2] += a[0] * b[1] - a[1] * b[0];
    }
    return std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
}

double LongestSide(const Face& f) {
    double longest = 0;
    for (int i = 0; i < f.count; ++i) {
        const double* p = f.corners + 3 * i;
        const double* q = f.corners + 3 * ((i + 1) % f.count);
        double d = std::sqrt((q[0] - p[0]) * (q[0] - p[0]) + (q[1] - p[1]) * (q[1] - p[1]) +
                             (q[2] - p[2]) * (q[2] - p[2]));
        if (d > longest) longest = d;
    }
    return longest;
}

} // namespace

HRESULT CheckShell(const Blocks<Face>& faces, bool* solid) {
    *solid = false;
    if (faces.empty()) return HOST_E_NOFACES;

    double lo[3], hi[3];
    std::size_t corners = 0;
    for (int i = 0; i < 3; ++i) {
        lo[i] = std::numeric_limits<double>::infinity();
        hi[i] = -lo[i];
    }
    for (const Face& f : faces) {
        corners += static_cast<std::size_t>(f.count);
        for (int k = 0; k < f.count; ++k)
            for (int i = 0; i < 3; ++i) {
                lo[i] = std::fmin(lo[i], f.corners[3 * k + i]);
                hi[i] = std::fmax(hi[i], f.corners[3 * k + i]);
            }
    }
    double diagonal =
        std::sqrt((hi[0] - lo[0]) * (hi[0] - lo[0]) + (hi[1] - lo[1]) * (hi[1] - lo[1]) +
                  (hi[2] - lo[2]) * (hi[2] - lo[2]));
    double tol = kCornerTolerance * diagonal;
    if (!(tol > 0) || !std::isfinite(tol)) return HOST_E_DEGENERATE;

    Welder welder(lo, tol, corners);
    EdgeTable edges(corners);
    for (const Face& f : faces) {
        // A face needs distinct corners and a height above the tolerance.
        if (TwiceArea(f) <= tol * LongestSide(f)) return HOST_E_DEGENERATE;
        std::uint32_t v[4];
        for (int k = 0; k < f.count; ++k)
            v[k] = welder.Vertex(f.corners + 3 * k);
        for (int a = 0; a < f.count; ++a)
            for (int b = a + 1; b < f.count; ++b)
                if (v[a] == v[b]) return HOST_E_DEGENERATE;
        for (int k = 0; k < f.count; ++k)
            edges.Add(v[k], v[(k + 1) % f.count]);
    }
    if (edges.NonManifold()) return HOST_E_NONMANIFOLD;
    if (edges.Misoriented()) return HOST_E_ORIENTATION;
    *solid = !edges.Open();
    return S_OK;
}

} // namespace cadhost
