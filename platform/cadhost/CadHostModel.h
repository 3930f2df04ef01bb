// The embedded host's document model, menu bars and journal as C++ values,
// for tests and tools to read.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace cadhost {

// A growing sequence kept in fixed blocks of about 512 KB: beyond the first
// block appending never moves what is stored, so millions of entities or
// faces cost no copying and no doubled peak memory. The first block grows by
// doubling from a few elements, so that a body of a few faces (a mesh split
// into thousands of shells) costs a few faces.
template <class T> class Blocks {
    static constexpr std::size_t PerBlock() {
        std::size_t n = 1;
        while (n * 2 * sizeof(T) <= (std::size_t(1) << 19))
            n *= 2;
        return n;
    }

public:
    static constexpr std::size_t kPerBlock = PerBlock();

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const T& operator[](std::size_t i) const { return blocks_[i / kPerBlock][i % kPerBlock]; }
    T& operator[](std::size_t i) { return blocks_[i / kPerBlock][i % kPerBlock]; }
    const T& back() const { return (*this)[size_ - 1]; }
    T& back() { return (*this)[size_ - 1]; }
    void push_back(const T& v) {
        if (size_ == first_ && first_ < kPerBlock) {
            // Still the first block: a larger one, the elements moved over.
            const std::size_t grown = first_ ? std::min(2 * first_, kPerBlock) : kFirst;
            std::unique_ptr<T[]> block(new T[grown]);
            for (std::size_t i = 0; i < size_; i++)
                block[i] = blocks_[0][i];
            if (blocks_.empty())
                blocks_.push_back(std::move(block));
            else
                blocks_[0] = std::move(block);
            first_ = grown;
        } else if (size_ == blocks_.size() * kPerBlock) {
            blocks_.emplace_back(new T[kPerBlock]);
        }
        (*this)[size_++] = v;
    }
    void clear() {
        blocks_.clear();
        size_ = 0;
        first_ = 0;
    }
    void swap(Blocks& other) noexcept {
        blocks_.swap(other.blocks_);
        std::swap(size_, other.size_);
        std::swap(first_, other.first_);
    }

    class const_iterator {
    public:
        const_iterator(const Blocks* b, std::size_t i) : b_(b), i_(i) {}
        const T& operator*() const { return (*b_)[i_]; }
        const T* operator->() const { return &(*b_)[i_]; }
        const_iterator& operator++() {
            ++i_;
            return *this;
        }
        bool operator==(const const_iterator& o) const { return i_ == o.i_; }
        bool operator!=(const const_iterator& o) const { return i_ != o.i_; }

    private:
        const Blocks* b_;
        std::size_t i_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size_}; }

private:
    static constexpr std::size_t kFirst = kPerBlock < 4 ? kPerBlock : 4;
    std::vector<std::unique_ptr<T[]>> blocks_;
    std::size_t size_ = 0;
    std::size_t first_ = 0; // elements the first block holds
};

// The numbers of a document's entities: each entity's numbers lie together
// and never move.
class ValueStore {
public:
    double* Allocate(std::size_t n) {
        if (n > room_) {
            std::size_t size = n > kBlock ? n : kBlock;
            blocks_.emplace_back(new double[size]);
            next_ = blocks_.back().get();
            room_ = size;
        }
        double* p = next_;
        next_ += n;
        room_ -= n;
        count_ += n;
        return p;
    }
    std::size_t size() const { return count_; } // numbers stored

private:
    static constexpr std::size_t kBlock = std::size_t(1) << 16;
    std::vector<std::unique_ptr<double[]>> blocks_;
    double* next_ = nullptr;
    std::size_t room_ = 0;
    std::size_t count_ = 0;
};

// Every host operation, plus the connection point's Advise and Unadvise.
enum class Op : int {
    HostActiveDocument,
    HostNewPart,
    HostNewAssembly,
    HostNewDrawing,
    HostAddMenu,
    HostAddMenuItem,
    HostRemoveMenu,
    HostFrame,
    HostRevisionText,
    HostBuildCode,
    HostCloseDocument,
    DocumentKind,
    DocSetLengthUnit,
    DocCreationSwitchA,
    DocCreationSwitchB,
    DocToggle3DSketch,
    DocCreatePoint,
    DocCreateLine,
    DocCreateCircle,
    DocCreateArc,
    DocCreateSplineThroughPoints,
    DocCreateSplineFromNurbs,
    DocCloseOutA,
    DocCloseOutB,
    DocCloseOutC,
    PartCreateBody,
    BodyAddPlanarFace,
    BodyCreateFromFaces,
    FrameAddMenu,
    FrameAddMenuItem,
    Advise,
    Unadvise,
};
inline constexpr int kOpCount = static_cast<int>(Op::Unadvise) + 1;

const char* OpName(Op op);
// Finds an operation by its name; false when there is none.
bool OpFromName(const std::string& name, Op* op);

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

enum class EntityKind : std::uint8_t {
    Point,
    Line,
    Circle,
    Arc,
    SplineThroughPoints,
    SplineFromNurbs,
};
inline constexpr int kEntityKindCount = 6;

// "point", "line", "circle", "arc", "splineThroughPoints", "splineFromNurbs"
const char* EntityKindName(EntityKind kind);

// One sketch entity. Its numbers, exactly as the caller passed them (metres):
//   Point                x y z
//   Line                 start xyz, end xyz
//   Circle               centre xyz, radius
//   Arc                  centre xyz, start xyz, end xyz (direction +1/-1 below)
//   SplineThroughPoints  count × xyz
//   SplineFromNurbs      order + count knots, then count × xyz control points
struct Entity {
    const double* values = nullptr;
    std::int32_t sketch = -1; // index in DocumentModel::sketches, -1 outside any sketch
    std::int32_t order = 0;   // NURBS splines
    std::int32_t count = 0;   // spline points or control points
    EntityKind kind = EntityKind::Point;
    std::int8_t direction = 0; // arcs
    std::uint8_t periodic = 0; // NURBS splines
};

// A 3D sketch: entities [first, first + count) of the document were made in it.
struct Sketch {
    bool open = true;
    std::size_t first = 0;
    std::size_t count = 0;
};

// A planar face as BodyAddPlanarFace received it; a triangle leaves the
// fourth corner zero.
struct Face {
    int count = 0;
    double corners[12] = {};
    double normal[3] = {};

    Vec3 Corner(int i) const { return {corners[3 * i], corners[3 * i + 1], corners[3 * i + 2]}; }
};

struct Body {
    bool solid = false; // false: a sheet body
    Blocks<Face> faces;
};

struct DocumentModel {
    int id = -1;            // index in the host, in order of creation
    std::wstring name;      // "Part1", "Assem1", "Draw1", "Doc1" (unknown kind)
    long kind = 0;          // 1 part, 2 assembly, 3 drawing, anything else as the test made it
    long lengthUnit = 0;    // 0 mm, 1 cm, 2 m, 3 in, 4 ft
    long switchA = -1;      // last value given to DocCreationSwitchA, -1 never set
    long switchB = -1;      // the same for DocCreationSwitchB
    long closeOuts[3] = {}; // calls of DocCloseOutA, B, C
    std::vector<Sketch> sketches;
    Blocks<Entity> entities; // in order of creation, sketches and outside
    ValueStore values;
    std::vector<Body> bodies;

    bool SketchOpen() const { return !sketches.empty() && sketches.back().open; }
    // Entities of one kind: all of them, or those of one sketch (-1: outside sketches).
    std::size_t Count(EntityKind kind) const;
    std::size_t Count(EntityKind kind, int sketch) const;
    const double* Values(const Entity& e) const { return e.values; }
    // The i-th point of an entity: a point's position, a line's start (0) and
    // end (1), a circle's centre (0), an arc's centre, start and end, a
    // spline's i-th point or control point.
    Vec3 At(const Entity& e, std::size_t i) const;
    double Radius(const Entity& e) const;                            // circles and arcs
    const double* Knots(const Entity& e) const { return Values(e); } // NURBS splines
};

struct MenuItem {
    std::wstring text;
    std::wstring callback;
    int adds = 1; // how often this item was added (a second add changes nothing else)
};

struct Menu {
    std::wstring text;
    std::vector<MenuItem> items;
    int adds = 1;                                     // how often this menu was added
    bool own = false;                                 // one of the host's own menus
    int FindItem(const std::wstring& itemText) const; // position or -1
};

using MenuBar = std::vector<Menu>;

// One argument of a journalled call, as the caller passed it.
struct JournalValue {
    enum class Type { Null, Int, Double, Text, Ints, Doubles };
    Type type = Type::Null;
    long long integer = 0;
    double number = 0;
    std::wstring text;
    std::vector<long long> ints;
    std::vector<double> doubles;

    std::string ToString() const; // doubles in their shortest exact form
};

struct JournalEntry {
    Op op = Op::HostActiveDocument;
    int object = -1; // document id, body handle index, -1 for the application and frame
    std::vector<JournalValue> args;
    long status = 0; // what the call returned

    const char* Name() const { return OpName(op); }
    // For example: DocCreateLine[doc 0](0.001, 0, 0, 1, 2, 3) = 0
    std::string ToString() const;
};

} // namespace cadhost
