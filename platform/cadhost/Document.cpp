// Documents: kind, unit, switches, the 3D sketch and its entities, bodies.
#include "HostObjects.h"

#include <cmath>

namespace cadhost {

namespace {

bool Finite(const double* v, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (!std::isfinite(v[i])) return false;
    return true;
}

double Distance(const double* a, const double* b) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                     (a[2] - b[2]) * (a[2] - b[2]));
}

// An arc's end may miss the circle through its start by rounding only.
constexpr double kArcRadiusTolerance = 1e-6;

// Spline sizes beyond these are taken for garbage, not geometry.
constexpr LONG kMaxSplinePoints = 1 << 24;
constexpr LONG kMaxOrder = 64;

} // namespace

DocumentObject::DocumentObject(HostState* state, int id, long kind, std::wstring name)
    : HostObject(state) {
    model_.id = id;
    model_.kind = kind;
    model_.name = std::move(name);
}

HRESULT DocumentObject::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IHostDocument))
        *out = static_cast<IHostDocument*>(this);
    else if (IsEqualIID(riid, IID_IHostPart) && model_.kind == HOST_KIND_PART)
        *out = static_cast<IHostPart*>(this);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

void DocumentObject::Close() {
    Detach();
    closed_ = true;
    DocumentModel emptied;
    emptied.id = model_.id;
    emptied.name = std::move(model_.name);
    model_ = std::move(emptied);
    bodyHandles_.clear();
}

HRESULT DocumentObject::Kind(LONG* kind) {
    if (!kind) return E_POINTER;
    *kind = 0;
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::DocumentKind, model_.id);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    *kind = model_.kind;
    return c.End(S_OK);
}

HRESULT DocumentObject::SetLengthUnit(LONG unit) {
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::DocSetLengthUnit, model_.id);
    c.Args(unit);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    if (unit < 0 || unit > 4) return c.End(E_INVALIDARG);
    model_.lengthUnit = unit;
    return c.End(S_OK);
}

HRESULT DocumentObject::CreationSwitchA(LONG value) {
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::DocCreationSwitchA, model_.id);
    c.Args(value);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    model_.switchA = value;
    return c.End(S_OK);
}

HRESULT DocumentObject::CreationSwitchB(LONG value) {
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::DocCreationSwitchB, model_.id);
    c.Args(value);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    model_.switchB = value;
    return c.End(S_OK);
}

// Opens a new 3D sketch, or closes the open one (it keeps its entities).
// Drawings and documents of unknown kind have no 3D sketches.
HRESULT DocumentObject::Toggle3DSketch(LONG value) {
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::DocToggle3DSketch, model_.id);
    c.Args(value);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    if (model_.kind != HOST_KIND_PART && model_.kind != HOST_KIND_ASSEMBLY)
        return c.End(HOST_E_STATE);
    if (model_.SketchOpen()) {
        model_.sketches.back().open = false;
    } else {
        Sketch s;
        s.first = model_.entities.size();
        model_.sketches.push_back(s);
    }
    return c.End(S_OK);
}

// Entities go into the open 3D sketch; without one (a drawing, or a part or
// assembly with its sketch closed) they are kept outside any sketch.
LONG DocumentObject::Add(EntityKind kind, const double* values, std::size_t n, int order, int count,
                         int direction, int periodic) {
    Entity e;
    e.kind = kind;
    e.direction = static_cast<std::int8_t>(direction);
    e.periodic = static_cast<std::uint8_t>(periodic);
    e.order = order;
    e.count = count;
    double* v = model_.values.Allocate(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = values[i];
    e.values = v;
    if (model_.SketchOpen()) {
        e.sketch = static_cast<std::int32_t>(model_.sketches.size() - 1);
        ++model_.sketches.back().count;
    }
    model_.entities.push_back(e);
    return static_cast<LONG>(model_.entities.size() - 1);
}

HRESULT DocumentObject::CreatePoint(double x, double y, double z, LONG* entity) {
    if (entity) *entity = -1;
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::DocCreatePoint, model_.id);
    c.Args(x, y, z);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    const double v[3] = {x, y, z};
    if (!Finite(v, 3)) return c.End(E_INVALIDARG);
    LONG id = Add(EntityKind::Point, v, 3);
    if (entity) *entity = id;
    return c.End(S_OK);
}

HRESULT DocumentObject::CreateLine(double sx, double sy, double sz, double ex, double ey, double ez,
                                   LONG* entity) {
    if (entity) *entity = -1;
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::DocCreateLine, model_.id);
    c.Args(sx, sy, sz, ex, ey, ez);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    const double v[6] = {sx, sy, sz, ex, ey, ez};
    if (!Finite(v, 6)) return c.End(E_INVALIDARG);
    if (sx == ex && sy == ey && sz == ez) return c.End(HOST_E_DEGENERATE);
    LONG id = Add(EntityKind::Line, v, 6);
    if (entity) *entity = id;
    return c.End(S_OK);
}

HRESULT DocumentObject::CreateCircle(double cx, double cy, double cz, double radius, LONG* entity) {
    if (entity) *entity = -1;
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::DocCreateCircle, model_.id);
    c.Args(cx, cy, cz, radius);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    const double v[4] = {cx, cy, cz, radius};
    if (!Finite(v, 4)) return c.End(E_INVALIDARG);
    if (!(radius > 0)) return c.End(HOST_E_DEGENERATE);
    LONG id = Add(EntityKind::Circle, v, 4);
    if (entity) *entity = id;
    return c.End(S_OK);
}

HRESULT DocumentObject::CreateArc(double cx, double cy, double cz, double sx, double sy, double sz,
                                  double ex, double ey, double ez, LONG direction, LONG* entity) {
    if (entity) *entity = -1;
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::DocCreateArc, model_.id);
    c.Args(cx, cy, cz, sx, sy, sz, ex, ey, ez, direction);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    const double v[9] = {cx, cy, cz, sx, sy, sz, ex, ey, ez};
    if (!Finite(v, 9) || (direction != 1 && direction != -1)) return c.End(E_INVALIDARG);
    double r = Distance(v, v + 3);
    if (!(r > 0)) return c.End(HOST_E_DEGENERATE);
    if (std::fabs(Distance(v, v + 6) - r) > kArcRadiusTolerance * r) return c.End(E_INVALIDARG);
    LONG id = Add(EntityKind::Arc, v, 9, 0, 0, direction);
    if (entity) *entity = id;
    return c.End(S_OK);
}

HRESULT DocumentObject::CreateSplineThroughPoints(LONG count, const double* points, LONG* entity) {
    if (entity) *entity = -1;
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::DocCreateSplineThroughPoints, model_.id);
    bool sized = count >= 0 && count <= kMaxSplinePoints;
    std::size_t n = sized ? static_cast<std::size_t>(count) * 3 : 0;
    c.Args(count, DoublesArg{points, n});
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    if (!sized || count < 2) return c.End(E_INVALIDARG);
    if (!points) return c.End(E_POINTER);
    if (!Finite(points, n)) return c.End(E_INVALIDARG);
    LONG id = Add(EntityKind::SplineThroughPoints, points, n, 0, count);
    if (entity) *entity = id;
    return c.End(S_OK);
}

HRESULT DocumentObject::CreateSplineFromNurbs(const LONG* properties, const double* knots,
                                              const double* controlPoints, LONG* entity) {
    if (entity) *entity = -1;
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::DocCreateSplineFromNurbs, model_.id);
    LONG dim = 0, order = 0, count = 0, periodic = 0;
    if (properties) {
        dim = properties[0];
        order = properties[1];
        count = properties[2];
        periodic = properties[3];
    }
    bool sized = properties && order >= 2 && order <= kMaxOrder && count >= order &&
                 count <= kMaxSplinePoints;
    std::size_t nk = sized ? static_cast<std::size_t>(order + count) : 0;
    std::size_t np = sized ? static_cast<std::size_t>(count) * 3 : 0;
    c.Args(IntsArg{properties, 4}, DoublesArg{sized ? knots : nullptr, nk},
           DoublesArg{sized ? controlPoints : nullptr, np});
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    if (!properties) return c.End(E_POINTER);
    if (!sized || dim != 3 || (periodic != 0 && periodic != 1)) return c.End(E_INVALIDARG);
    if (!knots || !controlPoints) return c.End(E_POINTER);
    if (!Finite(knots, nk) || !Finite(controlPoints, np)) return c.End(E_INVALIDARG);
    for (std::size_t i = 1; i < nk; ++i)
        if (knots[i] < knots[i - 1]) return c.End(E_INVALIDARG);
    // The curve's domain runs from knot order-1 to knot n; it must not be empty.
    if (!(knots[order - 1] < knots[count])) return c.End(HOST_E_DEGENERATE);
    std::vector<double> v(knots, knots + nk);
    v.insert(v.end(), controlPoints, controlPoints + np);
    LONG id = Add(EntityKind::SplineFromNurbs, v.data(), v.size(), order, count, 0, periodic);
    if (entity) *entity = id;
    return c.End(S_OK);
}

HRESULT DocumentObject::CloseOut(Op op, int which) {
    if (!state_) return E_UNEXPECTED;
    Call c(state_, op, model_.id);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    ++model_.closeOuts[which];
    return c.End(S_OK);
}

HRESULT DocumentObject::CloseOutA() {
    return CloseOut(Op::DocCloseOutA, 0);
}
HRESULT DocumentObject::CloseOutB() {
    return CloseOut(Op::DocCloseOutB, 1);
}
HRESULT DocumentObject::CloseOutC() {
    return CloseOut(Op::DocCloseOutC, 2);
}

HRESULT DocumentObject::CreateBody(IHostBody** body) {
    if (!body) return E_POINTER;
    *body = nullptr;
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::PartCreateBody, model_.id);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    const int index = state_->bodiesMade++;
    auto* b = new BodyObject(state_, index, this);
    state_->bodies[index] = b;
    bodyHandles_.push_back(index);
    b->AddRef();
    *body = b;
    return c.End(S_OK);
}

// ---- bodies ----

HRESULT BodyObject::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IHostBody)) {
        *out = static_cast<IHostBody*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

void BodyObject::Close() {
    Detach();
    faces_.clear();
}

ULONG BodyObject::Release() {
    ULONG r = Drop();
    // Once only the host holds it, nobody can add faces: let them go.
    if (r == 1) faces_.clear();
    return r;
}

HRESULT BodyObject::AddPlanarFace(LONG count, const double* corners, const double* normal) {
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::BodyAddPlanarFace, index_);
    if (c.Journaling()) {
        bool sized = count == 3 || count == 4;
        c.Args(count, DoublesArg{sized ? corners : nullptr, sized ? std::size_t(count) * 3 : 0},
               DoublesArg{normal, 3});
    }
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    if (made_) return c.End(HOST_E_STATE);
    if (count != 3 && count != 4) return c.End(E_INVALIDARG);
    if (!corners || !normal) return c.End(E_POINTER);
    const std::size_t n = static_cast<std::size_t>(count) * 3;
    if (!Finite(corners, n) || !Finite(normal, 3)) return c.End(E_INVALIDARG);
    Face f;
    f.count = count;
    for (std::size_t i = 0; i < n; ++i)
        f.corners[i] = corners[i];
    for (int i = 0; i < 3; ++i)
        f.normal[i] = normal[i];
    faces_.push_back(f);
    return c.End(S_OK);
}

// On success the faces become a body of the part; on failure they stay with
// the handle, so more can be added and the call repeated.
HRESULT BodyObject::CreateFromFaces(VARIANT_BOOL* solid) {
    if (solid) *solid = VARIANT_FALSE;
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::BodyCreateFromFaces, index_);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    if (made_) return c.End(HOST_E_STATE);
    bool isSolid = false;
    HRESULT hr = CheckShell(faces_, &isSolid);
    if (FAILED(hr)) return c.End(hr);
    Body body;
    body.solid = isSolid;
    body.faces.swap(faces_);
    part_->Model().bodies.push_back(std::move(body));
    made_ = true;
    if (solid) *solid = isSolid ? VARIANT_TRUE : VARIANT_FALSE;
    return c.End(S_OK);
}

// ---- model helpers ----

std::size_t DocumentModel::Count(EntityKind k) const {
    std::size_t n = 0;
    for (const Entity& e : entities)
        if (e.kind == k) ++n;
    return n;
}

std::size_t DocumentModel::Count(EntityKind k, int sketch) const {
    std::size_t n = 0;
    for (const Entity& e : entities)
        if (e.kind == k && e.sketch == sketch) ++n;
    return n;
}

Vec3 DocumentModel::At(const Entity& e, std::size_t i) const {
    const double* v = Values(e);
    if (e.kind == EntityKind::SplineFromNurbs) v += e.order + e.count;
    return {v[3 * i], v[3 * i + 1], v[3 * i + 2]};
}

double DocumentModel::Radius(const Entity& e) const {
    const double* v = Values(e);
    if (e.kind == EntityKind::Circle) return v[3];
    if (e.kind == EntityKind::Arc) return Distance(v, v + 3);
    return 0;
}

} // namespace cadhost
