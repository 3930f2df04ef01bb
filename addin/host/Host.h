// The host application interface as the add-in uses it: handle types and one
// function per host operation.
//
// Every operation returns a status, 0 on success and nonzero on failure (the
// host's HRESULT); a failed call leaves its out-parameters null, 0 or -1.
// Handles are reference-counted: whoever obtained one releases it once with
// HostRelease. The application handle is the pointer given to InitUserDLL3 and
// is released by its holder with IUnknown::Release. Texts are UTF-16, lengths
// are in metres. Any out-parameter may be null when its value is not wanted
// (a handle nobody asked for is released at once).
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <string>

struct IHostDocument;
struct IHostPart;
struct IHostBody;
struct IHostFrame;

typedef long HostStatus;
typedef IUnknown* HostAppHandle; // the application object handed to InitUserDLL3
typedef IHostDocument* HostDocHandle;
typedef IHostPart* HostPartHandle;
typedef IHostBody* HostBodyHandle;
typedef IHostFrame* HostFrameHandle;

// Release a handle obtained from an operation; null does nothing.
void HostRelease(HostDocHandle handle);
void HostRelease(HostPartHandle handle);
void HostRelease(HostBodyHandle handle);
void HostRelease(HostFrameHandle handle);

// Application. Menu kinds: 0 no document, 1 part, 2 assembly, 3 drawing.
HostStatus HostActiveDocument(HostAppHandle app, HostDocHandle* doc); // null when none
HostStatus HostNewPart(HostAppHandle app, HostPartHandle* part);
HostStatus HostNewAssembly(HostAppHandle app, HostDocHandle* doc);
HostStatus HostNewDrawing(HostAppHandle app, long w1, long w2, long w3, long w4, long w5, long w6,
                          long w7, HostDocHandle* doc);
HostStatus HostAddMenu(HostAppHandle app, long kind, const wchar_t* text, long position,
                       long* result);
HostStatus HostAddMenuItem(HostAppHandle app, long kind, const wchar_t* item, long position,
                           const wchar_t* callback, long* result);
HostStatus HostRemoveMenu(HostAppHandle app, long kind, const wchar_t* text,
                          const wchar_t* callback, long* result);
HostStatus HostFrame(HostAppHandle app, HostFrameHandle* frame);
HostStatus HostRevisionText(HostAppHandle app, std::wstring* text);
HostStatus HostBuildCode(HostAppHandle app, long* code);

// Document. *entity receives the new entity's index in the document.
HostStatus DocumentKind(HostDocHandle doc, long* kind); // 1 part, 2 assembly, 3 drawing
HostStatus DocSetLengthUnit(HostDocHandle doc, long unit);
HostStatus DocCreationSwitchA(HostDocHandle doc, long value);
HostStatus DocCreationSwitchB(HostDocHandle doc, long value);
HostStatus DocToggle3DSketch(HostDocHandle doc, long value); // opens, the next call closes
HostStatus DocCreatePoint(HostDocHandle doc, double x, double y, double z, long* entity);
HostStatus DocCreateLine(HostDocHandle doc, double sx, double sy, double sz, double ex, double ey,
                         double ez, long* entity);
HostStatus DocCreateCircle(HostDocHandle doc, double cx, double cy, double cz, double radius,
                           long* entity);
HostStatus DocCreateArc(HostDocHandle doc, double cx, double cy, double cz, double sx, double sy,
                        double sz, double ex, double ey, double ez, long direction, long* entity);
// points: count × 3 doubles (x, y, z).
HostStatus DocCreateSplineThroughPoints(HostDocHandle doc, long count, const double* points,
                                        long* entity);
// properties: {3, order, n, periodic}; knots: order + n doubles; controlPoints: n × 3 doubles.
HostStatus DocCreateSplineFromNurbs(HostDocHandle doc, const int* properties, const double* knots,
                                    const double* controlPoints, long* entity);
HostStatus DocCloseOutA(HostDocHandle doc);
HostStatus DocCloseOutB(HostDocHandle doc);
HostStatus DocCloseOutC(HostDocHandle doc);

// Part and body.
HostStatus PartCreateBody(HostPartHandle part, HostBodyHandle* body);
// count 3 or 4; corners: count × 3 doubles; normal: 3 doubles.
HostStatus BodyAddPlanarFace(HostBodyHandle body, long count, const double* corners,
                             const double* normal);
// *flag: -1 when a solid was made, 0 for a sheet or on failure.
HostStatus BodyCreateFromFaces(HostBodyHandle body, short* flag);

// Frame: acts on the menu bar of the active document's kind.
HostStatus FrameAddMenu(HostFrameHandle frame, const wchar_t* text, long position, short* result);
HostStatus FrameAddMenuItem(HostFrameHandle frame, const wchar_t* menu, const wchar_t* item,
                            long position, const wchar_t* callback, short* result);
