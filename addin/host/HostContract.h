// The COM interfaces through which the add-in's host binding reaches a host
// application. The embedded CAD host (platform/cadhost) implements them; the
// add-in itself includes Host.h and never calls these methods directly.
//
// Conventions: every method returns an HRESULT, S_OK on success; handles come
// back with one reference that the caller releases; texts are UTF-16; lengths
// are in metres; arrays are passed in-process as plain pointers.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oaidl.h>

struct IHostApplication;
struct IHostDocument;
struct IHostPart;
struct IHostBody;
struct IHostFrame;

inline constexpr IID IID_IHostApplication = {
    0x7c58b08d, 0x211c, 0x4c32, {0x87, 0xbb, 0x26, 0xeb, 0x37, 0x34, 0x14, 0x3b}};
inline constexpr IID IID_IHostDocument = {
    0x1ad04d1e, 0x26c8, 0x4214, {0xa2, 0xe1, 0x65, 0x36, 0x19, 0x52, 0xa3, 0xa3}};
inline constexpr IID IID_IHostPart = {
    0x7a6cd5b0, 0x83fd, 0x4ba8, {0xb3, 0x05, 0xe5, 0xd9, 0xa5, 0x31, 0x1d, 0x51}};
inline constexpr IID IID_IHostBody = {
    0x1f794d4c, 0x994d, 0x4f0e, {0x85, 0x7a, 0x5e, 0xf5, 0xce, 0xc2, 0x8e, 0xcb}};
inline constexpr IID IID_IHostFrame = {
    0xbe952066, 0x6ae2, 0x4d31, {0x9c, 0x20, 0x2e, 0x82, 0xf0, 0x22, 0xf5, 0x12}};

// Failure statuses of the host besides the usual E_POINTER, E_INVALIDARG,
// E_NOINTERFACE and E_UNEXPECTED (a handle whose host has gone).
inline constexpr HRESULT HOST_E_REFUSED = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0201);
inline constexpr HRESULT HOST_E_NOTFOUND = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0202);
inline constexpr HRESULT HOST_E_STATE = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0203);
inline constexpr HRESULT HOST_E_DEGENERATE = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0204);
inline constexpr HRESULT HOST_E_NOFACES = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0205);
inline constexpr HRESULT HOST_E_NONMANIFOLD = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0206);
inline constexpr HRESULT HOST_E_ORIENTATION = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0207);

// Document kinds as DocumentKind reports them; menu bar 0 is the bar shown
// when no document is open.
enum HostDocumentKind : LONG {
    HOST_KIND_NONE = 0,
    HOST_KIND_PART = 1,
    HOST_KIND_ASSEMBLY = 2,
    HOST_KIND_DRAWING = 3,
};

// Reached through QueryInterface on the application object that the host
// hands to InitUserDLL3.
struct IHostApplication : public IUnknown {
    // *doc is null (and S_OK) when no document is active.
    virtual HRESULT STDMETHODCALLTYPE ActiveDocument(IHostDocument** doc) = 0;
    virtual HRESULT STDMETHODCALLTYPE NewPart(IHostPart** part) = 0;
    virtual HRESULT STDMETHODCALLTYPE NewAssembly(IHostDocument** doc) = 0;
    virtual HRESULT STDMETHODCALLTYPE NewDrawing(LONG w1, LONG w2, LONG w3, LONG w4, LONG w5,
                                                 LONG w6, LONG w7, IHostDocument** doc) = 0;
    // *result: the menu's position in the bar, -1 on failure.
    virtual HRESULT STDMETHODCALLTYPE AddMenu(LONG kind, LPCWSTR text, LONG position,
                                              LONG* result) = 0;
    // item is "text@menu"; *result: the item's position in its menu, -1 on failure.
    virtual HRESULT STDMETHODCALLTYPE AddMenuItem(LONG kind, LPCWSTR item, LONG position,
                                                  LPCWSTR callback, LONG* result) = 0;
    // callback null: the whole menu goes; otherwise only its items with that callback text.
    // *result: 1 when something was removed, else 0.
    virtual HRESULT STDMETHODCALLTYPE RemoveMenu(LONG kind, LPCWSTR text, LPCWSTR callback,
                                                 LONG* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Frame(IHostFrame** frame) = 0;
    // *text is allocated with SysAllocString; the caller frees it.
    virtual HRESULT STDMETHODCALLTYPE RevisionText(BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE BuildCode(LONG* code) = 0;
    // Closes the open document of that name, as its window is closed: it
    // leaves the host with everything in it, and handles still held to it
    // fail their calls (E_UNEXPECTED). HOST_E_NOTFOUND when no open document
    // has the name.
    virtual HRESULT STDMETHODCALLTYPE CloseDocument(LPCWSTR name) = 0;
};

// A document of any kind. *entity receives the new entity's index in the
// document, -1 on failure.
struct IHostDocument : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Kind(LONG* kind) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetLengthUnit(LONG unit) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreationSwitchA(LONG value) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreationSwitchB(LONG value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Toggle3DSketch(LONG value) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreatePoint(double x, double y, double z, LONG* entity) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateLine(double sx, double sy, double sz, double ex,
                                                 double ey, double ez, LONG* entity) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateCircle(double cx, double cy, double cz, double radius,
                                                   LONG* entity) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateArc(double cx, double cy, double cz, double sx,
                                                double sy, double sz, double ex, double ey,
                                                double ez, LONG direction, LONG* entity) = 0;
    // points: count × 3 doubles.
    virtual HRESULT STDMETHODCALLTYPE CreateSplineThroughPoints(LONG count, const double* points,
                                                                LONG* entity) = 0;
    // properties: {3, order, control point count n, periodic}; knots: order + n
    // doubles; controlPoints: n × 3 doubles.
    virtual HRESULT STDMETHODCALLTYPE CreateSplineFromNurbs(const LONG* properties,
                                                            const double* knots,
                                                            const double* controlPoints,
                                                            LONG* entity) = 0;
    virtual HRESULT STDMETHODCALLTYPE CloseOutA() = 0;
    virtual HRESULT STDMETHODCALLTYPE CloseOutB() = 0;
    virtual HRESULT STDMETHODCALLTYPE CloseOutC() = 0;
};

// The part side of a part document (QueryInterface fails on other kinds).
struct IHostPart : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateBody(IHostBody** body) = 0;
};

// A body under construction from planar faces.
struct IHostBody : public IUnknown {
    // count 3 or 4; corners: count × 3 doubles; normal: 3 doubles.
    virtual HRESULT STDMETHODCALLTYPE AddPlanarFace(LONG count, const double* corners,
                                                    const double* normal) = 0;
    // *solid: VARIANT_TRUE when the body made is a solid, VARIANT_FALSE for a
    // sheet or on failure.
    virtual HRESULT STDMETHODCALLTYPE CreateFromFaces(VARIANT_BOOL* solid) = 0;
};

// The main window frame; its menu calls act on the menu bar it shows, which
// is the bar of the active document's kind (bar 0 when none is active).
struct IHostFrame : public IUnknown {
    // *result: VARIANT_TRUE when the menu is in the bar afterwards.
    virtual HRESULT STDMETHODCALLTYPE AddMenu(LPCWSTR text, LONG position,
                                              VARIANT_BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddMenuItem(LPCWSTR menu, LPCWSTR item, LONG position,
                                                  LPCWSTR callback, VARIANT_BOOL* result) = 0;
};
