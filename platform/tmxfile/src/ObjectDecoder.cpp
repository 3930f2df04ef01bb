#include "ObjectDecoder.h"

#include "Checksums.h"
#include "FileMap.h"
#include "Finite.h"

#include <zlib.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace tmxfile {

const char* const kReasonCannotConvert = "the import has no counterpart for it";
const char* const kReasonViewAid = "a view aid, not model geometry";
const char* const kReasonNonFinite = "non-finite coordinates";
const char* const kReasonNoNurbsForm = "it has no NURBS form";
const char* const kReasonNoBrepForm = "it cannot be made into a B-rep";
const char* const kReasonFaceWithoutSurface = "a face of it has no surface";
const char* const kReasonEdgeWithoutCurve = "an edge of it has no curve";

namespace {

enum class Type {
    Point,
    PointCloud,
    Line,
    Arrow,
    Arc,
    Polyline,
    PolyCurve,
    NurbsCurve,
    NurbsSurface,
    PlaneSurface,
    RevSurface,
    SumSurface,
    Extrusion,
    Brep,
    LegacyBrep,
    Mesh,
    InstanceRef,
    Skip
};

struct ClassEntry {
    const char* id;
    Type type;
    const char* kind;
    const char* reason; // for Skip
};

const ClassEntry kClasses[] = {
    {"C3101A1D-F157-11D3-BFE7-0010830122F0", Type::Point, "point", nullptr},
    {"2488F347-F8FA-11D3-BFEC-0010830122F0", Type::PointCloud, "point cloud", nullptr},
    {"4ED7D4DB-E947-11D3-BFE5-0010830122F0", Type::Line, "line", nullptr},
    {"CF33BE2A-09B4-11D4-BFFB-0010830122F0", Type::Arc, "arc", nullptr},
    // Rhino 2's annotation arrow is a plain line segment from tail to head.
    {"8BD94E1A-59E1-11D4-8018-0010830122F0", Type::Arrow, "line", nullptr},
    {"4ED7D4E6-E947-11D3-BFE5-0010830122F0", Type::Polyline, "polyline", nullptr},
    {"4ED7D4E0-E947-11D3-BFE5-0010830122F0", Type::PolyCurve, "polycurve", nullptr},
    {"EF638317-154B-11D4-8000-0010830122F0", Type::PolyCurve, "polycurve", nullptr},
    {"4ED7D4DD-E947-11D3-BFE5-0010830122F0", Type::NurbsCurve, "NURBS curve", nullptr},
    {"5EAF1119-0B51-11D4-BFFE-0010830122F0", Type::NurbsCurve, "NURBS curve", nullptr},
    {"76A709D5-1550-11D4-8000-0010830122F0", Type::NurbsCurve, "NURBS curve", nullptr},
    {"4ED7D4DE-E947-11D3-BFE5-0010830122F0", Type::NurbsSurface, "NURBS surface", nullptr},
    {"4760C817-0BE3-11D4-BFFE-0010830122F0", Type::NurbsSurface, "NURBS surface", nullptr},
    {"FA4FD4B5-1613-11D4-8000-0010830122F0", Type::NurbsSurface, "NURBS surface", nullptr},
    {"4ED7D4DF-E947-11D3-BFE5-0010830122F0", Type::PlaneSurface, "plane surface", nullptr},
    {"A16220D3-163B-11D4-8000-0010830122F0", Type::RevSurface, "surface of revolution", nullptr},
    {"0A8401B6-4D34-4B99-8615-1B4E723DC4E5", Type::RevSurface, "surface of revolution", nullptr},
    {"C4CD5359-446D-4690-9FF5-29059732472B", Type::SumSurface, "sum surface", nullptr},
    {"665F6331-2A66-4CCE-81D0-B5EEBD9B5417", Type::SumSurface, "sum surface", nullptr},
    {"36F53175-72B8-4D47-BF1F-B4E6FC24F4B9", Type::Extrusion, "extrusion", nullptr},
    {"60B5DBC5-E660-11D3-BFE4-0010830122F0", Type::Brep, "B-rep", nullptr},
    {"F06FC243-A32A-4608-9DD8-A7D2C4CE2A36", Type::Brep, "B-rep", nullptr},
    {"0705FDEF-3E2A-11D4-800E-0010830122F0", Type::Brep, "B-rep", nullptr},
    {"2D4CFEDB-3E2A-11D4-800E-0010830122F0", Type::Brep, "B-rep", nullptr},
    {"4ED7D4E4-E947-11D3-BFE5-0010830122F0", Type::Mesh, "mesh", nullptr},
    {"F9CFB638-B9D4-4340-87E3-C56E7865D96A", Type::InstanceRef, "instance reference", nullptr},
    // Left out: kinds the import cannot convert, and view aids.
    {"DBC5A584-CE3F-4170-98A8-497069CA5C36", Type::Skip, "clipping plane", kReasonViewAid},
    {"C8C66EFA-B3CB-4E00-9440-2AD66203379E", Type::Skip, "detail view", kReasonViewAid},
    {"F09BA4D9-455B-42C3-BA3B-E6CCACEF853B", Type::Skip, "SubD", kReasonCannotConvert},
    {"74198302-CDF4-4F95-9609-6D684F22AB37", Type::Skip, "text dot", kReasonCannotConvert},
    {"8BD94E19-59E1-11D4-8018-0010830122F0", Type::Skip, "text dot", kReasonCannotConvert},
    {"0559733B-5332-49D1-A936-0532AC76ADE5", Type::Skip, "hatch", kReasonCannotConvert},
    {"85A08513-F383-11D3-BFE7-0010830122F0", Type::Skip, "light", kReasonCannotConvert},
    {"4ED7D4E5-E947-11D3-BFE5-0010830122F0", Type::Skip, "point grid", kReasonCannotConvert},
    {"4ED7D4D8-E947-11D3-BFE5-0010830122F0", Type::Skip, "curve on surface", kReasonCannotConvert},
    {"57376349-62A9-4A16-B411-A46BCD544790", Type::Skip, "annotation", kReasonCannotConvert},
    {"945BF594-6FF9-4F5C-BFC0-B3AF528F29D2", Type::Skip, "annotation", kReasonCannotConvert},
    {"E550882B-F44D-4154-A1EF-6E50CBBBF543", Type::Skip, "annotation", kReasonCannotConvert},
    {"D417786B-F6CD-4F12-9E1F-063F414DBEB6", Type::Skip, "annotation", kReasonCannotConvert},
    {"FC749C2F-4C00-41FD-9840-26D94F047AD3", Type::Skip, "annotation", kReasonCannotConvert},
    {"03124828-4C9B-4D28-9A82-664DDDE7A14F", Type::Skip, "annotation", kReasonCannotConvert},
    {"D46767BA-7E8F-4D9D-9A92-66050219A5B9", Type::Skip, "annotation", kReasonCannotConvert},
    {"46F75541-F46B-48BE-AA7E-B353BBE068A7", Type::Skip, "annotation", kReasonCannotConvert},
    {"14922B7A-5B65-4F11-8345-D415A9637129", Type::Skip, "annotation", kReasonCannotConvert},
    {"BD57F33B-A1B2-46E9-9C6E-AF09D30FFDDE", Type::Skip, "annotation", kReasonCannotConvert},
    {"841BC40B-A971-4A8E-94E5-BBA26D67348E", Type::Skip, "annotation", kReasonCannotConvert},
    {"B2B683FC-7964-4E96-B1F9-9B356A76B08B", Type::Skip, "annotation", kReasonCannotConvert},
    {"C8288D69-5BD8-4F50-9BAF-525A0086B0C3", Type::Skip, "annotation", kReasonCannotConvert},
};

struct ClassTable {
    struct Item {
        Uuid id;
        const ClassEntry* entry;
    };
    std::vector<Item> items;
    ClassTable() {
        for (const auto& e : kClasses)
            items.push_back(Item{Uuid::FromText(e.id), &e});
    }
    const ClassEntry* Find(const Uuid& id) const {
        for (const auto& it : items)
            if (it.id == id) return it.entry;
        return nullptr;
    }
};

const ClassTable& Classes() {
    static const ClassTable table;
    return table;
}

bool IsCurveType(Type t) {
    return t == Type::Line || t == Type::Arrow || t == Type::Arc || t == Type::Polyline ||
           t == Type::PolyCurve || t == Type::NurbsCurve;
}

bool IsSurfaceType(Type t) {
    return t == Type::NurbsSurface || t == Type::PlaneSurface || t == Type::RevSurface ||
           t == Type::SumSurface;
}

// Room for n elements that the caller fills at once: the array's own
// SetCount would first zero them, a cost that shows on million-element meshes.
template <class T> T* Fill(ON_SimpleArray<T>& a, int n) {
    a.Empty();
    if (n > a.Capacity()) {
        a.SetCapacity(n);
        // Big arrays are written once, front to back.
        AdviseFillOnce(a.Array(), sizeof(T) * static_cast<size_t>(n));
    }
    a.m_count = n;
    return a.Array();
}

// A new object of class T held by owner (of a base class); returns it to be filled.
template <class T, class Base> T* Make(std::unique_ptr<Base>& owner) {
    T* p = new T;
    owner.reset(p);
    return p;
}

constexpr int kMaxNesting = 32; // polycurves in polycurves, curves in surfaces, ...

} // namespace

// What the decoder knows of a class: an entry of the class table.
struct ObjectDecoder::ClassInfo {
    const ClassEntry* entry;
};

namespace {
const ObjectDecoder::ClassInfo* InfoFor(const ClassEntry* e) {
    static const std::vector<ObjectDecoder::ClassInfo> infos = [] {
        std::vector<ObjectDecoder::ClassInfo> v;
        for (const auto& entry : kClasses)
            v.push_back(ObjectDecoder::ClassInfo{&entry});
        return v;
    }();
    return &infos[static_cast<size_t>(e - kClasses)];
}
} // namespace

bool ObjectDecoder::ReadPoint3(ON_3dPoint& p) {
    double v[3];
    if (!r_.F64s(v, 3)) return false;
    p = ON_3dPoint(v[0], v[1], v[2]);
    return true;
}

bool ObjectDecoder::ReadInterval(ON_Interval& i) {
    double v[2];
    if (!r_.F64s(v, 2)) return false;
    i.Set(v[0], v[1]);
    return true;
}

bool ObjectDecoder::ReadPlane(ON_Plane& p) {
    double v[16];
    if (!r_.F64s(v, 16)) return false;
    p.origin = ON_3dPoint(v[0], v[1], v[2]);
    p.xaxis = ON_3dVector(v[3], v[4], v[5]);
    p.yaxis = ON_3dVector(v[6], v[7], v[8]);
    p.zaxis = ON_3dVector(v[9], v[10], v[11]);
    p.plane_equation = ON_PlaneEquation(v[12], v[13], v[14], v[15]);
    return true;
}

bool ObjectDecoder::ReadBox() {
    return r_.Skip(48);
}

bool ObjectDecoder::ReadXform(ON_Xform& x) {
    double v[16];
    if (!r_.F64s(v, 16)) return false;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            x.m_xform[i][j] = v[i * 4 + j];
    return true;
}

// Opens a class chunk: reads its id and looks the class up. A nil id is a null object.
bool ObjectDecoder::ReadClassHeader(Chunk& cls, const ClassInfo*& info, bool& isNull) {
    info = nullptr;
    isNull = false;
    if (!r_.Begin(cls, tcode::Class, "object")) return false;
    Chunk u;
    Uuid id;
    if (!r_.Begin(u, tcode::ClassUuid, "class id") || !r_.ReadUuid(id) || !r_.End()) return false;
    if (id.IsNil()) {
        isNull = true;
        return true;
    }
    const ClassEntry* e = Classes().Find(id);
    if (!e) {
        unknown_ = id.ToText();
        return true;
    }
    info = InfoFor(e);
    return true;
}

// After the class data: skips user data up to the class end mark and leaves
// the class chunk. A mesh may find its double-precision vertices there.
bool ObjectDecoder::FinishClass(ON_Mesh* mesh) {
    while (r_.Remaining() > 0) {
        Chunk c;
        if (!r_.Begin(c)) return false;
        if (c.typecode == tcode::ClassEnd) break;
        if (c.isShort) continue;
        if (mesh && c.typecode == tcode::ClassUserData && !ReadMeshDoubleUserData(*mesh))
            return false;
        r_.Abandon();
    }
    return r_.End();
}

// ---------------------------------------------------------------------------
// Curves

bool ObjectDecoder::ReadLineCurve(ON_LineCurve& c) {
    int major = 0, minor = 0;
    int32_t dim = 3;
    if (!r_.Version(major, minor)) return false;
    if (major != 1) return r_.Fail("a line has the unknown version " + std::to_string(major));
    if (!ReadPoint3(c.m_line.from) || !ReadPoint3(c.m_line.to) || !ReadInterval(c.m_t) ||
        !r_.I32(dim))
        return false;
    c.m_dim = dim == 2 ? 2 : 3;
    return true;
}

bool ObjectDecoder::ReadArrow(ON_LineCurve& c) {
    int major = 0, minor = 0;
    if (!r_.Version(major, minor)) return false;
    if (major != 1) return r_.Fail("an arrow has the unknown version " + std::to_string(major));
    if (!ReadPoint3(c.m_line.from) || !ReadPoint3(c.m_line.to)) return false;
    const double length = c.m_line.from.DistanceTo(c.m_line.to);
    c.m_t.Set(0.0, length > 0 ? length : 1.0);
    return true;
}

bool ObjectDecoder::ReadArcCurve(ON_ArcCurve& c) {
    int major = 0, minor = 0;
    int32_t dim = 3;
    if (!r_.Version(major, minor)) return false;
    if (major != 1) return r_.Fail("an arc has the unknown version " + std::to_string(major));
    ON_Plane plane;
    double radius = 0;
    ON_Interval angle;
    if (!ReadPlane(plane) || !r_.F64(radius) || !r_.Skip(72) || !ReadInterval(angle) ||
        !ReadInterval(c.m_t) || !r_.I32(dim))
        return false;
    // The NURBS form takes its span count from the angle: it must be a real
    // turn, on a radius above 0. Anything else is an arc without a NURBS form.
    const double turn = angle.Length();
    if (!(std::isfinite(radius) && radius > 0 && std::isfinite(turn) && turn > 0 &&
          turn <= 2 * ON_PI * (1 + 1e-9) && c.m_t.IsIncreasing())) {
        const bool finite = std::isfinite(radius) && std::isfinite(angle[0]) &&
                            std::isfinite(angle[1]) && std::isfinite(c.m_t[0]) &&
                            std::isfinite(c.m_t[1]);
        LeaveOut(finite ? kReasonNoNurbsForm : kReasonNonFinite);
        return true;
    }
    c.m_arc.plane = plane;
    c.m_arc.radius = radius;
    c.m_arc.m_angle = angle;
    c.m_dim = dim == 2 ? 2 : 3;
    return true;
}

bool ObjectDecoder::ReadPolylineCurve(ON_PolylineCurve& c) {
    int major = 0, minor = 0;
    int32_t n = 0, nt = 0, dim = 3;
    if (!r_.Version(major, minor)) return false;
    if (major != 1) return r_.Fail("a polyline has the unknown version " + std::to_string(major));
    if (!r_.ArrayCount(n, 24, "polyline point")) return false;
    c.m_pline.SetCapacity(n);
    for (int32_t i = 0; i < n; ++i) {
        ON_3dPoint p;
        if (!ReadPoint3(p)) return false;
        c.m_pline.Append(p);
    }
    if (!r_.ArrayCount(nt, 8, "polyline parameter")) return false;
    c.m_t.SetCapacity(nt);
    for (int32_t i = 0; i < nt; ++i) {
        double t = 0;
        if (!r_.F64(t)) return false;
        c.m_t.Append(t);
    }
    if (!r_.I32(dim)) return false;
    if (nt != n)
        return r_.Fail("a polyline has " + std::to_string(n) + " points but " + std::to_string(nt) +
                       " parameters");
    c.m_dim = dim == 2 ? 2 : 3;
    return true;
}

bool ObjectDecoder::ReadNurbsCurve(ON_NurbsCurve& c) {
    int major = 0, minor = 0;
    int32_t dim = 0, rat = 0, order = 0, cvCount = 0, reserved = 0, knotCount = 0, cvCount2 = 0;
    if (!r_.Version(major, minor)) return false;
    if (major != 1)
        return r_.Fail("a NURBS curve has the unknown version " + std::to_string(major));
    if (!r_.I32(dim) || !r_.I32(rat) || !r_.I32(order) || !r_.I32(cvCount) || !r_.I32(reserved) ||
        !r_.I32(reserved) || !ReadBox() || !r_.I32(knotCount))
        return false;
    if (dim < 1 || dim > 3 || (rat != 0 && rat != 1) || order < 2 || cvCount < order)
        return r_.Fail("a NURBS curve has an impossible form (dimension " + std::to_string(dim) +
                       ", order " + std::to_string(order) + ", " + std::to_string(cvCount) +
                       " control points)");
    const int cvSize = dim + rat;
    // Both counts are bounded by the bytes that remain before anything is allocated.
    if (!r_.Fits(static_cast<uint64_t>(cvCount), static_cast<size_t>(cvSize) * 8, "control point"))
        return false;
    const int64_t expectKnots = static_cast<int64_t>(order) + cvCount - 2;
    if (knotCount != expectKnots)
        return r_.Fail("a NURBS curve of order " + std::to_string(order) + " with " +
                       std::to_string(cvCount) + " control points has " +
                       std::to_string(knotCount) + " knots instead of " +
                       std::to_string(expectKnots));
    if (!r_.Fits(static_cast<uint64_t>(knotCount), 8, "knot")) return false;
    if (!c.Create(dim, rat != 0, order, cvCount)) return r_.Fail("a NURBS curve could not be made");
    if (!r_.F64s(c.m_knot, static_cast<size_t>(knotCount)) || !r_.I32(cvCount2)) return false;
    if (cvCount2 != cvCount)
        return r_.Fail("a NURBS curve announces " + std::to_string(cvCount) +
                       " control points but stores " + std::to_string(cvCount2));
    if (c.m_cv_stride == cvSize) {
        if (!r_.F64s(c.m_cv, static_cast<size_t>(cvCount) * cvSize)) return false;
    } else {
        for (int i = 0; i < cvCount; ++i)
            if (!r_.F64s(c.CV(i), static_cast<size_t>(cvSize))) return false;
    }
    for (int i = 1; i < knotCount; ++i)
        if (!(c.m_knot[i] >= c.m_knot[i - 1]))
            return r_.Fail("a NURBS curve's knots decrease at knot " + std::to_string(i));
    return true;
}

bool ObjectDecoder::ReadPolyCurveData(ON_PolyCurve& c, int depth) {
    int major = 0, minor = 0;
    int32_t n = 0, reserved = 0, nt = 0;
    if (!r_.Version(major, minor)) return false;
    if (major != 1) return r_.Fail("a polycurve has the unknown version " + std::to_string(major));
    if (!r_.I32(n) || !r_.I32(reserved) || !r_.I32(reserved) || !ReadBox()) return false;
    if (n < 0) n = 0;
    // Each segment takes a parameter and at least one class chunk header.
    if (!r_.Fits(static_cast<uint64_t>(n), 8 + 20, "polycurve segment")) return false;
    if (!r_.ArrayCount(nt, 8, "polycurve parameter")) return false;
    if (nt != (n > 0 ? n + 1 : 0) && !(n == 0 && nt <= 1))
        return r_.Fail("a polycurve of " + std::to_string(n) + " segments has " +
                       std::to_string(nt) + " parameters");
    c.m_t.SetCapacity(nt);
    for (int32_t i = 0; i < nt; ++i) {
        double t = 0;
        if (!r_.F64(t)) return false;
        c.m_t.Append(t);
    }
    for (int32_t i = 0; i < n; ++i) {
        std::unique_ptr<ON_Curve> seg;
        if (!ReadCurveFromClass(seg, depth + 1)) return false;
        if (!seg) {
            if (!Unusable())
                return r_.Fail("polycurve segment " + std::to_string(i + 1) + " is empty");
            return true;
        }
        c.m_segment.Append(seg.release());
    }
    return true;
}

// Opens a class chunk that must hold a curve (or a surface, when surface):
// type receives its type, or -1 when there is nothing to read, the chunk left
// already: a null object, or a class this reader cannot use (unsupported_
// then names it).
bool ObjectDecoder::OpenClassOf(bool surface, int depth, int& type) {
    type = -1;
    const std::string what = surface ? "surface" : "curve";
    if (depth > kMaxNesting)
        return r_.Fail(what + "s are nested more than " + std::to_string(kMaxNesting) + " deep");
    Chunk cls;
    const ClassInfo* info = nullptr;
    bool isNull = false;
    if (!ReadClassHeader(cls, info, isNull)) return false;
    if (isNull) return r_.Abandon();
    const Type t = info ? info->entry->type : Type::Skip;
    if (!(surface ? IsSurfaceType(t) : IsCurveType(t))) {
        if (info) unknown_ = info->entry->kind;
        unsupported_ = "a " + what + " of a kind this reader cannot convert (" + unknown_ + ")";
        return r_.Abandon();
    }
    type = static_cast<int>(t);
    return true;
}

// Reads a class chunk that must hold a curve; curve is null when the class is
// one this reader cannot use (unsupported_ then names it).
bool ObjectDecoder::ReadCurveFromClass(std::unique_ptr<ON_Curve>& curve, int depth) {
    curve.reset();
    int type = -1;
    if (!OpenClassOf(false, depth, type)) return false;
    return type < 0 || ReadCurveBody(type, curve, depth);
}

// The class data of a curve and the rest of its class chunk.
bool ObjectDecoder::ReadCurveBody(int type, std::unique_ptr<ON_Curve>& c, int depth) {
    Chunk data;
    if (!r_.Begin(data, tcode::ClassData, "class data")) return false;
    if (!ReadCurveData(type, c, depth) || !r_.End() || !FinishClass()) return false;
    if (Unusable()) c.reset();
    return true;
}

// A curve's class data, into a new curve of its class.
bool ObjectDecoder::ReadCurveData(int type, std::unique_ptr<ON_Curve>& c, int depth) {
    switch (static_cast<Type>(type)) {
    case Type::Line:
        return ReadLineCurve(*Make<ON_LineCurve>(c));
    case Type::Arrow:
        return ReadArrow(*Make<ON_LineCurve>(c));
    case Type::Arc:
        return ReadArcCurve(*Make<ON_ArcCurve>(c));
    case Type::Polyline:
        return ReadPolylineCurve(*Make<ON_PolylineCurve>(c));
    case Type::NurbsCurve:
        return ReadNurbsCurve(*Make<ON_NurbsCurve>(c));
    case Type::PolyCurve:
        return ReadPolyCurveData(*Make<ON_PolyCurve>(c), depth);
    default:
        return r_.Fail("internal: not a curve class");
    }
}

// A curve becomes its exact NURBS form; a polycurve one NURBS curve per segment.
bool ObjectDecoder::EmitCurve(const ON_Curve& c, Sink& out, int depth) {
    if (depth > kMaxNesting)
        return r_.Fail("polycurves are nested more than " + std::to_string(kMaxNesting) + " deep");
    if (const ON_PolyCurve* pc = ON_PolyCurve::Cast(&c)) {
        for (int i = 0; i < pc->Count(); ++i)
            if (const ON_Curve* seg = pc->SegmentCurve(i))
                if (!EmitCurve(*seg, out, depth + 1)) return false;
        return true;
    }
    ON_NurbsCurve& n = out.curves.AppendNew();
    if (const ON_NurbsCurve* nc = ON_NurbsCurve::Cast(&c)) {
        n = *nc;
        return true;
    }
    if (!c.GetNurbForm(n)) {
        out.curves.Remove();
        LeaveOut(kReasonNoNurbsForm);
    }
    return true;
}

// ---------------------------------------------------------------------------
// Surfaces

bool ObjectDecoder::ReadNurbsSurface(ON_NurbsSurface& s) {
    int major = 0, minor = 0;
    int32_t dim = 0, rat = 0, order[2] = {0, 0}, count[2] = {0, 0}, reserved = 0, total = 0;
    if (!r_.Version(major, minor)) return false;
    if (major != 1)
        return r_.Fail("a NURBS surface has the unknown version " + std::to_string(major));
    if (!r_.I32(dim) || !r_.I32(rat) || !r_.I32(order[0]) || !r_.I32(order[1]) ||
        !r_.I32(count[0]) || !r_.I32(count[1]) || !r_.I32(reserved) || !r_.I32(reserved) ||
        !ReadBox())
        return false;
    if (dim < 1 || dim > 3 || (rat != 0 && rat != 1) || order[0] < 2 || order[1] < 2 ||
        count[0] < order[0] || count[1] < order[1])
        return r_.Fail("a NURBS surface has an impossible form (dimension " + std::to_string(dim) +
                       ", orders " + std::to_string(order[0]) + " and " + std::to_string(order[1]) +
                       ", " + std::to_string(count[0]) + " by " + std::to_string(count[1]) +
                       " control points)");
    const int cvSize = dim + rat;
    const uint64_t cvTotal = static_cast<uint64_t>(count[0]) * static_cast<uint64_t>(count[1]);
    if (!r_.Fits(cvTotal, static_cast<size_t>(cvSize) * 8, "control point")) return false;
    if (!s.Create(dim, rat != 0, order[0], order[1], count[0], count[1]))
        return r_.Fail("a NURBS surface could not be made");
    for (int dir = 0; dir < 2; ++dir) {
        int32_t knotCount = 0;
        if (!r_.I32(knotCount)) return false;
        const int expect = order[dir] + count[dir] - 2;
        if (knotCount != expect)
            return r_.Fail("a NURBS surface has " + std::to_string(knotCount) +
                           " knots in direction " + std::to_string(dir) + " instead of " +
                           std::to_string(expect));
        if (!r_.F64s(s.m_knot[dir], static_cast<size_t>(knotCount))) return false;
        for (int i = 1; i < knotCount; ++i)
            if (!(s.m_knot[dir][i] >= s.m_knot[dir][i - 1]))
                return r_.Fail("a NURBS surface's knots decrease at knot " + std::to_string(i));
    }
    if (!r_.I32(total)) return false;
    if (static_cast<uint64_t>(total) != cvTotal)
        return r_.Fail("a NURBS surface announces " + std::to_string(cvTotal) +
                       " control points but stores " + std::to_string(total));
    for (int i = 0; i < count[0]; ++i)
        for (int j = 0; j < count[1]; ++j)
            if (!r_.F64s(s.CV(i, j), static_cast<size_t>(cvSize))) return false;
    return true;
}

bool ObjectDecoder::ReadPlaneSurface(ON_PlaneSurface& s) {
    int major = 0, minor = 0;
    if (!r_.Version(major, minor)) return false;
    if (major != 1)
        return r_.Fail("a plane surface has the unknown version " + std::to_string(major));
    if (!ReadPlane(s.m_plane) || !ReadInterval(s.m_domain[0]) || !ReadInterval(s.m_domain[1]))
        return false;
    s.m_extents[0] = s.m_domain[0];
    s.m_extents[1] = s.m_domain[1];
    if (minor >= 1 && (!ReadInterval(s.m_extents[0]) || !ReadInterval(s.m_extents[1])))
        return false;
    return true;
}

bool ObjectDecoder::ReadRevSurface(ON_RevSurface& s, int depth) {
    int major = 0, minor = 0;
    if (!r_.Version(major, minor)) return false;
    if (major != 1 && major != 2)
        return r_.Fail("a surface of revolution has the unknown version " + std::to_string(major));
    int32_t transposed = 0;
    uint8_t hasCurve = 0;
    if (!ReadPoint3(s.m_axis.from) || !ReadPoint3(s.m_axis.to) || !ReadInterval(s.m_angle))
        return false;
    s.m_t = s.m_angle;
    if (major == 1 && s.m_t[0] > s.m_t[1]) s.m_t.Swap();
    if (major >= 2 && !ReadInterval(s.m_t)) return false;
    if (!ReadBox() || !r_.I32(transposed) || !r_.U8(hasCurve)) return false;
    const double turn = std::fabs(s.m_angle.Length());
    if (!(std::isfinite(turn) && turn > 0 && turn <= 2 * ON_PI * (1 + 1e-9) &&
          s.m_t.IsIncreasing()))
        LeaveOut(std::isfinite(turn) ? kReasonNoNurbsForm : kReasonNonFinite);
    s.m_bTransposed = transposed != 0;
    if (!hasCurve) return r_.Fail("a surface of revolution has no profile curve");
    std::unique_ptr<ON_Curve> profile;
    if (!ReadCurveFromClass(profile, depth + 1)) return false;
    if (!profile) {
        if (!Unusable())
            return r_.Fail("a surface of revolution has an empty profile curve");
        return true;
    }
    s.m_curve = profile.release();
    return true;
}

bool ObjectDecoder::ReadSumSurface(ON_SumSurface& s, int depth) {
    int major = 0, minor = 0;
    if (!r_.Version(major, minor)) return false;
    if (major != 1)
        return r_.Fail("a sum surface has the unknown version " + std::to_string(major));
    ON_3dPoint base;
    if (!ReadPoint3(base) || !ReadBox()) return false;
    s.m_basepoint = ON_3dVector(base.x, base.y, base.z);
    for (int i = 0; i < 2; ++i) {
        std::unique_ptr<ON_Curve> c;
        if (!ReadCurveFromClass(c, depth + 1)) return false;
        if (!c) {
            if (!Unusable()) return r_.Fail("a sum surface lacks one of its curves");
            return true;
        }
        s.m_curve[i] = c.release();
    }
    return true;
}

bool ObjectDecoder::ReadSurfaceFromClass(std::unique_ptr<ON_Surface>& surface, int depth) {
    surface.reset();
    int type = -1;
    if (!OpenClassOf(true, depth, type)) return false;
    return type < 0 || ReadSurfaceBody(type, surface, depth);
}

bool ObjectDecoder::ReadSurfaceBody(int type, std::unique_ptr<ON_Surface>& s, int depth) {
    Chunk data;
    if (!r_.Begin(data, tcode::ClassData, "class data")) return false;
    if (!ReadSurfaceData(type, s, depth) || !r_.End() || !FinishClass()) return false;
    if (Unusable()) s.reset();
    return true;
}

// A surface's class data, into a new surface of its class.
bool ObjectDecoder::ReadSurfaceData(int type, std::unique_ptr<ON_Surface>& s, int depth) {
    switch (static_cast<Type>(type)) {
    case Type::NurbsSurface:
        return ReadNurbsSurface(*Make<ON_NurbsSurface>(s));
    case Type::PlaneSurface:
        return ReadPlaneSurface(*Make<ON_PlaneSurface>(s));
    case Type::RevSurface:
        return ReadRevSurface(*Make<ON_RevSurface>(s), depth);
    case Type::SumSurface:
        return ReadSumSurface(*Make<ON_SumSurface>(s), depth);
    default:
        return r_.Fail("internal: not a surface class");
    }
}

// A lone surface becomes a one-face B-rep with its boundary edges.
bool ObjectDecoder::ReadSurfaceObject(int type, Sink& out) {
    std::unique_ptr<ON_Surface> s;
    if (!ReadSurfaceData(type, s, 0)) return false;
    if (Unusable()) return true;
    if (!IsFinite(*s)) {
        LeaveOut(kReasonNonFinite);
        return true;
    }
    ON_Brep& b = out.breps.AppendNew();
    ON_Surface* raw = s.release();
    if (!b.Create(raw)) {
        delete raw;
        out.breps.Remove();
        LeaveOut(kReasonNoBrepForm);
    }
    return true;
}

// An extrusion: a profile swept along a line; it reaches the import as its B-rep form.
bool ObjectDecoder::ReadExtrusionObject(Sink& out) {
    Chunk body;
    if (!r_.Begin(body, tcode::Anonymous, "extrusion")) return false;
    int32_t major = 0, minor = 0;
    if (!r_.I32(major) || !r_.I32(minor)) return false;
    if (major != 1) return r_.Fail("an extrusion has the unknown version " + std::to_string(major));
    ON_Extrusion e;
    std::unique_ptr<ON_Curve> profile;
    if (!ReadCurveFromClass(profile, 1)) return false;
    if (!profile) {
        if (!Unusable()) return r_.Fail("an extrusion has no profile");
        return r_.Abandon();
    }
    bool miter[2] = {false, false}, transposed = false;
    if (!ReadPoint3(e.m_path.from) || !ReadPoint3(e.m_path.to) || !ReadInterval(e.m_t))
        return false;
    ON_3dPoint up, n0, n1;
    if (!ReadPoint3(up) || !r_.Bool(miter[0]) || !r_.Bool(miter[1]) || !ReadPoint3(n0) ||
        !ReadPoint3(n1) || !ReadInterval(e.m_path_domain) || !r_.Bool(transposed))
        return false;
    e.m_up = ON_3dVector(up.x, up.y, up.z);
    e.m_bHaveN[0] = miter[0];
    e.m_bHaveN[1] = miter[1];
    e.m_N[0] = ON_3dVector(n0.x, n0.y, n0.z);
    e.m_N[1] = ON_3dVector(n1.x, n1.y, n1.z);
    e.m_bTransposed = transposed;
    int32_t profileCount = 1;
    if (minor >= 1 && !r_.I32(profileCount)) return false;
    if (profileCount < 1)
        return r_.Fail("an extrusion has " + std::to_string(profileCount) + " profiles");
    bool cap[2];
    const bool closed = profile->IsClosed();
    cap[0] = cap[1] = closed;
    if (minor >= 2 && (!r_.Bool(cap[0]) || !r_.Bool(cap[1]))) return false;
    // Several profiles are the segments of one polycurve: the count must be theirs.
    const ON_PolyCurve* pieces = ON_PolyCurve::Cast(profile.get());
    const int have = profileCount == 1 ? 1 : pieces ? pieces->SegmentCount() : 1;
    if (have != profileCount)
        return r_.Fail("an extrusion announces " + std::to_string(profileCount) +
                       " profiles but holds " + std::to_string(have));
    e.m_profile_count = profileCount;
    e.m_profile = profile.release();
    e.m_bCap[0] = cap[0];
    e.m_bCap[1] = cap[1];
    // The cached render mesh (minor 3) is not needed.
    r_.Abandon();
    if (!IsFinite(*e.m_profile) || !IsFinite(e.m_path.from) || !IsFinite(e.m_path.to) ||
        !IsFinite(ON_3dPoint(e.m_up.x, e.m_up.y, e.m_up.z)) ||
        !IsFinite(ON_3dPoint(e.m_N[0].x, e.m_N[0].y, e.m_N[0].z)) ||
        !IsFinite(ON_3dPoint(e.m_N[1].x, e.m_N[1].y, e.m_N[1].z)) ||
        !IsFinite(ON_3dPoint(e.m_t[0], e.m_t[1], e.m_path_domain[0] + e.m_path_domain[1]))) {
        LeaveOut(kReasonNonFinite);
        return true;
    }
    ON_Brep& b = out.breps.AppendNew();
    if (!e.BrepForm(&b)) {
        out.breps.Remove();
        LeaveOut(kReasonNoBrepForm);
    }
    return true;
}

// ---------------------------------------------------------------------------
// B-reps

bool ObjectDecoder::ReadBrepCurves(ON_CurveArray& curves, const char* what) {
    Chunk c;
    if (!r_.Begin(c, tcode::Anonymous, what)) return false;
    int major = 0, minor = 0;
    int32_t n = 0;
    if (!r_.Version(major, minor) || !r_.I32(n)) return false;
    if (major != 1)
        return r_.Fail(std::string("the ") + what + " have the unknown version " +
                       std::to_string(major));
    if (n < 0) n = 0;
    if (!r_.Fits(static_cast<uint64_t>(n), 4, what)) return false;
    curves.SetCapacity(n);
    for (int32_t i = 0; i < n; ++i) {
        int32_t flag = 0;
        if (!r_.I32(flag)) return false;
        std::unique_ptr<ON_Curve> curve;
        if (flag == 1) {
            if (!ReadCurveFromClass(curve, 1)) return false;
            if (Unusable()) return r_.Abandon();
        }
        curves.Append(curve.release());
    }
    return r_.End();
}

bool ObjectDecoder::ReadBrepSurfaces(ON_SurfaceArray& surfaces) {
    Chunk c;
    if (!r_.Begin(c, tcode::Anonymous, "B-rep surfaces")) return false;
    int major = 0, minor = 0;
    int32_t n = 0;
    if (!r_.Version(major, minor) || !r_.I32(n)) return false;
    if (major != 1)
        return r_.Fail("the B-rep surfaces have the unknown version " + std::to_string(major));
    if (n < 0) n = 0;
    if (!r_.Fits(static_cast<uint64_t>(n), 4, "B-rep surface")) return false;
    surfaces.SetCapacity(n);
    for (int32_t i = 0; i < n; ++i) {
        int32_t flag = 0;
        if (!r_.I32(flag)) return false;
        std::unique_ptr<ON_Surface> s;
        if (flag == 1) {
            if (!ReadSurfaceFromClass(s, 1)) return false;
            if (Unusable()) return r_.Abandon();
        }
        surfaces.Append(s.release());
    }
    return r_.End();
}

namespace {
bool ReadIntArray(ChunkReader& r, ON_SimpleArray<int>& a, const char* what) {
    int32_t n = 0;
    if (!r.ArrayCount(n, 4, what)) return false;
    Fill(a, n);
    return n == 0 || r.Bytes(a.Array(), static_cast<size_t>(n) * 4);
}

// Opens one element list of a B-rep: version byte and count.
bool BeginElements(ChunkReader& r, Chunk& c, int& minor, int32_t& n, size_t minSize,
                   const char* what) {
    int major = 0;
    if (!r.Begin(c, tcode::Anonymous, what) || !r.Version(major, minor) || !r.I32(n)) return false;
    if (major != 1)
        return r.Fail(std::string("the ") + what + " have the unknown version " +
                      std::to_string(major));
    if (n < 0) n = 0;
    return r.Fits(static_cast<uint64_t>(n), minSize, what);
}
} // namespace

bool ObjectDecoder::ReadBrepElements(ON_Brep& b) {
    const bool newTrims = r_.ArchiveVersion() >= 3 && ov_ >= 200206180u;
    Chunk c;
    int minor = 0;
    int32_t n = 0;

    if (!BeginElements(r_, c, minor, n, 40, "B-rep vertices")) return false;
    b.m_V.SetCapacity(n);
    for (int32_t i = 0; i < n; ++i) {
        ON_BrepVertex& v = b.m_V.AppendNew();
        int32_t index = 0;
        if (!r_.I32(index) || !ReadPoint3(v.point) || !ReadIntArray(r_, v.m_ei, "vertex edge") ||
            !r_.F64(v.m_tolerance))
            return false;
        v.m_vertex_index = i;
    }
    if (!r_.End()) return false;

    if (!BeginElements(r_, c, minor, n, 48, "B-rep edges")) return false;
    b.m_E.SetCapacity(n);
    for (int32_t i = 0; i < n; ++i) {
        ON_BrepEdge& e = b.m_E.AppendNew();
        int32_t index = 0, c3i = 0, rev = 0;
        ON_Interval proxy;
        if (!r_.I32(index) || !r_.I32(c3i) || !r_.I32(rev) || !ReadInterval(proxy) ||
            !r_.I32(e.m_vi[0]) || !r_.I32(e.m_vi[1]) || !ReadIntArray(r_, e.m_ti, "edge trim") ||
            !r_.F64(e.m_tolerance))
            return false;
        ON_Interval domain = proxy;
        if (newTrims && !ReadInterval(domain)) return false;
        e.m_edge_index = i;
        e.m_c3i = c3i;
        e.m_real_curve_domain = proxy;
        e.m_this_domain = domain;
        e.m_bReversed = rev != 0;
    }
    if (!r_.End()) return false;

    if (!BeginElements(r_, c, minor, n, 68, "B-rep trims")) return false;
    b.m_T.SetCapacity(n);
    for (int32_t i = 0; i < n; ++i) {
        ON_BrepTrim& t = b.m_T.AppendNew();
        int32_t index = 0, rev3d = 0, type = 0, iso = 0;
        ON_Interval proxy;
        if (!r_.I32(index) || !r_.I32(t.m_c2i) || !ReadInterval(proxy) || !r_.I32(t.m_ei) ||
            !r_.I32(t.m_vi[0]) || !r_.I32(t.m_vi[1]) || !r_.I32(rev3d) || !r_.I32(type) ||
            !r_.I32(iso) || !r_.I32(t.m_li) || !r_.F64(t.m_tolerance[0]) ||
            !r_.F64(t.m_tolerance[1]))
            return false;
        ON_Interval domain = proxy;
        bool reversed = false;
        if (newTrims) {
            uint8_t flags[8];
            if (!ReadInterval(domain) || !r_.Bytes(flags, 8) || !r_.Skip(24)) return false;
            reversed = flags[0] == 1;
        } else if (!r_.Skip(48)) {
            return false;
        }
        if (!r_.Skip(16)) return false; // legacy tolerances
        t.m_trim_index = i;
        t.m_bRev3d = rev3d != 0;
        t.m_type =
            (type >= 0 && type <= 7) ? static_cast<ON_BrepTrim::TYPE>(type) : ON_BrepTrim::unknown;
        t.m_iso = (iso >= 0 && iso <= 6) ? static_cast<ON_Surface::ISO>(iso) : ON_Surface::not_iso;
        t.m_real_curve_domain = proxy;
        t.m_this_domain = domain;
        t.m_bReversed = reversed;
    }
    if (!r_.End()) return false;

    if (!BeginElements(r_, c, minor, n, 16, "B-rep loops")) return false;
    b.m_L.SetCapacity(n);
    for (int32_t i = 0; i < n; ++i) {
        ON_BrepLoop& l = b.m_L.AppendNew();
        int32_t index = 0, type = 0;
        if (!r_.I32(index) || !ReadIntArray(r_, l.m_ti, "loop trim") || !r_.I32(type) ||
            !r_.I32(l.m_fi))
            return false;
        l.m_loop_index = i;
        l.m_type =
            (type >= 0 && type <= 5) ? static_cast<ON_BrepLoop::TYPE>(type) : ON_BrepLoop::unknown;
    }
    if (!r_.End()) return false;

    if (!BeginElements(r_, c, minor, n, 20, "B-rep faces")) return false;
    b.m_F.SetCapacity(n);
    for (int32_t i = 0; i < n; ++i) {
        ON_BrepFace& f = b.m_F.AppendNew();
        int32_t index = 0, rev = 0, material = 0;
        if (!r_.I32(index) || !ReadIntArray(r_, f.m_li, "face loop") || !r_.I32(f.m_si) ||
            !r_.I32(rev) || !r_.I32(material))
            return false;
        f.m_face_index = i;
        f.m_bRev = rev != 0;
        f.m_face_material_channel = material < 0 ? 0 : material;
    }
    // Face ids and colours follow; they are not needed.
    return r_.End();
}

// Every index a B-rep element holds must name an element that exists: the
// converters follow them without further checks.
bool ObjectDecoder::CheckBrep(const ON_Brep& b) {
    auto bad = [&](const char* elem, int i, const char* field, int value, int count) {
        return r_.Fail(std::string("B-rep ") + elem + " " + std::to_string(i) + " refers to " +
                       field + " " + std::to_string(value) + " of " + std::to_string(count));
    };
    const int nv = b.m_V.Count(), ne = b.m_E.Count(), nt = b.m_T.Count(), nl = b.m_L.Count(),
              nf = b.m_F.Count(), nc2 = b.m_C2.Count(), nc3 = b.m_C3.Count(), ns = b.m_S.Count();
    for (int i = 0; i < nv; ++i)
        for (int k = 0; k < b.m_V[i].m_ei.Count(); ++k)
            if (b.m_V[i].m_ei[k] < 0 || b.m_V[i].m_ei[k] >= ne)
                return bad("vertex", i, "edge", b.m_V[i].m_ei[k], ne);
    for (int i = 0; i < ne; ++i) {
        const ON_BrepEdge& e = b.m_E[i];
        // An edge or face without its curve or surface is a bad B-rep, left
        // out; an index past its array is damage.
        if (e.m_c3i == -1 || (e.m_c3i >= 0 && e.m_c3i < nc3 && !b.m_C3[e.m_c3i]))
            LeaveOut(kReasonEdgeWithoutCurve);
        else if (e.m_c3i < 0 || e.m_c3i >= nc3)
            return bad("edge", i, "3-D curve", e.m_c3i, nc3);
        for (int k = 0; k < 2; ++k)
            if (e.m_vi[k] < -1 || e.m_vi[k] >= nv) return bad("edge", i, "vertex", e.m_vi[k], nv);
        for (int k = 0; k < e.m_ti.Count(); ++k)
            if (e.m_ti[k] < 0 || e.m_ti[k] >= nt) return bad("edge", i, "trim", e.m_ti[k], nt);
    }
    for (int i = 0; i < nt; ++i) {
        const ON_BrepTrim& t = b.m_T[i];
        if (t.m_c2i < -1 || t.m_c2i >= nc2) return bad("trim", i, "2-D curve", t.m_c2i, nc2);
        if (t.m_ei < -1 || t.m_ei >= ne) return bad("trim", i, "edge", t.m_ei, ne);
        for (int k = 0; k < 2; ++k)
            if (t.m_vi[k] < -1 || t.m_vi[k] >= nv) return bad("trim", i, "vertex", t.m_vi[k], nv);
        if (t.m_li < -1 || t.m_li >= nl) return bad("trim", i, "loop", t.m_li, nl);
    }
    for (int i = 0; i < nl; ++i) {
        const ON_BrepLoop& l = b.m_L[i];
        if (l.m_fi < -1 || l.m_fi >= nf) return bad("loop", i, "face", l.m_fi, nf);
        for (int k = 0; k < l.m_ti.Count(); ++k)
            if (l.m_ti[k] < 0 || l.m_ti[k] >= nt) return bad("loop", i, "trim", l.m_ti[k], nt);
    }
    for (int i = 0; i < nf; ++i) {
        const ON_BrepFace& f = b.m_F[i];
        if (f.m_si == -1 || (f.m_si >= 0 && f.m_si < ns && !b.m_S[f.m_si]))
            LeaveOut(kReasonFaceWithoutSurface);
        else if (f.m_si < 0 || f.m_si >= ns)
            return bad("face", i, "surface", f.m_si, ns);
        for (int k = 0; k < f.m_li.Count(); ++k)
            if (f.m_li[k] < 0 || f.m_li[k] >= nl) return bad("face", i, "loop", f.m_li[k], nl);
    }
    return true;
}

bool ObjectDecoder::ReadBrep(ON_Brep& b) {
    int major = 0, minor = 0;
    if (!r_.Version(major, minor)) return false;
    if (major == 2) return ReadLegacyBrep(b, minor);
    if (major != 3) return r_.Fail("a B-rep has the unknown version " + std::to_string(major));
    if (!ReadBrepCurves(b.m_C2, "B-rep 2-D curves")) return false;
    if (Unusable()) return true;
    if (!ReadBrepCurves(b.m_C3, "B-rep 3-D curves")) return false;
    if (Unusable()) return true;
    if (!ReadBrepSurfaces(b.m_S)) return false;
    if (Unusable()) return true;
    if (!ReadBrepElements(b) || !ReadBox()) return false;
    if (minor >= 1) {
        // Render and analysis meshes: a ready tessellation the import does not use.
        Chunk meshes;
        for (int k = 0; k < 2; ++k)
            if (!r_.Begin(meshes, tcode::Anonymous, "B-rep meshes") || !r_.Abandon()) return false;
    }
    if (minor >= 2) {
        int32_t solid = 0;
        if (!r_.I32(solid)) return false;
        b.m_is_solid = (solid >= 0 && solid <= 3) ? solid : 0;
    }
    if (minor >= 3) {
        Chunk region;
        if (!r_.Begin(region, tcode::Anonymous, "B-rep regions") || !r_.Abandon()) return false;
    }
    if (!CheckBrep(b)) return false;
    b.LinkElements();
    return true;
}

bool ObjectDecoder::ReadBrepObject(Sink& out) {
    ON_Brep& b = out.breps.AppendNew();
    if (!ReadBrep(b)) return false;
    if (!Unusable() && !IsFinite(b)) LeaveOut(kReasonNonFinite);
    if (Unusable()) out.breps.Remove();
    return true;
}

// ---------------------------------------------------------------------------
// Meshes

static_assert(sizeof(ON_3fPoint) == 12 && sizeof(ON_3fVector) == 12 && sizeof(ON_2fPoint) == 8 &&
                  sizeof(ON_3dPoint) == 24 && sizeof(ON_Color) == 4 && sizeof(ON_2dPoint) == 16,
              "mesh arrays are filled straight from the file's packed layout");

// zlib can expand a stream about 1032 times; a buffer that claims more than
// that from the bytes it has is damaged, and is refused before any allocation.
static uint64_t MaxInflated(uint64_t compressed) {
    return compressed * 1032u + 64u;
}

// Whether the compressed buffer at the cursor can give size bytes: checked
// before the room for them is allocated.
bool ObjectDecoder::CompressedCanHold(uint64_t size) {
    uint8_t method = 0;
    if (!r_.PeekAt(8, &method, 1)) return false;
    if (method == 0) return size <= r_.Remaining() - 9;
    uint64_t length = 0;
    if (!r_.PeekAt(9 + 4, &length, static_cast<size_t>(r_.LengthSize()))) return false;
    const size_t header = 9 + 4 + static_cast<size_t>(r_.LengthSize());
    return length <= r_.Remaining() - header && size <= MaxInflated(length);
}

bool ObjectDecoder::ReadCompressed(void* dst, size_t expected, bool& present, const char* what) {
    present = false;
    uint32_t size = 0, crc = 0;
    uint8_t method = 0;
    if (!r_.U32(size)) return false;
    if (size == 0) return true;
    if (!r_.U32(crc) || !r_.U8(method)) return false;
    if (size != expected)
        return r_.Fail(std::string("the ") + what + " hold " + std::to_string(size) +
                       " bytes instead of " + std::to_string(expected));
    if (method == 0) {
        if (!r_.Fits(size, 1, what) || !r_.Bytes(dst, size)) return false;
    } else if (method == 1) {
        Chunk c;
        if (!r_.Begin(c, tcode::Anonymous, "compressed data")) return false;
        const size_t zlen = c.dataEnd - c.body;
        if (size > MaxInflated(zlen))
            return r_.Fail(std::string("the ") + what + " claim " + std::to_string(size) +
                           " bytes, more than their " + std::to_string(zlen) +
                           " compressed bytes can hold");
        z_stream zs;
        std::memset(&zs, 0, sizeof zs);
        // A zlib stream: a 2-byte header, deflate data, an Adler-32 trailer. The
        // deflate data is inflated raw; the CRC-32 of the result checks it.
        const uint8_t* z = r_.Data() + c.body;
        if (zlen < 6 || (z[0] & 0x0F) != 8 || (z[0] >> 4) > 7 || (z[1] & 0x20) ||
            ((z[0] << 8) | z[1]) % 31 != 0)
            return r_.Fail(std::string("the compressed ") + what + " do not start a zlib stream",
                           c.body);
        if (inflateInit2(&zs, -15) != Z_OK) return r_.Fail("the decompressor could not start");
        zs.next_in = const_cast<Bytef*>(z + 2);
        zs.avail_in = static_cast<uInt>(zlen - 2);
        zs.next_out = static_cast<Bytef*>(dst);
        zs.avail_out = static_cast<uInt>(size);
        const int rc = inflate(&zs, Z_FINISH);
        const uLong produced = zs.total_out;
        inflateEnd(&zs);
        if (rc != Z_STREAM_END || produced != size)
            return r_.Fail(std::string("the compressed ") + what + " cannot be decompressed (" +
                               (rc == Z_STREAM_END ? "too short"
                                : zs.msg           ? zs.msg
                                                   : "bad data") +
                               ")",
                           c.body);
        if (!r_.Skip(zlen) || !r_.End()) return false;
    } else {
        return r_.Fail(std::string("the ") + what + " use the unknown compression method " +
                       std::to_string(method));
    }
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION // the fuzzer cannot forge checksums: let it past
    if (Crc32(0, static_cast<const uint8_t*>(dst), size) != crc)
        return r_.Fail(std::string("the checksum of the ") + what +
                       " does not match their contents");
#endif
    present = true;
    return true;
}

bool ObjectDecoder::ReadMesh(ON_Mesh& m) {
    int major = 0, minor = 0;
    if (!r_.Version(major, minor)) return false;
    if (major != 1 && major != 3)
        return r_.Fail("a mesh has the unknown version " + std::to_string(major));
    int32_t vcount = 0, fcount = 0, closed = 0, indexSize = 0;
    if (!r_.I32(vcount) || !r_.I32(fcount)) return false;
    if (vcount < 0 || fcount < 0)
        return r_.Fail("a mesh has " + std::to_string(vcount) + " vertices and " +
                       std::to_string(fcount) + " faces");
    if (!r_.Skip(144) || !r_.I32(closed)) return false;
    for (int k = 0; k < 5; ++k) { // mesh parameters, then four curvature statistics
        uint8_t has = 0;
        if (!r_.U8(has)) return false;
        if (has && !r_.SkipChunk()) return false;
    }
    if (!r_.I32(indexSize)) return false;
    if (fcount > 0 && indexSize != 1 && indexSize != 2 && indexSize != 4)
        return r_.Fail("a mesh stores face indices in " + std::to_string(indexSize) + " bytes");
    if (fcount > 0 &&
        !r_.Fits(static_cast<uint64_t>(fcount), 4u * static_cast<size_t>(indexSize), "mesh face"))
        return false;
    Fill(m.m_F, fcount);
    if (fcount > 0) {
        const uint8_t* p = r_.Data() + r_.Pos();
        ON_MeshFace* f = m.m_F.Array();
        const size_t n = static_cast<size_t>(fcount) * 4;
        int* vi = &f[0].vi[0];
        static_assert(sizeof(ON_MeshFace) == 16, "faces are four ints");
        if (indexSize == 4) {
            std::memcpy(vi, p, n * 4);
        } else if (indexSize == 2) {
            for (size_t i = 0; i < n; ++i)
                vi[i] = p[2 * i] | (p[2 * i + 1] << 8);
        } else {
            for (size_t i = 0; i < n; ++i)
                vi[i] = p[i];
        }
        if (!r_.Skip(n * static_cast<size_t>(indexSize))) return false;
        for (size_t i = 0; i < n; ++i)
            if (static_cast<unsigned>(vi[i]) >= static_cast<unsigned>(vcount))
                return r_.Fail("mesh face " + std::to_string(i / 4) + " refers to vertex " +
                               std::to_string(vi[i]) + " of " + std::to_string(vcount));
    }
    if (major == 1) {
        int32_t n = 0;
        if (!r_.ArrayCount(n, 12, "mesh vertex")) return false;
        Fill(m.m_V, n);
        if (n && !r_.Bytes(m.m_V.Array(), static_cast<size_t>(n) * 12)) return false;
        if (!r_.ArrayCount(n, 12, "mesh normal")) return false;
        Fill(m.m_N, n);
        if (n && !r_.Bytes(m.m_N.Array(), static_cast<size_t>(n) * 12)) return false;
        if (!r_.ArrayCount(n, 8, "texture coordinate")) return false;
        Fill(m.m_T, n);
        if (n && !r_.Bytes(m.m_T.Array(), static_cast<size_t>(n) * 8)) return false;
        if (!r_.ArrayCount(n, 16, "mesh curvature") || !r_.Skip(static_cast<size_t>(n) * 16))
            return false;
        if (!r_.ArrayCount(n, 4, "vertex color")) return false;
        Fill(m.m_C, n);
        if (n && !r_.Bytes(m.m_C.Array(), static_cast<size_t>(n) * 4)) return false;
        if (m.m_V.Count() != vcount)
            return r_.Fail("a mesh announces " + std::to_string(vcount) + " vertices but stores " +
                           std::to_string(m.m_V.Count()));
    } else if (vcount > 0) {
        // Vertex arrays are compressed; each is checked against what its
        // compressed bytes can hold before it is allocated.
        const size_t v = static_cast<size_t>(vcount);
        struct Buf {
            size_t elem;
            const char* what;
        } bufs[5] = {{12, "mesh vertices"},
                     {12, "mesh normals"},
                     {8, "texture coordinates"},
                     {16, "mesh curvatures"},
                     {4, "vertex colors"}};
        for (int k = 0; k < 5; ++k) {
            uint32_t size = 0;
            if (!r_.PeekU32(size)) return false;
            // 0 = absent, anything else must be exact.
            if (size != 0 && size != v * bufs[k].elem)
                return r_.Fail(std::string("the ") + bufs[k].what + " hold " +
                               std::to_string(size) + " bytes instead of " +
                               std::to_string(v * bufs[k].elem) + " for " + std::to_string(vcount) +
                               " vertices");
            if (size != 0 && !CompressedCanHold(size))
                return r_.Fail(std::string("the ") + bufs[k].what + " claim " +
                               std::to_string(size) +
                               " bytes, more than their compressed bytes can hold");
            void* dst = nullptr;
            std::string scratch;
            switch (k) {
            case 0:
                if (size) {
                    dst = Fill(m.m_V, vcount);
                }
                break;
            case 1:
                if (size) {
                    dst = Fill(m.m_N, vcount);
                }
                break;
            case 2:
                if (size) {
                    dst = Fill(m.m_T, vcount);
                }
                break;
            case 3:
                if (size) {
                    scratch.resize(size);
                    dst = &scratch[0];
                }
                break;
            case 4:
                if (size) {
                    dst = Fill(m.m_C, vcount);
                }
                break;
            }
            if (size && !dst)
                return r_.Fail(std::string("the ") + bufs[k].what +
                               " claim more bytes than the file can hold");
            bool present = false;
            if (!ReadCompressed(dst, v * bufs[k].elem, present, bufs[k].what)) return false;
        }
        if (m.m_V.Count() != vcount) return r_.Fail("a mesh has no vertex list");
    }
    if (minor >= 2 && !r_.Skip(4)) return false;
    if (major == 3 && minor >= 3) {
        if (!r_.Skip(16)) return false;
        if (vcount > 0) {
            // Surface parameters: kept only when they have the right size.
            uint32_t size = 0;
            if (!r_.PeekU32(size)) return false;
            if (size != 0) {
                if (!CompressedCanHold(size))
                    return r_.Fail("the surface parameters claim more bytes than their "
                                   "compressed bytes can hold");
                std::string scratch(size, '\0');
                bool present = false;
                if (!ReadCompressed(&scratch[0], size, present, "surface parameters")) return false;
                if (size == static_cast<size_t>(vcount) * 16) {
                    Fill(m.m_S, vcount);
                    std::memcpy(m.m_S.Array(), scratch.data(), size);
                }
            } else if (!r_.Skip(4)) {
                return false;
            }
        }
        if (minor >= 4 && ov_ >= 200606010u) {
            if (!r_.SkipChunk()) return false; // mapping tag
            if (minor >= 5 && !r_.Skip(3)) return false;
            if (minor >= 6) {
                bool ngons = false;
                if (!r_.Bool(ngons)) return false;
                if (ngons && !r_.SkipChunk()) return false;
            }
            if (minor >= 7) {
                bool dp = false;
                if (!r_.Bool(dp)) return false;
                if (dp) {
                    Chunk c;
                    int32_t cmajor = 0, cminor = 0;
                    uint32_t n = 0;
                    if (!r_.Begin(c, tcode::Anonymous, "double-precision vertices") ||
                        !r_.I32(cmajor) || !r_.I32(cminor) || !r_.U32(n))
                        return false;
                    if (n > 0) {
                        if (n != static_cast<uint32_t>(vcount))
                            return r_.Fail("a mesh of " + std::to_string(vcount) +
                                           " vertices has " + std::to_string(n) +
                                           " double-precision vertices");
                        if (!CompressedCanHold(static_cast<uint64_t>(n) * 24))
                            return r_.Fail("the double-precision vertices claim more bytes than "
                                           "their compressed bytes can hold");
                        Fill(m.m_dV, vcount);
                        bool present = false;
                        if (!ReadCompressed(m.m_dV.Array(), static_cast<size_t>(n) * 24, present,
                                            "double-precision vertices"))
                            return false;
                        if (!present) m.m_dV.SetCount(0);
                    }
                    if (!r_.End()) return false;
                }
            }
            if (minor >= 8 && !ReadBox()) return false;
        }
    }
    return true;
}

// Double-precision vertices are kept only when each agrees with its float
// copy; otherwise the float vertices were edited after them and win.
static void KeepConsistentDoubles(ON_Mesh& m) {
    const int n = m.m_V.Count();
    if (m.m_dV.Count() != n) {
        m.m_dV.SetCount(0);
        return;
    }
    for (int i = 0; i < n; ++i) {
        const ON_3dPoint& d = m.m_dV[i];
        const ON_3fPoint& f = m.m_V[i];
        double big = std::fabs(d.x);
        if (std::fabs(d.y) > big) big = std::fabs(d.y);
        if (std::fabs(d.z) > big) big = std::fabs(d.z);
        const double tol = 1e-6 * big;
        if (std::fabs(d.x - f.x) > tol || std::fabs(d.y - f.y) > tol ||
            std::fabs(d.z - f.z) > tol) {
            m.m_dV.SetCount(0);
            return;
        }
    }
}

// Archive version 50 files keep a mesh's double-precision vertices as user data.
bool ObjectDecoder::ReadMeshDoubleUserData(ON_Mesh& m) {
    static const Uuid kDoubleVertices = Uuid::FromText("17F24E75-21BE-4A7B-9F3D-7F85225247E3");
    int major = 0, minor = 0;
    if (!r_.Version(major, minor)) return false;
    if (major != 2) return true; // older user data layouts: not the one wanted
    Chunk header;
    Uuid classId;
    if (!r_.Begin(header, 0x0002FFF9u, "user data header") || !r_.ReadUuid(classId)) return false;
    r_.Abandon();
    if (classId != kDoubleVertices) return true;
    Chunk payload, inner;
    int32_t imajor = 0, iminor = 0, nf = 0, nd = 0;
    uint32_t crcs[2];
    if (!r_.Begin(payload, tcode::Anonymous, "user data") ||
        !r_.Begin(inner, tcode::Anonymous, "double-precision vertices") || !r_.I32(imajor) ||
        !r_.I32(iminor) || !r_.I32(nf) || !r_.I32(nd) || !r_.U32(crcs[0]) || !r_.U32(crcs[1]))
        return false;
    int32_t n = 0;
    if (!r_.ArrayCount(n, 24, "double-precision vertex")) return false;
    if (nf == m.m_V.Count() && nd == nf && n == nf) {
        Fill(m.m_dV, n);
        if (n && !r_.Bytes(m.m_dV.Array(), static_cast<size_t>(n) * 24)) return false;
    }
    r_.Abandon();
    r_.Abandon();
    return true;
}

bool ObjectDecoder::ReadMeshObject(Sink& out) {
    ON_Mesh& m = out.meshes.AppendNew();
    mesh_ = &m;
    return ReadMesh(m);
}

// ---------------------------------------------------------------------------
// Points, point clouds, instance references

bool ObjectDecoder::ReadPoint(ON_3dPoint& p) {
    int major = 0, minor = 0;
    if (!r_.Version(major, minor)) return false;
    if (major != 1) return r_.Fail("a point has the unknown version " + std::to_string(major));
    return ReadPoint3(p);
}

bool ObjectDecoder::ReadPointCloud(ON_3dPointArray& pts) {
    int major = 0, minor = 0;
    int32_t n = 0;
    if (!r_.Version(major, minor)) return false;
    if (major != 1)
        return r_.Fail("a point cloud has the unknown version " + std::to_string(major));
    if (!r_.ArrayCount(n, 24, "point cloud point")) return false;
    const int start = pts.Count();
    pts.Reserve(static_cast<size_t>(start) + static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        ON_3dPoint p;
        if (!ReadPoint3(p)) return false;
        pts.Append(p);
    }
    return true; // plane, box, flags, normals and colors are not needed
}

bool ObjectDecoder::ReadInstanceRef(ObjectResult& result) {
    int major = 0, minor = 0;
    if (!r_.Version(major, minor)) return false;
    if (major != 1)
        return r_.Fail("a block instance has the unknown version " + std::to_string(major));
    return r_.ReadUuid(result.definition) && ReadXform(result.xform) && ReadBox();
}

// ---------------------------------------------------------------------------

namespace {
template <class A> void TruncateTo(A& a, int n) {
    while (a.Count() > n)
        a.Remove();
}
} // namespace

bool ObjectDecoder::ReadObject(Sink& out, ObjectResult& result) {
    const int points = out.points.Count(), curves = out.curves.Count(),
              breps = out.breps.Count(), meshes = out.meshes.Count();
    if (!ReadObjectInto(out, result)) return false;
    if (result.outcome == ObjectResult::Outcome::Converted && !Unusable()) {
        // What the object added must be all finite.
        bool finite = true;
        for (int i = points; i < out.points.Count() && finite; ++i)
            finite = IsFinite(out.points[i]);
        for (int i = curves; i < out.curves.Count() && finite; ++i)
            finite = IsFinite(out.curves[i]);
        for (int i = meshes; i < out.meshes.Count() && finite; ++i)
            finite = IsFinite(out.meshes[i]);
        if (!finite) LeaveOut(kReasonNonFinite);
    }
    if (result.outcome == ObjectResult::Outcome::Reference && !IsFinite(result.xform))
        LeaveOut(kReasonNonFinite);
    if (Unusable()) {
        // Left out whole: nothing of it stays in the containers.
        TruncateTo(out.points, points);
        TruncateTo(out.curves, curves);
        TruncateTo(out.breps, breps);
        TruncateTo(out.meshes, meshes);
        result.outcome = ObjectResult::Outcome::Skipped;
        result.reason = LeftOutReason();
    }
    return true;
}

bool ObjectDecoder::ReadObjectInto(Sink& out, ObjectResult& result) {
    Chunk cls;
    const ClassInfo* info = nullptr;
    bool isNull = false;
    unknown_.clear();
    unsupported_.clear();
    leftOut_.clear();
    if (!ReadClassHeader(cls, info, isNull)) return false;
    if (isNull) {
        result.outcome = ObjectResult::Outcome::Null;
        return r_.Abandon();
    }
    if (!info || info->entry->type == Type::Skip) {
        result.outcome = ObjectResult::Outcome::Skipped;
        result.kind = info ? info->entry->kind : "object of an unknown class";
        result.reason = info
                            ? info->entry->reason
                            : std::string("this reader does not know its class (") + unknown_ + ")";
        return r_.Abandon();
    }
    const Type t = info->entry->type;
    result.kind = info->entry->kind;
    result.outcome = ObjectResult::Outcome::Converted;
    if (t == Type::NurbsCurve) {
        // The common case goes straight into its container, without a copy.
        Chunk data;
        if (!r_.Begin(data, tcode::ClassData, "class data")) return false;
        return ReadNurbsCurve(out.curves.AppendNew()) && r_.End() && FinishClass();
    }
    if (IsCurveType(t)) {
        std::unique_ptr<ON_Curve> c;
        if (!ReadCurveBody(static_cast<int>(t), c, 0)) return false;
        // Non-finite numbers are found before a NURBS form is made of them.
        if (c && !IsFinite(*c)) LeaveOut(kReasonNonFinite);
        if (!c || Unusable()) return true;
        return EmitCurve(*c, out, 0);
    }
    Chunk data;
    if (!r_.Begin(data, tcode::ClassData, "class data")) return false;
    bool ok = false;
    switch (t) {
    case Type::Point: {
        ON_3dPoint p;
        ok = ReadPoint(p);
        if (ok) out.points.Append(p);
        break;
    }
    case Type::PointCloud:
        ok = ReadPointCloud(out.points);
        break;
    case Type::InstanceRef:
        result.outcome = ObjectResult::Outcome::Reference;
        ok = ReadInstanceRef(result);
        break;
    case Type::Mesh:
        ok = ReadMeshObject(out);
        break;
    case Type::Brep:
        ok = ReadBrepObject(out);
        break;
    case Type::Extrusion:
        ok = ReadExtrusionObject(out);
        break;
    default:
        if (IsSurfaceType(t)) ok = ReadSurfaceObject(static_cast<int>(t), out);
        break;
    }
    if (!ok || !r_.End() || !FinishClass(t == Type::Mesh ? mesh_ : nullptr)) return false;
    if (t == Type::Mesh && mesh_) KeepConsistentDoubles(*mesh_);
    return true;
}

} // namespace tmxfile
