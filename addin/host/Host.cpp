// Binding of the host operations to the COM interfaces of HostContract.h.
#include "Host.h"
#include "HostContract.h"

#include <cassert>
#include <cmath>
#include <initializer_list>

namespace {

// The application handle is whatever the host passed to InitUserDLL3; its
// operations live on the IHostApplication interface of the same object.
class AppInterface {
public:
    explicit AppInterface(HostAppHandle app) {
        if (!app) {
            status_ = E_POINTER;
            return;
        }
        void* p = nullptr;
        status_ = app->QueryInterface(IID_IHostApplication, &p);
        if (SUCCEEDED(status_)) {
            app_ = static_cast<IHostApplication*>(p);
            status_ = S_OK;
        } else {
            app_ = nullptr;
        }
    }
    ~AppInterface() {
        if (app_) app_->Release();
    }
    AppInterface(const AppInterface&) = delete;
    AppInterface& operator=(const AppInterface&) = delete;

    IHostApplication* operator->() const { return app_; }
    bool Ok() const { return app_ != nullptr; }
    HRESULT Status() const { return status_; }

private:
    IHostApplication* app_ = nullptr;
    HRESULT status_ = E_POINTER;
};

template <class T> void Clear(T* out, T value) {
    if (out) *out = value;
}

// Hands a new handle to the caller, or releases it when nobody asked for it.
template <class T> void Deliver(T* got, T** out) {
    if (out)
        *out = got;
    else if (got)
        got->Release();
}

// A handle that came with a failure status is not the caller's to keep.
template <class T> HostStatus Done(HRESULT hr, T* got, T** out) {
    if (FAILED(hr) && got) {
        got->Release();
        got = nullptr;
    }
    Deliver(got, out);
    return FAILED(hr) ? hr : 0;
}

HostStatus Status(HRESULT hr) {
    return FAILED(hr) ? hr : 0;
}

// The conversion never hands the host a number that is not finite (it leaves
// such an entity out and counts it). Should one slip through, a debug build
// stops here, and any build refuses the call instead of passing it on.
bool Finite(const double* v, size_t n) {
    for (size_t i = 0; i < n; i++)
        if (!std::isfinite(v[i])) {
            assert(!"a number that is not finite on its way to the host");
            return false;
        }
    return true;
}

bool Finite(std::initializer_list<double> v) {
    return Finite(v.begin(), v.size());
}

template <class T> void ReleaseHandle(T* handle) {
    if (handle) handle->Release();
}

} // namespace

void HostRelease(HostDocHandle handle) {
    ReleaseHandle(handle);
}
void HostRelease(HostPartHandle handle) {
    ReleaseHandle(handle);
}
void HostRelease(HostBodyHandle handle) {
    ReleaseHandle(handle);
}
void HostRelease(HostFrameHandle handle) {
    ReleaseHandle(handle);
}

HostStatus HostActiveDocument(HostAppHandle app, HostDocHandle* doc) {
    Clear(doc, HostDocHandle{});
    AppInterface a(app);
    if (!a.Ok()) return a.Status();
    IHostDocument* got = nullptr;
    HRESULT hr = a->ActiveDocument(&got);
    return Done(hr, got, doc);
}

HostStatus HostNewPart(HostAppHandle app, HostPartHandle* part) {
    Clear(part, HostPartHandle{});
    AppInterface a(app);
    if (!a.Ok()) return a.Status();
    IHostPart* got = nullptr;
    HRESULT hr = a->NewPart(&got);
    return Done(hr, got, part);
}

HostStatus HostNewAssembly(HostAppHandle app, HostDocHandle* doc) {
    Clear(doc, HostDocHandle{});
    AppInterface a(app);
    if (!a.Ok()) return a.Status();
    IHostDocument* got = nullptr;
    HRESULT hr = a->NewAssembly(&got);
    return Done(hr, got, doc);
}

HostStatus HostNewDrawing(HostAppHandle app, long w1, long w2, long w3, long w4, long w5, long w6,
                          long w7, HostDocHandle* doc) {
    Clear(doc, HostDocHandle{});
    AppInterface a(app);
    if (!a.Ok()) return a.Status();
    IHostDocument* got = nullptr;
    HRESULT hr = a->NewDrawing(w1, w2, w3, w4, w5, w6, w7, &got);
    return Done(hr, got, doc);
}

HostStatus HostAddMenu(HostAppHandle app, long kind, const wchar_t* text, long position,
                       long* result) {
    Clear(result, -1L);
    AppInterface a(app);
    if (!a.Ok()) return a.Status();
    LONG r = -1;
    HRESULT hr = a->AddMenu(kind, text, position, &r);
    Clear(result, static_cast<long>(r));
    return Status(hr);
}

HostStatus HostAddMenuItem(HostAppHandle app, long kind, const wchar_t* item, long position,
                           const wchar_t* callback, long* result) {
    Clear(result, -1L);
    AppInterface a(app);
    if (!a.Ok()) return a.Status();
    LONG r = -1;
    HRESULT hr = a->AddMenuItem(kind, item, position, callback, &r);
    Clear(result, static_cast<long>(r));
    return Status(hr);
}

HostStatus HostRemoveMenu(HostAppHandle app, long kind, const wchar_t* text,
                          const wchar_t* callback, long* result) {
    Clear(result, 0L);
    AppInterface a(app);
    if (!a.Ok()) return a.Status();
    LONG r = 0;
    HRESULT hr = a->RemoveMenu(kind, text, callback, &r);
    Clear(result, static_cast<long>(r));
    return Status(hr);
}

HostStatus HostFrame(HostAppHandle app, HostFrameHandle* frame) {
    Clear(frame, HostFrameHandle{});
    AppInterface a(app);
    if (!a.Ok()) return a.Status();
    IHostFrame* got = nullptr;
    HRESULT hr = a->Frame(&got);
    return Done(hr, got, frame);
}

HostStatus HostRevisionText(HostAppHandle app, std::wstring* text) {
    if (text) text->clear();
    AppInterface a(app);
    if (!a.Ok()) return a.Status();
    BSTR b = nullptr;
    HRESULT hr = a->RevisionText(&b);
    if (SUCCEEDED(hr) && b && text) text->assign(b, SysStringLen(b));
    SysFreeString(b);
    return Status(hr);
}

HostStatus HostBuildCode(HostAppHandle app, long* code) {
    Clear(code, 0L);
    AppInterface a(app);
    if (!a.Ok()) return a.Status();
    LONG c = 0;
    HRESULT hr = a->BuildCode(&c);
    if (SUCCEEDED(hr)) Clear(code, static_cast<long>(c));
    return Status(hr);
}

HostStatus DocumentKind(HostDocHandle doc, long* kind) {
    Clear(kind, 0L);
    if (!doc) return E_POINTER;
    LONG k = 0;
    HRESULT hr = doc->Kind(&k);
    if (SUCCEEDED(hr)) Clear(kind, static_cast<long>(k));
    return Status(hr);
}

HostStatus DocSetLengthUnit(HostDocHandle doc, long unit) {
    return doc ? Status(doc->SetLengthUnit(unit)) : E_POINTER;
}

HostStatus DocCreationSwitchA(HostDocHandle doc, long value) {
    return doc ? Status(doc->CreationSwitchA(value)) : E_POINTER;
}

HostStatus DocCreationSwitchB(HostDocHandle doc, long value) {
    return doc ? Status(doc->CreationSwitchB(value)) : E_POINTER;
}

HostStatus DocToggle3DSketch(HostDocHandle doc, long value) {
    return doc ? Status(doc->Toggle3DSketch(value)) : E_POINTER;
}

namespace {

HostStatus Entity(HRESULT hr, LONG got, long* entity) {
    Clear(entity, SUCCEEDED(hr) ? static_cast<long>(got) : -1L);
    return Status(hr);
}

} // namespace

HostStatus DocCreatePoint(HostDocHandle doc, double x, double y, double z, long* entity) {
    Clear(entity, -1L);
    if (!doc) return E_POINTER;
    if (!Finite({x, y, z})) return E_INVALIDARG;
    LONG e = -1;
    HRESULT hr = doc->CreatePoint(x, y, z, &e);
    return Entity(hr, e, entity);
}

HostStatus DocCreateLine(HostDocHandle doc, double sx, double sy, double sz, double ex, double ey,
                         double ez, long* entity) {
    Clear(entity, -1L);
    if (!doc) return E_POINTER;
    if (!Finite({sx, sy, sz, ex, ey, ez})) return E_INVALIDARG;
    LONG e = -1;
    HRESULT hr = doc->CreateLine(sx, sy, sz, ex, ey, ez, &e);
    return Entity(hr, e, entity);
}

HostStatus DocCreateCircle(HostDocHandle doc, double cx, double cy, double cz, double radius,
                           long* entity) {
    Clear(entity, -1L);
    if (!doc) return E_POINTER;
    if (!Finite({cx, cy, cz, radius})) return E_INVALIDARG;
    LONG e = -1;
    HRESULT hr = doc->CreateCircle(cx, cy, cz, radius, &e);
    return Entity(hr, e, entity);
}

HostStatus DocCreateArc(HostDocHandle doc, double cx, double cy, double cz, double sx, double sy,
                        double sz, double ex, double ey, double ez, long direction, long* entity) {
    Clear(entity, -1L);
    if (!doc) return E_POINTER;
    if (!Finite({cx, cy, cz, sx, sy, sz, ex, ey, ez})) return E_INVALIDARG;
    LONG e = -1;
    HRESULT hr = doc->CreateArc(cx, cy, cz, sx, sy, sz, ex, ey, ez, direction, &e);
    return Entity(hr, e, entity);
}

HostStatus DocCreateSplineThroughPoints(HostDocHandle doc, long count, const double* points,
                                        long* entity) {
    Clear(entity, -1L);
    if (!doc) return E_POINTER;
    if (points && count > 0 && !Finite(points, 3 * static_cast<size_t>(count))) return E_INVALIDARG;
    LONG e = -1;
    HRESULT hr = doc->CreateSplineThroughPoints(count, points, &e);
    return Entity(hr, e, entity);
}

HostStatus DocCreateSplineFromNurbs(HostDocHandle doc, const int* properties, const double* knots,
                                    const double* controlPoints, long* entity) {
    Clear(entity, -1L);
    if (!doc || !properties) return E_POINTER;
    const int order = properties[1], n = properties[2];
    if (order > 0 && n > 0 &&
        ((knots && !Finite(knots, static_cast<size_t>(order) + n)) ||
         (controlPoints && !Finite(controlPoints, 3 * static_cast<size_t>(n)))))
        return E_INVALIDARG;
    const LONG block[4] = {properties[0], properties[1], properties[2], properties[3]};
    LONG e = -1;
    HRESULT hr = doc->CreateSplineFromNurbs(block, knots, controlPoints, &e);
    return Entity(hr, e, entity);
}

HostStatus DocCloseOutA(HostDocHandle doc) {
    return doc ? Status(doc->CloseOutA()) : E_POINTER;
}
HostStatus DocCloseOutB(HostDocHandle doc) {
    return doc ? Status(doc->CloseOutB()) : E_POINTER;
}
HostStatus DocCloseOutC(HostDocHandle doc) {
    return doc ? Status(doc->CloseOutC()) : E_POINTER;
}

HostStatus PartCreateBody(HostPartHandle part, HostBodyHandle* body) {
    Clear(body, HostBodyHandle{});
    if (!part) return E_POINTER;
    IHostBody* got = nullptr;
    HRESULT hr = part->CreateBody(&got);
    return Done(hr, got, body);
}

HostStatus BodyAddPlanarFace(HostBodyHandle body, long count, const double* corners,
                             const double* normal) {
    if (!body) return E_POINTER;
    if ((count == 3 || count == 4) && corners && normal &&
        (!Finite(corners, 3 * static_cast<size_t>(count)) || !Finite(normal, 3)))
        return E_INVALIDARG;
    return Status(body->AddPlanarFace(count, corners, normal));
}

HostStatus BodyCreateFromFaces(HostBodyHandle body, short* flag) {
    Clear(flag, short{0});
    if (!body) return E_POINTER;
    VARIANT_BOOL solid = VARIANT_FALSE;
    HRESULT hr = body->CreateFromFaces(&solid);
    if (SUCCEEDED(hr)) Clear(flag, static_cast<short>(solid));
    return Status(hr);
}

HostStatus FrameAddMenu(HostFrameHandle frame, const wchar_t* text, long position, short* result) {
    Clear(result, short{0});
    if (!frame) return E_POINTER;
    VARIANT_BOOL r = VARIANT_FALSE;
    HRESULT hr = frame->AddMenu(text, position, &r);
    if (SUCCEEDED(hr)) Clear(result, static_cast<short>(r));
    return Status(hr);
}

HostStatus FrameAddMenuItem(HostFrameHandle frame, const wchar_t* menu, const wchar_t* item,
                            long position, const wchar_t* callback, short* result) {
    Clear(result, short{0});
    if (!frame) return E_POINTER;
    VARIANT_BOOL r = VARIANT_FALSE;
    HRESULT hr = frame->AddMenuItem(menu, item, position, callback, &r);
    if (SUCCEEDED(hr)) Clear(result, static_cast<short>(r));
    return Status(hr);
}
